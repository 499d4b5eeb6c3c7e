#pragma once
// The part of a dialog object that knows its window, and the guard around every procedure the
// system calls. The object reaches its window through what the platform hands back at
// WM_INITDIALOG (the init parameter, or the common dialog record's lCustData), so no executable
// memory and no process-wide list are needed.
#include <windows.h>

#include <new>

namespace commonq {

class WindowBinding {
 public:
  WindowBinding() = default;
  WindowBinding(const WindowBinding&) = delete;
  WindowBinding& operator=(const WindowBinding&) = delete;
  virtual ~WindowBinding() = default;

  HWND Window() const noexcept { return window_; }

  // Why a handler's exception ended the dialog; the export then answers with its failure code.
  enum class Abandoned { kNo, kOutOfMemory, kOther };
  Abandoned AbandonedBy() const noexcept { return abandoned_; }
  // Records the failure and ends the dialog that `window` belongs to: a top-level dialog with
  // EndDialog(-1), the system dialog around a child (a file dialog's panel) with IDCANCEL.
  void Abandon(HWND window, bool outOfMemory) noexcept;

 protected:
  void SetWindow(HWND window) noexcept { window_ = window; }

 private:
  HWND window_ = nullptr;
  Abandoned abandoned_ = Abandoned::kNo;
};

// Ends the dialog around `window` after a handler failed, recording why in `owner` when the
// window has a bound object.
void AbandonDialog(WindowBinding* owner, HWND window, bool outOfMemory) noexcept;

#if COMMONQ_TEST_SEAMS
// For tests: the next guarded handler that runs for `message` throws std::bad_alloc, as an
// allocation failure inside it would; 0 turns this off. Only the test builds have it: the Release
// DLL carries no seam.
void InjectAllocationFailureForTesting(UINT message) noexcept;
// Throws for the injected message; guarded handlers that know their message call it first.
void ThrowIfFailureInjected(UINT message);
#else
inline void ThrowIfFailureInjected(UINT) noexcept {}
#endif

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
