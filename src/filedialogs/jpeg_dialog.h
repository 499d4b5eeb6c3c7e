#pragma once
// The JPEG options: the format table's dialog with the factor's up-down control and its rules.
#include <windows.h>

#include "filedialogs/logic/format_table.h"

namespace commonq {

int RunJpegOptionsDialog(const FormatTable& format, HWND parent);

}  // namespace commonq
