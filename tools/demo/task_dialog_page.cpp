// The demo's task dialog page: each ready configuration shown in this process (natively or
// emulated, as the Windows version of this executable decides) or in the sibling executable that
// runs in the other mode; and the gallery's task dialog shots.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>

#include "demo_host.h"
#include "task_dialog_samples.h"
#include "window_capture.h"

namespace demo {
namespace {

constexpr int kFirstShow = 500;
constexpr int kFirstOther = 600;
constexpr int kRowHeight = 30;

Library* g_pageLibrary = nullptr;
LogFunction g_pageLog = nullptr;

std::string SiblingExecutable() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self = path;
  const size_t slash = self.find_last_of('\\');
  const std::string folder = self.substr(0, slash + 1);
  return folder + (IsWindowsXpCopy() ? "CommonQDemo.exe" : "CommonQDemo_xp.exe");
}

void ShowSample(HWND owner, size_t index) {
  std::vector<TaskDialogSample> samples = TaskDialogSamples();
  if (index >= samples.size() || g_pageLibrary->taskDialog == nullptr) return;
  TASKDIALOGCONFIG config = samples[index].config;
  config.hwndParent = owner;
  int button = 0, radio = 0;
  BOOL verification = FALSE;
  const HRESULT result = g_pageLibrary->taskDialog(&config, &button, &radio, &verification);
  char line[200];
  snprintf(line, sizeof line, "TaskDialogIndirect98(%s) = 0x%08lX, button %d, radio %d, verification %d",
           samples[index].name, static_cast<unsigned long>(result), button, radio, verification);
  if (g_pageLog != nullptr) g_pageLog(line);
}

void ShowInSibling(size_t index) {
  std::string command = "\"" + SiblingExecutable() + "\" --task-dialog " + std::to_string(index);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  } else if (g_pageLog != nullptr) {
    g_pageLog("could not start " + SiblingExecutable());
  }
}

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    const int id = LOWORD(wParam);
    if (id >= kFirstShow && id < kFirstOther) ShowSample(window, static_cast<size_t>(id - kFirstShow));
    if (id >= kFirstOther && id < kFirstOther + 100) ShowInSibling(static_cast<size_t>(id - kFirstOther));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND AddControl(HWND parent, const char* cls, const char* text, int id, int x, int y, int width) {
  HWND control = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | (id != 0 ? WS_TABSTOP : 0), x, y, width, 24,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return control;
}

}  // namespace

bool IsWindowsXpCopy() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path).find("_xp.exe") != std::string::npos;
}

void OpenTaskDialogPage(HWND owner, Library& library, LogFunction log) {
  g_pageLibrary = &library;
  g_pageLog = log;
  static bool registered = false;
  if (!registered) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &PageProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "CommonQDemoTaskDialogs";
    registered = RegisterClassA(&windowClass) != 0;
  }
  const std::vector<TaskDialogSample> samples = TaskDialogSamples();
  const char* here = IsWindowsXpCopy() ? "Emulated" : "Native";
  const char* other = IsWindowsXpCopy() ? "Native" : "Emulated";
  HWND page = CreateWindowExA(0, "CommonQDemoTaskDialogs", "Task dialogs", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                              CW_USEDEFAULT, CW_USEDEFAULT, 480, 80 + kRowHeight * static_cast<int>(samples.size()),
                              owner, nullptr, GetModuleHandleA(nullptr), nullptr);
  for (size_t i = 0; i < samples.size(); ++i) {
    const int y = 10 + kRowHeight * static_cast<int>(i);
    AddControl(page, "STATIC", samples[i].name, 0, 10, y + 4, 220);
    AddControl(page, "BUTTON", here, kFirstShow + static_cast<int>(i), 240, y, 100);
    AddControl(page, "BUTTON", other, kFirstOther + static_cast<int>(i), 350, y, 100);
  }
  ShowWindow(page, SW_SHOW);
}

int RunTaskDialogSample(Library& library, int index) {
  g_pageLibrary = &library;
  std::vector<TaskDialogSample> samples = TaskDialogSamples();
  if (index < 0 || static_cast<size_t>(index) >= samples.size() || library.taskDialog == nullptr) return 2;
  int button = 0;
  library.taskDialog(&samples[static_cast<size_t>(index)].config, &button, nullptr, nullptr);
  return button;
}

int RunTaskDialogGallery(Library& library, const std::string& base) {
  const bool xp = IsWindowsXpCopy();
  int failures = 0;
  // Rows: one configuration each; columns: how the dialog is made. Both runs write the same page.
  std::string table = std::string(kGalleryStyle) + "<title>Task dialogs</title>\n" + kGalleryNavigation +
                      "<h1>Task dialog: TaskDialogIndirect98</h1>\n"
                      "<table><tr><th>Configuration</th><th>Native<br><small>the system's TaskDialogIndirect, "
                      "Windows 6 and later</small></th><th>Emulated, classic<br><small>before Windows 6, "
                      "common controls 5.8</small></th><th>Emulated, modern<br><small>before Windows 6, common "
                      "controls 6</small></th></tr>\n";
  for (TaskDialogSample& sample : TaskDialogSamples()) {
    const std::string stem = sample.file;
    if (xp) {
      // The modern look is shot by CommonQModernShots (modern_task_dialog_shots.cpp).
      if (!CaptureDialog(base + stem + "_emulated_classic.png", sample.caption,
                         [&] { library.taskDialog(&sample.config, nullptr, nullptr, nullptr); }))
        ++failures;
    } else if (!CaptureDialog(base + stem + "_native.png", sample.caption,
                              [&] { library.taskDialog(&sample.config, nullptr, nullptr, nullptr); })) {
      ++failures;
    }
    table += std::string("<tr><th>") + sample.name + "<br><small>" + stem + "</small></th>";
    for (const char* column : {"_native.png", "_emulated_classic.png", "_emulated_modern.png"}) {
      const std::string file = stem + column;
      table += "<td><img src=\"" + file + "\" alt=\"" + file + "\"></td>";
    }
    table += "</tr>\n";
  }
  if (FILE* html = std::fopen((base + "taskdialogs.html").c_str(), "w")) {
    std::fputs((table + "</table>\n").c_str(), html);
    std::fclose(html);
  }
  return failures;
}

}  // namespace demo
