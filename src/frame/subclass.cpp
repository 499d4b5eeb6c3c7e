#include "frame/subclass.h"

namespace commonq {
namespace {

using SetProc = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
using RemoveProc = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);
using DefaultProc = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

// The published ordinals, the same in every comctl32 version that has the subclass chain.
constexpr WORD kSetWindowSubclassOrdinal = 410;
constexpr WORD kRemoveWindowSubclassOrdinal = 412;
constexpr WORD kDefSubclassProcOrdinal = 413;

FARPROC Comctl32Ordinal(WORD ordinal) noexcept {
  // comctl32 is a static import of the library, so it stays loaded as long as the library is.
  HMODULE comctl32 = ::GetModuleHandleA("comctl32.dll");
  return comctl32 != nullptr ? ::GetProcAddress(comctl32, MAKEINTRESOURCEA(ordinal)) : nullptr;
}

template <typename Function>
Function Resolve(WORD ordinal) noexcept {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(Comctl32Ordinal(ordinal)));
}

}  // namespace

bool SetSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR referenceData) noexcept {
  static const auto set = Resolve<SetProc>(kSetWindowSubclassOrdinal);
  return set != nullptr && set(window, procedure, id, referenceData) != FALSE;
}

bool RemoveSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) noexcept {
  static const auto remove = Resolve<RemoveProc>(kRemoveWindowSubclassOrdinal);
  return remove != nullptr && remove(window, procedure, id) != FALSE;
}

LRESULT DefaultSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  static const auto fallback = Resolve<DefaultProc>(kDefSubclassProcOrdinal);
  return fallback != nullptr ? fallback(window, message, wParam, lParam)
                             : ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace commonq
