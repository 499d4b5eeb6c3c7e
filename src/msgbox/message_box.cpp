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
#include "msgbox/logic/suppression.h"
#include "resources/common_ids.h"

namespace commonq {
namespace {

// Room around the check box text, in pixels.
constexpr int kCheckBoxSidePadding = 32;
constexpr int kCheckBoxExtraHeight = 7;
constexpr int kCheckBoxLeft = 13;

class SuppressibleMessageBox {
 public:
  explicit SuppressibleMessageBox(UINT messageNumber);
  SuppressibleMessageBox(const SuppressibleMessageBox&) = delete;
  SuppressibleMessageBox& operator=(const SuppressibleMessageBox&) = delete;

  int Run(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK BoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void OnBoxMessage(HWND window, UINT message, WPARAM wParam);
  void AddCheckBox(HWND window);
  void StoreSuppression() const;

  DialogTranslator translator_;
  UniqueHook hook_;
  UniqueWindowProcedure boxProcedure_;
  DWORD bit_ = 0;  // the message's "DoNot" bit; 0: a plain box
  bool checked_ = false;
  bool failed_ = false;  // a handler failed and the box was ended
  bool suppressed_ = false;
};

// The hook procedure gets no object of its own; calls never overlap, so one current box serves.
SuppressibleMessageBox* g_current = nullptr;

SuppressibleMessageBox::SuppressibleMessageBox(UINT messageNumber) : bit_(SuppressionBit(messageNumber)) {
  if (bit_ == 0) return;
  const std::optional<DWORD> doNot = ReadDwordSetting(kCommonKey, kDoNotValue);
  suppressed_ = doNot && (*doNot & bit_) != 0;
  if (!suppressed_) {
    hook_.reset(::SetWindowsHookExA(WH_CBT, &SuppressibleMessageBox::HookProc, nullptr, ::GetCurrentThreadId()));
  }
}

int SuppressibleMessageBox::Run(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (suppressed_) return IDOK;
  g_current = this;
  const int result = ::MessageBoxA(owner, text, caption, type);
  g_current = nullptr;
  if (failed_) return 0;
  if (checked_) StoreSuppression();
  return result;
}

void SuppressibleMessageBox::StoreSuppression() const {
  const DWORD bit = bit_;
  UpdateDwordSetting(kCommonKey, kDoNotValue,
                     [bit](std::optional<DWORD> current) -> std::optional<DWORD> { return current.value_or(0) | bit; });
}

// The box's window is the first dialog window the thread creates once the call has begun; it is
// subclassed as it is created, before its first message, and the hook goes at once. A computer-
// based-training hook sees only a handful of events, where a hook on every sent message would
// cost a round trip through the system for each of the hundreds the box sends while it is built.
bool IsDialogWindowClass(LPCSTR windowClass) noexcept {
  constexpr WORD kDialogClassAtom = 32770;
  if (IS_INTRESOURCE(windowClass)) return LOWORD(reinterpret_cast<ULONG_PTR>(windowClass)) == kDialogClassAtom;
  return ::lstrcmpiA(windowClass, "#32770") == 0;
}

LRESULT CALLBACK SuppressibleMessageBox::HookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  const LRESULT next = ::CallNextHookEx(nullptr, code, wParam, lParam);
  SuppressibleMessageBox* self = g_current;
  if (code == HCBT_CREATEWND && next == 0 && self != nullptr && self->boxProcedure_.Window() == nullptr) {
    const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
    if (IsDialogWindowClass(create->lpcs->lpszClass)) {
      const HWND window = reinterpret_cast<HWND>(wParam);
      self->boxProcedure_.Install(window, &SuppressibleMessageBox::BoxProc);
      self->hook_.reset();
    }
  }
  return next;
}

LRESULT CALLBACK SuppressibleMessageBox::BoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  SuppressibleMessageBox* self = g_current;
  // The message box handles every message first; the check box is added to its finished layout.
  const LRESULT result = self->boxProcedure_.CallPrevious(window, message, wParam, lParam);
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
      boxProcedure_.Restore();
      break;
    case WM_INITDIALOG:
      AddCheckBox(window);
      break;
    case WM_COMMAND:
      if (wParam == IDC_DO_NOT_SHOW_AGAIN) checked_ = !checked_;
      break;
    default:
      break;
  }
}

void SuppressibleMessageBox::AddCheckBox(HWND window) {
  const WindowDc dc(window);
  translator_.LoadLanguage();
  std::string text = translator_.LoadText(IDS_LANG_DO_NOT_SHOW_AGAIN);
  if (text.empty()) {
    char own[kTranslationTextChars] = {};
    ::LoadStringA(LibraryInstance(), IDS_DO_NOT_SHOW_AGAIN, own, kTranslationTextChars);
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
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DO_NOT_SHOW_AGAIN)),
                                    LibraryInstance(), nullptr);
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
    return box.Run(owner, text, caption, type);
  } catch (...) {
    return 0;
  }
}
