#pragma once
// The base of every dialog object made from a template: binding through the WM_INITDIALOG
// parameter, one HandleMessage per class, and the rules for what the dialog manager is told.
#include <windows.h>
#include <commdlg.h>

#include "frame/window_binding.h"

namespace commonq {

// The dialog end code when a dialog window cannot be created.
inline constexpr INT_PTR kDialogFailed = -1;

class DialogWindow : public WindowBinding {
 public:
  // Runs a dialog template of the library's resources modally; returns the end code, or -1.
  INT_PTR RunModal(int templateId, HWND owner);
  // The same for an in-memory template.
  INT_PTR RunModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND owner);

  // The dialog procedure of every library dialog: WM_INITDIALOG brings the object (the init
  // parameter is BindingParam()), which is kept in DWLP_USER from then on.
  static DLGPROC Procedure() noexcept;
  // The hook procedure of the Open and Save As dialogs: the same, with the object in the
  // OPENFILENAMEA record's lCustData (BindingParam()), which WM_INITDIALOG points to.
  static LPOFNHOOKPROC FileDialogHook() noexcept;

 protected:
  // What the platform hands back at WM_INITDIALOG to find this object.
  LPARAM BindingParam() noexcept { return reinterpret_cast<LPARAM>(this); }
  // Dispatches to the named handlers. Returns whether the message was handled; `result` is the
  // handler's answer.
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

 private:
  // Find the window's object; at WM_INITDIALOG they first bind the one the platform brings.
  static DialogWindow* LocateByInitParam(HWND window, UINT message, WPARAM, LPARAM lParam) noexcept;
  static DialogWindow* LocateByFileDialogRecord(HWND window, UINT message, WPARAM, LPARAM lParam) noexcept;
  static DialogWindow* Locate(HWND window, DialogWindow* arriving) noexcept;
  INT_PTR Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// Moves a dialog to the centre of its owner (or parent, for a child dialog), kept inside the work
// area (or the parent's client area).
void CenterDialog(HWND dialog) noexcept;

// Keyboard use of the owner-drawn controls. An owner-drawn control acts on Enter as a focused
// push button does: it asks for the key (WM_GETDLGCODE) when `message` is Enter going down, so the
// dialog manager does not press the default button instead.
inline bool IsEnterKey(const MSG& message) noexcept {
  return message.message == WM_KEYDOWN && message.wParam == VK_RETURN;
}
// Whether a control that has the focus draws its focus rectangle: not while the window's
// keyboard cues are hidden (WM_UPDATEUISTATE), as after a mouse click.
inline bool ShowsFocusRectangle(HWND control) noexcept {
  return (::SendMessageA(control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

}  // namespace commonq
