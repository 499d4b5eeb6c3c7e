#include "support/leak_tracer.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <bit>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <tuple>
#include <type_traits>

namespace commonq::testing {
namespace {

// How a handle's death is established. The system answers for the kinds up to kTimer (a window
// timer dies with its window), and a value it hands out again means what that named before is
// gone; everything else only the DLL's own release calls can balance. Heap blocks and the shell's
// task memory are kMemory, searches kKernel.
enum class Kind { kGdiObject, kIcon, kWindow, kTimer, kDc, kHook, kRegKey, kModule, kGlobal, kMemory, kCom, kKernel };

struct Record {
  Kind kind;
  uintptr_t handle;
  uintptr_t scope;  // the window of a window timer
  const char* function;
  std::string detail;
  bool released = false;
};

// Every record since Start(), oldest first; a release balances the latest live record of its
// handle, so a module loaded twice or COM initialised twice needs two releases. Never destroyed:
// a DLL detaching at process exit may still call a redirected import after static destructors
// have run. Recursive, as the icon test of Survivors() calls DeleteObject, which the tracer may
// see when it traces the executable itself.
struct Tracking {
  std::recursive_mutex mutex;
  bool active = false;  // while a tracer exists
  std::vector<Record> records;
};
Tracking& g_tracking = *new Tracking;

template <typename T>
uintptr_t Value(T handle) {
  return std::bit_cast<uintptr_t>(handle);
}

bool Alive(const Record& r) {
  if (r.released) return false;
  if (r.kind == Kind::kGdiObject) return GetObjectType(reinterpret_cast<HGDIOBJ>(r.handle)) != 0;
  if (r.kind == Kind::kWindow) return IsWindow(reinterpret_cast<HWND>(r.handle));
  if (r.kind == Kind::kTimer) return r.scope == 0 || IsWindow(reinterpret_cast<HWND>(r.scope));
  if (r.kind != Kind::kIcon) return true;
  ICONINFO info{};
  const bool alive = GetIconInfo(reinterpret_cast<HICON>(r.handle), &info);
  DeleteObject(info.hbmMask);  // null when there is no icon
  DeleteObject(info.hbmColor);
  return alive;
}

// Records what a successful call of `function` made; `detail` (a window's class and caption, a
// key's or module's name) may be null.
void Made(bool ok, Kind kind, uintptr_t handle, const char* function, const char* detail = nullptr,
          uintptr_t scope = 0) {
  std::lock_guard lock(g_tracking.mutex);
  if (!ok || !g_tracking.active) return;
  for (Record& r : g_tracking.records) {
    if (kind <= Kind::kTimer && r.kind == kind && r.handle == handle && r.scope == scope) r.released = true;
  }
  g_tracking.records.push_back(Record{kind, handle, scope, function, detail ? detail : ""});
}

// Records a successful release; one of a handle never recorded is none of the tracer's business.
bool Released(bool ok, Kind kind, uintptr_t handle, uintptr_t scope = 0) {
  std::lock_guard lock(g_tracking.mutex);
  for (auto r = g_tracking.records.rbegin(); ok && r != g_tracking.records.rend(); ++r) {
    if (!r->released && r->kind == kind && r->handle == handle && r->scope == scope) return r->released = true;
  }
  return false;
}

// One redirected import: Call runs what the table held before, then shows the result and the
// arguments to `observe`.
struct Entry {
  const char* name;
  void* wrapper;
  void** original;
};

template <size_t Id, typename Signature>
struct Hook;

template <size_t Id, typename R, typename... A>
struct Hook<Id, R(WINAPI*)(A...)> {
  using Observer = void (*)(const char* function, std::conditional_t<std::is_void_v<R>, int, R>, A...);
  static inline void* original = nullptr;
  static inline Observer observe = nullptr;
  static inline const char* name = nullptr;

  static R WINAPI Call(A... args) {
    const auto function = reinterpret_cast<R(WINAPI*)(A...)>(original);
    if constexpr (std::is_void_v<R>) {
      function(args...);
      observe(name, 0, args...);
    } else {
      R result = function(args...);
      observe(name, result, args...);
      return result;
    }
  }
  static Entry Make(const char* function, Observer observer) {
    name = function;
    observe = observer;
    return {function, reinterpret_cast<void*>(&Call), &original};
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
constexpr auto kMakesWindow = [](const char* function, HWND window, auto...) {
  char cls[64] = {}, caption[64] = {};
  GetClassNameA(window, cls, sizeof(cls));
  GetWindowTextA(window, caption, sizeof(caption));
  Made(window, Kind::kWindow, Value(window), function, (std::string(cls) + " \"" + caption + "\"").c_str());
};
// RegOpenKeyExA and RegCreateKeyExA, whose one PHKEY argument receives the key. Opening an empty
// path under a predefined key (from HKEY_CLASSES_ROOT up) may hand back the predefined key itself.
constexpr auto kOpensKey = [](const char* function, LSTATUS status, HKEY, LPCSTR subkey, auto... rest) {
  const PHKEY key = std::get<PHKEY>(std::tuple(rest...));
  const bool opened = status == ERROR_SUCCESS && key && *key && Value(*key) < Value(HKEY_CLASSES_ROOT);
  Made(opened, Kind::kRegKey, opened ? Value(*key) : 0, function, subkey);
};
constexpr auto kLoadsModule = [](const char* function, HMODULE module, LPCSTR name, auto...) {
  Made(module != nullptr, Kind::kModule, Value(module), function, name);
};

const std::vector<Entry>& Entries() {
  using enum Kind;
  static const std::vector<Entry> entries = {
      COMMONQ_HOOK(CreateBitmap, kReturnsHandle<kGdiObject>),
      COMMONQ_HOOK(CreateCompatibleBitmap, kReturnsHandle<kGdiObject>),
      COMMONQ_HOOK(CreateDIBSection, kReturnsHandle<kGdiObject>),
      COMMONQ_HOOK(CreateFontIndirectA, kReturnsHandle<kGdiObject>),
      COMMONQ_HOOK(CreatePen, kReturnsHandle<kGdiObject>),
      COMMONQ_HOOK(CreateSolidBrush, kReturnsHandle<kGdiObject>),
      COMMONQ_HOOK(DeleteObject, kReleasesFirst<kGdiObject>),
      // Shared images belong to the system, never the DLL's to free.
      COMMONQ_HOOK(LoadImageA,
                   [](const char* function, HANDLE image, HINSTANCE, LPCSTR, UINT type, int, int, UINT flags) {
                     Made(image && !(flags & LR_SHARED), type == IMAGE_BITMAP ? kGdiObject : kIcon, Value(image),
                          function);
                   }),
      COMMONQ_HOOK(SHGetFileInfoA,
                   [](const char* function, DWORD_PTR ok, LPCSTR path, DWORD, SHFILEINFOA* info, UINT, UINT flags) {
                     Made(ok && info && (flags & SHGFI_ICON) && info->hIcon, kIcon, info ? Value(info->hIcon) : 0,
                          function, path);
                   }),
      COMMONQ_HOOK(DestroyIcon, kReleasesFirst<kIcon>),
      COMMONQ_HOOK(CreateWindowExA, kMakesWindow),
      COMMONQ_HOOK(CreateDialogParamA, kMakesWindow),
      COMMONQ_HOOK(CreateCompatibleDC, kReturnsHandle<kDc>),
      COMMONQ_HOOK(DeleteDC, kReleasesFirst<kDc>),
      COMMONQ_HOOK(GetDC, kReturnsHandle<kDc>),
      COMMONQ_HOOK(ReleaseDC, [](const char*, int ok, HWND, HDC dc) { Released(ok, kDc, Value(dc)); }),
      COMMONQ_HOOK(SetWindowsHookExA, kReturnsHandle<kHook>),
      COMMONQ_HOOK(UnhookWindowsHookEx, kReleasesFirst<kHook>),
      // A window timer keeps the caller's id; a thread timer is known by the id returned.
      COMMONQ_HOOK(SetTimer,
                   [](const char* function, UINT_PTR result, HWND window, UINT_PTR id, UINT, TIMERPROC) {
                     Made(result != 0, kTimer, window ? id : result, function, nullptr, Value(window));
                   }),
      COMMONQ_HOOK(KillTimer, [](const char*, BOOL ok, HWND w, UINT_PTR id) { Released(ok, kTimer, id, Value(w)); }),
      COMMONQ_HOOK(RegOpenKeyExA, kOpensKey),
      COMMONQ_HOOK(RegCreateKeyExA, kOpensKey),
      COMMONQ_HOOK(RegCloseKey, [](const char*, LSTATUS status, HKEY key) { Released(!status, kRegKey, Value(key)); }),
      COMMONQ_HOOK(LoadLibraryA, kLoadsModule),
      COMMONQ_HOOK(LoadLibraryW, kReturnsHandle<kModule>),
      COMMONQ_HOOK(LoadLibraryExA, kLoadsModule),
      COMMONQ_HOOK(FreeLibrary, kReleasesFirst<kModule>),
      COMMONQ_HOOK(GlobalAlloc, kReturnsHandle<kGlobal>),
      // A reallocation replaces the block's record (GMEM_MODIFY only changes the flags of the same
      // block); a block the tracer never saw made stays unseen.
      COMMONQ_HOOK(GlobalReAlloc,
                   [](const char* function, HGLOBAL moved, HGLOBAL memory, SIZE_T, UINT flags) {
                     if (!(flags & GMEM_MODIFY) && moved && Released(true, kGlobal, Value(memory))) {
                       Made(true, kGlobal, Value(moved), function);
                     }
                   }),
      COMMONQ_HOOK(GlobalFree, [](const char*, HGLOBAL failed,
                                  HGLOBAL memory) { Released(failed == nullptr, kGlobal, Value(memory)); }),
      // Memory handed to the clipboard belongs to the system from then on.
      COMMONQ_HOOK(SetClipboardData, [](const char*, HANDLE taken, UINT,
                                        HANDLE memory) { Released(taken != nullptr, kGlobal, Value(memory)); }),
      COMMONQ_HOOK(HeapAlloc, kReturnsHandle<kMemory>),
      COMMONQ_HOOK(HeapFree,
                   [](const char*, BOOL ok, HANDLE, DWORD, LPVOID block) { Released(ok, kMemory, Value(block)); }),
      COMMONQ_HOOK(FindFirstFileA,
                   [](const char* function, HANDLE search, LPCSTR pattern, auto...) {
                     Made(search != INVALID_HANDLE_VALUE, kKernel, Value(search), function, pattern);
                   }),
      COMMONQ_HOOK(FindClose, kReleasesFirst<kKernel>),
      // The item-id list the browser hands out is task memory; CoTaskMemFree returns nothing.
      COMMONQ_HOOK(SHBrowseForFolderA, kReturnsHandle<kMemory>),
      COMMONQ_HOOK(CoTaskMemFree, [](const char*, int, LPVOID memory) { Released(true, kMemory, Value(memory)); }),
      // S_FALSE (already initialised on this thread) still has to be balanced by CoUninitialize.
      COMMONQ_HOOK(CoInitialize, [](const char* function, HRESULT hr,
                                    LPVOID) { Made(hr == S_OK || hr == S_FALSE, kCom, 0, function); }),
      COMMONQ_HOOK(CoUninitialize, [](const char*, int) { Released(true, kCom, 0); }),
  };
  return entries;
}

}  // namespace

LeakTracer::LeakTracer(HMODULE module) {
  std::unique_lock lock(g_tracking.mutex);
  if (g_tracking.active) throw std::logic_error("LeakTracer: only one tracer may exist at a time");
  // Pinned so that the table is still there to restore however the test treats the module.
  if (!module ||
      !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(module), &module_)) {
    throw std::invalid_argument("LeakTracer: not a loaded module");
  }
  g_tracking.active = true;
  g_tracking.records.clear();
  lock.unlock();
  for (const Entry& entry : Entries()) {
    redirects_.emplace_back(module_, entry.name, entry.wrapper, entry.original);
    if (redirects_.back().Active()) patched_.emplace_back(entry.name);
  }
}

LeakTracer::~LeakTracer() {
  redirects_.clear();  // the table restored before the records go
  {
    std::lock_guard lock(g_tracking.mutex);
    g_tracking.active = false;
    g_tracking.records.clear();
  }
  FreeLibrary(module_);
}

void LeakTracer::Start() {
  std::lock_guard lock(g_tracking.mutex);
  g_tracking.records.clear();
}

std::vector<std::string> LeakTracer::Survivors() {
  std::lock_guard lock(g_tracking.mutex);
  std::vector<std::string> survivors;
  for (const Record& r : g_tracking.records) {
    if (!Alive(r)) continue;
    std::ostringstream line;
    line << "0x" << std::hex << r.handle << " from " << r.function;
    if (!r.detail.empty()) line << " (" << r.detail << ")";
    survivors.push_back(line.str());
  }
  return survivors;
}

void LeakTracer::ExpectDestroyedByContract(HICON icon) {
  std::lock_guard lock(g_tracking.mutex);
  g_tracking.records.push_back(Record{Kind::kIcon, Value(icon), 0, "the caller", "the DLL's to destroy"});
}

}  // namespace commonq::testing
