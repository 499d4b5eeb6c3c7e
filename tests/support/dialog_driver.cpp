#include "support/dialog_driver.h"

#include <algorithm>
#include <utility>

namespace commonq::testing {
namespace {

// Fast enough that a script of a dozen steps takes a fraction of a second, slow enough that the
// dialog's own posted messages are always handled between two steps (a timer message is only
// generated when the queue holds nothing else).
constexpr UINT kTickMs = 20;
// How long a dialog gets to obey IDCANCEL or WM_CLOSE after a timeout before EndDialog is forced.
constexpr ULONGLONG kGraceMs = 500;
constexpr const char* kUntilGone = "WaitUntilGone";

// The armed driver of this thread; the timer and hook callbacks carry no context of their own.
thread_local DialogDriver* t_armed = nullptr;

// A named CALLBACK rather than a lambda: on i686 a lambda does not convert to a stdcall pointer.
BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

// With a parent, all its descendants depth-first: controls of a dialog's child dialogs (file
// dialog templates, property pages) are no direct children. Without, this thread's top-level
// windows, topmost first.
std::vector<HWND> Windows(HWND parent) {
  std::vector<HWND> windows;
  parent ? EnumChildWindows(parent, &Collect, reinterpret_cast<LPARAM>(&windows))
         : EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND FindDescendant(HWND parent, const std::function<bool(HWND)>& match) {
  const std::vector<HWND> all = Windows(parent);
  const auto found = std::find_if(all.begin(), all.end(), match);
  return found == all.end() ? nullptr : *found;
}

HWND FindControl(HWND dialog, int id) {
  if (HWND direct = GetDlgItem(dialog, id)) return direct;
  return FindDescendant(dialog, [id](HWND w) { return GetDlgCtrlID(w) == id; });
}

// A dialog of its own, not a page or template inside another one.
bool IsTopDialog(HWND w) {
  char cls[16] = {};
  return GetClassNameA(w, cls, sizeof(cls)) > 0 && lstrcmpA(cls, "#32770") == 0 &&
         !(GetWindowLongW(w, GWL_STYLE) & WS_CHILD);
}

INPUT KeyInput(WORD key, DWORD flags) {
  const bool extended = (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE;
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki = {key, static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)),
              flags | (extended ? KEYEVENTF_EXTENDEDKEY : 0), 0, 0};
  return input;
}

// Closes the thread's windows after a timeout. IDCANCEL first lets a dialog tidy up as it would
// for a person; EndDialog is the fallback for boxes without a Cancel button and for dialogs that
// ignore it. Hidden helper windows are left alone, and so is a disabled window: it owns a modal
// dialog, which closing it would pull away.
void CloseDialogs(bool force) {
  for (HWND w : Windows(nullptr)) {
    if (!IsWindowVisible(w)) continue;
    if (IsTopDialog(w)) {
      force ? EndDialog(w, IDCANCEL) : PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    } else if (IsWindowEnabled(w)) {
      PostMessageW(w, WM_CLOSE, 0, 0);
    }
  }
}

}  // namespace

std::string WindowTextOf(HWND w) {
  std::string text(GetWindowTextLengthA(w) + 1, '\0');
  text.resize(GetWindowTextA(w, text.data(), text.size()));
  return text;
}

std::string ControlText(HWND dialog, int id) { return WindowTextOf(FindControl(dialog, id)); }

bool IsChecked(HWND dialog, int id) { return SendMessageW(FindControl(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

HWND FindChildByClassAndText(HWND parent, const char* cls, const char* text) {
  return FindDescendant(parent, [&](HWND child) {
    char name[256] = {};
    return (!cls || (GetClassNameA(child, name, sizeof(name)) > 0 && lstrcmpiA(name, cls) == 0)) &&
           (!text || WindowTextOf(child) == text);
  });
}

DialogDriver& DialogDriver::Add(std::string label, std::function<bool()> run) {
  steps_.push_back(Step{std::move(label), std::move(run)});
  return *this;
}

// A step on control `id` of the current dialog. A person cannot use what is missing, greyed out or
// not shown, so neither may a test: that is an error and ends the step.
DialogDriver& DialogDriver::OnControl(const char* name, int id, std::function<void(HWND control)> act) {
  return Add(name + (" " + std::to_string(id)), [this, id, act = std::move(act)] {
    HWND dialog = RequireDialog();
    HWND control = dialog ? FindControl(dialog, id) : nullptr;
    const bool usable = control && IsWindowEnabled(control) && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE);
    if (dialog && !usable) Fail("no usable control (missing, disabled or hidden) in \"" + WindowTextOf(dialog) + "\"");
    if (usable) act(control);
    return true;
  });
}

DialogDriver& DialogDriver::WaitForDialog(std::string caption) {
  return Add("WaitForDialog \"" + caption + "\"", [this, caption] {
    // The newest dialog that is shown and enabled: a nested box wins over the owner it disabled.
    for (auto w = initialized_.rbegin(); w != initialized_.rend(); ++w) {
      if (IsWindowVisible(*w) && IsWindowEnabled(*w) && (caption.empty() || WindowTextOf(*w) == caption)) {
        if (*w != Current()) current_.push_back(*w);
        return true;
      }
    }
    return false;
  });
}

DialogDriver& DialogDriver::Click(int id) {
  return OnControl("Click", id, [](HWND button) { PostMessageW(button, BM_CLICK, 0, 0); });
}

DialogDriver& DialogDriver::SetCheck(int id, bool checked) {
  return OnControl("SetCheck", id, [this, checked](HWND control) {
    const auto shown = [&] { return (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) == checked; };
    if (!shown()) SendMessageW(control, BM_CLICK, 0, 0);
    if (!shown()) Fail("a click did not give the state; not an automatic check box?");
  });
}

DialogDriver& DialogDriver::SetText(int id, const std::string& text) {
  return OnControl("SetText", id, [this, text](HWND control) {
    if (!SetWindowTextA(control, text.c_str())) Fail("WM_SETTEXT was refused");
  });
}

DialogDriver& DialogDriver::Focus(int id) {
  return OnControl("Focus", id, [this](HWND control) {
    SendMessageW(Current(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    if (GetFocus() != control && !IsChild(control, GetFocus())) Fail("the control did not take the focus");
  });
}

DialogDriver& DialogDriver::Key(WORD vk, bool ctrl, bool shift, bool alt) {
  return Add("Key " + std::to_string(vk), [=, this] {
    std::vector<INPUT> inputs;
    for (WORD key : {WORD(ctrl ? VK_CONTROL : 0), WORD(shift ? VK_SHIFT : 0), WORD(alt ? VK_MENU : 0), vk}) {
      if (key) inputs.push_back(KeyInput(key, 0));
    }
    for (size_t i = inputs.size(); i-- > 0;) inputs.push_back(KeyInput(inputs[i].ki.wVk, KEYEVENTF_KEYUP));
    HWND dialog = RequireDialog();
    if (!dialog) return true;
    // SendInput delivers to the focus window of the foreground window. A freshly shown modal
    // dialog is the foreground window already, but not once another window has been brought to
    // the front. Within one process Wine switches the foreground at once.
    if (GetForegroundWindow() != dialog) SetForegroundWindow(dialog);
    if (GetForegroundWindow() != dialog) Fail("the dialog could not be made the foreground window");
    if (GetFocus() != dialog && !IsChild(dialog, GetFocus())) SetFocus(dialog);
    if (SendInput(inputs.size(), inputs.data(), sizeof(INPUT)) != inputs.size()) Fail("SendInput lost keys");
    return true;
  });
}

DialogDriver& DialogDriver::Keys(const std::string& text) {
  for (char c : text) {
    const SHORT scan = VkKeyScanA(c);
    const BYTE shifts = HIBYTE(scan);
    if (scan == -1) errors_.push_back(std::string("Keys: no key types '") + c + "'");
    if (scan != -1) Key(LOBYTE(scan), shifts & 2, shifts & 1, shifts & 4);
  }
  return *this;
}

DialogDriver& DialogDriver::Read(std::function<void(HWND dialog)> fn) {
  return Add("Read", [this, fn = std::move(fn)] {
    if (HWND dialog = RequireDialog()) fn(dialog);
    return true;
  });
}

DialogDriver& DialogDriver::Pause(int ms) {
  return Add("Pause", [ms, since = ULONGLONG{0}]() mutable {
    if (since == 0) since = GetTickCount64();
    return GetTickCount64() - since >= static_cast<ULONGLONG>(std::max(ms, 0));
  });
}

DialogDriver& DialogDriver::Command(int id) {
  return Add("Command " + std::to_string(id), [this, id] {
    if (HWND dialog = RequireDialog()) {
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    return true;
  });
}

DialogDriver& DialogDriver::WaitUntilGone() {
  return Add(kUntilGone, [this] {
    if (!Current()) Fail("no current dialog: WaitForDialog first");
    if (IsWindow(Current())) return false;
    // Back to the dialog that was current before, skipping those that are gone too.
    while (!current_.empty() && !IsWindow(current_.back())) current_.pop_back();
    return true;
  });
}

void DialogDriver::Start() {
  if (t_armed) t_armed->Disarm();
  hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &DialogDriver::OnCallWndProcRet, nullptr, GetCurrentThreadId());
  timer_ = SetTimer(nullptr, 0, kTickMs, &DialogDriver::OnTimer);
  if (!hook_ || !timer_) errors_.push_back("SetWindowsHookEx or SetTimer failed: the script cannot run");
  deadline_ = GetTickCount64() + timeoutMs_;
  t_armed = this;
}

void CALLBACK DialogDriver::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (t_armed && t_armed->timer_ == id) t_armed->Tick();
}

// Tells when WM_INITDIALOG has returned: a dialog is not driven before.
LRESULT CALLBACK DialogDriver::OnCallWndProcRet(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (DialogDriver* d = t_armed; code == HC_ACTION && d) {
    if (message->message == WM_INITDIALOG && IsTopDialog(message->hwnd)) d->initialized_.push_back(message->hwnd);
    if (message->message == WM_NCDESTROY) {
      // Window handles are recycled; a stale entry could vouch for a new, uninitialised dialog.
      std::erase(d->initialized_, message->hwnd);
      // A script usually ends by waiting for the dialog to go, and once it has gone the modal
      // loop returns and no timer tick follows; so that step completes here.
      if (d->abortedAt_ == 0 && !d->Finished() && message->hwnd == d->Current() &&
          d->steps_[d->next_].label == kUntilGone && !d->steps_[d->next_].onStack) {
        d->current_.pop_back();
        ++d->next_;
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogDriver::Tick() {
  const ULONGLONG now = GetTickCount64();
  if (abortedAt_ != 0 && now - abortedAt_ >= kGraceMs) CloseDialogs(true);
  if (abortedAt_ == 0 && now >= deadline_) TimeOut(now);
  if (abortedAt_ != 0 || Finished()) return;
  const size_t index = next_;
  Step& step = steps_[index];
  // A step that is still on the stack entered a nested message loop (a sent message that opened
  // another dialog, say): the rest of the script is what has to drive that loop now.
  if (step.onStack) {
    next_ = index + 1;
    return;
  }
  step.onStack = true;
  bool done = true;
  try {
    done = step.run();
  } catch (...) {
    Fail("threw an exception");
  }
  step.onStack = false;
  if (done && next_ == index) next_ = index + 1;
}

void DialogDriver::TimeOut(ULONGLONG now) {
  std::string open;
  for (HWND w : Windows(nullptr)) {
    if (IsTopDialog(w) && IsWindowVisible(w)) open += " \"" + WindowTextOf(w) + "\"";
  }
  if (Finished() && open.empty()) return Disarm();  // nothing left to guard
  Fail(std::string(Finished() ? "finished, but at the timeout dialogs were open:" : "timed out; open:") + open);
  abortedAt_ = now;
  CloseDialogs(false);
}

void DialogDriver::Disarm() {
  if (timer_ != 0) KillTimer(nullptr, std::exchange(timer_, 0));
  if (hook_) UnhookWindowsHookEx(std::exchange(hook_, nullptr));
  if (t_armed == this) t_armed = nullptr;
}

// Names the step the script is at: the failing one, unless that step ran a nested message loop
// in which the script went on.
void DialogDriver::Fail(const std::string& message) {
  const bool inStep = next_ < steps_.size();
  errors_.push_back((inStep ? "step " + std::to_string(next_ + 1) + " " + steps_[next_].label + ": " : "") + message);
}

HWND DialogDriver::RequireDialog() {
  if (IsWindow(Current())) return Current();
  Fail(Current() ? "the current dialog no longer exists" : "no current dialog: WaitForDialog first");
  return nullptr;
}

}  // namespace commonq::testing
