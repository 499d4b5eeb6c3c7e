#pragma once
// A control of a library dialog that takes over part of its own behaviour: bound to the existing
// control window through the subclass chain, with the object as reference data, so every message
// reaches the object and what it does not handle goes on to the control's own procedure. The
// dialog reflects its control messages back to the control that sent them, with
// kReflectedMessageBase added to the message number.
#include <windows.h>

namespace commonq {

inline constexpr UINT kReflectedMessageBase = 0x2000;
inline constexpr UINT Reflected(UINT message) { return message + kReflectedMessageBase; }

class BoundControl {
 public:
  BoundControl() = default;
  BoundControl(const BoundControl&) = delete;
  BoundControl& operator=(const BoundControl&) = delete;
  virtual ~BoundControl();

  // Binds the control; false when the window is missing or cannot be subclassed.
  bool Bind(HWND control);
  HWND Window() const noexcept { return window_; }

 protected:
  // Returns whether the message was handled; `result` is then the control's answer.
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  // The control's own handling of a message.
  LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const;
  virtual void OnUnbind() {}

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
  void Unbind();

  HWND window_ = nullptr;
};

}  // namespace commonq
