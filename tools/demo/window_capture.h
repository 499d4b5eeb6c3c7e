#pragma once
// The gallery's shots of the dialogs, as they are on screen.
#include <windows.h>

#include <functional>
#include <string>

namespace demo {

// Captures the whole window, frame and caption included, as a PNG. Copies from the window DC
// because Wine's PrintWindow hands back a blank image. False on any failure.
bool CaptureWindowToPng(HWND window, const std::string& path);

// Shows a dialog with `show`, waits for the dialog titled `caption`, captures it to `path` and
// ends it; prints the outcome and returns whether the shot was taken.
bool CaptureDialog(const std::string& path, const char* caption, const std::function<void()>& show);

}  // namespace demo
