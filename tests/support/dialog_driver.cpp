#include "support/dialog_driver.h"

#include <algorithm>
#include <exception>

namespace commonq::testing {
namespace {

// Fast enough that a script of a dozen steps takes a fraction of a second, slow enough that the
// dialog's own posted messages are always handled between two steps (a timer message is only
// generated when the queue holds nothing else).
constexpr UINT kTickMs = 20;
// How long a dialog gets to obey IDCANCEL or WM_CLOSE after a timeout before EndDialog is forced.
constexpr ULONGLONG kGraceMs = 500;

// The armed driver of this thread; the timer and hook callbacks carry no context of their own.
thread_local DialogDriver* t_armed = nullptr;

using Visitor = std::function<bool(HWND)>;  // false ends the enumeration

// A named CALLBACK rather than a lambda: on i686 a lambda does not convert to a stdcall pointer.
BOOL CALLBACK Visit(HWND window, LPARAM visitor) { return (*reinterpret_cast<const Visitor*>(visitor))(window); }

// Depth-first over all descendants: controls of a dialog's child dialogs (file dialog templates,
// property pages) are no direct children, so GetDlgItem alone would miss them.
HWND FindDescendant(HWND parent, const std::function<bool(HWND)>& match) {
  HWND found = nullptr;
  const Visitor visitor = [&](HWND w) {
    if (match(w)) found = w;
    return found == nullptr;
  };
  EnumChildWindows(parent, &Visit, reinterpret_cast<LPARAM>(&visitor));
  return found;
}

std::vector<HWND> ThreadWindows(DWORD thread) {
  std::vector<HWND> windows;
  const Visitor visitor = [&](HWND w) {
    windows.push_back(w);
    return true;
  };
  EnumThreadWindows(thread, &Visit, reinterpret_cast<LPARAM>(&visitor));
  return windows;
}

HWND FindControl(HWND dialog, int id) {
  HWND direct = GetDlgItem(dialog, id);
  return direct ? direct : FindDescendant(dialog, [id](HWND w) { return GetDlgCtrlID(w) == id; });
}

bool IsDialogWindow(HWND w) {
  char cls[16] = {};
  return GetClassNameA(w, cls, sizeof(cls)) > 0 && std::string(cls) == "#32770";
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void AppendChord(std::vector<INPUT>& inputs, WORD vk, bool ctrl = false, bool shift = false, bool alt = false) {
  std::vector<WORD> keys;
  if (ctrl) keys.push_back(VK_CONTROL);
  if (shift) keys.push_back(VK_SHIFT);
  if (alt) keys.push_back(VK_MENU);
  keys.push_back(vk);
  for (int up = 0; up < 2; ++up) {
    for (size_t i = 0; i < keys.size(); ++i) {
      const WORD key = up ? keys[keys.size() - 1 - i] : keys[i];
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = key;
      input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
      const bool extended = (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE;
      input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
      inputs.push_back(input);
    }
  }
}

}  // namespace

std::string WindowTextOf(HWND w) {
  std::wstring text(static_cast<size_t>(std::max(GetWindowTextLengthW(w), 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(std::max(GetWindowTextW(w, text.data(), static_cast<int>(text.size())), 0)));
  std::string utf8(text.size() * 3, '\0');
  utf8.resize(static_cast<size_t>(
      std::max(0, WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                                      static_cast<int>(utf8.size()), nullptr, nullptr))));
  return utf8;
}

std::string ControlText(HWND dialog, int id) { return WindowTextOf(FindControl(dialog, id)); }

bool IsChecked(HWND dialog, int id) {
  HWND control = FindControl(dialog, id);
  return control && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

HWND FindChildByClassAndText(HWND parent, const char* cls, const char* text) {
  return FindDescendant(parent, [&](HWND child) {
    char name[256] = {};
    return (!cls || (GetClassNameA(child, name, sizeof(name)) > 0 && lstrcmpiA(name, cls) == 0)) &&
           (!text || WindowTextOf(child) == text);
  });
}

DialogDriver::DialogDriver(int timeoutMs) : timeoutMs_(std::max(timeoutMs, 1)) {}

DialogDriver::~DialogDriver() { Disarm(); }

DialogDriver& DialogDriver::Add(std::string label, std::function<bool(Step&)> run) {
  steps_.push_back(Step{std::move(label), std::move(run)});
  return *this;
}

// A step on control `id` of the current dialog; a missing control is an error and ends the step.
DialogDriver& DialogDriver::AddOnControl(const char* name, int id, std::string arguments,
                                         std::function<bool(HWND, Step&)> run) {
  return Add(name + ("(" + std::to_string(id) + arguments + ")"), [this, id, run = std::move(run)](Step& step) {
    HWND control = RequireControl(id);
    return !control || run(control, step);
  });
}

DialogDriver& DialogDriver::WaitForDialog(std::string caption) {
  return Add("WaitForDialog(" + (caption.empty() ? "" : Quoted(caption)) + ")", [this, caption](Step&) {
    HWND found = FindDialog(caption);
    if (found && current_ && current_ != found) previous_.push_back(current_);
    if (found) current_ = found;
    return found != nullptr;
  });
}

// A person cannot click what is greyed out or not shown, so neither may a test.
bool DialogDriver::Press(HWND control) {
  if (!IsWindowEnabled(control)) {
    Fail("control is disabled");
  } else if (!(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE)) {
    Fail("control is hidden");
  } else {
    return PostMessageW(control, BM_CLICK, 0, 0);
  }
  return false;
}

DialogDriver& DialogDriver::Click(int id) {
  return AddOnControl("Click", id, "", [this](HWND control, Step&) {
    Press(control);
    return true;
  });
}

DialogDriver& DialogDriver::SetCheck(int id, bool checked) {
  return AddOnControl("SetCheck", id, checked ? ", true" : ", false", [this, checked](HWND control, Step& step) {
    if ((SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) == checked) return true;
    if (step.phase++ == 3) Fail("three clicks did not change the state; not an automatic check box?");
    return step.phase > 3 || !Press(control);
  });
}

DialogDriver& DialogDriver::SetText(int id, const std::string& text) {
  return AddOnControl("SetText", id, ", " + Quoted(text), [this, text](HWND control, Step&) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(
        static_cast<size_t>(std::max(0, MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                            wide.data(), static_cast<int>(wide.size())))));
    if (!SetWindowTextW(control, wide.c_str())) Fail("WM_SETTEXT was refused");
    return true;
  });
}

DialogDriver& DialogDriver::Focus(int id) {
  return AddOnControl("Focus", id, "", [this](HWND control, Step&) {
    SendMessageW(current_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    if (GetFocus() != control && !IsChild(control, GetFocus())) Fail("the control did not take the focus");
    return true;
  });
}

DialogDriver& DialogDriver::Keys(const std::string& text) {
  return Add("Keys(" + Quoted(text) + ")", [this, text](Step&) {
    std::vector<INPUT> inputs;
    for (char c : text) {
      const SHORT scan = c == '\n'                              ? VK_RETURN
                         : c == '\t'                            ? VK_TAB
                         : c == '\b'                            ? VK_BACK
                         : static_cast<unsigned char>(c) < 0x80 ? VkKeyScanA(c)
                                                                : SHORT{-1};
      if (scan == -1 || LOBYTE(scan) == 0xFF) {
        Fail(std::string("no key types '") + c + "'");
      } else {
        const BYTE shifts = HIBYTE(scan);
        AppendChord(inputs, LOBYTE(scan), (shifts & 2) != 0, (shifts & 1) != 0, (shifts & 4) != 0);
      }
    }
    SendKeys(inputs);
    return true;
  });
}

DialogDriver& DialogDriver::Key(WORD vk, bool ctrl, bool shift, bool alt) {
  const std::string label =
      "Key(" + std::to_string(vk) + (ctrl ? ", ctrl" : "") + (shift ? ", shift" : "") + (alt ? ", alt" : "") + ")";
  return Add(label, [this, vk, ctrl, shift, alt](Step&) {
    std::vector<INPUT> inputs;
    AppendChord(inputs, vk, ctrl, shift, alt);
    SendKeys(inputs);
    return true;
  });
}

DialogDriver& DialogDriver::Read(std::function<void(HWND dialog)> fn) {
  return Add("Read", [this, fn = std::move(fn)](Step&) {
    if (HWND dialog = RequireDialog()) fn(dialog);
    return true;
  });
}

DialogDriver& DialogDriver::Pause(int ms) {
  return Add("Pause(" + std::to_string(ms) + ")", [ms](Step& step) {
    if (step.phase++ == 0) step.since = GetTickCount64();
    return GetTickCount64() - step.since >= static_cast<ULONGLONG>(std::max(ms, 0));
  });
}

DialogDriver& DialogDriver::Command(int id) {
  return Add("Command(" + std::to_string(id) + ")", [this, id](Step&) {
    if (HWND dialog = RequireDialog()) {
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    return true;
  });
}

DialogDriver& DialogDriver::WaitUntilGone() {
  Add("WaitUntilGone", [this](Step&) {
    if (!current_) {
      Fail("no current dialog: WaitForDialog first");
    } else if (IsWindow(current_)) {
      return false;
    } else {
      ReturnToPreviousDialog(current_);
    }
    return true;
  });
  steps_.back().waitsUntilGone = true;
  return *this;
}

void DialogDriver::ReturnToPreviousDialog(HWND gone) {
  current_ = nullptr;
  while (!previous_.empty() && !current_) {
    if (previous_.back() != gone && IsWindow(previous_.back())) current_ = previous_.back();
    previous_.pop_back();
  }
}

void DialogDriver::Start() {
  if (t_armed && t_armed != this) t_armed->Disarm();
  Disarm();
  thread_ = GetCurrentThreadId();
  next_ = 0;
  errors_.clear();
  current_ = nullptr;
  previous_.clear();
  abortedAt_ = 0;
  for (Step& step : steps_) {
    step.phase = 0;
    step.onStack = false;
  }
  initialized_.clear();
  initOrder_ = 0;
  for (HWND w : ThreadWindows(thread_)) {
    if (IsDialogWindow(w)) initialized_.emplace_back(w, 0);
  }
  // The hook tells when WM_INITDIALOG has returned; without it a dialog that is visible is taken
  // as initialised, which holds for every dialog that does not show itself from WM_INITDIALOG.
  hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &DialogDriver::OnCallWndProcRet, nullptr, thread_);
  timer_ = SetTimer(nullptr, 0, kTickMs, &DialogDriver::OnTimer);
  if (timer_ == 0) errors_.push_back("SetTimer failed: the script cannot run");
  deadline_ = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs_);
  t_armed = this;
}

void CALLBACK DialogDriver::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (t_armed && t_armed->timer_ == id) {
    t_armed->Tick();
  } else {
    KillTimer(nullptr, id);  // left over from a driver that is gone
  }
}

LRESULT CALLBACK DialogDriver::OnCallWndProcRet(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (DialogDriver* d = t_armed; code == HC_ACTION && d) {
    if (message->message == WM_INITDIALOG) d->initialized_.emplace_back(message->hwnd, ++d->initOrder_);
    if (message->message == WM_NCDESTROY) {
      // Window handles are recycled; a stale entry could vouch for a new, uninitialised dialog.
      std::erase_if(d->initialized_, [&](const auto& entry) { return entry.first == message->hwnd; });
      // A script usually ends by waiting for the dialog to go, and once it has gone the modal
      // loop returns and no timer tick follows; so that step completes here.
      if (d->abortedAt_ == 0 && !d->Finished() && message->hwnd == d->current_ && d->steps_[d->next_].waitsUntilGone &&
          !d->steps_[d->next_].onStack) {
        d->ReturnToPreviousDialog(message->hwnd);
        ++d->next_;
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogDriver::Tick() {
  const ULONGLONG now = GetTickCount64();
  if (abortedAt_ != 0) {
    if (now - abortedAt_ >= kGraceMs) CloseThreadWindows(true);
    return;
  }
  if (now >= deadline_) return TimeOut(now);
  if (Finished()) return;
  const size_t index = next_;
  if (steps_[index].onStack) {
    // This step entered a nested message loop (a sent message that opened another dialog, say):
    // the rest of the script is what has to drive that loop now.
    next_ = index + 1;
    return;
  }
  steps_[index].onStack = true;
  running_ = index;
  bool done = true;
  try {
    done = steps_[index].run(steps_[index]);
  } catch (const std::exception& e) {
    Fail(std::string("threw ") + e.what());
  } catch (...) {
    Fail("threw an unknown exception");
  }
  steps_[index].onStack = false;
  running_ = SIZE_MAX;
  if (done && next_ == index) next_ = index + 1;
}

void DialogDriver::TimeOut(ULONGLONG now) {
  std::string open;
  for (HWND w : ThreadWindows(thread_)) {
    if (IsDialogWindow(w) && IsWindowVisible(w)) open += (open.empty() ? "" : ", ") + Quoted(WindowTextOf(w));
  }
  const std::string closing = open.empty() ? "" : "; closing " + open;
  if (!Finished()) {
    errors_.push_back("timed out after " + std::to_string(timeoutMs_) + " ms at step " + std::to_string(next_ + 1) +
                      " " + steps_[next_].label + closing);
  } else if (!open.empty()) {
    errors_.push_back("script finished but dialogs were still open after " + std::to_string(timeoutMs_) + " ms" +
                      closing);
  } else {
    return Disarm();  // finished and nothing left to guard
  }
  abortedAt_ = now;
  CloseThreadWindows(false);
}

void DialogDriver::Disarm() {
  if (timer_ != 0) KillTimer(nullptr, timer_);
  timer_ = 0;
  if (hook_) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  if (t_armed == this) t_armed = nullptr;
}

void DialogDriver::Fail(const std::string& message) {
  const std::string step =
      running_ < steps_.size() ? "step " + std::to_string(running_ + 1) + " " + steps_[running_].label + ": " : "";
  errors_.push_back(step + message);
}

HWND DialogDriver::FindDialog(const std::string& caption) const {
  HWND best = nullptr;
  unsigned bestOrder = 0;
  for (HWND w : ThreadWindows(thread_)) {  // topmost first, so equal orders go to the window on top
    if (!IsDialogWindow(w) || !IsWindowVisible(w) || !IsWindowEnabled(w)) continue;
    auto it =
        std::find_if(initialized_.begin(), initialized_.end(), [w](const auto& entry) { return entry.first == w; });
    if (hook_ && it == initialized_.end()) continue;  // still inside WM_INITDIALOG
    const unsigned order = it == initialized_.end() ? 0 : it->second;
    if ((caption.empty() || WindowTextOf(w) == caption) && (!best || order > bestOrder)) {
      best = w;
      bestOrder = order;
    }
  }
  return best;
}

HWND DialogDriver::RequireDialog() {
  if (current_ && IsWindow(current_)) return current_;
  Fail(current_ ? "the current dialog no longer exists" : "no current dialog: WaitForDialog first");
  return nullptr;
}

HWND DialogDriver::RequireControl(int id) {
  HWND dialog = RequireDialog();
  HWND control = dialog ? FindControl(dialog, id) : nullptr;
  if (dialog && !control) Fail("no control with this id in dialog " + Quoted(WindowTextOf(dialog)));
  return control;
}

void DialogDriver::SendKeys(const std::vector<INPUT>& inputs) {
  HWND dialog = RequireDialog();
  if (!dialog || inputs.empty()) return;
  // SendInput delivers to the focus window of the foreground window. A freshly shown modal dialog
  // is the foreground window already, but not once another window has been brought to the front;
  // then its keystrokes would be lost. Within one process Wine switches the foreground at once.
  if (GetForegroundWindow() != dialog) SetForegroundWindow(dialog);
  if (GetForegroundWindow() != dialog) {
    return Fail("the dialog could not be made the foreground window, so keystrokes would go elsewhere");
  }
  HWND focus = GetFocus();
  if (focus != dialog && !IsChild(dialog, focus)) {
    if (HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE)) {
      SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    } else {
      SetFocus(dialog);
    }
  }
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.data()), sizeof(INPUT));
  if (sent != inputs.size()) {
    Fail("SendInput delivered " + std::to_string(sent) + " of " + std::to_string(inputs.size()) + " events");
  }
}

void DialogDriver::CloseThreadWindows(bool force) {
  for (HWND w : ThreadWindows(thread_)) {
    if (!IsWindowVisible(w)) continue;  // hidden helper windows (IME and the like) are left alone
    if (IsDialogWindow(w)) {
      // IDCANCEL first lets the dialog tidy up as it would for a person; EndDialog is the fallback
      // for boxes without a Cancel button and for dialogs that ignore it.
      if (force) {
        EndDialog(w, IDCANCEL);
      } else {
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    } else if (IsWindowEnabled(w)) {
      // A disabled window is the owner of a modal dialog, which closing would pull from under it.
      PostMessageW(w, WM_CLOSE, 0, 0);
    }
  }
}

}  // namespace commonq::testing
