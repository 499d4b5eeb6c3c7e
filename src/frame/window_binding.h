#pragma once
// The part of a dialog object that knows its window, and how a failure inside one of its
// callbacks ends its dialog (the callbacks themselves are built in frame/guarded_callback.h). The
// object reaches its window through what the platform hands back at
// WM_INITDIALOG (the init parameter, or the common dialog record's lCustData), so no executable
// memory and no process-wide list are needed.
#include <windows.h>

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
  // Records the failure and ends this object's dialog (or, before it has a window, the dialog that
  // `window` belongs to): a top-level dialog with EndDialog(-1), the system dialog around a child
  // (a file dialog's panel) with IDCANCEL. A hook passes whatever window its message was for, so
  // the object's own window comes first.
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

}  // namespace commonq
