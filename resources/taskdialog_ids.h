#pragma once
// Ids of the task dialog: the common button texts, the command-link and expando glyphs, and the
// controls of the emulated dialog. Shared by the .rc file, the logic tier and the Win32 tier.

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

#define IDC_TD_MAIN_INSTRUCTION 0x7401
#define IDC_TD_MAIN_ICON 0x7402
#define IDC_TD_CONTENT 0x7403
#define IDC_TD_VERIFICATION 0x7404
#define IDC_TD_EXPANDO_BUTTON 0x7405
#define IDC_TD_EXPANDO_LABEL 0x7406
#define IDC_TD_EXPANDED_INFORMATION 0x7407
#define IDC_TD_FOOTER 0x7408
#define IDC_TD_FOOTER_ICON 0x7409
#define IDC_TD_PROGRESS_BAR 0x740A
// Custom buttons and radio buttons are numbered from these, one per entry of the caller's list.
#define IDC_TD_FIRST_BUTTON 0x740B
#define IDC_TD_LAST_BUTTON 0x741F
#define IDC_TD_FIRST_RADIO 0x7420
#define IDC_TD_LAST_RADIO 0x7434
