/* CommonQ: the common dialogs of Qelm Explorer.
 *
 * Load CommonQ.dll and call these functions from your user-interface thread, one call at a time.
 * Every function shows one modal dialog and returns when the user has closed it. Strings are ANSI
 * in the system code page. A function that is called while another CommonQ call is still running
 * (from another thread, or from inside a running dialog) returns its "cannot start" result (0)
 * and shows nothing.
 *
 * Settings are kept under HKEY_CURRENT_USER\Software\Dravonix\Qelm Explorer, and dialog texts
 * are translated through Languages\QelmLang.<ext> beside the host's executable, where <ext> is
 * the "Language" value (".enu" or absent: English).
 */
#ifndef COMMONQ_H
#define COMMONQ_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The functions never throw; C++ callers may rely on it. */
#ifdef __cplusplus
#define COMMONQ_NOEXCEPT noexcept
#else
#define COMMONQ_NOEXCEPT
#endif

#ifdef COMMONQ_BUILDING
#define COMMONQ_API
#else
#define COMMONQ_API __declspec(dllimport)
#endif

/* The colour chooser's record. */
typedef struct DlgColorParams {
  DWORD reserved;      /* not read */
  COLORREF rgbInitial; /* in: colour selected when the chooser opens; 0 selects none */
  DWORD dwFlags;       /* in: CHOOSECOLOR flags added to the library's own */
  HWND hwndOwner;      /* in: owner window; NULL means the active window */
  COLORREF rgbResult;  /* out: the chosen colour, written only when the result is 1 */
} DlgColorParams;

/* Shows a message box (MessageBoxA with the same owner, text, caption and type). For the message
 * numbers the library knows as suppressible (3031, 10101) the box carries a "Do not show again"
 * check box; once the user ticked it, later calls with that number return 1 (IDOK) at once.
 * Returns MessageBoxA's result, 1 when suppressed, 0 when the call cannot start. */
COMMONQ_API int __cdecl MessageBoxDoModal(HWND owner, LPCSTR text, LPCSTR caption, UINT type,
                                          UINT messageNumber) COMMONQ_NOEXCEPT;

/* Shows the colour chooser with six preset colours and the user's recent colours.
 * Returns 1 when the user chose a colour (params->rgbResult holds it), 2 when the user cancelled
 * or the chooser failed, 0 when the call cannot start. */
COMMONQ_API int __cdecl DlgColorDialogDoModal(DlgColorParams* params) COMMONQ_NOEXCEPT;

/* The task dialog on every Windows version: TaskDialogIndirect's contract (commctrl.h's
 * TASKDIALOGCONFIG in; the pressed button, the chosen radio button and the verification state out,
 * each out-pointer optional). Forwards to the system's TaskDialogIndirect from Windows 6 on and
 * shows the library's own equivalent before. Icons passed as HICON (TDF_USE_HICON_MAIN,
 * TDF_USE_HICON_FOOTER) are destroyed by the call. Returns S_OK after the dialog ran (also when
 * its window could not be created: button IDCANCEL, radio 0, verification FALSE); E_FAIL when
 * the call cannot start, for more than 20 buttons or radio buttons, or for command links without
 * custom buttons; E_INVALIDARG for a null configuration; E_OUTOFMEMORY when the dialog's template
 * cannot be allocated. */
struct _TASKDIALOGCONFIG;
COMMONQ_API HRESULT __cdecl TaskDialogIndirect98(const struct _TASKDIALOGCONFIG* pTaskConfig, int* pnButton,
                                                 int* pnRadioButton, BOOL* pfVerificationFlagChecked) COMMONQ_NOEXCEPT;

#ifdef __cplusplus
}
#endif

/* The records keep their 32-bit layout, which the host was built against. */
#if defined(__cplusplus)
#define COMMONQ_STATIC_ASSERT(condition, name) static_assert(condition, #name)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define COMMONQ_STATIC_ASSERT(condition, name) _Static_assert(condition, #name)
#else
#define COMMONQ_STATIC_ASSERT(condition, name) typedef char commonq_static_assert_##name[(condition) ? 1 : -1]
#endif

#if defined(_WIN32) && !defined(_WIN64)
COMMONQ_STATIC_ASSERT(sizeof(DlgColorParams) == 20, DlgColorParams_is_20_bytes);
#endif

#endif /* COMMONQ_H */
