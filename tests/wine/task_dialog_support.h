#pragma once
// What the task dialog tests share: a recording callback, the executable's Windows version and a
// fixture that builds configurations.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "wine/library_fixture.h"

namespace commonq::testing {

struct Notification {
  UINT code = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// lpCallbackData of the tests: records every notification and lets a test answer it.
struct CallbackRecorder {
  std::vector<Notification> seen;
  std::function<HRESULT(HWND, UINT, WPARAM, LPARAM)> answer;
  std::vector<std::wstring> hyperlinks;

  static HRESULT CALLBACK Callback(HWND window, UINT code, WPARAM wParam, LPARAM lParam, LONG_PTR data);
  std::vector<UINT> Codes() const;
  size_t Count(UINT code) const;
};

// The copy of the test executable whose name ends in "_xp" runs as Windows XP (the emulation);
// the plain one runs as a later Windows (native forwarding).
bool RunsAsWindowsXp();
int ReportedWindowsMajorVersion();

class TaskDialogTest : public LibraryTest {
 protected:
  void SetUp() override;
  TASKDIALOGCONFIG Config(const wchar_t* title = L"Task");
  std::string ClipboardText();

  CallbackRecorder recorder_;
  int button_ = -1;
  int radio_ = -1;
  BOOL verification_ = -1;
};

// Emulation tests skip in the executable that runs as a later Windows, and fail loudly in the
// Windows XP copy when Wine does not report XP to it.
class EmulatedTaskDialogTest : public TaskDialogTest {
 protected:
  void SetUp() override;
};

}  // namespace commonq::testing
