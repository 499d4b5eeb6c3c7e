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

// One export's frame. Refuses to start while another call is running in this process (a second
// thread, or a nested call from inside a running dialog): the message box's hook and the task
// dialog's copy handler find their objects through process-wide pointers that belong to the
// running call. Also refuses when the thread cannot join a single-threaded COM apartment.
class ExportCall {
 public:
  ExportCall() noexcept;
  ~ExportCall();
  ExportCall(const ExportCall&) = delete;
  ExportCall& operator=(const ExportCall&) = delete;
  bool Started() const noexcept { return com_ && com_->Joined(); }

 private:
  bool owner_ = false;
  std::optional<ComScope> com_;
};

}  // namespace commonq
