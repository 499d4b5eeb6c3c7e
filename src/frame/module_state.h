#pragma once
// The per-call frame: what every export starts before it shows a dialog and stops afterwards.
#include <windows.h>

#include <memory>

namespace commonq {

struct WindowCreationEntry;

// The library's own module: instance and resource instance of every template, string and icon.
HINSTANCE LibraryInstance() noexcept;
void SetLibraryInstance(HINSTANCE instance) noexcept;

// Process-wide state of one running call, rebuilt by every call.
struct ModuleState {
  HINSTANCE instance = nullptr;
  HINSTANCE resourceInstance = nullptr;
  CRITICAL_SECTION staticDataLock{};
  CRITICAL_SECTION windowCreationLock{};
  CRITICAL_SECTION objectMapLock{};
  bool locksCreated = false;
  WindowCreationEntry* windowCreationHead = nullptr;
  DWORD callingThread = 0;
  // Reserved for a message-loop map; allocating it is the one step of the start that can fail.
  struct MessageLoopMap;
  MessageLoopMap* messageLoopMap = nullptr;
};

ModuleState& CurrentModuleState() noexcept;

// Initialises COM for the thread and the module state. Returns the failure HRESULT when either
// fails (and then leaves nothing behind).
HRESULT BeginExportCall() noexcept;
void EndExportCall() noexcept;

// One export's frame. Refuses to start while another call is running in this process (a second
// thread, or a nested call from inside a running dialog): that call would tear down the state
// the running one depends on.
class ExportCall {
 public:
  ExportCall() noexcept;
  ~ExportCall();
  ExportCall(const ExportCall&) = delete;
  ExportCall& operator=(const ExportCall&) = delete;
  bool Started() const noexcept { return started_; }

 private:
  bool owner_ = false;
  bool started_ = false;
};

// Whether an export call is running right now (used by tests and internal inner runs).
bool ExportCallRunning() noexcept;

}  // namespace commonq
