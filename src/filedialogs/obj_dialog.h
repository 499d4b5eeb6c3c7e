#pragma once
// The 3D options: placement and scale, with the Wavefront page.
#include <windows.h>

#include "filedialogs/logic/format_table.h"

namespace commonq {

int RunObjOptionsDialog(const FormatTable& format, HWND parent);

}  // namespace commonq
