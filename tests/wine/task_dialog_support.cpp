#include "wine/task_dialog_support.h"

namespace commonq::testing {

HRESULT CALLBACK CallbackRecorder::Callback(HWND window, UINT code, WPARAM wParam, LPARAM lParam, LONG_PTR data) {
  auto* self = reinterpret_cast<CallbackRecorder*>(data);
  self->codes.push_back(code);
  if (code == TDN_HYPERLINK_CLICKED) self->hyperlink = reinterpret_cast<const wchar_t*>(lParam);
  return self->answer ? self->answer(window, code, wParam) : S_OK;
}

TASKDIALOGCONFIG RecordedConfig(CallbackRecorder& recorder, const wchar_t* title) {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = title;
  config.pfCallback = &CallbackRecorder::Callback;
  config.lpCallbackData = reinterpret_cast<LONG_PTR>(&recorder);
  return config;
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

}  // namespace commonq::testing
