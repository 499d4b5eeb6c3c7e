// Never built: tools/check-callbacks.sh must refuse this subclass procedure, which the system
// would call without the guarded adapters.
LRESULT CALLBACK UnguardedSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  return DefSubclassProc(window, message, wParam, lParam);
}
