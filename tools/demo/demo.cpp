// CommonQ demo host: one button per export, a log of each call's result and of the settings a
// host would read afterwards, and a language switch. `CommonQDemo --gallery DIR` captures every
// dialog instead and exits non-zero when a capture failed.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "demo_host.h"
#include "favorites_demo.h"
#include "file_demo.h"
#include "file_info_demo.h"

namespace demo {
namespace {

enum ControlId : int {
  kPlainBox = 100,
  kSuppressibleA,
  kSuppressibleB,
  kColor,
  kReset,
  kEnglish,
  kGerman,
  kLog,
  kTaskDialogs,
  kFileInfo,
};

Library g_library;
HWND g_log = nullptr;

void Log(const std::string& line) {
  const int end = GetWindowTextLengthA(g_log);
  SendMessageA(g_log, EM_SETSEL, end, end);
  const std::string text = line + "\r\n";
  SendMessageA(g_log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

void CallMessageBox(HWND owner, UINT number) {
  const char* text = number == 3031    ? "The model uses textures that could not be found.\nContinue loading?"
                     : number == 10101 ? "The favorites folder was moved. The list has been updated."
                                       : "This is a plain message box: it never offers to be suppressed.";
  const UINT type = number == 3031 ? MB_YESNO | MB_ICONQUESTION : MB_OK | MB_ICONINFORMATION;
  const int result = g_library.messageBox(owner, text, "Qelm Explorer", type, number);
  Log(Format("MessageBoxDoModal(message %u) = %d", number, result));
}

void CallColor(HWND owner) {
  DlgColorParams params{};
  params.hwndOwner = owner;
  params.rgbInitial = RGB(0x33, 0x66, 0x99);
  const int result = g_library.colorDialog(&params);
  Log(Format("DlgColorDialogDoModal = %d, rgbResult = 0x%06lX", result, static_cast<unsigned long>(params.rgbResult)));
}

HWND AddButton(HWND parent, const char* text, int id, int x, int y, int width, DWORD style = BS_PUSHBUTTON) {
  HWND button = CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, width, 26, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return button;
}

void OnCreate(HWND window) {
  int y = 12;
  AddButton(window, "Message box (plain)", kPlainBox, 12, y, 250);
  AddButton(window, "Message box 3031 (suppressible)", kSuppressibleA, 12, y += 32, 250);
  AddButton(window, "Message box 10101 (suppressible)", kSuppressibleB, 12, y += 32, 250);
  AddButton(window, "Colour chooser...", kColor, 12, y += 32, 250);
  AddButton(window, "Reset all settings", kReset, 12, y += 44, 250);
  AddButton(window, "English", kEnglish, 12, y += 44, 120, BS_AUTORADIOBUTTON | WS_GROUP);
  AddButton(window, "German (.deu)", kGerman, 140, y, 122, BS_AUTORADIOBUTTON);
  CheckRadioButton(window, kEnglish, kGerman, kEnglish);
  y = AddFileDialogControls(window, y + 44);
  y = AddFavoritesControls(window, y);
  AddButton(window, "Task dialogs...", kTaskDialogs, 12, y + 12, 250);
  AddButton(window, "File information...", kFileInfo, 12, y + 44, 250);
  g_log = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 276, 12,
                          480, 330, window, reinterpret_cast<HMENU>(kLog), nullptr, nullptr);
  SendMessageA(g_log, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
  Log("CommonQ demo host. Each call is logged with the settings a host reads afterwards.");
}

void OnCommand(HWND window, int id) {
  switch (id) {
    case kPlainBox:
      CallMessageBox(window, 42);
      break;
    case kSuppressibleA:
      CallMessageBox(window, 3031);
      break;
    case kSuppressibleB:
      CallMessageBox(window, 10101);
      break;
    case kColor:
      CallColor(window);
      break;
    case kReset:
      DeleteAllSettings();
      CheckRadioButton(window, kEnglish, kGerman, kEnglish);
      Log("All settings removed.");
      break;
    case kEnglish:
      SetLanguage(nullptr);
      Log("Language: English");
      return;
    case kGerman:
      SetLanguage(".deu");
      Log("Language: .deu (Languages\\QelmLang.deu)");
      return;
    case kTaskDialogs:
      OpenTaskDialogPage(window, g_library, &Log);
      return;
    case kFileInfo:
      Log(CallFileInfo());
      return;
    default:
      if (const std::optional<std::string> line = OnFileDialogCommand(window, id)) Log(*line);
      if (const std::optional<std::string> line = OnFavoritesCommand(id)) Log(*line);
      return;
  }
  Log(DescribeSettings());
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

int RunInteractive(HINSTANCE instance) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &MainProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "CommonQDemo";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "CommonQDemo", "CommonQ demo host", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 790, 500, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return 0;
}

}  // namespace

bool Library::Load() {
  module = LoadLibraryA("CommonQ.dll");
  if (module == nullptr) return false;
  messageBox =
      reinterpret_cast<MessageBoxDoModalFn>(reinterpret_cast<void*>(GetProcAddress(module, "MessageBoxDoModal")));
  colorDialog = reinterpret_cast<DlgColorDialogDoModalFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "DlgColorDialogDoModal")));
  taskDialog =
      reinterpret_cast<TaskDialogIndirect98Fn>(reinterpret_cast<void*>(GetProcAddress(module, "TaskDialogIndirect98")));
  return messageBox != nullptr && colorDialog != nullptr && taskDialog != nullptr && LoadFileExports(module) &&
         LoadFavoritesExport(module) && LoadFileInfoExport(module);
}

void SetLanguage(const char* extension) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  if (extension == nullptr) {
    RegDeleteValueA(key, "Language");
  } else {
    RegSetValueExA(key, "Language", 0, REG_SZ, reinterpret_cast<const BYTE*>(extension),
                   static_cast<DWORD>(strlen(extension) + 1));
  }
  RegCloseKey(key);
}

void SetDwordValue(const char* subKey, const char* name, DWORD value) {
  const std::string path = std::string(kSettingsRoot) + "\\" + subKey;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
      ERROR_SUCCESS) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
  }
}

void DeleteAllSettings() { SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsRoot); }

std::string DescribeSettings() {
  std::string text = "  settings:";
  HKEY key = nullptr;
  const std::string common = std::string(kSettingsRoot) + "\\Common";
  if (RegOpenKeyExA(HKEY_CURRENT_USER, common.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return text + " (none)";
  for (DWORD index = 0;; ++index) {
    char name[64];
    DWORD nameSize = sizeof name;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG status =
        RegEnumValueA(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS && type == REG_DWORD)
      text += Format(" Common\\%s=0x%lX", name, static_cast<unsigned long>(value));
  }
  RegCloseKey(key);
  return text;
}

}  // namespace demo

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  if (!demo::g_library.Load()) {
    MessageBoxA(nullptr, "CommonQ.dll was not found beside the demo, or lacks its exports.", "CommonQ demo",
                MB_ICONERROR);
    return 2;
  }
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv != nullptr && argc >= 3 && lstrcmpW(argv[1], L"--gallery") == 0) {
    const std::wstring folder = argv[2];
    LocalFree(argv);
    return demo::RunGallery(demo::g_library, folder);
  }
  if (argv != nullptr && argc >= 3 && lstrcmpW(argv[1], L"--task-dialog") == 0) {
    const int index = _wtoi(argv[2]);
    LocalFree(argv);
    return demo::RunTaskDialogSample(demo::g_library, index);
  }
  if (argv != nullptr) LocalFree(argv);
  return demo::RunInteractive(instance);
}
