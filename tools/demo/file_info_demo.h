#pragma once
// The demo's file information call: a sample image the host "has open", written beside the demo
// as a real file, with two image nodes and a preview.
#include <windows.h>

#include <string>

namespace demo {

// Finds DlgFileInfoDoModal; false when it is missing.
bool LoadFileInfoExport(HMODULE module);

// Shows the dialog about the sample image over the active window and returns the log line.
std::string CallFileInfo();

}  // namespace demo
