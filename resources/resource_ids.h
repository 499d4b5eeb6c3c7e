#pragma once
// Ids of the library's own resources, shared by the .rc file and the code.
#include "common_ids.h"
#include "favorites_ids.h"
#include "filedialogs_ids.h"
#include "fileinfo_ids.h"
#include "taskdialog_ids.h"
