#include "frame/window_binding.h"

namespace commonq {

void WindowBinding::Abandon(HWND window, bool outOfMemory) noexcept {
  if (abandoned_ == Abandoned::kNo) abandoned_ = outOfMemory ? Abandoned::kOutOfMemory : Abandoned::kOther;
  AbandonDialog(nullptr, window_ != nullptr ? window_ : window, outOfMemory);
}

void AbandonDialog(WindowBinding* owner, HWND window, bool outOfMemory) noexcept {
  if (owner != nullptr) {
    owner->Abandon(window, outOfMemory);
    return;
  }
  HWND root = ::GetAncestor(window, GA_ROOT);
  if (root == nullptr || root == window) {
    ::EndDialog(window, -1);
  } else {
    ::PostMessageA(root, WM_COMMAND, IDCANCEL, 0);
  }
}

}  // namespace commonq
