#include "file_demo.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

namespace demo {
namespace {

enum FileControlId : int {
  kOpen = 300,
  kSaveAs,
  kFirstFormat = 320,
};

constexpr const char* kMenuExtensions[] = {".bmp", ".jpg", ".png", ".gif", ".rsr",
                                           ".car", ".cbr", ".obj", ".tga", ".tif"};

DlgFileDoModalFn g_open = nullptr;
DlgFileDoModalFn g_saveAs = nullptr;
DlgFormatOptionDoModalFn g_formatOptions = nullptr;

template <typename Function>
Function Find(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::string Describe(const char* call, int result, const char* file) {
  char line[400];
  std::snprintf(line, sizeof line, "%s = %d, file = \"%s\"\r\n%s", call, result, file,
                DescribeFormatSettings().c_str());
  return line;
}

}  // namespace

const char kHostFilter[] =
    "Bitmap (*.bmp)\0*.bmp\0JPEG (*.jpg)\0*.jpg\0PNG (*.png)\0*.png\0GIF (*.gif)\0*.gif\0RSR (*.rsr)\0*.rsr\0"
    "Carrara image (*.car;*.cbr)\0*.car;*.cbr\0Wavefront OBJ (*.obj)\0*.obj\0Targa (*.tga)\0*.tga\0"
    "TIFF (*.tif)\0*.tif\0All files (*.*)\0*.*\0";

bool LoadFileExports(HMODULE module) {
  g_open = Find<DlgFileDoModalFn>(module, "DlgFileOpenDoModal");
  g_saveAs = Find<DlgFileDoModalFn>(module, "DlgFileSaveasDoModal");
  g_formatOptions = Find<DlgFormatOptionDoModalFn>(module, "DlgFormatOptionDoModal");
  return g_open != nullptr && g_saveAs != nullptr && g_formatOptions != nullptr;
}

int AddFileDialogControls(HWND window, int y) {
  const struct {
    const char* text;
    int id;
  } buttons[] = {{"Open...", kOpen}, {"Save As...", kSaveAs}};
  for (const auto& button : buttons) {
    HWND control = CreateWindowExA(0, "BUTTON", button.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 12, y, 250, 26, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(button.id)), nullptr, nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    y += 32;
  }
  HMENU formats = CreatePopupMenu();
  for (int k = 0; k < static_cast<int>(std::size(kMenuExtensions)); ++k) {
    AppendMenuA(formats, MF_STRING, static_cast<UINT_PTR>(kFirstFormat + k), kMenuExtensions[k]);
  }
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(formats), "Format options");
  SetMenu(window, bar);
  return y;
}

int CallOpen(HWND owner, char (&file)[260]) {
  DlgFileParams params{};
  params.cbSize = sizeof params;
  params.hwndOwner = owner;
  params.pszFile = file;
  params.pszFilter = kHostFilter;
  params.nFilterIndex = 10;
  return g_open(&params);
}

int CallSaveAs(HWND owner, DWORD filterIndex, LONG promptMode, char (&file)[260]) {
  DlgFileParams params{};
  params.cbSize = sizeof params;
  params.hwndOwner = owner;
  params.pszFile = file;
  params.pszFilter = kHostFilter;
  params.nFilterIndex = filterIndex;
  params.pszDefExt = "png";
  params.dwFlags = OFN_ENABLETEMPLATE;
  params.nPromptMode = promptMode;
  return g_saveAs(&params);
}

int CallFormatOptions(const char* extension) {
  DlgFormatOptionParams params{};
  lstrcpynA(params.szExtension, extension, sizeof params.szExtension);
  return g_formatOptions(&params);
}

std::optional<std::string> OnFileDialogCommand(HWND window, int id) {
  if (g_open == nullptr) return std::nullopt;
  char file[260] = "scene.png";
  if (id == kOpen) {
    const int result = CallOpen(window, file);
    return Describe("DlgFileOpenDoModal", result, file);
  }
  if (id == kSaveAs) {
    const int result = CallSaveAs(window, 3, 1, file);
    return Describe("DlgFileSaveasDoModal", result, file);
  }
  const int k = id - kFirstFormat;
  if (k < 0 || k >= static_cast<int>(std::size(kMenuExtensions))) return std::nullopt;
  const int result = CallFormatOptions(kMenuExtensions[k]);
  char call[64];
  std::snprintf(call, sizeof call, "DlgFormatOptionDoModal(\"%s\")", kMenuExtensions[k]);
  return Describe(call, result, "");
}

std::string DescribeFormatSettings() {
  std::string text = "  Format:";
  HKEY key = nullptr;
  const std::string path = std::string(kSettingsRoot) + "\\Format";
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return text + " (none)";
  for (DWORD index = 0;; ++index) {
    char name[64];
    DWORD nameSize = sizeof name;
    DWORD type = 0;
    BYTE data[72] = {};
    DWORD size = sizeof data - 1;
    const LONG status = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) continue;
    char item[128];
    if (type == REG_DWORD) {
      DWORD value = 0;
      std::memcpy(&value, data, sizeof value);
      std::snprintf(item, sizeof item, " %s=0x%lX", name, static_cast<unsigned long>(value));
    } else {
      std::snprintf(item, sizeof item, " %s=\"%s\"", name, reinterpret_cast<const char*>(data));
    }
    text += item;
  }
  RegCloseKey(key);
  return text;
}

}  // namespace demo
