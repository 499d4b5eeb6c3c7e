#pragma once
// Ids of the library's own resources, shared by the .rc file and the code.

#include "common_ids.h"

// Add a Favorite: the dialog, its built-in English texts (the numbers the host's language files
// use for the same texts), and the message that refuses a path that is too long.
#define IDD_ADD_FAVORITE 1180
#define IDS_SHOW_OPTIONS 63
#define IDS_HIDE_OPTIONS 64
#define IDS_NEW_FOLDER 829
#define IDS_CONFIRM_OVERWRITE 3041
#define IDS_OVERWRITE_QUESTION 3042
#define IDS_FAVORITE_TOO_LONG 1191
#define IDS_FAVORITE_TOO_LONG_TEXT 1192

// File information dialog: template 1070 and its controls (the dialog code uses these too).
#define IDD_FILE_INFO 1070
#define IDC_FILE_INFO_ICON 1071
#define IDC_FILE_INFO_NAME 1072
#define IDC_FILE_INFO_TYPE 1073
#define IDC_FILE_INFO_SOURCE_GROUP 1074
#define IDC_FILE_INFO_PATH_LABEL 1075
#define IDC_FILE_INFO_FOLDER 1076
#define IDC_FILE_INFO_MODIFIED_LABEL 1077
#define IDC_FILE_INFO_MODIFIED 1078
#define IDC_FILE_INFO_PROPERTIES 1079
#define IDC_FILE_INFO_IMAGE_GROUP 1080
#define IDC_FILE_INFO_IMAGE_LABELS 1081
#define IDC_FILE_INFO_IMAGE_VALUES 1082
#define IDC_FILE_INFO_MEMORY_GROUP 1083
#define IDC_FILE_INFO_DISK_LABEL 1084
#define IDC_FILE_INFO_RAM_LABEL 1085
#define IDC_FILE_INFO_DISK_SIZE 1086
#define IDC_FILE_INFO_RAM_SIZE 1087
#define IDC_FILE_INFO_PREVIEW 1088
