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
#include <stddef.h>

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

/* The Open and Save As dialogs' record. A caller may pass the first seven fields only and set
 * cbSize to 28; the Save As dialog then behaves as with nPromptMode 0 and does not read it. Any
 * other cbSize below 32 is treated the same way. */
typedef struct DlgFileParams {
  DWORD cbSize;       /* 28 or 32 */
  HWND hwndOwner;     /* owner window; NULL means the active window */
  LPSTR pszFile;      /* in: initial name (at most 259 characters taken); out on OK: full path.
                         Must point to 260 bytes, which are cleared before the path is copied. */
  LPCSTR pszFilter;   /* filter list: description and pattern pairs, ended by an empty string */
  DWORD nFilterIndex; /* 1-based filter selected at start */
  LPCSTR pszDefExt;   /* default extension without the dot; may be NULL */
  DWORD dwFlags;      /* OFN_* flags; OFN_ENABLETEMPLATE shows the Save As format options panel */
  LONG nPromptMode;   /* Save As: 0 no "Prompt for format options" box, > 0 box shown and
                         remembered, < 0 box shown disabled and unchecked */
} DlgFileParams;

/* cbSize of a record that ends before nPromptMode. */
#define DLGFILEPARAMS_SHORT_SIZE 28

/* The format options dialog's record: only the extension is read. */
typedef struct DlgFormatOptionParams {
  DWORD dwReserved0;     /* not read */
  DWORD dwReserved1;     /* not read */
  char szExtension[260]; /* the extension with its dot, as ".png"; case does not matter */
} DlgFormatOptionParams;

/* The Add a Favorite dialog's record: three inline 260-byte texts, 784 bytes in all on every
 * architecture (no pointers). The caller owns it and keeps it valid for the call. */
typedef struct DlgFavParams {
  DWORD reserved;     /* not read and not written */
  char szRoot[260];   /* in: full path of the favorites root; the dialog lists it and every folder
                         below it (junctions and symbolic links are listed but not entered) */
  char szFolder[260]; /* in: the folder to select when "Restore last selected directory as
                         default" is on; the folder remembered at the last Add replaces it at the
                         start of the call when it still exists. out: the folder chosen at "Add" */
  char szName[260];   /* in: the proposed name (may be empty; refused and left out when it holds
                         one of \ / : * ? " < > |). out: the shortcut's full path, szFolder, a
                         backslash, the name with its extension replaced by ".lnk" */
} DlgFavParams;

/* One node of the information list that DlgFileInfoDoModal shows (owned by the caller). */
typedef struct FileInfoNode {
  DWORD type;                       /* FILEINFO_NODE_IMAGE: pData points to an ImageInfo; other types are skipped */
  const void* pData;                /* the node's data */
  const struct FileInfoNode* pNext; /* the next node, or NULL; at most the first 256 nodes are read */
} FileInfoNode;

#define FILEINFO_NODE_IMAGE 1

/* The data of an image node. */
typedef struct ImageInfo {
  DWORD reserved0;    /* not read */
  DWORD width;        /* in pixels */
  DWORD height;       /* in pixels */
  DWORD bitsPerPixel; /* colour depth */
  DWORD reserved4;    /* not read */
  DWORD reserved5;    /* not read */
  DWORD hasAlpha;     /* non-zero: the image has an alpha channel */
} ImageInfo;

/* The file information dialog's record. Set cbSize to sizeof(DlgFileInfoParams): 40 bytes in a
 * 32-bit host, 64 in a 64-bit one (the natural layout, pointers 8 bytes). With a smaller cbSize
 * (such as 32 from a 32-bit host built against an older record), reserved7 and pPreviewDib count
 * as absent: they are never read, and the dialog shows no preview. */
typedef struct DlgFileInfoParams {
  DWORD cbSize;
  LPCSTR pszPath;                      /* full path of the file; only its first 259 characters are used */
  DWORD reserved2;                     /* not read */
  FILETIME ftModified;                 /* last modification time, UTC; shown in the user's locale */
  LONG nFileSize;                      /* size of the file in bytes */
  const FileInfoNode* pInfoList;       /* first node of the information list, or NULL */
  DWORD reserved7;                     /* not read */
  const BITMAPINFOHEADER* pPreviewDib; /* packed DIB for the preview, or NULL (see DlgFileInfoDoModal) */
  DWORD reserved9;                     /* not read */
} DlgFileInfoParams;

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

/* Shows the Open dialog. Returns 1 when the user chose an existing file (params->pszFile holds its
 * full path), 2 when the user cancelled or the dialog failed (pszFile untouched), 0 when the call
 * cannot start. */
COMMONQ_API int __cdecl DlgFileOpenDoModal(DlgFileParams* params) COMMONQ_NOEXCEPT;

/* Shows the Save As dialog, with the format options panel when dwFlags holds OFN_ENABLETEMPLATE.
 * Results as DlgFileOpenDoModal. The options the user chose are stored under Format\. */
COMMONQ_API int __cdecl DlgFileSaveasDoModal(DlgFileParams* params) COMMONQ_NOEXCEPT;

/* Shows the save options of one format (.bmp .gif .jpg .png .rsr .obj .car .cbr) and stores them
 * under Format\ on OK. Returns 1 (OK, or an extension without options), 2 (Cancel), -1 when
 * the dialog cannot be shown, 0 when the call cannot start. */
COMMONQ_API int __cdecl DlgFormatOptionDoModal(DlgFormatOptionParams* params) COMMONQ_NOEXCEPT;

/* Shows "Add a Favorite" over the active window: the user names a favorite and picks or creates
 * ("New Folder") a folder below params->szRoot. Nothing is created on disk: once the result is 1,
 * writing the shortcut file params->szName is the host's business. An existing file or folder of
 * that path is only returned after the user answered Yes to "Confirm File Overwrite"; a path of
 * 260 characters or more is refused with a message and the dialog stays open.
 * Returns 1 (Add: szFolder and szName hold the results, and the folder is remembered in
 * Folder\FavDoAddTo), 2 (Cancel, Esc or the close box; szFolder may hold the remembered folder,
 * and an earlier Add that stopped at the overwrite question may have rewritten szFolder and
 * szName), -1 when the dialog cannot be shown, 0 when the call cannot start or params is NULL.
 * The option "Restore last selected directory as default" is bit 0x20 of Option\OptGlb; the
 * dialog keeps every other bit. Call from the user-interface thread only. */
COMMONQ_API int __cdecl DlgFavDoAddTo(DlgFavParams* params) COMMONQ_NOEXCEPT;
/* Shows the "Current File Information" dialog about one file: icon, name and type, folder and
 * modification time, the "Image" group with one block per image node, size on disk and in
 * memory, "Properties..." (the shell's properties sheet; disabled when the file does not exist),
 * and a preview of pPreviewDib fitted into 64 x 64 pixels with a drop shadow.
 * pPreviewDib: a BITMAPINFOHEADER (biWidth, biHeight, biBitCount and, below 16 bits per pixel,
 * biClrUsed are read) followed by its colour table (1, 4 and 8 bits per pixel only) and the
 * uncompressed bottom-up rows, each padded to 4 bytes. The dialog copies it at once; the caller
 * keeps ownership of the record, the path, the list and the bitmap, which need to stay valid only
 * during the call. A bitmap that is not 1, 4, 8, 16, 24 or 32 bits per pixel, whose width or
 * height is 0 or negative, or whose bits exceed 64 MB, is not shown.
 * Returns 8 (Close), 2 (Esc or the close box), -1 when the dialog cannot be shown, 0 for a NULL
 * record or when the call cannot start. Call from the user-interface thread, one call at a time. */
COMMONQ_API int __cdecl DlgFileInfoDoModal(const DlgFileInfoParams* params) COMMONQ_NOEXCEPT;

/* The task dialog on every Windows version: TaskDialogIndirect's contract (commctrl.h's
 * TASKDIALOGCONFIG in; the pressed button, the chosen radio button and the verification state out,
 * each out-pointer optional). Forwards to the system's TaskDialogIndirect from Windows 6 on and
 * shows the library's own equivalent before. Icons passed as HICON (TDF_USE_HICON_MAIN,
 * TDF_USE_HICON_FOOTER) are destroyed by the call once the dialog has been shown, on both paths
 * (one handle given as both is destroyed once); a call that shows nothing leaves them to the
 * caller. Returns S_OK after the dialog ran (also when
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

COMMONQ_STATIC_ASSERT(sizeof(DlgFavParams) == 784, DlgFavParams_is_784_bytes);

#if defined(_WIN32) && !defined(_WIN64)
COMMONQ_STATIC_ASSERT(sizeof(DlgColorParams) == 20, DlgColorParams_is_20_bytes);
COMMONQ_STATIC_ASSERT(sizeof(DlgFileParams) == 32, DlgFileParams_is_32_bytes);
COMMONQ_STATIC_ASSERT(offsetof(DlgFileParams, nPromptMode) == DLGFILEPARAMS_SHORT_SIZE,
                      DlgFileParams_short_is_28_bytes);
COMMONQ_STATIC_ASSERT(sizeof(DlgFormatOptionParams) == 268, DlgFormatOptionParams_is_268_bytes);
COMMONQ_STATIC_ASSERT(sizeof(DlgFileInfoParams) == 40, DlgFileInfoParams_is_40_bytes);
COMMONQ_STATIC_ASSERT(offsetof(DlgFileInfoParams, ftModified) == 12, DlgFileInfoParams_time_at_12);
COMMONQ_STATIC_ASSERT(offsetof(DlgFileInfoParams, pPreviewDib) == 32, DlgFileInfoParams_preview_at_32);
COMMONQ_STATIC_ASSERT(sizeof(FileInfoNode) == 12, FileInfoNode_is_12_bytes);
#endif

/* In a 64-bit host the file information record has its natural layout. */
#if defined(_WIN64)
COMMONQ_STATIC_ASSERT(sizeof(DlgFileInfoParams) == 64, DlgFileInfoParams_is_64_bytes_on_x64);
COMMONQ_STATIC_ASSERT(offsetof(DlgFileInfoParams, pInfoList) == 32, DlgFileInfoParams_list_at_32_on_x64);
COMMONQ_STATIC_ASSERT(offsetof(DlgFileInfoParams, reserved7) == 40, DlgFileInfoParams_reserved7_at_40_on_x64);
COMMONQ_STATIC_ASSERT(offsetof(DlgFileInfoParams, pPreviewDib) == 48, DlgFileInfoParams_preview_at_48_on_x64);
COMMONQ_STATIC_ASSERT(sizeof(FileInfoNode) == 24, FileInfoNode_is_24_bytes_on_x64);
#endif
COMMONQ_STATIC_ASSERT(sizeof(ImageInfo) == 28, ImageInfo_is_28_bytes);

#endif /* COMMONQ_H */
