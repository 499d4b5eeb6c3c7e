#include "frame/module_state.h"

#include <commctrl.h>
#include <objbase.h>

#include <atomic>
#include <new>

namespace commonq {

struct ModuleState::MessageLoopMap {
  void* reserved = nullptr;
};

namespace {

HINSTANCE g_instance = nullptr;
ModuleState g_state;
std::atomic<bool> g_callRunning{false};

}  // namespace

HINSTANCE LibraryInstance() noexcept { return g_instance; }
void SetLibraryInstance(HINSTANCE instance) noexcept { g_instance = instance; }
ModuleState& CurrentModuleState() noexcept { return g_state; }

HRESULT BeginExportCall() noexcept {
  const HRESULT com = ::CoInitialize(nullptr);
  if (FAILED(com)) return com;
  // Registers the common control classes the dialogs use; it also keeps comctl32 a static
  // import, so the subclass functions are always there.
  ::InitCommonControls();

  g_state = ModuleState{};
  g_state.instance = g_instance;
  g_state.resourceInstance = g_instance;
  ::InitializeCriticalSection(&g_state.staticDataLock);
  ::InitializeCriticalSection(&g_state.windowCreationLock);
  ::InitializeCriticalSection(&g_state.objectMapLock);
  g_state.locksCreated = true;
  g_state.windowCreationHead = nullptr;
  g_state.callingThread = ::GetCurrentThreadId();
  g_state.messageLoopMap = new (std::nothrow) ModuleState::MessageLoopMap;
  if (g_state.messageLoopMap == nullptr) {
    EndExportCall();
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

void EndExportCall() noexcept {
  delete g_state.messageLoopMap;
  g_state.messageLoopMap = nullptr;
  if (g_state.locksCreated) {
    ::DeleteCriticalSection(&g_state.staticDataLock);
    ::DeleteCriticalSection(&g_state.windowCreationLock);
    ::DeleteCriticalSection(&g_state.objectMapLock);
    g_state.locksCreated = false;
  }
  g_state.windowCreationHead = nullptr;
  g_state.callingThread = 0;
  ::CoUninitialize();
}

ExportCall::ExportCall() noexcept {
  bool expected = false;
  owner_ = g_callRunning.compare_exchange_strong(expected, true);
  if (!owner_) return;
  started_ = SUCCEEDED(BeginExportCall());
  if (!started_) {
    g_callRunning.store(false);
    owner_ = false;
  }
}

ExportCall::~ExportCall() {
  if (!owner_) return;
  EndExportCall();
  g_callRunning.store(false);
}

bool ExportCallRunning() noexcept { return g_callRunning.load(); }

}  // namespace commonq

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    if (commonq::LibraryInstance() == nullptr) commonq::SetLibraryInstance(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    commonq::SetLibraryInstance(nullptr);
  }
  return TRUE;
}
