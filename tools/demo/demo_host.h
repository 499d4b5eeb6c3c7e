#pragma once
// What the demo and its gallery share: the loaded library and the host-side settings helpers.
#include <windows.h>

#include <string>

#include "CommonQ.h"

namespace demo {

using MessageBoxDoModalFn = int(__cdecl*)(HWND, LPCSTR, LPCSTR, UINT, UINT);
using DlgColorDialogDoModalFn = int(__cdecl*)(DlgColorParams*);

// The exports, found the way a host finds them.
struct Library {
  HMODULE module = nullptr;
  MessageBoxDoModalFn messageBox = nullptr;
  DlgColorDialogDoModalFn colorDialog = nullptr;
  bool Load();
};

inline constexpr const char* kSettingsRoot = "Software\\Dravonix\\Qelm Explorer";

void SetLanguage(const char* extension);  // nullptr removes the value (English)
void SetDwordValue(const char* subKey, const char* name, DWORD value);
void DeleteAllSettings();
// "name = value" lines of the values a host reads after the calls.
std::string DescribeSettings();

int RunGallery(Library& library, const std::wstring& folder);

}  // namespace demo
