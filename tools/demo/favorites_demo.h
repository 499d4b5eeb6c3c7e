#pragma once
// The demo's Add a Favorite call on a small sample favorites tree.
#include <windows.h>

#include <optional>
#include <string>

#include "demo_host.h"

namespace demo {

using DlgFavDoAddToFn = int(__cdecl*)(DlgFavParams*);

bool LoadFavoritesExport(HMODULE module);
// Adds the "Add a Favorite..." button at `y`; returns the y below it.
int AddFavoritesControls(HWND window, int y);
// Runs the call behind the button; the log line, or nothing for another id.
std::optional<std::string> OnFavoritesCommand(int id);
// Makes the sample tree under %TEMP% (once) and shows the dialog with the proposed name.
int CallAddFavorite(const char* name);

}  // namespace demo
