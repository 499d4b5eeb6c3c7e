#pragma once
// A control of a library dialog that takes over part of its own behaviour: bound to the existing
// control window through the subclass chain, with the object as reference data, so every message
// reaches the object and what it does not handle goes on to the control's own procedure. The
// dialog reflects its control messages back to the control that sent them, with
// kReflectedMessageBase added to the message number.
#include <windows.h>

#include "frame/subclass.h"

namespace commonq {

inline constexpr UINT kReflectedMessageBase = 0x2000;
inline constexpr UINT Reflected(UINT message) { return message + kReflectedMessageBase; }

class BoundControl {
 public:
  BoundControl() = default;
  BoundControl(const BoundControl&) = delete;
  BoundControl& operator=(const BoundControl&) = delete;
  virtual ~BoundControl() = default;

  // Binds the control; false when the window is missing or cannot be subclassed.
  bool Bind(HWND control) {
    return subclass_.Install(control, &BoundControl::SubclassProc, reinterpret_cast<DWORD_PTR>(this));
  }
  HWND Window() const noexcept { return subclass_.Window(); }

 protected:
  // Returns whether the message was handled; `result` is then the control's answer.
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  // The control's own handling of a message.
  LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const {
    return DefaultSubclassProc(Window(), message, wParam, lParam);
  }
  virtual void OnUnbind() {}

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
    auto* self = reinterpret_cast<BoundControl*>(data);
    if (message == WM_NCDESTROY) {
      self->OnUnbind();
      self->subclass_.Remove();
      return DefaultSubclassProc(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->HandleMessage(message, wParam, lParam, result)) return result;
    return DefaultSubclassProc(window, message, wParam, lParam);
  }

  UniqueSubclass subclass_;
};

}  // namespace commonq
