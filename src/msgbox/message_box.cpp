// MessageBoxDoModal: the system's message box, with a "Do not show again" check box for the
// messages the user may suppress.
#include <windows.h>

#include "CommonQ.h"
#include "frame/dialog_translator.h"
#include "frame/module_state.h"
#include "frame/settings_store.h"
#include "frame/subclass.h"
#include "frame/unique_handle.h"
#include "frame/window_binding.h"
#include "msgbox/suppression.h"

namespace commonq {
namespace {

// Room around the check box text, in pixels.
constexpr int kCheckBoxSidePadding = 32;
constexpr int kCheckBoxExtraHeight = 7;
constexpr int kCheckBoxLeft = 13;

class SuppressibleMessageBox {
 public:
  explicit SuppressibleMessageBox(UINT messageNumber);
  ~SuppressibleMessageBox();
  SuppressibleMessageBox(const SuppressibleMessageBox&) = delete;
  SuppressibleMessageBox& operator=(const SuppressibleMessageBox&) = delete;

  int Run(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self) noexcept;
  void OnBoxMessage(HWND window, UINT message, WPARAM wParam);
  void AddCheckBox(HWND window);
  void StoreSuppression() const;

  DialogTranslator translator_;
  UniqueHook hook_;
  HWND window_ = nullptr;
  bool subclassed_ = false;
  CheckBoxKind kind_ = CheckBoxKind::kNone;
  int bitIndex_ = 0;
  bool checked_ = false;
  bool failed_ = false;  // a handler failed and the box was ended
  bool suppressed_ = false;
};

// The hook procedure gets no object of its own; calls never overlap, so one current box serves.
SuppressibleMessageBox* g_current = nullptr;

SuppressibleMessageBox::SuppressibleMessageBox(UINT messageNumber) {
  if (const std::optional<SuppressibleMessage> entry = FindSuppressibleMessage(messageNumber)) {
    bitIndex_ = entry->bitIndex;
    kind_ = entry->kind;
  }
  if (bitIndex_ == 0) kind_ = CheckBoxKind::kNone;
  if (kind_ == CheckBoxKind::kNone) return;

  const std::optional<DWORD> doNot = ReadDwordSetting(kCommonKey, kDoNotValue);
  suppressed_ = doNot && (*doNot & BitValue(bitIndex_)) != 0;
  if (!suppressed_) {
    hook_.reset(
        ::SetWindowsHookExA(WH_CALLWNDPROC, &SuppressibleMessageBox::HookProc, nullptr, ::GetCurrentThreadId()));
  }
}

SuppressibleMessageBox::~SuppressibleMessageBox() {
  if (subclassed_ && ::IsWindow(window_)) RemoveSubclass(window_, &SuppressibleMessageBox::SubclassProc, 0);
}

int SuppressibleMessageBox::Run(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (suppressed_) return IDOK;
  const int result = ::MessageBoxA(owner, text, caption, type);
  if (failed_) return 0;
  if (checked_) StoreSuppression();
  return result;
}

void SuppressibleMessageBox::StoreSuppression() const {
  const DWORD bit = BitValue(bitIndex_);
  UpdateDwordSetting(kCommonKey, kDoNotValue,
                     [bit](std::optional<DWORD> current) -> std::optional<DWORD> { return current.value_or(0) | bit; });
}

LRESULT CALLBACK SuppressibleMessageBox::HookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  SuppressibleMessageBox* self = g_current;
  if (code == HC_ACTION && self != nullptr && !self->subclassed_) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == WM_INITDIALOG &&
        SetSubclass(call->hwnd, &SuppressibleMessageBox::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(self))) {
      self->subclassed_ = true;
      self->window_ = call->hwnd;
    }
  }
  return ::CallNextHookEx(self != nullptr ? self->hook_.get() : nullptr, code, wParam, lParam);
}

LRESULT CALLBACK SuppressibleMessageBox::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                      DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<SuppressibleMessageBox*>(data);
  self->window_ = window;
  // The message box handles every message first; the check box is added to its finished layout.
  const LRESULT result = DefaultSubclassProc(window, message, wParam, lParam);
  bool handled = false;
  const LRESULT answer = CallGuarded<LRESULT>(nullptr, window, result, [&] {
    ThrowIfFailureInjected(message);
    self->OnBoxMessage(window, message, wParam);
    handled = true;
    return result;
  });
  // The guard has ended the box; the call then reports that it could not be completed.
  if (!handled) self->failed_ = true;
  return answer;
}

void SuppressibleMessageBox::OnBoxMessage(HWND window, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_NCDESTROY:
      hook_.reset();
      RemoveSubclass(window, &SuppressibleMessageBox::SubclassProc, 0);
      subclassed_ = false;
      break;
    case WM_INITDIALOG:
      if (kind_ != CheckBoxKind::kNone) AddCheckBox(window);
      break;
    case WM_COMMAND:
      if (wParam == kDoNotCheckBoxId) checked_ = !checked_;
      break;
    default:
      break;
  }
}

void SuppressibleMessageBox::AddCheckBox(HWND window) {
  const WindowDc dc(window);
  const CheckBoxStrings ids = CheckBoxStringIds(kind_);
  translator_.LoadLanguage();
  std::string text = translator_.LoadText(ids.languageId);
  if (text.empty()) {
    char own[kTranslationTextChars] = {};
    ::LoadStringA(CurrentModuleState().resourceInstance, ids.ownId, own, kTranslationTextChars);
    text = own;
  }

  SIZE size{};
  ::GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);

  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ::GetWindowPlacement(window, &placement);
  const RECT& normal = placement.rcNormalPosition;
  const int width = normal.right - normal.left;
  const int height = normal.bottom - normal.top;
  const int newWidth = width > size.cx + kCheckBoxSidePadding ? width : size.cx + kCheckBoxSidePadding;
  ::MoveWindow(window, normal.left, normal.top, newWidth, height + size.cy + kCheckBoxExtraHeight, TRUE);

  HWND checkBox = ::CreateWindowExA(0, "BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, kCheckBoxLeft,
                                    height - 2 * size.cy, size.cx, size.cy, window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDoNotCheckBoxId)),
                                    CurrentModuleState().instance, nullptr);
  if (checkBox != nullptr)
    ::SendMessageA(checkBox, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

}  // namespace
}  // namespace commonq

extern "C" int __cdecl MessageBoxDoModal(HWND owner, LPCSTR text, LPCSTR caption, UINT type,
                                         UINT messageNumber) noexcept {
  try {
    commonq::ExportCall call;
    if (!call.Started()) return 0;
    commonq::SuppressibleMessageBox box(messageNumber);
    commonq::g_current = &box;
    const int result = box.Run(owner, text, caption, type);
    commonq::g_current = nullptr;
    return result;
  } catch (...) {
    commonq::g_current = nullptr;
    return 0;
  }
}
