#include "frame/export_call.h"

#include <commctrl.h>
#include <objbase.h>

#include <atomic>

namespace commonq {
namespace {

HINSTANCE g_instance = nullptr;
std::atomic<bool> g_callRunning{false};
// Made by the first call that finds the instance, read and written only by the running call
// (calls never overlap), released at unload.
HANDLE g_activationContext = nullptr;
bool g_activationContextTried = false;

void ReleaseActivationContext() noexcept {
  if (g_activationContext != nullptr) ::ReleaseActCtx(g_activationContext);
  g_activationContext = nullptr;
  g_activationContextTried = false;
}

}  // namespace

HINSTANCE LibraryInstance() noexcept { return g_instance; }
void SetLibraryInstance(HINSTANCE instance) noexcept { g_instance = instance; }

HANDLE LibraryActivationContext() noexcept {
  if (!g_activationContextTried && g_instance != nullptr) {
    g_activationContextTried = true;
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = g_instance;
    request.lpResourceName = ISOLATIONAWARE_MANIFEST_RESOURCE_ID;
    const HANDLE made = ::CreateActCtxA(&request);
    g_activationContext = made == INVALID_HANDLE_VALUE ? nullptr : made;
  }
  return g_activationContext;
}

ExportCall::ExportCall() noexcept {
  bool expected = false;
  owner_ = g_callRunning.compare_exchange_strong(expected, true);
  if (!owner_) return;
  // Before anything creates a window or loads comctl32, so both resolve to version 6.
  context_.emplace(LibraryActivationContext());
  com_.emplace();
  // Registers the common control classes the dialogs use; it also keeps comctl32 a static
  // import, so the subclass functions are always there.
  if (com_->Joined()) ::InitCommonControls();
}

ExportCall::~ExportCall() {
  com_.reset();
  context_.reset();
  if (owner_) g_callRunning.store(false);
}

}  // namespace commonq

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    if (commonq::LibraryInstance() == nullptr) commonq::SetLibraryInstance(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    // Only when the host unloads us: at process exit the system frees everything, and the other
    // DLLs may already be gone.
    if (reserved == nullptr) commonq::ReleaseActivationContext();
    commonq::SetLibraryInstance(nullptr);
  }
  return TRUE;
}
