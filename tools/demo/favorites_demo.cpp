#include "favorites_demo.h"

#include <cstdio>

namespace demo {
namespace {

constexpr int kAddFavorite = 400;
DlgFavDoAddToFn g_addFavorite = nullptr;

// A favorites tree as a Qelm Explorer user might have it.
std::string SampleRoot() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "Qelm Favorites";
  for (const char* folder : {"", "\\Chairs", "\\Chairs\\Office", "\\Chairs\\Garden", "\\Lamps", "\\Scenes",
                             "\\Scenes\\Interiors", "\\Scenes\\Interiors\\Kitchen", "\\Textures", "\\Textures\\Wood"}) {
    CreateDirectoryA((root + folder).c_str(), nullptr);
  }
  return root;
}

}  // namespace

bool LoadFavoritesExport(HMODULE module) {
  g_addFavorite = reinterpret_cast<DlgFavDoAddToFn>(reinterpret_cast<void*>(GetProcAddress(module, "DlgFavDoAddTo")));
  return g_addFavorite != nullptr;
}

int AddFavoritesControls(HWND window, int y) {
  HWND control = CreateWindowExA(0, "BUTTON", "Add a Favorite...", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 12, y, 250, 26,
                                 window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kAddFavorite)), nullptr, nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return y + 32;
}

int CallAddFavorite(const char* name) {
  DlgFavParams params{};
  const std::string root = SampleRoot();
  lstrcpynA(params.szRoot, root.c_str(), sizeof params.szRoot);
  lstrcpynA(params.szFolder, (root + "\\Chairs").c_str(), sizeof params.szFolder);
  lstrcpynA(params.szName, name, sizeof params.szName);
  return g_addFavorite(&params);
}

std::optional<std::string> OnFavoritesCommand(int id) {
  if (id != kAddFavorite || g_addFavorite == nullptr) return std::nullopt;
  DlgFavParams params{};
  const std::string root = SampleRoot();
  lstrcpynA(params.szRoot, root.c_str(), sizeof params.szRoot);
  lstrcpynA(params.szName, "Office chair.obj", sizeof params.szName);
  const int result = g_addFavorite(&params);
  char line[900];
  std::snprintf(line, sizeof line, "DlgFavDoAddTo = %d\r\n  szFolder = %s\r\n  szName = %s", result, params.szFolder,
                params.szName);
  return std::string(line);
}

}  // namespace demo
