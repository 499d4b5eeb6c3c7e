#pragma once
// What the task dialog tests share: a recording callback, the executable's Windows version and a
// fixture that builds configurations and runs them with a driver.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "taskdialog/logic/task_dialog_values.h"
#include "wine/library_fixture.h"

namespace commonq::testing {

// lpCallbackData of the tests: records every notification and lets a test answer it.
struct CallbackRecorder {
  std::vector<UINT> codes;
  std::function<HRESULT(HWND, UINT, WPARAM)> answer;
  std::wstring hyperlink;

  static HRESULT CALLBACK Callback(HWND window, UINT code, WPARAM wParam, LPARAM lParam, LONG_PTR data);
  size_t Count(UINT code) const { return static_cast<size_t>(std::count(codes.begin(), codes.end(), code)); }
};

TASKDIALOGCONFIG RecordedConfig(CallbackRecorder& recorder, const wchar_t* title = L"Task");

// The copy of the test executable whose name ends in "_xp" runs as Windows XP (the emulation);
// the plain one runs as a later Windows (native forwarding).
bool RunsAsWindowsXp();
int ReportedWindowsMajorVersion();

class TaskDialogTest : public LibraryTest {
 protected:
  TASKDIALOGCONFIG Config(const wchar_t* title = L"Task") { return RecordedConfig(recorder_, title); }
  // Runs the export with a driver that waits for the dialog (by its title), does `act` and waits
  // until the dialog is gone.
  HRESULT Run(
      const TASKDIALOGCONFIG& config, const std::function<void(DialogDriver&)>& act = [](DialogDriver&) {}) {
    const std::wstring title = config.pszWindowTitle;
    const auto script = [&](DialogDriver& driver) {
      act(driver.WaitForDialog(std::string(title.begin(), title.end())));
      driver.WaitUntilGone();
    };
    return Drive(script, [&] { return TaskDialogIndirect98(&config, &button_, &radio_, &verification_); });
  }

  CallbackRecorder recorder_;
  int button_ = -1;
  int radio_ = -1;
  BOOL verification_ = -1;
};

}  // namespace commonq::testing
