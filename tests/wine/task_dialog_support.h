#pragma once
// What the task dialog tests share: a recording callback, the executable's Windows version and a
// fixture that builds configurations and runs them with a driver.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/dialog_driver.h"
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
  // Runs the export while the driver works through its steps; a driver without steps only guards.
  HRESULT Run(const TASKDIALOGCONFIG& config, DialogDriver& driver) {
    driver.Start();
    const HRESULT result = TaskDialogIndirect98(&config, &button_, &radio_, &verification_);
    EXPECT_TRUE(driver.Errors().empty()) << driver.Errors().front();
    return result;
  }

  CallbackRecorder recorder_;
  int button_ = -1;
  int radio_ = -1;
  BOOL verification_ = -1;
};

}  // namespace commonq::testing
