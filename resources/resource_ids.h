#pragma once
// Ids of the library's own resources, shared by the .rc file and the code.
#include "filedialogs_ids.h"

#define IDS_DO_NOT_ASK_AGAIN 1
#define IDS_DO_NOT_SHOW_AGAIN 2
#include "taskdialog_ids.h"

#include "favorites_ids.h"
#include "fileinfo_ids.h"
