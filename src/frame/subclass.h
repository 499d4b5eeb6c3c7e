#pragma once
// Window subclassing through comctl32's subclass chain. These functions, and
// InitCommonControls, are imported by ordinal (cmake/comctl32_ordinals.def.in): comctl32 before
// version 6 exports the subclass functions by ordinal only.
#include <windows.h>
#include <commctrl.h>

namespace commonq {

inline bool SetSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR referenceData) noexcept {
  return ::SetWindowSubclass(window, procedure, id, referenceData) != FALSE;
}

inline bool RemoveSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) noexcept {
  return ::RemoveWindowSubclass(window, procedure, id) != FALSE;
}

inline LRESULT DefaultSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return ::DefSubclassProc(window, message, wParam, lParam);
}

// Owns one subclass of a window (id 0): installed by Install, taken off by Remove or the owner's
// destructor. A subclass procedure calls Remove on WM_NCDESTROY, so the chain is clean before
// the window goes, whichever of the two ends first.
class UniqueSubclass {
 public:
  UniqueSubclass() noexcept = default;
  UniqueSubclass(const UniqueSubclass&) = delete;
  UniqueSubclass& operator=(const UniqueSubclass&) = delete;
  ~UniqueSubclass() { Remove(); }

  // False when `window` is null or the system refuses; then nothing is installed.
  bool Install(HWND window, SUBCLASSPROC procedure, DWORD_PTR referenceData) noexcept {
    Remove();
    if (window == nullptr || !SetSubclass(window, procedure, 0, referenceData)) return false;
    window_ = window;
    procedure_ = procedure;
    return true;
  }
  void Remove() noexcept {
    if (window_ != nullptr && ::IsWindow(window_)) RemoveSubclass(window_, procedure_, 0);
    window_ = nullptr;
  }
  HWND Window() const noexcept { return window_; }

 private:
  HWND window_ = nullptr;
  SUBCLASSPROC procedure_ = nullptr;
};

// Owns the replacement of one window's procedure (SetWindowLongPtr), for a system window that only
// needs a few of its messages seen: unlike a comctl32 subclass, it costs nothing per message (under
// Wine a subclass looks its chain up in the window's properties, a round trip through the server,
// twice for every message). The replaced procedure must hand every message to CallPrevious.
// Restore puts the previous procedure back while the window lives and ours is still in place.
// The Unicode calls keep the window's character set: the messages pass through unconverted.
class UniqueWindowProcedure {
 public:
  UniqueWindowProcedure() noexcept = default;
  UniqueWindowProcedure(const UniqueWindowProcedure&) = delete;
  UniqueWindowProcedure& operator=(const UniqueWindowProcedure&) = delete;
  ~UniqueWindowProcedure() { Restore(); }

  bool Install(HWND window, WNDPROC procedure) noexcept {
    Restore();
    if (window == nullptr) return false;
    const LONG_PTR previous = ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    if (previous == 0) return false;
    window_ = window;
    procedure_ = procedure;
    previous_ = reinterpret_cast<WNDPROC>(previous);
    return true;
  }
  void Restore() noexcept {
    if (window_ != nullptr && ::IsWindow(window_) &&
        ::GetWindowLongPtrW(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(procedure_))
      ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    window_ = nullptr;
  }
  LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const noexcept {
    return ::CallWindowProcW(previous_, window, message, wParam, lParam);
  }
  HWND Window() const noexcept { return window_; }

 private:
  HWND window_ = nullptr;
  WNDPROC procedure_ = nullptr;
  WNDPROC previous_ = nullptr;
};

}  // namespace commonq
