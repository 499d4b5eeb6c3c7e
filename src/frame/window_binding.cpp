#include "frame/window_binding.h"

#include <new>

namespace commonq {

void WindowBinding::Abandon(HWND window, bool outOfMemory) noexcept {
  if (abandoned_ == Abandoned::kNo) abandoned_ = outOfMemory ? Abandoned::kOutOfMemory : Abandoned::kOther;
  AbandonDialog(nullptr, window, outOfMemory);
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

#if COMMONQ_TEST_SEAMS
namespace {
UINT g_failingMessage = 0;
}  // namespace

void InjectAllocationFailureForTesting(UINT message) noexcept { g_failingMessage = message; }

void ThrowIfFailureInjected(UINT message) {
  if (g_failingMessage != 0 && message == g_failingMessage) {
    g_failingMessage = 0;
    throw std::bad_alloc();
  }
}
#endif

}  // namespace commonq
