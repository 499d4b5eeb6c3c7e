// leaky.dll: leaks on purpose, one kind of handle per Leak export (each returns what it leaked),
// and Balanced releases everything it makes, so the leak tracer is tested against known bad and
// known good behaviour.
#include <windows.h>
#include <objbase.h>

namespace {

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND Popup(const char* caption) {
  return CreateWindowExA(0, "STATIC", caption, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

HKEY OpenSoftwareKey() {
  HKEY key = nullptr;
  RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key);
  return key;
}

}  // namespace

#define LEAKY_EXPORT extern "C" __declspec(dllexport)

LEAKY_EXPORT void* LeakBrush() { return CreateSolidBrush(RGB(1, 2, 3)); }
LEAKY_EXPORT void* LeakKey() { return OpenSoftwareKey(); }
LEAKY_EXPORT void* LeakWindow() { return Popup("leaked"); }
LEAKY_EXPORT void* LeakHook() { return SetWindowsHookExA(WH_GETMESSAGE, &PassOn, nullptr, GetCurrentThreadId()); }
LEAKY_EXPORT void* LeakThreadTimer() { return reinterpret_cast<void*>(SetTimer(nullptr, 0, 1000000, nullptr)); }
LEAKY_EXPORT void* LeakDc() { return GetDC(nullptr); }
LEAKY_EXPORT void* LeakHeap() { return HeapAlloc(GetProcessHeap(), 0, 24); }
LEAKY_EXPORT void* LeakGlobal() { return GlobalAlloc(GMEM_MOVEABLE, 32); }
LEAKY_EXPORT void* LeakIcon() { return LoadImageA(nullptr, MAKEINTRESOURCEA(32516), IMAGE_ICON, 16, 16, 0); }
LEAKY_EXPORT void* LeakLibrary() { return LoadLibraryA("msimg32.dll"); }
// Not a handle: the address of the export itself says it worked.
LEAKY_EXPORT void* LeakComInit() {
  return SUCCEEDED(CoInitialize(nullptr)) ? reinterpret_cast<void*>(&LeakComInit) : nullptr;
}

LEAKY_EXPORT BOOL DestroyCallerIcon(HICON icon) { return DestroyIcon(icon); }

LEAKY_EXPORT void Balanced() {
  DeleteObject(CreateSolidBrush(RGB(4, 5, 6)));
  RegCloseKey(OpenSoftwareKey());
  // A child destroyed with its parent, and a window timer that dies with its window, are no leaks.
  HWND parent = Popup("parent");
  CreateWindowExA(0, "BUTTON", "child", WS_CHILD, 0, 0, 5, 5, parent, reinterpret_cast<HMENU>(1), nullptr, nullptr);
  SetTimer(parent, 7, 1000000, nullptr);
  DestroyWindow(parent);
  // A shared icon is the system's.
  LoadImageA(nullptr, MAKEINTRESOURCEA(32516), IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  DeleteObject(CreateCompatibleBitmap(screen, 4, 4));
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, 32);
  if (HGLOBAL grown = GlobalReAlloc(global, 64 * 1024, GMEM_MOVEABLE)) global = grown;
  GlobalFree(global);
  HeapFree(GetProcessHeap(), 0, HeapAlloc(GetProcessHeap(), 0, 16));
  if (SUCCEEDED(CoInitialize(nullptr))) CoUninitialize();
}
