#pragma once
// The format options dispatcher: the options dialog of a file extension, chosen by the format
// table. The dialogs themselves know nothing of it.
#include "filedialogs/format_options.h"

namespace commonq {

// Shows the options dialog of `extension` (with its dot) over `owner`, or over the active window
// when there is none. Returns 1 (OK) or 2 (Cancel) as the dialog ended, -1 when it could not run,
// and 1 for an extension that has no dialog.
int RunFormatOptionsDialog(const char* extension, HWND owner = nullptr);

}  // namespace commonq
