#pragma once
// The Open and Save As dialogs of Windows 6 and later (FileOpenDialog and FileSaveDialog) on the
// classic dialogs' contract: the same record, settings, format options and prompt at Save.
#include <windows.h>

#include <optional>

#include "CommonQ.h"

namespace commonq {

// Whether a call shows the modern dialog: Windows 6 or later, the "ClassicFileDialogs" setting not
// 1, and a single file asked for.
bool ShowsModernFileDialog(const DlgFileParams& params);

// The modern dialog inside a started export: 1 when the user chose a file (then the caller's buffer
// holds its path), 2 when the user cancelled or the dialog failed, 0 when a handler of the library
// failed and closed it. Nothing when the dialog object could not be created: nothing was shown,
// and the classic dialog can run instead.
std::optional<int> RunModernFileDialog(const DlgFileParams& params, bool open);

}  // namespace commonq
