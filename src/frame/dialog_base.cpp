#include "frame/dialog_base.h"

#include <commdlg.h>

#include "frame/logic/placement.h"
#include "frame/module_state.h"

namespace commonq {

INT_PTR DialogWindow::RunModal(int templateId, HWND owner) {
  return ::DialogBoxParamA(LibraryInstance(), MAKEINTRESOURCEA(templateId), owner, &DialogWindow::StartDialogProc,
                           BindingParam());
}

INT_PTR DialogWindow::RunModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND owner) {
  return ::DialogBoxIndirectParamA(LibraryInstance(), dialogTemplate, owner, &DialogWindow::StartDialogProc,
                                   BindingParam());
}

INT_PTR CALLBACK DialogWindow::StartDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return Route(window, message, wParam, lParam,
               message == WM_INITDIALOG ? reinterpret_cast<DialogWindow*>(lParam) : nullptr);
}

UINT_PTR CALLBACK DialogWindow::FileDialogHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  DialogWindow* arriving = nullptr;
  if (message == WM_INITDIALOG && lParam != 0) {
    arriving = reinterpret_cast<DialogWindow*>(reinterpret_cast<const OPENFILENAMEA*>(lParam)->lCustData);
  }
  return static_cast<UINT_PTR>(Route(window, message, wParam, lParam, arriving));
}

INT_PTR DialogWindow::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DialogWindow* arriving) noexcept {
  auto* self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrA(window, DWLP_USER));
  if (self == nullptr) {
    // Messages before WM_INITDIALOG (WM_SETFONT and the like) get the dialog manager's default.
    if (arriving == nullptr) return FALSE;
    self = arriving;
    self->SetWindow(window);
    ::SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  }
  return CallGuarded<INT_PTR>(self, window, FALSE, [&] {
    ThrowIfFailureInjected(message);
    return self->Dispatch(window, message, wParam, lParam);
  });
}

namespace {

// Messages whose handler result goes back to the dialog manager directly instead of through
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) noexcept {
  switch (message) {
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
  }
}

}  // namespace

INT_PTR DialogWindow::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  const bool handled = HandleMessage(message, wParam, lParam, result);
  if (message == WM_NCDESTROY) {
    // The window is going away; the object must not be reached through it any more.
    ::SetWindowLongPtrA(window, DWLP_USER, 0);
    SetWindow(nullptr);
  }
  if (!handled) return FALSE;
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
  return TRUE;
}

void CenterDialog(HWND dialog) noexcept {
  RECT window{};
  if (!::GetWindowRect(dialog, &window)) return;
  const bool isChild = (::GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD) != 0;

  HWND reference = ::GetParent(dialog);
  if (reference == nullptr) reference = isChild ? ::GetParent(dialog) : ::GetWindow(dialog, GW_OWNER);

  RECT area{};
  RECT centre{};
  if (isChild) {
    HWND parent = ::GetParent(dialog);
    ::GetClientRect(parent, &area);
    ::GetClientRect(reference, &centre);
    ::MapWindowPoints(reference, parent, reinterpret_cast<POINT*>(&centre), 2);
  } else {
    if (reference != nullptr) {
      const LONG style = ::GetWindowLongA(reference, GWL_STYLE);
      if ((style & WS_VISIBLE) == 0 || (style & WS_MINIMIZE) != 0) reference = nullptr;
    }
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    if (reference != nullptr) {
      ::GetWindowRect(reference, &centre);
    } else {
      centre = area;
    }
  }
  const Point at = CenteredPosition(window.right - window.left, window.bottom - window.top,
                                    Rect{centre.left, centre.top, centre.right, centre.bottom},
                                    Rect{area.left, area.top, area.right, area.bottom});
  ::SetWindowPos(dialog, nullptr, at.x, at.y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace commonq
