#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace commonq::testing {

// Drives a modal dialog that the calling thread itself is about to run. The test builds a script,
// calls Start() and then makes the blocking call (MessageBoxA, DialogBoxParamA, ChooseColorA ...);
// a thread timer, which every modal loop dispatches, runs one step of the script whenever that
// step is ready. Texts are in the ANSI code page throughout, as the library's own are.
//
//   DialogDriver driver;
//   driver.WaitForDialog("Save").SetText(1001, "a.txt").Click(IDOK).WaitUntilGone();
//   driver.Start();
//   EXPECT_EQ(ShowTheDialog(), IDOK);
//   EXPECT_TRUE(driver.Finished());
//   EXPECT_THAT(driver.Errors(), IsEmpty());
//
// The script is built before Start(); its steps run later, so whatever a step captures by reference
// must live until the blocking call returns, not only while the script is built. When the script has not finished
// within the timeout, or has finished but a dialog is still open then, the driver records an error and closes the
// thread's dialogs (IDCANCEL first, EndDialog if that is ignored) so the blocking call returns. One driver is armed per
// thread: Start() disarms any other.
class DialogDriver {
 public:
  explicit DialogDriver(int timeoutMs = 20000) : timeoutMs_(timeoutMs) {}
  ~DialogDriver() { Disarm(); }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  // Waits for a visible, enabled top-level "#32770" window of this thread whose WM_INITDIALOG has
  // returned since Start() (and whose caption equals `caption` when one is given); the newest
  // such dialog becomes the current one. A dialog's disabled owner is skipped, so a nested
  // message box is found in preference to the dialog that opened it.
  DialogDriver& WaitForDialog(std::string caption = {});
  // Posts BM_CLICK, so a handler that opens another modal dialog runs from the modal loop rather
  // than from inside the driver. A missing, disabled or hidden control is an error for every step
  // on a control.
  DialogDriver& Click(int id);
  // Clicks the button (sent, not posted) when it does not show the wanted state, so the dialog
  // sees a genuine BN_CLICKED; one click that does not give the state is an error.
  DialogDriver& SetCheck(int id, bool checked);
  DialogDriver& SetText(int id, const std::string& text);
  // Moves the keyboard focus the way the dialog manager does (WM_NEXTDLGCTL).
  DialogDriver& Focus(int id);
  // Presses one key, with the modifiers held, by SendInput into whatever has the focus in the
  // current dialog (which is brought to the foreground first).
  DialogDriver& Key(WORD vk, bool ctrl = false, bool shift = false, bool alt = false);
  // Types ASCII text, one Key step per character; a character no key types is an error of the
  // script (in Errors() from the start).
  DialogDriver& Keys(const std::string& text);
  // Runs reads and assertions against the current dialog; an exception is an error of the script.
  DialogDriver& Read(std::function<void(HWND dialog)> fn);
  DialogDriver& Pause(int ms);
  // Posts WM_COMMAND(id, BN_CLICKED) to the current dialog, e.g. IDCANCEL to close it.
  DialogDriver& Command(int id);
  // Waits until the current dialog is destroyed; the dialog that was current before it (if it
  // still exists) becomes current again, so a script can go back to the dialog that opened a box.
  DialogDriver& WaitUntilGone();

  // Arms the driver; once per driver.
  void Start();
  bool Finished() const { return next_ == steps_.size(); }
  const std::vector<std::string>& Errors() const { return errors_; }

 private:
  struct Step {
    std::string label;
    std::function<bool()> run;  // true once the step is done
    bool onStack = false;       // running, possibly in a nested message loop
  };

  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);
  static LRESULT CALLBACK OnCallWndProcRet(int code, WPARAM wParam, LPARAM lParam);

  DialogDriver& Add(std::string label, std::function<bool()> run);
  DialogDriver& OnControl(const char* name, int id, std::function<void(HWND control)> act);
  void Tick();
  void TimeOut(ULONGLONG now);
  void Disarm();
  void Fail(const std::string& message);
  HWND Current() const { return current_.empty() ? nullptr : current_.back(); }
  HWND RequireDialog();

  int timeoutMs_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  std::vector<std::string> errors_;
  std::vector<HWND> current_;      // the current dialog last, below it those that were current before
  std::vector<HWND> initialized_;  // dialogs whose WM_INITDIALOG has returned, oldest first
  UINT_PTR timer_ = 0;
  HHOOK hook_ = nullptr;
  ULONGLONG deadline_ = 0;
  ULONGLONG abortedAt_ = 0;  // 0 while the script is on time
};

std::string WindowTextOf(HWND w);
std::string ControlText(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
// Depth-first search of all descendants; the class compares case-insensitively as Windows does,
// the text exactly. A null class or text matches any.
HWND FindChildByClassAndText(HWND parent, const char* cls, const char* text);

}  // namespace commonq::testing
