#include "wine/task_dialog_support.h"

#include <algorithm>

namespace commonq::testing {

HRESULT CALLBACK CallbackRecorder::Callback(HWND window, UINT code, WPARAM wParam, LPARAM lParam, LONG_PTR data) {
  auto* self = reinterpret_cast<CallbackRecorder*>(data);
  self->seen.push_back({code, wParam, lParam});
  if (code == TDN_HYPERLINK_CLICKED) self->hyperlinks.emplace_back(reinterpret_cast<const wchar_t*>(lParam));
  return self->answer ? self->answer(window, code, wParam, lParam) : S_OK;
}

std::vector<UINT> CallbackRecorder::Codes() const {
  std::vector<UINT> codes;
  for (const Notification& n : seen) codes.push_back(n.code);
  return codes;
}

size_t CallbackRecorder::Count(UINT code) const {
  return static_cast<size_t>(
      std::count_if(seen.begin(), seen.end(), [code](const Notification& n) { return n.code == code; }));
}

bool RunsAsWindowsXp() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path).find("_xp.exe") != std::string::npos;
}

int ReportedWindowsMajorVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ::GetVersionExA(&info);
#pragma GCC diagnostic pop
  return static_cast<int>(info.dwMajorVersion);
}

void TaskDialogTest::SetUp() {
  LibraryTest::SetUp();
  if (::OpenClipboard(nullptr)) {
    ::EmptyClipboard();
    ::CloseClipboard();
  }
}

TASKDIALOGCONFIG TaskDialogTest::Config(const wchar_t* title) {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = title;
  config.pfCallback = &CallbackRecorder::Callback;
  config.lpCallbackData = reinterpret_cast<LONG_PTR>(&recorder_);
  return config;
}

std::string TaskDialogTest::ClipboardText() {
  std::string text;
  if (!::OpenClipboard(nullptr)) return text;
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    if (const char* locked = static_cast<const char*>(::GlobalLock(data))) {
      text = locked;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

void EmulatedTaskDialogTest::SetUp() {
  if (!RunsAsWindowsXp()) GTEST_SKIP() << "runs in commonq_wine_tests_xp.exe";
  ASSERT_EQ(ReportedWindowsMajorVersion(), 5) << "Wine must report Windows XP to this executable";
  TaskDialogTest::SetUp();
}

}  // namespace commonq::testing
