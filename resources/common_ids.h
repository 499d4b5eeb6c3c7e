#pragma once
// Ids of the library's common resources (CommonQ.rc), of the message box's check box, and of the
// strings of the host's language files that the frame and the message box use. Included by the
// .rc and by the code.

// The library's own string: the check box text. The task dialog's button texts and glyphs are in
// taskdialog_ids.h, the favorites icon and disclosure bitmap in favorites_ids.h.
#define IDS_DO_NOT_SHOW_AGAIN 2

// The "Do not show again" check box the message box adds.
#define IDC_DO_NOT_SHOW_AGAIN 1092

// Strings of the host's language files: the shared texts of the standard buttons, and the check
// box text.
#define IDS_LANG_OK 3
#define IDS_LANG_CANCEL 5
#define IDS_LANG_ABORT 7
#define IDS_LANG_CLOSE 11
#define IDS_LANG_DO_NOT_SHOW_AGAIN 3002
