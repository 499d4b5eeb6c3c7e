#pragma once
// Ids of the library's common resources (CommonQ.rc), of the message box's check box, and of the
// strings of the host's language files that the frame and the message box use. Included by the
// .rc and by the code.

// The library's own strings: the check box text, and the button texts of the emulated task dialog.
#define IDS_DO_NOT_SHOW_AGAIN 2
#define IDS_BUTTON_OK 3
#define IDS_BUTTON_YES 4
#define IDS_BUTTON_NO 5
#define IDS_BUTTON_CANCEL 6
#define IDS_BUTTON_RETRY 7
#define IDS_BUTTON_CLOSE 8

#define IDI_COMMAND_LINK_HOT 1027
#define IDI_COMMAND_LINK 1028
#define IDI_EXPANDO_EXPANDED 1029
#define IDI_EXPANDO_COLLAPSED 1030
#define IDI_FAVORITES 1034
#define IDB_DISCLOSURE 1035

// The "Do not show again" check box the message box adds.
#define IDC_DO_NOT_SHOW_AGAIN 1092

// Strings of the host's language files: the shared texts of the standard buttons, and the check
// box text.
#define IDS_LANG_OK 3
#define IDS_LANG_CANCEL 5
#define IDS_LANG_ABORT 7
#define IDS_LANG_CLOSE 11
#define IDS_LANG_DO_NOT_SHOW_AGAIN 3002
