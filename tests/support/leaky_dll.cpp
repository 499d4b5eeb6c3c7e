// leaky.dll: a DLL that leaks on purpose, one way per export, so the leak tracer can be tested
// against known good and known bad behaviour. Every leaked handle is returned so the test can
// release it afterwards.

#include <windows.h>
#include <objbase.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

HINSTANCE Instance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK IgnoreTimer(HWND, UINT, UINT_PTR, DWORD) {}

HWND Popup(const char* caption) {
  return CreateWindowExA(0, "STATIC", caption, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, Instance(), nullptr);
}

}  // namespace

#define LEAKY_EXPORT extern "C" __declspec(dllexport)

// The table entry the DLL calls CreateSolidBrush through, for checking that it is redirected and
// put back.
LEAKY_EXPORT void* CreateSolidBrushEntry() { return reinterpret_cast<void*>(&CreateSolidBrush); }

LEAKY_EXPORT void* LeakBrush() { return CreateSolidBrush(RGB(1, 2, 3)); }

LEAKY_EXPORT void CleanBrush() { DeleteObject(CreateSolidBrush(RGB(4, 5, 6))); }

LEAKY_EXPORT void* LeakKey() {
  HKEY key = nullptr;
  RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key);
  return key;
}

LEAKY_EXPORT void CleanKey() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key) == ERROR_SUCCESS) RegCloseKey(key);
}

LEAKY_EXPORT void* LeakWindow() { return Popup("leaked"); }

LEAKY_EXPORT void ChildWindowDiesWithParent() {
  HWND parent = Popup("parent");
  CreateWindowExA(0, "BUTTON", "child", WS_CHILD, 0, 0, 5, 5, parent, reinterpret_cast<HMENU>(1), Instance(), nullptr);
  DestroyWindow(parent);
}

LEAKY_EXPORT void* LeakHook() { return SetWindowsHookExA(WH_GETMESSAGE, &PassOn, Instance(), GetCurrentThreadId()); }

LEAKY_EXPORT void* LeakThreadTimer() { return reinterpret_cast<void*>(SetTimer(nullptr, 0, 1000000, &IgnoreTimer)); }

LEAKY_EXPORT void WindowTimerDiesWithWindow() {
  HWND window = Popup("timer");
  SetTimer(window, 7, 1000000, nullptr);
  DestroyWindow(window);
}

LEAKY_EXPORT void* SharedIcon() {
  return LoadImageA(nullptr, MAKEINTRESOURCEA(32516) /* OIC_INFORMATION */, IMAGE_ICON, 0, 0,
                    LR_SHARED | LR_DEFAULTSIZE);
}

LEAKY_EXPORT void* LeakIcon() {
  return LoadImageA(nullptr, MAKEINTRESOURCEA(32516) /* OIC_INFORMATION */, IMAGE_ICON, 16, 16, 0);
}

LEAKY_EXPORT BOOL DestroyCallerIcon(HICON icon) { return DestroyIcon(icon); }

LEAKY_EXPORT void* LeakDc() { return GetDC(nullptr); }

LEAKY_EXPORT void CleanDcs() {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

LEAKY_EXPORT void* LeakHeap() { return HeapAlloc(GetProcessHeap(), 0, 24); }

// Grows a block and keeps it: only the grown block is the leak, the original is gone.
LEAKY_EXPORT void* LeakGrownHeap() {
  void* block = HeapAlloc(GetProcessHeap(), 0, 16);
  return block ? HeapReAlloc(GetProcessHeap(), 0, block, 64 * 1024) : nullptr;
}

LEAKY_EXPORT void CleanMemory() {
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, 32);
  if (HGLOBAL grown = GlobalReAlloc(global, 64 * 1024, GMEM_MOVEABLE)) global = grown;
  GlobalFree(global);
  LocalFree(LocalAlloc(LMEM_FIXED, 32));
  void* block = HeapAlloc(GetProcessHeap(), 0, 16);
  if (void* grown = HeapReAlloc(GetProcessHeap(), 0, block, 64 * 1024)) block = grown;
  HeapFree(GetProcessHeap(), 0, block);
}

LEAKY_EXPORT void* LeakLibrary() { return LoadLibraryA("msimg32.dll"); }

LEAKY_EXPORT HRESULT LeakComInit() { return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

LEAKY_EXPORT void CleanComInit() {
  if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) CoUninitialize();
}
