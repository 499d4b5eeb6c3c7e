#pragma once
// A control of a library dialog that takes over part of its own behaviour: bound to the existing
// control window through the subclass chain, with the object as reference data, so every message
// reaches the object and what it does not handle goes on to the control's own procedure. The
// dialog reflects its control messages back to the control that sent them, with
// kReflectedMessageBase added to the message number. A failure in the control ends its dialog.
#include <windows.h>

#include "frame/guarded_callback.h"
#include "frame/subclass.h"
#include "frame/window_binding.h"

namespace commonq {

inline constexpr UINT kReflectedMessageBase = 0x2000;
inline constexpr UINT Reflected(UINT message) { return message + kReflectedMessageBase; }

class BoundControl {
 public:
  BoundControl() = default;
  BoundControl(const BoundControl&) = delete;
  BoundControl& operator=(const BoundControl&) = delete;
  virtual ~BoundControl() = default;

  // Binds the control of `dialog`; false when the window is missing or cannot be subclassed.
  bool Bind(HWND control, WindowBinding& dialog) {
    dialog_ = &dialog;
    return subclass_.Install(control, &GuardedSubclassProcedure<BoundControl, &BoundControl::OnMessage>,
                             reinterpret_cast<DWORD_PTR>(this));
  }
  HWND Window() const noexcept { return subclass_.Window(); }
  WindowBinding* FailureOwner() const noexcept { return dialog_; }

 protected:
  // Returns whether the message was handled; `result` is then the control's answer.
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  // The control's own handling of a message.
  LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const {
    return DefaultSubclassProc(Window(), message, wParam, lParam);
  }
  virtual void OnUnbind() {}

 private:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
      OnUnbind();
      subclass_.Remove();
      return DefaultSubclassProc(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (HandleMessage(message, wParam, lParam, result)) return result;
    return DefaultSubclassProc(window, message, wParam, lParam);
  }

  UniqueSubclass subclass_;
  WindowBinding* dialog_ = nullptr;
};

}  // namespace commonq
