#pragma once
// Ids of the library's own resources, shared by the .rc file and the code.

#define IDS_DO_NOT_ASK_AGAIN 1
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

#include "favorites_ids.h"
#include "fileinfo_ids.h"
