/* CommonQ: the common dialogs of Qelm Explorer. This header is the whole reference for a host.
 *
 * LINKING
 *   MinGW:        link lib/libCommonQ.dll.a (or find_package(CommonQ) and CommonQ::CommonQ).
 *   MSVC, clang-cl: link lib/CommonQ.lib (the same package picks it for MSVC-style compilers).
 *   At run time:  ship bin/CommonQ.dll beside the host's executable. Hosts that load the DLL with
 *                 LoadLibraryA use GetProcAddress with the plain names below (no "_" or "@N"
 *                 on either architecture) and function pointer types with __cdecl.
 *   The i686 DLL (32-bit) is the shipping one; the x86_64 DLL has the same exports and records.
 *   CommonQ.dll imports system DLLs only and carries its C++ runtime inside.
 *
 * CALLING RULES (every export)
 *   - Calling convention __cdecl; strings are ANSI, NUL-terminated, in the system code page
 *     (TaskDialogIndirect98 takes TASKDIALOGCONFIG's wide strings).
 *   - Threading: call from the host's user-interface thread (the thread that owns the owner
 *     window), one call at a time. A call made while another CommonQ call is still running,
 *     from another thread or from inside a running dialog (a task dialog callback, say), returns
 *     its "cannot start" result and shows nothing.
 *   - "Cannot start" is 0 (TaskDialogIndirect98: E_FAIL): the call's start failed, nothing was
 *     shown, nothing stored and no record written. Each call initialises COM on the calling
 *     thread (CoInitialize, single-threaded apartment) and balances it before returning; a thread
 *     that already joined the multithreaded apartment therefore always gets "cannot start".
 *   - Every call is modal: it returns when the user has closed the dialog. The owner window is
 *     disabled meanwhile. A NULL owner in a record means the window active at the time of the
 *     call; MessageBoxDoModal hands its owner to MessageBoxA unchanged.
 *   - Ownership: records and buffers belong to the caller. The library reads and writes them
 *     only during the call, keeps no pointer to them afterwards and hands out no memory to free.
 *     The only thing a call takes over are the icons of TaskDialogIndirect98 (see there).
 *   - The functions never throw (noexcept in C++), and never write outside the records' fields
 *     and the buffer sizes given below.
 *
 * SETTINGS
 *   Kept under HKEY_CURRENT_USER\Software\Dravonix\Qelm Explorer (values listed with each
 *   export). The host's "Language" value (REG_SZ, such as ".deu"; ".enu" or absent: English)
 *   selects the language file Languages\QelmLang.<ext> beside the host's executable, a
 *   resource-only DLL loaded as data only (languages/build_language.py builds one from a text
 *   table). A "Language" value with \, / or : in it counts as a missing file. The library never
 *   writes "Language".
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

/* The colour chooser's record (20 bytes on i686). */
typedef struct DlgColorParams {
  DWORD reserved;      /* not read */
  COLORREF rgbInitial; /* in: colour selected when the chooser opens; 0 selects none */
  DWORD dwFlags;       /* in: CHOOSECOLOR flags added to the library's own */
  HWND hwndOwner;      /* in: owner window; NULL means the active window */
  COLORREF rgbResult;  /* out: the chosen colour, written only when the result is 1 */
} DlgColorParams;

/* Which Open and Save As dialog runs: on Windows Vista (6.0) and later the modern one
 * (FileOpenDialog, FileSaveDialog: navigation pane, search box), on earlier Windows the classic
 * Explorer-style one (GetOpenFileNameA, GetSaveFileNameA). The record, the result and the settings
 * are the same in both; the Save As panel's "Options..." button and "Prompt for format options"
 * box are added to the modern dialog, where the button is disabled for a type without options.
 * The classic dialog also runs when the DWORD value "ClassicFileDialogs" in
 * HKEY_CURRENT_USER\Software\Dravonix\Qelm Explorer\Option is 1 (any other value, or none,
 * keeps the modern one), when OFN_ALLOWMULTISELECT is asked for, and when the modern dialog cannot
 * be created. The modern dialog refuses, with a message, a path that does not fit in 259
 * characters or has a character without a form in the system's ANSI code page; the classic
 * dialog has no such paths to give. */

/* The Open and Save As dialogs' record (32 bytes on i686). A caller may pass the first seven
 * fields only and set cbSize to 28; the Save As dialog then behaves as with nPromptMode 0 and does
 * not read it. Any other cbSize below 32 is treated the same way. Only pszFile is ever written;
 * the chosen filter index and the file title are not returned. */
typedef struct DlgFileParams {
  DWORD cbSize;       /* 28 or 32 */
  HWND hwndOwner;     /* owner window; NULL means the active window */
  LPSTR pszFile;      /* in: initial name (at most 259 characters taken); out on OK: full path.
                         Must point to 260 bytes, which are cleared before the path is copied. */
  LPCSTR pszFilter;   /* filter list: description and pattern pairs, ended by an empty string
                         (required: a list without it cannot be detected and would be overread) */
  DWORD nFilterIndex; /* 1-based filter selected at start */
  LPCSTR pszDefExt;   /* default extension without the dot; may be NULL */
  DWORD dwFlags;      /* OFN_* flags; OFN_ENABLETEMPLATE shows the Save As format options panel */
  LONG nPromptMode;   /* Save As: 0 no "Prompt for format options" box, > 0 box shown and
                         remembered, < 0 box shown disabled and unchecked */
} DlgFileParams;

/* cbSize of a record that ends before nPromptMode. */
#define DLGFILEPARAMS_SHORT_SIZE 28

/* The format options dialog's record (268 bytes on i686): only the extension is read, never
 * written. */
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

/* MessageBoxDoModal: the system message box, with "Do not show again" for some messages.
 *   owner, text, caption, type: passed to MessageBoxA unchanged (MB_* flags in type).
 *   messageNumber: the host's number of the message. 3031 and 10101 are suppressible: the box
 *     gets a "Do not show again" check box (translated: language string 3002); when it is ticked
 *     as the box closes, whichever button closed it, the number is remembered and every later
 *     call with that number returns 1 (IDOK) at once without showing anything. Any other number
 *     gives a plain MessageBoxA.
 * Returns MessageBoxA's result (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7, ...), 1 when suppressed,
 * 0 when the call cannot start.
 * Settings: "Common\DoNot" (REG_DWORD): bit 0x2 for 3031, bit 0x8 for 10101. A host offers
 * "show all messages again" by clearing those bits. */
COMMONQ_API int __cdecl MessageBoxDoModal(HWND owner, LPCSTR text, LPCSTR caption, UINT type,
                                          UINT messageNumber) COMMONQ_NOEXCEPT;

/* DlgColorDialogDoModal: the system colour chooser (ChooseColorA) with six preset custom colours
 * in the first row and the user's eight most recent colours in the second.
 *   params: in: rgbInitial, dwFlags (CC_* flags added to the library's own; CC_ENABLEHOOK is
 *     ignored), hwndOwner; out: rgbResult, written only when the result is 1.
 * Returns 1 when the user chose a colour, 2 when the user cancelled or the chooser failed
 * (rgbResult untouched), 0 when the call cannot start.
 * Settings: "Common\Color0" to "Color7" (REG_DWORD COLORREF), most recent first. A chosen colour
 * moves to the front unless it is a preset; white and black are never stored. */
COMMONQ_API int __cdecl DlgColorDialogDoModal(DlgColorParams* params) COMMONQ_NOEXCEPT;

/* DlgFileOpenDoModal: the system's Open dialog (modern or classic, see above). The file name
 * follows the file type the user picks (its extension changes with the type).
 *   params: cbSize is not read by Open; pszFile, pszFilter, nFilterIndex, pszDefExt, dwFlags as
 *     documented in DlgFileParams (the library adds OFN_EXPLORER, OFN_ENABLESIZING,
 *     OFN_ENABLEHOOK, OFN_FILEMUSTEXIST, OFN_PATHMUSTEXIST and OFN_HIDEREADONLY).
 * Returns 1 when the user chose an existing file: pszFile is cleared over 260 bytes and receives
 * the full path. 2 when the user cancelled or the dialog failed: pszFile is left as it was. 0 when
 * the call cannot start. Nothing is stored in the registry. */
COMMONQ_API int __cdecl DlgFileOpenDoModal(DlgFileParams* params) COMMONQ_NOEXCEPT;

/* DlgFileSaveasDoModal: the system's Save As dialog (modern or classic, see above; the library adds
 * OFN_EXPLORER, OFN_ENABLESIZING, OFN_ENABLEHOOK, OFN_OVERWRITEPROMPT and OFN_HIDEREADONLY).
 *   params: as DlgFileOpenDoModal; with OFN_ENABLETEMPLATE in dwFlags a panel below the standard
 *     controls offers "Options..." (the chosen type's save options, DlgFormatOptionDoModal) and,
 *     by nPromptMode, "Prompt for format options": when ticked, Save first shows the chosen
 *     type's options, and Cancel there keeps Save As open. A type's extension is its pattern
 *     after the first character, up to the first ';' ("*.car;*.cbr" gives ".car"); "*.*" has
 *     no options.
 * Results as DlgFileOpenDoModal.
 * Settings: "Format\Check" (REG_DWORD, 1 or 0) remembers "Prompt for format options" when
 * nPromptMode > 0; the format options the user confirmed are stored as DlgFormatOptionDoModal
 * describes. */
COMMONQ_API int __cdecl DlgFileSaveasDoModal(DlgFileParams* params) COMMONQ_NOEXCEPT;

/* DlgFormatOptionDoModal: the save options of one file format. The dialog reads the format's
 * settings when it opens and stores them on OK; the host reads them when it writes the file.
 *   params->szExtension: ".bmp", ".gif", ".jpg", ".png", ".rsr", ".obj", ".car" or ".cbr" (any
 *     case, the whole text compared). Any other extension (".tga", ".tif", ".jpeg", "") has no
 *     options and returns 1 at once without showing anything.
 * Returns 1 (OK, or no options), 2 (Cancel: nothing stored), -1 when the dialog could not be
 * shown, 0 when the call cannot start.
 * Settings, under "Format\" (REG_DWORD unless noted). Depth bits: 0x02 32 bits, 0x04 24 bits,
 * 0x08 16 bits, 0x10 8 bits, 0x20 4 bits, 0x40 1 bit, 0x100 2-bit grayscale.
 *   "bmp"      one depth bit; 0x80 "Same as source"                       (default 0x84)
 *   "png"      one depth bit (0x04, 0x10 or 0x02); 0x400 interlaced          (default 0x404)
 *   "rsr"      0x04 opaque or 0x02 transparent; 0x80 "Same as source"      (default 0x82)
 *   "carr"     1 compressed, 2 uncompressed, 0 same as source              (default 0)
 *   "jpegComp" compression factor 0 to 99; "jpeg" always 0                 (default 25, 0)
 *   "3dCheck"  0x1 centred, 0x2 place on floor, 0x4 scale                  (default 0)
 *   "3dScale"  REG_SZ: the scale in percent as "%f" text, 0.001 to 100000   (default "100.000000")
 *   "obj"      0x1 .MTL file, 0x2 normals, 0x4 UVs, 0x8 active materials; groups: 0x100 use
 *              materials, 0x200 append material name; texture paths: 0x10 absolute, 0x20 in
 *              the OBJ directory, 0x40 none, else relative                  (default 0x7)
 * A missing value or one of another type reads as the default. */
COMMONQ_API int __cdecl DlgFormatOptionDoModal(DlgFormatOptionParams* params) COMMONQ_NOEXCEPT;

/* DlgFavDoAddTo: shows "Add a Favorite" over the active window: the user names a favorite and picks or creates
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

/* DlgFileInfoDoModal: shows the "Current File Information" dialog about one file: icon, name and type, folder and
 * modification time, the "Image" group with one block per image node, size on disk and in
 * memory, "Properties..." (the shell's properties sheet; disabled when the file does not exist),
 * and a preview of pPreviewDib fitted into 64 x 64 pixels with a drop shadow.
 * pPreviewDib: a BITMAPINFOHEADER (biWidth, biHeight, biBitCount and, below 16 bits per pixel,
 * biClrUsed are read) followed by its colour table (1, 4 and 8 bits per pixel only) and the
 * uncompressed bottom-up rows, each padded to 4 bytes. The dialog reads the bitmap only while it
 * initialises, before it is shown: it keeps a copy of its own, stretched to the preview's size,
 * so from then on the host may repaint, reallocate or free the bitmap. The caller keeps ownership
 * of the record, the path, the list and the bitmap; the record, the path and the list need to
 * stay valid during the call. A bitmap that is not 1, 4, 8, 16, 24 or 32 bits per pixel, whose
 * width or height is 0 or negative, or that is larger than the address space, is not shown; nor,
 * when there is no memory for it, is the copy.
 * Returns 8 (Close), 2 (Esc or the close box), -1 when the dialog cannot be shown, 0 for a NULL
 * record or when the call cannot start. Call from the user-interface thread, one call at a time. */
COMMONQ_API int __cdecl DlgFileInfoDoModal(const DlgFileInfoParams* params) COMMONQ_NOEXCEPT;

/* TaskDialogIndirect98: the task dialog on every Windows version, with TaskDialogIndirect's
 * contract. From Windows 6 (Vista) on the call goes to the system's TaskDialogIndirect unchanged;
 * before, the library shows its own equivalent (no page navigation, no
 * TDM_SET_BUTTON_ELEVATION_REQUIRED_STATE, no TDM_UPDATE_ICON).
 *   pTaskConfig: commctrl.h's TASKDIALOGCONFIG (wide strings), read during the call; its
 *     callback gets the usual TDN_* notifications on this thread and may send TDM_* messages,
 *     but must not call another CommonQ function.
 *   pnButton, pnRadioButton, pfVerificationFlagChecked: optional (NULL) out-pointers for the
 *     pressed button id, the chosen radio button id and the verification box state.
 * Returns S_OK after the dialog ran (also when its window could not be created: button IDCANCEL,
 * radio 0, verification FALSE); E_FAIL when the call cannot start, for more than 20 buttons or
 * radio buttons, or for command links without custom buttons; E_INVALIDARG for a null
 * configuration; E_OUTOFMEMORY when the dialog's template cannot be allocated.
 * Ownership: icons passed as HICON (TDF_USE_HICON_MAIN, TDF_USE_HICON_FOOTER) belong to the call
 * and are destroyed by it once the dialog has been shown, on both paths (one handle given as both
 * is destroyed once); do not destroy them afterwards. A call that shows nothing leaves them to the
 * caller. */
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
