#include "frame/dialog_base.h"

#include <commdlg.h>

#include "frame/export_call.h"
#include "frame/guarded_callback.h"
#include "frame/logic/placement.h"

namespace commonq {

INT_PTR DialogWindow::RunModal(int templateId, HWND owner) {
  return ::DialogBoxParamA(LibraryInstance(), MAKEINTRESOURCEA(templateId), owner, Procedure(), BindingParam());
}

INT_PTR DialogWindow::RunModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND owner) {
  return ::DialogBoxIndirectParamA(LibraryInstance(), dialogTemplate, owner, Procedure(), BindingParam());
}

DLGPROC DialogWindow::Procedure() noexcept {
  return &GuardedDialogProcedure<DialogWindow, &DialogWindow::LocateByInitParam, &DialogWindow::Dispatch>;
}

LPOFNHOOKPROC DialogWindow::FileDialogHook() noexcept {
  return &GuardedFileDialogHook<DialogWindow, &DialogWindow::LocateByFileDialogRecord, &DialogWindow::Dispatch>;
}

DialogWindow* DialogWindow::LocateByInitParam(HWND window, UINT message, WPARAM, LPARAM lParam) noexcept {
  return Locate(window, message == WM_INITDIALOG ? reinterpret_cast<DialogWindow*>(lParam) : nullptr);
}

DialogWindow* DialogWindow::LocateByFileDialogRecord(HWND window, UINT message, WPARAM, LPARAM lParam) noexcept {
  DialogWindow* arriving = nullptr;
  if (message == WM_INITDIALOG && lParam != 0) {
    arriving = reinterpret_cast<DialogWindow*>(reinterpret_cast<const OPENFILENAMEA*>(lParam)->lCustData);
  }
  return Locate(window, arriving);
}

DialogWindow* DialogWindow::Locate(HWND window, DialogWindow* arriving) noexcept {
  auto* self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrA(window, DWLP_USER));
  if (self == nullptr && arriving != nullptr) {
    self = arriving;
    self->SetWindow(window);
    ::SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  }
  return self;
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
  if (reference == nullptr) reference = ::GetWindow(dialog, GW_OWNER);

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
