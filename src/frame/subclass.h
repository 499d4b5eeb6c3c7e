#pragma once
// Window subclassing through comctl32's subclass chain. Before version 6 comctl32 exports these
// functions by ordinal only, so they are found by ordinal at run time: importing them by name
// would keep the library from loading on older Windows.
#include <windows.h>
#include <commctrl.h>

namespace commonq {

bool SetSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR referenceData) noexcept;
bool RemoveSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) noexcept;
LRESULT DefaultSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace commonq
