#include "frame/module_state.h"

#include <commctrl.h>
#include <objbase.h>

#include <atomic>

namespace commonq {
namespace {

HINSTANCE g_instance = nullptr;
std::atomic<bool> g_callRunning{false};

}  // namespace

HINSTANCE LibraryInstance() noexcept { return g_instance; }
void SetLibraryInstance(HINSTANCE instance) noexcept { g_instance = instance; }

ExportCall::ExportCall() noexcept {
  bool expected = false;
  owner_ = g_callRunning.compare_exchange_strong(expected, true);
  if (!owner_) return;
  com_.emplace();
  // Registers the common control classes the dialogs use; it also keeps comctl32 a static
  // import, so the subclass functions are always there.
  if (com_->Joined()) ::InitCommonControls();
}

ExportCall::~ExportCall() {
  com_.reset();
  if (owner_) g_callRunning.store(false);
}

}  // namespace commonq

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    if (commonq::LibraryInstance() == nullptr) commonq::SetLibraryInstance(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    commonq::SetLibraryInstance(nullptr);
  }
  return TRUE;
}
