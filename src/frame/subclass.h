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

}  // namespace commonq
