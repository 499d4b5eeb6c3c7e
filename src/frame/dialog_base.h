#pragma once
// The base of every dialog object made from a template: binding through StartDialogProc, one
// HandleMessage per class, and the rules for what the dialog manager is told.
#include <windows.h>

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

  // The dialog procedure of every library dialog, and the hook procedure of the file dialogs'
  // child templates: the first message claims the thread's registered object.
  static INT_PTR CALLBACK StartDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  // Messages whose handler result goes back to the dialog manager directly instead of through
  // DWLP_MSGRESULT.
  static bool ReturnsResultDirectly(UINT message) noexcept;

 protected:
  // Dispatches to the named handlers. Returns whether the message was handled; `result` is the
  // handler's answer.
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

 private:
  INT_PTR Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// Moves a dialog to the centre of its owner (or parent, for a child dialog), kept inside the work
// area (or the parent's client area).
void CenterDialog(HWND dialog) noexcept;

}  // namespace commonq
