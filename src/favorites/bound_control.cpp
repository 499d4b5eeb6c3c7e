#include "favorites/bound_control.h"

#include "frame/subclass.h"

namespace commonq {

BoundControl::~BoundControl() { Unbind(); }

bool BoundControl::Bind(HWND control) {
  Unbind();
  if (control == nullptr || !SetSubclass(control, &BoundControl::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  window_ = control;
  return true;
}

void BoundControl::Unbind() {
  if (window_ != nullptr && ::IsWindow(window_)) RemoveSubclass(window_, &BoundControl::SubclassProc, 0);
  window_ = nullptr;
}

LRESULT BoundControl::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const {
  return DefaultSubclassProc(window_, message, wParam, lParam);
}

LRESULT CALLBACK BoundControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) {
  auto* self = reinterpret_cast<BoundControl*>(data);
  if (message == WM_NCDESTROY) {
    self->OnUnbind();
    RemoveSubclass(window, &BoundControl::SubclassProc, 0);
    self->window_ = nullptr;
    return DefaultSubclassProc(window, message, wParam, lParam);
  }
  LRESULT result = 0;
  if (self->HandleMessage(message, wParam, lParam, result)) return result;
  return DefaultSubclassProc(window, message, wParam, lParam);
}

}  // namespace commonq
