#pragma once
// The per-call frame: what every export starts before it shows a dialog and stops afterwards.
#include <windows.h>
#include <objbase.h>

#include <optional>

namespace commonq {

// The library's own module: instance and resource instance of every template, string and icon.
HINSTANCE LibraryInstance() noexcept;
void SetLibraryInstance(HINSTANCE instance) noexcept;

// COM for the calling thread, for one scope.
class ComScope {
 public:
  ComScope() noexcept : result_(::CoInitialize(nullptr)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool Joined() const noexcept { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

// Makes an activation context the thread's active one for one scope; the cookie it owns takes
// it off the thread's stack again on every way out. A null context activates nothing.
class ActivatedContext {
 public:
  explicit ActivatedContext(HANDLE context) noexcept
      : active_(context != nullptr && ::ActivateActCtx(context, &cookie_) != FALSE) {}
  ~ActivatedContext() {
    // Forced: a context a task dialog callback left active above ours goes too, rather than the
    // system raising an exception into the host.
    if (active_) ::DeactivateActCtx(DEACTIVATE_ACTCTX_FLAG_FORCE_EARLY_DEACTIVATION, cookie_);
  }
  ActivatedContext(const ActivatedContext&) = delete;
  ActivatedContext& operator=(const ActivatedContext&) = delete;

 private:
  ULONG_PTR cookie_ = 0;
  bool active_;
};

// The library's common-controls 6 activation context (its own manifest resource), created at the
// first call and kept until the DLL is unloaded; null when it cannot be made, and the dialogs then
// use whatever comctl32 the host has.
HANDLE LibraryActivationContext() noexcept;

// One export's frame. Refuses to start while another call is running in this process (a second
// thread, or a nested call from inside a running dialog): the message box's hook and the task
// dialog's copy handler find their objects through process-wide pointers that belong to the
// running call. Also refuses when the thread cannot join a single-threaded COM apartment. While
// it runs, the library's activation context is active, so every control and comctl32 the call
// creates or loads is version 6 whatever the host's manifest says.
class ExportCall {
 public:
  ExportCall() noexcept;
  ~ExportCall();
  ExportCall(const ExportCall&) = delete;
  ExportCall& operator=(const ExportCall&) = delete;
  bool Started() const noexcept { return com_ && com_->Joined(); }

 private:
  bool owner_ = false;
  std::optional<ActivatedContext> context_;
  std::optional<ComScope> com_;
};

}  // namespace commonq
