#pragma once
// The demo's Open, Save As and format options calls, kept apart from the frame of the demo.
#include <windows.h>

#include <optional>
#include <string>

#include "demo_host.h"

namespace demo {

using DlgFileDoModalFn = int(__cdecl*)(DlgFileParams*);
using DlgFormatOptionDoModalFn = int(__cdecl*)(DlgFormatOptionParams*);

// Every format the host writes, as its Save As dialog lists them.
extern const char kHostFilter[];

// Finds the three exports; false when one is missing.
bool LoadFileExports(HMODULE module);

// Adds the "Open..." and "Save As..." buttons at `y` and the "Format options" menu.
// Adds the file dialog buttons from `y` down and the "Format options" menu; returns the y below them.
int AddFileDialogControls(HWND window, int y);

// Runs the call behind a button or menu item; the log line, or nothing for another id.
std::optional<std::string> OnFileDialogCommand(HWND window, int id);

// The host's view of Format\ after a call: "name = value" for each value.
std::string DescribeFormatSettings();

int CallOpen(HWND owner, char (&file)[260]);
int CallSaveAs(HWND owner, DWORD filterIndex, LONG promptMode, char (&file)[260]);
int CallFormatOptions(const char* extension);

}  // namespace demo
