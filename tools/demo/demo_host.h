#pragma once
// What the demo and its gallery share: the loaded library and the host-side settings helpers.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "CommonQ.h"

namespace demo {

using MessageBoxDoModalFn = int(__cdecl*)(HWND, LPCSTR, LPCSTR, UINT, UINT);
using DlgColorDialogDoModalFn = int(__cdecl*)(DlgColorParams*);
using TaskDialogIndirect98Fn = HRESULT(__cdecl*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// The exports, found the way a host finds them.
struct Library {
  HMODULE module = nullptr;
  MessageBoxDoModalFn messageBox = nullptr;
  DlgColorDialogDoModalFn colorDialog = nullptr;
  TaskDialogIndirect98Fn taskDialog = nullptr;
  bool Load();
};

inline constexpr const char* kSettingsRoot = "Software\\Dravonix\\Qelm Explorer";

void SetLanguage(const char* extension);  // nullptr removes the value (English)
void SetDwordValue(const char* subKey, const char* name, DWORD value);
void DeleteAllSettings();
// "name = value" lines of the values a host reads after the calls.
std::string DescribeSettings();

int RunGallery(Library& library, const std::wstring& folder);

// The task dialog page and its part of the gallery (task_dialog_page.cpp).
using LogFunction = void (*)(const std::string& line);
// CommonQDemo_xp.exe, the copy that Wine runs as Windows XP.
bool IsWindowsXpCopy();
void OpenTaskDialogPage(HWND owner, Library& library, LogFunction log);
// Shows ready configuration `index` and returns the button; for the sibling executable.
int RunTaskDialogSample(Library& library, int index);
// Captures every ready configuration; returns the number of failed captures.
int RunTaskDialogGallery(Library& library, const std::string& base);

// The gallery pages' shared look and the links between them.
inline constexpr const char* kGalleryStyle =
    "<!doctype html><meta charset=\"utf-8\"><style>body{font-family:sans-serif}"
    ".row{display:flex;flex-wrap:wrap;gap:16px;align-items:flex-start}figure{margin:0 0 12px}"
    "figcaption{text-align:center}table{border-collapse:collapse}th,td{border:1px solid #ccc;padding:6px;"
    "vertical-align:top}th{background:#eee}</style>\n";
inline constexpr const char* kGalleryNavigation =
    "<nav><a href=\"index.html\">Dialogs</a> | <a href=\"taskdialogs.html\">Task dialogs</a></nav>\n";

}  // namespace demo
