#pragma once
// Binding a dialog object to the window the system creates for it, without executable memory:
// the object is registered for the calling thread just before the modal call, and the first
// message the new window receives claims it.
#include <windows.h>

namespace commonq {

struct WindowCreationEntry {
  void* object = nullptr;
  DWORD threadId = 0;
  WindowCreationEntry* next = nullptr;
};

// Links `entry` for `object` and the calling thread at the head of the list, under the
// window-creation lock. A null object is a programming error and raises an access violation.
void RegisterWindowCreation(WindowCreationEntry* entry, void* object);

// Unlinks the first entry of the calling thread and returns its object, or null.
void* ClaimWindowCreation() noexcept;

// Unlinks `entry` if it is still on the list: a modal call that failed before its window got a
// message must not leave an entry behind for the next window of the thread to claim.
void CancelWindowCreation(WindowCreationEntry* entry) noexcept;

// The part of every dialog object that knows its window.
class WindowBinding {
 public:
  WindowBinding() = default;
  WindowBinding(const WindowBinding&) = delete;
  WindowBinding& operator=(const WindowBinding&) = delete;
  virtual ~WindowBinding();

  HWND Window() const noexcept { return window_; }

 protected:
  void PrepareBinding() { RegisterWindowCreation(&entry_, this); }
  void CancelBinding() noexcept { CancelWindowCreation(&entry_); }
  void SetWindow(HWND window) noexcept { window_ = window; }

 private:
  HWND window_ = nullptr;
  WindowCreationEntry entry_;
};

}  // namespace commonq
