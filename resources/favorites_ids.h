#pragma once
// Ids of Add a Favorite, shared by favorites.rc and the code: the template, its controls, its
// icon and picture, its built-in texts (numbered as the host's language files number the same
// texts) and the language-file texts of controls outside the numbering rule.

#define IDI_FAVORITES 1034
#define IDB_DISCLOSURE 1035

#define IDD_ADD_FAVORITE 1180
#define IDC_FAVORITE_ICON 1181
#define IDC_FAVORITE_TITLE 1182
#define IDC_FAVORITE_SUBTITLE 1183
#define IDC_FAVORITE_NAME_LABEL 1184
#define IDC_FAVORITE_NAME 1185
#define IDC_FAVORITE_FOLDER_LABEL 1186
#define IDC_FAVORITE_FOLDER 1187
#define IDC_FAVORITE_NEW_FOLDER 1188
#define IDC_FAVORITE_OPTIONS 1189
#define IDC_FAVORITE_RESTORE 1190

#define IDS_SHOW_OPTIONS 63
#define IDS_HIDE_OPTIONS 64
#define IDS_NEW_FOLDER 829
#define IDS_CONFIRM_OVERWRITE 3041
#define IDS_OVERWRITE_QUESTION 3042
#define IDS_FAVORITE_TOO_LONG 1191
#define IDS_FAVORITE_TOO_LONG_TEXT 1192

// Language-file texts of the "Name" label and the "Add" button.
#define IDS_LANGUAGE_FAVORITE_NAME 1001
#define IDS_LANGUAGE_ADD 46
