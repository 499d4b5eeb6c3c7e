#pragma once
// BeginPaint and EndPaint as one owner, so a paint handler cannot leave the update region
// validated but its DC unreleased, whatever way it returns.
#include <windows.h>

namespace commonq {

class PaintSession {
 public:
  explicit PaintSession(HWND window) noexcept : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  PaintSession(const PaintSession&) = delete;
  PaintSession& operator=(const PaintSession&) = delete;
  ~PaintSession() {
    if (dc_ != nullptr) ::EndPaint(window_, &paint_);
  }
  // Null when BeginPaint failed; nothing is to be painted then.
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// The state of a DC someone else owns (colours, modes, selected objects), put back when the owner
// goes, so that painting into a DC the system or a host hands over leaves it as it came.
class SavedDcState {
 public:
  explicit SavedDcState(HDC dc) noexcept : dc_(dc), saved_(dc != nullptr ? ::SaveDC(dc) : 0) {}
  SavedDcState(const SavedDcState&) = delete;
  SavedDcState& operator=(const SavedDcState&) = delete;
  ~SavedDcState() {
    if (saved_ != 0) ::RestoreDC(dc_, saved_);
  }

 private:
  HDC dc_;
  int saved_;
};

}  // namespace commonq
