#include "support/leak_tracer.h"

#include <objbase.h>
#include <shellapi.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <type_traits>

#include "support/import_redirect.h"

namespace commonq::testing {
namespace {

// How a handle's death is established. The system answers for the first three and for window
// timers; everything else only the DLL's own release calls can balance.
enum class Kind { kGdiObject, kIcon, kWindow, kTimer, kDc, kHook, kRegKey, kModule, kGlobal, kHeap, kCom, kThread };
// clang-format off
constexpr const char* kTypeNames[] = {"HGDIOBJ", "HICON", "HWND", "timer", "HDC", "HHOOK", "HKEY", "HMODULE",
                                      "HGLOBAL", "heap block", "COM initialisation", "thread HANDLE"};
// clang-format on
// By GetObjectType: OBJ_PEN (1) to OBJ_BITMAP (7).
constexpr const char* kGdiTypeNames[] = {"HGDIOBJ", "HPEN", "HBRUSH", "HDC", "HDC", "HPALETTE", "HFONT", "HBITMAP"};

struct Record {
  Kind kind;
  uintptr_t handle;
  uintptr_t scope;  // the heap of a heap block, the window of a timer
  const char* function;
  std::string detail;
  bool released = false;
};

// Every record since Start(), oldest first; a release balances the latest live record of its
// handle, so a module loaded twice or COM initialised twice needs two releases.
struct Tracking {
  std::mutex mutex;
  bool active = false;
  std::vector<Record> records;
};

// Never destroyed: a DLL detaching at process exit may still call a redirected import after
// static destructors have run.
Tracking& Tracked() {
  static Tracking* tracking = new Tracking;
  return *tracking;
}

std::atomic<bool> g_tracerExists{false};

template <typename T>
uintptr_t Value(T handle) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<uintptr_t>(handle);
  } else {
    return static_cast<uintptr_t>(handle);
  }
}

std::string Hex(uintptr_t value) {
  char text[2 + 16 + 1];
  std::snprintf(text, sizeof(text), "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

// Resource and module names; resource names may be integer ids. Wide names are ASCII here.
template <typename Char>
std::string NameOf(const Char* name) {
  if (name == nullptr) return {};
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
  std::string text;
  for (; *name; ++name) text += static_cast<char>(*name);
  return text;
}

bool IconAlive(uintptr_t icon) {
  ICONINFO info{};
  if (!GetIconInfo(reinterpret_cast<HICON>(icon), &info)) return false;
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return true;
}

bool Alive(const Record& r) {
  if (r.released) return false;
  if (r.kind == Kind::kGdiObject) return GetObjectType(reinterpret_cast<HGDIOBJ>(r.handle)) != 0;
  if (r.kind == Kind::kIcon) return IconAlive(r.handle);
  if (r.kind == Kind::kWindow) return IsWindow(reinterpret_cast<HWND>(r.handle));
  return r.kind != Kind::kTimer || r.scope == 0 || IsWindow(reinterpret_cast<HWND>(r.scope));
}

std::string Describe(const Record& r) {
  const DWORD gdiType = r.kind == Kind::kGdiObject ? GetObjectType(reinterpret_cast<HGDIOBJ>(r.handle)) : 0;
  const char* type = gdiType <= OBJ_BITMAP ? kGdiTypeNames[gdiType] : "HGDIOBJ";
  if (r.kind != Kind::kGdiObject) type = kTypeNames[static_cast<size_t>(r.kind)];
  const std::string line = std::string(type) + " " + Hex(r.handle) + " from " + r.function;
  return r.detail.empty() ? line : line + " (" + r.detail + ")";
}

// Records what a successful call of `function` made.
void Made(bool ok, Kind kind, uintptr_t handle, const char* function, std::string detail = {}, uintptr_t scope = 0) {
  if (!ok) return;
  if (kind == Kind::kWindow) {
    char cls[64] = {}, caption[64] = {};
    GetClassNameA(reinterpret_cast<HWND>(handle), cls, sizeof(cls));
    GetWindowTextA(reinterpret_cast<HWND>(handle), caption, sizeof(caption));
    detail = std::string("class \"") + cls + "\", \"" + caption + "\"";
  }
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  if (!t.active) return;
  for (Record& r : t.records) {
    if (kind > Kind::kTimer || r.released || r.kind != kind || r.handle != handle || r.scope != scope) continue;
    if (kind == Kind::kTimer) return;  // SetTimer on a running timer only resets it
    // The system handed out this value again, so whatever it named before is gone.
    if (kind <= Kind::kWindow) r.released = true;
  }
  t.records.push_back(Record{kind, handle, scope, function, std::move(detail)});
}

// Records a successful release; one of a handle never recorded is none of the tracer's business.
bool Released(bool ok, Kind kind, uintptr_t handle, uintptr_t scope = 0) {
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  for (auto r = t.records.rbegin(); ok && t.active && r != t.records.rend(); ++r) {
    if (!r->released && r->kind == kind && r->handle == handle && r->scope == scope) return r->released = true;
  }
  return false;
}

void KeyOpened(const char* function, LSTATUS status, const char* subkey, const HKEY* key) {
  // Opening an empty path under a predefined key (from HKEY_CLASSES_ROOT up) may hand back the
  // predefined key itself.
  const bool opened = status == ERROR_SUCCESS && key && *key && Value(*key) < Value(HKEY_CLASSES_ROOT);
  Made(opened, Kind::kRegKey, opened ? Value(*key) : 0, function, NameOf(subkey));
}

// One redirected import: its wrapper calls what the table held before, then shows the result
// and the arguments to `observe`.
struct Entry {
  const char* name;
  void* wrapper;
  void (*setOriginal)(void*);
};

template <size_t Id, typename Signature>
struct Hook;

template <size_t Id, typename R, typename... A>
struct Hook<Id, R(WINAPI*)(A...)> {
  using Result = std::conditional_t<std::is_void_v<R>, int, R>;
  using Observer = void (*)(const char* function, Result, A...);
  static inline R(WINAPI* original)(A...) = nullptr;
  static inline Observer observe = nullptr;
  static inline const char* name = nullptr;

  static R WINAPI Call(A... args) {
    if constexpr (std::is_void_v<R>) {
      original(args...);
      observe(name, 0, args...);
    } else {
      R result = original(args...);
      observe(name, result, args...);
      return result;
    }
  }
  static Entry Make(const char* function, Observer observer) {
    name = function;
    observe = observer;
    return {function, reinterpret_cast<void*>(&Call),
            [](void* address) { original = reinterpret_cast<R(WINAPI*)(A...)>(address); }};
  }
};

#define COMMONQ_HOOK(function, observer) Hook<__COUNTER__, decltype(&::function)>::Make(#function, observer)

// The usual shapes: a function that returns the new handle (null on failure), one whose first
// argument is the handle it releases and whose result is nonzero on success, and LoadLibrary.
template <Kind K>
constexpr auto kReturnsHandle =
    [](const char* function, auto handle, auto...) { Made(handle != 0, K, Value(handle), function); };
template <Kind K>
constexpr auto kReleasesFirst = [](const char*, auto ok, auto handle, auto...) { Released(ok, K, Value(handle)); };
constexpr auto kLoadsModule = [](const char* function, HMODULE module, auto name, auto...) {
  Made(module != nullptr, Kind::kModule, Value(module), function, NameOf(name));
};
constexpr auto kInitialisesCom = [](const char* function, HRESULT hr, auto...) {
  // S_FALSE (already initialised on this thread) still has to be balanced by CoUninitialize.
  Made(hr == S_OK || hr == S_FALSE, Kind::kCom, 0, function);
};

// The creating and releasing functions of each kind of handle the library obtains. Only those
// the DLL imports are redirected; the harness test checks this covers every creating function
// it imports.
const std::vector<Entry>& Entries() {
  using enum Kind;
  static const std::vector<Entry> entries = {
      COMMONQ_HOOK(CreateBitmap, kReturnsHandle<kGdiObject>),
      COMMONQ_HOOK(CreateCompatibleBitmap, kReturnsHandle<kGdiObject>),
      COMMONQ_HOOK(CreateFontIndirectA, kReturnsHandle<kGdiObject>),
      COMMONQ_HOOK(CreatePen, kReturnsHandle<kGdiObject>),
      COMMONQ_HOOK(CreateSolidBrush, kReturnsHandle<kGdiObject>),
      COMMONQ_HOOK(DeleteObject, kReleasesFirst<kGdiObject>),
      // Shared images belong to the system, never the DLL's to free.
      COMMONQ_HOOK(LoadImageA,
                   [](const char* function, HANDLE image, HINSTANCE, LPCSTR name, UINT type, int, int, UINT flags) {
                     Made(image && !(flags & LR_SHARED), type == IMAGE_BITMAP ? kGdiObject : kIcon, Value(image),
                          function, NameOf(name));
                   }),
      COMMONQ_HOOK(SHGetFileInfoA,
                   [](const char* function, DWORD_PTR ok, LPCSTR path, DWORD, SHFILEINFOA* info, UINT, UINT flags) {
                     Made(ok && info && (flags & SHGFI_ICON) && info->hIcon, kIcon, info ? Value(info->hIcon) : 0,
                          function, NameOf(path));
                   }),
      COMMONQ_HOOK(DestroyIcon, kReleasesFirst<kIcon>),
      COMMONQ_HOOK(CreateWindowExA, kReturnsHandle<kWindow>),
      COMMONQ_HOOK(CreateDialogParamA, kReturnsHandle<kWindow>),
      COMMONQ_HOOK(CreateCompatibleDC, kReturnsHandle<kDc>),
      COMMONQ_HOOK(DeleteDC, kReleasesFirst<kDc>),
      COMMONQ_HOOK(GetDC, kReturnsHandle<kDc>),
      COMMONQ_HOOK(ReleaseDC, [](const char*, int ok, HWND, HDC dc) { Released(ok, kDc, Value(dc)); }),
      COMMONQ_HOOK(SetWindowsHookExA, kReturnsHandle<kHook>),
      COMMONQ_HOOK(UnhookWindowsHookEx, kReleasesFirst<kHook>),
      // A window timer keeps the caller's id; a thread timer is known by the id returned.
      COMMONQ_HOOK(SetTimer,
                   [](const char* function, UINT_PTR result, HWND window, UINT_PTR id, UINT, TIMERPROC) {
                     Made(result != 0, kTimer, window ? id : result, function, {}, Value(window));
                   }),
      COMMONQ_HOOK(KillTimer, [](const char*, BOOL ok, HWND w, UINT_PTR id) { Released(ok, kTimer, id, Value(w)); }),
      COMMONQ_HOOK(RegOpenKeyExA, [](const char* function, LSTATUS status, HKEY, LPCSTR subkey, DWORD, REGSAM,
                                     PHKEY key) { KeyOpened(function, status, subkey, key); }),
      COMMONQ_HOOK(RegCreateKeyExA,
                   [](const char* function, LSTATUS status, HKEY, LPCSTR subkey, DWORD, LPSTR, DWORD, REGSAM,
                      const LPSECURITY_ATTRIBUTES, PHKEY key, LPDWORD) { KeyOpened(function, status, subkey, key); }),
      COMMONQ_HOOK(RegCloseKey, [](const char*, LSTATUS status, HKEY key) { Released(!status, kRegKey, Value(key)); }),
      COMMONQ_HOOK(LoadLibraryA, kLoadsModule),
      COMMONQ_HOOK(LoadLibraryW, kLoadsModule),
      COMMONQ_HOOK(LoadLibraryExA, kLoadsModule),
      COMMONQ_HOOK(FreeLibrary, kReleasesFirst<kModule>),
      COMMONQ_HOOK(GlobalAlloc,
                   [](const char* function, HGLOBAL memory, UINT, SIZE_T size) {
                     Made(memory != nullptr, kGlobal, Value(memory), function, std::to_string(size) + " bytes");
                   }),
      // A reallocation replaces the block's record (GMEM_MODIFY only changes the flags of the same
      // block); a block the tracer never saw made stays unseen.
      COMMONQ_HOOK(GlobalReAlloc,
                   [](const char* function, HGLOBAL moved, HGLOBAL memory, SIZE_T size, UINT flags) {
                     if (!(flags & GMEM_MODIFY) && moved && Released(true, kGlobal, Value(memory))) {
                       Made(true, kGlobal, Value(moved), function, std::to_string(size) + " bytes");
                     }
                   }),
      COMMONQ_HOOK(GlobalFree, [](const char*, HGLOBAL failed,
                                  HGLOBAL memory) { Released(failed == nullptr, kGlobal, Value(memory)); }),
      // Memory handed to the clipboard belongs to the system from then on.
      COMMONQ_HOOK(SetClipboardData, [](const char*, HANDLE taken, UINT,
                                        HANDLE memory) { Released(taken != nullptr, kGlobal, Value(memory)); }),
      COMMONQ_HOOK(HeapAlloc,
                   [](const char* function, LPVOID block, HANDLE heap, DWORD, SIZE_T size) {
                     Made(block != nullptr, kHeap, Value(block), function, std::to_string(size) + " bytes",
                          Value(heap));
                   }),
      COMMONQ_HOOK(HeapFree, [](const char*, BOOL ok, HANDLE heap, DWORD,
                                LPVOID block) { Released(ok, kHeap, Value(block), Value(heap)); }),
      COMMONQ_HOOK(CreateThread, kReturnsHandle<kThread>),
      COMMONQ_HOOK(CloseHandle, kReleasesFirst<kThread>),
      COMMONQ_HOOK(CoInitialize, kInitialisesCom),
      COMMONQ_HOOK(CoUninitialize, [](const char*, int) { Released(true, kCom, 0); }),
  };
  return entries;
}

}  // namespace

LeakTracer::LeakTracer(HMODULE module) : module_(nullptr) {
  if (g_tracerExists.exchange(true)) throw std::logic_error("LeakTracer: only one tracer may exist at a time");
  // Pinned so that the table is still there to restore however the test treats the module.
  if (!module ||
      !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(module), &module_)) {
    g_tracerExists = false;
    throw std::invalid_argument("LeakTracer: not a loaded module");
  }
  Start();
  Patch();
}

LeakTracer::~LeakTracer() {
  Restore();
  {
    Tracking& t = Tracked();
    std::lock_guard lock(t.mutex);
    t.active = false;
    t.records.clear();
  }
  FreeLibrary(module_);
  g_tracerExists = false;
}

void LeakTracer::Patch() {
  const std::vector<Entry>& entries = Entries();
  ForEachNamedImport(module_, [&](const char* name, void** slot) {
    for (const Entry& entry : entries) {
      if (std::strcmp(entry.name, name) != 0 || *slot == entry.wrapper) continue;
      entry.setOriginal(*slot);
      slots_.push_back(Slot{slot, *slot});
      if (WriteImportEntry(slot, entry.wrapper)) {
        patched_.emplace_back(name);
      } else {
        slots_.pop_back();
      }
    }
  });
}

void LeakTracer::Restore() {
  for (auto it = slots_.rbegin(); it != slots_.rend(); ++it) WriteImportEntry(it->address, it->original);
  slots_.clear();
}

void LeakTracer::Start() {
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  t.active = true;
  t.records.clear();
}

std::vector<std::string> LeakTracer::Survivors() {
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  std::vector<std::string> survivors;
  for (const Record& r : t.records) {
    if (Alive(r)) survivors.push_back(Describe(r));
  }
  return survivors;
}

void LeakTracer::ExpectDestroyedByContract(HICON icon) {
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  t.records.push_back(Record{Kind::kIcon, Value(icon), 0, "the caller", "the DLL's to destroy"});
}

}  // namespace commonq::testing
