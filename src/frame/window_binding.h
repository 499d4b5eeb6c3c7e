#pragma once
// Binding a dialog object to the window the system creates for it, without executable memory:
// the object is registered for the calling thread just before the modal call, and the first
// message the new window receives claims it.
#include <windows.h>

#include <new>

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

  // Why a handler's exception ended the dialog; the export then answers with its failure code.
  enum class Abandoned { kNo, kOutOfMemory, kOther };
  Abandoned AbandonedBy() const noexcept { return abandoned_; }
  // Records the failure and ends the dialog that `window` belongs to: a top-level dialog with
  // EndDialog(-1), the system dialog around a child (a file dialog's panel) with IDCANCEL.
  void Abandon(HWND window, bool outOfMemory) noexcept;

 protected:
  void PrepareBinding() { RegisterWindowCreation(&entry_, this); }
  void CancelBinding() noexcept { CancelWindowCreation(&entry_); }
  void SetWindow(HWND window) noexcept { window_ = window; }

 private:
  HWND window_ = nullptr;
  WindowCreationEntry entry_;
  Abandoned abandoned_ = Abandoned::kNo;
};

// Ends the dialog around `window` after a handler failed, recording why in `owner` when the
// window has a bound object.
void AbandonDialog(WindowBinding* owner, HWND window, bool outOfMemory) noexcept;

// For tests: the next guarded handler that runs for `message` throws std::bad_alloc, as an
// allocation failure inside it would; 0 turns this off.
void InjectAllocationFailureForTesting(UINT message) noexcept;
// Throws for the injected message; guarded handlers that know their message call it first.
void ThrowIfFailureInjected(UINT message);

// The body of a window procedure, hook or callback that the system calls: no exception may cross
// the system's frames, so one ends the dialog through `owner` (when there is one) and the system
// gets `fallback`.
template <typename Result, typename Body>
Result CallGuarded(WindowBinding* owner, HWND window, Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    AbandonDialog(owner, window, true);
  } catch (...) {
    AbandonDialog(owner, window, false);
  }
  return fallback;
}

}  // namespace commonq
