#include "dialog_driver.h"

#include <algorithm>
#include <exception>
#include <string_view>

#include "window_capture.h"

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

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (size <= 0) return {};
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
  return out;
}

bool IsDialogWindow(HWND w) {
  char cls[16] = {};
  return GetClassNameA(w, cls, sizeof(cls)) > 0 && std::string_view(cls) == "#32770";
}

struct ControlSearch {
  int id;
  HWND found;
};

// A named CALLBACK rather than a lambda: on i686 a lambda does not convert to a stdcall pointer.
BOOL CALLBACK MatchControlId(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ControlSearch*>(param);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

// Controls of a dialog's child dialogs (file dialog templates, property pages) are not direct
// children, so GetDlgItem alone would miss them.
HWND FindControl(HWND dialog, int id) {
  if (HWND direct = GetDlgItem(dialog, id)) return direct;
  ControlSearch search{id, nullptr};
  EnumChildWindows(dialog, &MatchControlId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

bool IsExtendedKey(WORD vk) {
  switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_NUMLOCK:
    case VK_DIVIDE:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_SNAPSHOT:
    case VK_APPS:
    case VK_LWIN:
    case VK_RWIN:
      return true;
    default:
      return false;
  }
}

void AppendKey(std::vector<INPUT>& inputs, WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  inputs.push_back(input);
}

void AppendChord(std::vector<INPUT>& inputs, WORD vk, bool ctrl, bool shift, bool alt) {
  if (ctrl) AppendKey(inputs, VK_CONTROL, false);
  if (shift) AppendKey(inputs, VK_SHIFT, false);
  if (alt) AppendKey(inputs, VK_MENU, false);
  AppendKey(inputs, vk, false);
  AppendKey(inputs, vk, true);
  if (alt) AppendKey(inputs, VK_MENU, true);
  if (shift) AppendKey(inputs, VK_SHIFT, true);
  if (ctrl) AppendKey(inputs, VK_CONTROL, true);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string WindowTextOf(HWND w) {
  if (!IsWindow(w)) return {};
  const int length = GetWindowTextLengthW(w);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(w, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::clamp(copied, 0, length)));
  return Utf8(text);
}

std::string ControlText(HWND dialog, int id) {
  HWND control = FindControl(dialog, id);
  return control ? WindowTextOf(control) : std::string();
}

bool IsChecked(HWND dialog, int id) {
  HWND control = FindControl(dialog, id);
  return control && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

namespace {

struct ChildSearch {
  const char* cls;
  const char* text;
  HWND found;
};

BOOL CALLBACK MatchClassAndText(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (search->cls) {
    char name[256] = {};
    if (GetClassNameA(child, name, sizeof(name)) <= 0 || lstrcmpiA(name, search->cls) != 0) return TRUE;
  }
  if (search->text && WindowTextOf(child) != search->text) return TRUE;
  search->found = child;
  return FALSE;
}

}  // namespace

HWND FindChildByClassAndText(HWND parent, const char* cls, const char* text) {
  ChildSearch search{cls, text, nullptr};
  EnumChildWindows(parent, &MatchClassAndText, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

DialogDriver::DialogDriver(int timeoutMs) : timeoutMs_(std::max(timeoutMs, 1)) {}

DialogDriver::~DialogDriver() { Disarm(); }

DialogDriver& DialogDriver::Add(std::string label, std::function<bool(Step&)> run) {
  // A step added while armed could reallocate the script under a step that is still running.
  if (timer_ != 0) {
    errors_.push_back("step " + label + " added after Start() was ignored");
    return *this;
  }
  steps_.push_back(Step{std::move(label), std::move(run)});
  return *this;
}

DialogDriver& DialogDriver::WaitForDialog(std::string caption) {
  const std::string label = "WaitForDialog(" + (caption.empty() ? std::string() : Quoted(caption)) + ")";
  return Add(label, [this, caption = std::move(caption)](Step&) {
    HWND found = FindDialog(caption);
    if (!found) return false;
    if (current_ && current_ != found) previous_.push_back(current_);
    current_ = found;
    return true;
  });
}

DialogDriver& DialogDriver::Click(int id) {
  return Add("Click(" + std::to_string(id) + ")", [this, id](Step&) {
    HWND control = RequireControl(id);
    if (!control) return true;
    // A person cannot click what is greyed out or not shown, so neither may a test.
    if (!IsWindowEnabled(control)) {
      Fail("control is disabled");
    } else if (!(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE)) {
      Fail("control is hidden");
    } else {
      PostMessageW(control, BM_CLICK, 0, 0);
    }
    return true;
  });
}

DialogDriver& DialogDriver::SetCheck(int id, bool checked) {
  return Add("SetCheck(" + std::to_string(id) + ", " + (checked ? "true" : "false") + ")",
             [this, id, checked](Step& step) {
               HWND control = RequireControl(id);
               if (!control) return true;
               const bool isChecked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
               if (isChecked == checked) return true;
               if (step.phase == 3) {
                 Fail("three clicks did not change the state; not an automatic check box?");
                 return true;
               }
               if (!IsWindowEnabled(control)) {
                 Fail("control is disabled");
                 return true;
               }
               ++step.phase;
               PostMessageW(control, BM_CLICK, 0, 0);
               return false;
             });
}

DialogDriver& DialogDriver::SetText(int id, const std::string& text) {
  return Add("SetText(" + std::to_string(id) + ", " + Quoted(text) + ")", [this, id, text](Step&) {
    HWND control = RequireControl(id);
    if (control && !SetWindowTextW(control, Wide(text).c_str())) Fail("WM_SETTEXT was refused");
    return true;
  });
}

DialogDriver& DialogDriver::Focus(int id) {
  return Add("Focus(" + std::to_string(id) + ")", [this, id](Step&) {
    HWND control = RequireControl(id);
    if (!control) return true;
    SendMessageW(current_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    if (GetFocus() != control && !IsChild(control, GetFocus())) Fail("the control did not take the focus");
    return true;
  });
}

DialogDriver& DialogDriver::Keys(const std::string& text) {
  return Add("Keys(" + Quoted(text) + ")", [this, text](Step&) {
    HWND dialog = RequireDialog();
    if (!dialog) return true;
    std::vector<INPUT> inputs;
    for (char c : text) {
      switch (c) {
        case '\n':
          AppendChord(inputs, VK_RETURN, false, false, false);
          continue;
        case '\t':
          AppendChord(inputs, VK_TAB, false, false, false);
          continue;
        case '\b':
          AppendChord(inputs, VK_BACK, false, false, false);
          continue;
        default:
          break;
      }
      const SHORT scan = static_cast<unsigned char>(c) < 0x80 ? VkKeyScanA(c) : SHORT{-1};
      if (scan == -1 || LOBYTE(scan) == 0xFF) {
        Fail(std::string("no key types '") + c + "'");
        continue;
      }
      const BYTE shifts = HIBYTE(scan);
      AppendChord(inputs, LOBYTE(scan), (shifts & 2) != 0, (shifts & 1) != 0, (shifts & 4) != 0);
    }
    SendKeys(dialog, inputs);
    return true;
  });
}

DialogDriver& DialogDriver::Key(WORD vk, bool ctrl, bool shift, bool alt) {
  std::string label = "Key(" + std::to_string(vk);
  if (ctrl) label += ", ctrl";
  if (shift) label += ", shift";
  if (alt) label += ", alt";
  return Add(label + ")", [this, vk, ctrl, shift, alt](Step&) {
    HWND dialog = RequireDialog();
    if (!dialog) return true;
    std::vector<INPUT> inputs;
    AppendChord(inputs, vk, ctrl, shift, alt);
    SendKeys(dialog, inputs);
    return true;
  });
}

DialogDriver& DialogDriver::Read(std::function<void(HWND dialog)> fn) {
  return Add("Read", [this, fn = std::move(fn)](Step&) {
    if (HWND dialog = RequireDialog()) fn(dialog);
    return true;
  });
}

DialogDriver& DialogDriver::Capture(const std::string& pngPath) {
  return Add("Capture(" + Quoted(pngPath) + ")", [this, pngPath](Step&) {
    HWND dialog = RequireDialog();
    if (dialog && !CaptureWindowToPng(dialog, pngPath)) Fail("could not capture the dialog");
    return true;
  });
}

DialogDriver& DialogDriver::Pause(int ms) {
  return Add("Pause(" + std::to_string(ms) + ")", [ms](Step& step) {
    const ULONGLONG now = GetTickCount64();
    if (step.phase == 0) {
      step.phase = 1;
      step.since = now;
    }
    return now - step.since >= static_cast<ULONGLONG>(std::max(ms, 0));
  });
}

DialogDriver& DialogDriver::Command(int id) {
  return Add("Command(" + std::to_string(id) + ")", [this, id](Step&) {
    HWND dialog = RequireDialog();
    if (dialog) {
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    return true;
  });
}

DialogDriver& DialogDriver::WaitUntilGone() {
  Add("WaitUntilGone", [this](Step&) {
    if (!current_) {
      Fail("no current dialog: WaitForDialog first");
      return true;
    }
    if (IsWindow(current_)) return false;
    ReturnToPreviousDialog(current_);
    return true;
  });
  if (timer_ == 0) steps_.back().waitsUntilGone = true;
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
  closeSent_.clear();
  for (Step& step : steps_) {
    step.phase = 0;
    step.since = 0;
    step.onStack = false;
  }
  initialized_.clear();
  initOrder_ = 0;
  for (HWND w : ThreadWindows()) {
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

bool DialogDriver::Finished() const { return next_ == steps_.size(); }

const std::vector<std::string>& DialogDriver::Errors() const { return errors_; }

void CALLBACK DialogDriver::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (t_armed && t_armed->timer_ == id) {
    t_armed->Tick();
  } else {
    KillTimer(nullptr, id);  // left over from a driver that is gone
  }
}

LRESULT CALLBACK DialogDriver::OnCallWndProcRet(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && t_armed) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    auto& seen = t_armed->initialized_;
    if (message->message == WM_INITDIALOG) {
      seen.emplace_back(message->hwnd, ++t_armed->initOrder_);
    } else if (message->message == WM_NCDESTROY) {
      // Window handles are recycled; a stale entry could vouch for a new, uninitialised dialog.
      std::erase_if(seen, [&](const auto& entry) { return entry.first == message->hwnd; });
      t_armed->OnDestroyed(message->hwnd);
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
  if (now >= deadline_) {
    std::string open;
    for (HWND w : ThreadWindows()) {
      if (IsDialogWindow(w) && IsWindowVisible(w)) open += (open.empty() ? "" : ", ") + Quoted(WindowTextOf(w));
    }
    if (!Finished()) {
      errors_.push_back("timed out after " + std::to_string(timeoutMs_) + " ms at step " + std::to_string(next_ + 1) +
                        " " + steps_[next_].label + (open.empty() ? "" : "; closing " + open));
    } else if (!open.empty()) {
      errors_.push_back("script finished but dialogs were still open after " + std::to_string(timeoutMs_) +
                        " ms; closing " + open);
    } else {
      Disarm();  // finished and nothing left to guard
      return;
    }
    abortedAt_ = now;
    CloseThreadWindows(false);
    return;
  }
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

// A script usually ends by waiting for the dialog to go, and once it has gone the modal loop
// returns and no timer tick follows; so that step completes here, as the window is destroyed.
void DialogDriver::OnDestroyed(HWND window) {
  if (abortedAt_ != 0 || Finished() || window != current_) return;
  Step& step = steps_[next_];
  if (!step.waitsUntilGone || step.onStack) return;
  ReturnToPreviousDialog(window);
  ++next_;
}

void DialogDriver::Disarm() {
  if (timer_ != 0) KillTimer(nullptr, timer_);
  timer_ = 0;
  if (hook_) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  if (t_armed == this) t_armed = nullptr;
}

void DialogDriver::Fail(const std::string& message) {
  if (running_ < steps_.size()) {
    errors_.push_back("step " + std::to_string(running_ + 1) + " " + steps_[running_].label + ": " + message);
  } else {
    errors_.push_back(message);
  }
}

std::vector<HWND> DialogDriver::ThreadWindows() const {
  std::vector<HWND> windows;
  EnumThreadWindows(thread_, &CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND DialogDriver::FindDialog(const std::string& caption) const {
  HWND best = nullptr;
  unsigned bestOrder = 0;
  for (HWND w : ThreadWindows()) {  // topmost first, so equal orders go to the window on top
    if (!IsDialogWindow(w) || !IsWindowVisible(w) || !IsWindowEnabled(w)) continue;
    unsigned order = 0;
    if (hook_) {
      auto it =
          std::find_if(initialized_.begin(), initialized_.end(), [w](const auto& entry) { return entry.first == w; });
      if (it == initialized_.end()) continue;  // still inside WM_INITDIALOG
      order = it->second;
    }
    if (!caption.empty() && WindowTextOf(w) != caption) continue;
    if (!best || order > bestOrder) {
      best = w;
      bestOrder = order;
    }
  }
  return best;
}

HWND DialogDriver::RequireDialog() {
  if (!current_) {
    Fail("no current dialog: WaitForDialog first");
    return nullptr;
  }
  if (!IsWindow(current_)) {
    Fail("the current dialog no longer exists");
    return nullptr;
  }
  return current_;
}

HWND DialogDriver::RequireControl(int id) {
  HWND dialog = RequireDialog();
  if (!dialog) return nullptr;
  HWND control = FindControl(dialog, id);
  if (!control) Fail("no control with this id in dialog " + Quoted(WindowTextOf(dialog)));
  return control;
}

bool DialogDriver::PrepareKeyboard(HWND dialog) {
  // SendInput delivers to the focus window of the foreground window. A freshly shown modal dialog
  // is the foreground window already, under Wine without a window manager too, but not once
  // another window has been brought to the front; then its keystrokes would be lost. Within one
  // process Wine switches the foreground at once, so no pause is needed after this.
  if (GetForegroundWindow() != dialog) SetForegroundWindow(dialog);
  if (GetForegroundWindow() != dialog) {
    Fail("the dialog could not be made the foreground window, so keystrokes would go elsewhere");
    return false;
  }
  HWND focus = GetFocus();
  if (focus != dialog && !IsChild(dialog, focus)) {
    if (HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE)) {
      SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    } else {
      SetFocus(dialog);
    }
  }
  return true;
}

void DialogDriver::SendKeys(HWND dialog, const std::vector<INPUT>& inputs) {
  if (inputs.empty() || !PrepareKeyboard(dialog)) return;
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.data()), sizeof(INPUT));
  if (sent != inputs.size()) {
    Fail("SendInput delivered " + std::to_string(sent) + " of " + std::to_string(inputs.size()) + " events");
  }
}

void DialogDriver::CloseThreadWindows(bool force) {
  for (HWND w : ThreadWindows()) {
    if (!IsWindowVisible(w)) continue;  // hidden helper windows (IME and the like) are left alone
    if (IsDialogWindow(w)) {
      // IDCANCEL first lets the dialog tidy up as it would for a person; EndDialog is the fallback
      // for boxes without a Cancel button and for dialogs that ignore it.
      if (force) {
        EndDialog(w, IDCANCEL);
      } else {
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    } else if (IsWindowEnabled(w) && std::find(closeSent_.begin(), closeSent_.end(), w) == closeSent_.end()) {
      // A disabled window is the owner of a modal dialog, which closing would pull from under it.
      PostMessageW(w, WM_CLOSE, 0, 0);
      closeSent_.push_back(w);
    }
  }
}

}  // namespace commonq::testing
