// MessageBoxDoModal: the system's message box, with a "Do not show again" check box for the
// messages the user may suppress.
#include <windows.h>

#include "CommonQ.h"
#include "frame/dialog_translator.h"
#include "frame/export_call.h"
#include "frame/guarded_callback.h"
#include "frame/settings_store.h"
#include "frame/subclass.h"
#include "frame/unique_handle.h"
#include "msgbox/logic/suppression.h"
#include "resources/common_ids.h"

namespace commonq {
namespace {

// Room around the check box text, in pixels.
constexpr int kCheckBoxSidePadding = 32;
constexpr int kCheckBoxExtraHeight = 7;
constexpr int kCheckBoxLeft = 13;

// A WindowBinding only for its failure record: the box is the system's dialog, reached through a
// window-creation hook and a replaced window procedure.
class SuppressibleMessageBox : public WindowBinding {
 public:
  explicit SuppressibleMessageBox(UINT messageNumber);
  SuppressibleMessageBox(const SuppressibleMessageBox&) = delete;
  SuppressibleMessageBox& operator=(const SuppressibleMessageBox&) = delete;

  int Run(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
  // A failure in the box's window procedure ends the box and this call.
  WindowBinding* FailureOwner() noexcept { return this; }

 private:
  static SuppressibleMessageBox* LocateBoxCreation(int code, const HookedMessage& hooked) noexcept;
  static SuppressibleMessageBox* LocateBox(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  bool OnBoxCreation(const HookedMessage& hooked);
  LRESULT OnBoxMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void AddCheckBox(HWND window);
  void StoreSuppression() const;

  DialogTranslator translator_;
  UniqueHook hook_;
  UniqueWindowProcedure boxProcedure_;
  DWORD bit_ = 0;  // the message's "DoNot" bit; 0: a plain box
  bool checked_ = false;
  bool suppressed_ = false;
};

// The hook procedure gets no object of its own; calls never overlap, so one current box serves.
SuppressibleMessageBox* g_current = nullptr;

SuppressibleMessageBox::SuppressibleMessageBox(UINT messageNumber) : bit_(SuppressionBit(messageNumber)) {
  if (bit_ == 0) return;
  const std::optional<DWORD> doNot = ReadDwordSetting(kCommonKey, kDoNotValue);
  suppressed_ = doNot && (*doNot & bit_) != 0;
  if (!suppressed_) {
    hook_.reset(::SetWindowsHookExA(
        WH_CBT,
        &GuardedHookProcedure<WH_CBT, SuppressibleMessageBox, &SuppressibleMessageBox::LocateBoxCreation,
                              &SuppressibleMessageBox::OnBoxCreation>,
        nullptr, ::GetCurrentThreadId()));
  }
}

int SuppressibleMessageBox::Run(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (suppressed_) return IDOK;
  g_current = this;
  const int result = ::MessageBoxA(owner, text, caption, type);
  g_current = nullptr;
  // A handler failed and ended the box: the call did not do its work.
  if (AbandonedBy() != Abandoned::kNo) return 0;
  if (checked_) StoreSuppression();
  return result;
}

void SuppressibleMessageBox::StoreSuppression() const {
  const DWORD bit = bit_;
  UpdateDwordSetting(kCommonKey, kDoNotValue,
                     [bit](std::optional<DWORD> current) -> std::optional<DWORD> { return current.value_or(0) | bit; });
}

// The box's window is the first dialog window the thread creates once the call has begun; its
// window procedure is replaced as it is created, before its first message, and the hook goes once
// the box is built. A window-creation hook sees only a handful of events, where a hook on every
// sent message, or a comctl32 subclass, would cost a round trip through the system (under Wine,
// the server) for each of the hundreds of messages the box handles while it is built.
bool IsDialogWindowClass(LPCSTR windowClass) noexcept {
  constexpr WORD kDialogClassAtom = 32770;
  if (IS_INTRESOURCE(windowClass)) return LOWORD(reinterpret_cast<ULONG_PTR>(windowClass)) == kDialogClassAtom;
  return ::lstrcmpiA(windowClass, "#32770") == 0;
}

SuppressibleMessageBox* SuppressibleMessageBox::LocateBoxCreation(int code, const HookedMessage& hooked) noexcept {
  SuppressibleMessageBox* self = g_current;
  if (code != HCBT_CREATEWND || self == nullptr || self->boxProcedure_.Window() != nullptr) return nullptr;
  const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(hooked.lParam);
  return IsDialogWindowClass(create->lpcs->lpszClass) ? self : nullptr;
}

SuppressibleMessageBox* SuppressibleMessageBox::LocateBox(HWND window, UINT, WPARAM, LPARAM) noexcept {
  SuppressibleMessageBox* self = g_current;
  return self != nullptr && self->boxProcedure_.Window() == window ? self : nullptr;
}

bool SuppressibleMessageBox::OnBoxCreation(const HookedMessage& hooked) {
  boxProcedure_.Install(hooked.window,
                        &GuardedWindowProcedure<SuppressibleMessageBox, &SuppressibleMessageBox::LocateBox,
                                                &SuppressibleMessageBox::OnBoxMessage>);
  return false;
}

LRESULT SuppressibleMessageBox::OnBoxMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The message box handles every message first; the check box is added to its finished layout.
  const LRESULT result = boxProcedure_.CallPrevious(window, message, wParam, lParam);
  switch (message) {
    case WM_NCDESTROY:
      hook_.reset();
      boxProcedure_.Restore();
      break;
    case WM_INITDIALOG:
      hook_.reset();
      AddCheckBox(window);
      break;
    case WM_COMMAND:
      if (wParam == IDC_DO_NOT_SHOW_AGAIN) checked_ = !checked_;
      break;
    default:
      break;
  }
  return result;
}

void SuppressibleMessageBox::AddCheckBox(HWND window) {
  const WindowDc dc(window);
  translator_.LoadLanguage();
  const std::string text = translator_.LoadTextOr(IDS_LANG_DO_NOT_SHOW_AGAIN, IDS_DO_NOT_SHOW_AGAIN);

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

  HWND checkBox = ::CreateWindowExA(0, "BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
                                    kCheckBoxLeft, height - 2 * size.cy, size.cx, size.cy, window,
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
