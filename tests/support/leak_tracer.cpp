#include "leak_tracer.h"

#include "import_redirect.h"

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>
#include <stdexcept>
#include <tuple>
#include <type_traits>

namespace commonq::testing {
namespace {

// How a handle's death is established. The first three the system can answer for itself; the
// others only the DLL's own release calls can balance.
enum class Kind {
  kGdiObject,  // DeleteObject, or GetObjectType fails
  kIcon,       // DestroyIcon/DestroyCursor, or GetIconInfo fails
  kWindow,     // IsWindow
  kTimer,      // KillTimer, or its window is gone
  kCreatedDc,  // DeleteDC
  kWindowDc,   // ReleaseDC
  kHook,
  kRegKey,
  kModule,
  kGlobal,
  kLocal,
  kHeap,
};

bool SystemKnowsWhenGone(Kind kind) { return kind == Kind::kGdiObject || kind == Kind::kIcon || kind == Kind::kWindow; }

struct Record {
  Kind kind;
  uintptr_t handle;
  uintptr_t scope;  // the heap of a heap block, the window of a timer
  std::string type;
  std::string function;
  std::string detail;
  bool released = false;
};

struct ContractIcon {
  uintptr_t icon;
  bool destroyed;
};

struct Tracking {
  std::mutex mutex;
  bool active = false;
  std::vector<Record> records;
  // Unreleased records by (kind, scope, handle), latest last: a module loaded twice or a DC fetched
  // twice needs two releases.
  std::map<std::tuple<Kind, uintptr_t, uintptr_t>, std::vector<size_t>> live;
  std::map<std::string, size_t, std::less<>> created;
  std::vector<std::string> notes;
  std::vector<ContractIcon> contract;
  long comOpen = 0;
};

// Never destroyed: a DLL detaching at process exit may still call a redirected import after
// static destructors have run.
Tracking& Tracked() {
  static Tracking* tracking = new Tracking;
  return *tracking;
}

std::atomic<bool> g_tracerExists{false};

std::string Hex(uintptr_t value) {
  char text[2 + 16 + 1];
  std::snprintf(text, sizeof(text), "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

template <typename T>
uintptr_t Value(T handle) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<uintptr_t>(handle);
  } else {
    return static_cast<uintptr_t>(handle);
  }
}

std::string Utf8(const wchar_t* text) {
  if (!text) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.resize(static_cast<size_t>(size) - 1);
  return out;
}

// Resource names may be integer IDs rather than strings.
std::string NameOf(const char* name) {
  if (!name) return {};
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
  return name;
}
std::string NameOf(const wchar_t* name) {
  if (!name) return {};
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
  return Utf8(name);
}

std::string GdiTypeName(uintptr_t handle) {
  switch (GetObjectType(reinterpret_cast<HGDIOBJ>(handle))) {
    case OBJ_BRUSH:
      return "HBRUSH";
    case OBJ_PEN:
    case OBJ_EXTPEN:
      return "HPEN";
    case OBJ_FONT:
      return "HFONT";
    case OBJ_BITMAP:
      return "HBITMAP";
    case OBJ_REGION:
      return "HRGN";
    case OBJ_PAL:
      return "HPALETTE";
    default:
      return "HGDIOBJ";
  }
}

std::string TypeName(Kind kind, uintptr_t handle) {
  switch (kind) {
    case Kind::kGdiObject:
      return GdiTypeName(handle);
    case Kind::kIcon:
      return "HICON";
    case Kind::kWindow:
      return "HWND";
    case Kind::kTimer:
      return "timer";
    case Kind::kCreatedDc:
    case Kind::kWindowDc:
      return "HDC";
    case Kind::kHook:
      return "HHOOK";
    case Kind::kRegKey:
      return "HKEY";
    case Kind::kModule:
      return "HMODULE";
    case Kind::kGlobal:
      return "HGLOBAL";
    case Kind::kLocal:
      return "HLOCAL";
    case Kind::kHeap:
      return "heap block";
  }
  return "handle";
}

std::string WindowDetail(HWND window) {
  char cls[256] = {};
  GetClassNameA(window, cls, sizeof(cls));
  char caption[128] = {};
  GetWindowTextA(window, caption, sizeof(caption));
  return std::string("class \"") + cls + "\", \"" + caption + "\"";
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
  switch (r.kind) {
    case Kind::kGdiObject:
      return GetObjectType(reinterpret_cast<HGDIOBJ>(r.handle)) != 0;
    case Kind::kIcon:
      return IconAlive(r.handle);
    case Kind::kWindow:
      return IsWindow(reinterpret_cast<HWND>(r.handle));
    case Kind::kTimer:
      return r.scope == 0 || IsWindow(reinterpret_cast<HWND>(r.scope));
    default:
      return true;
  }
}

// Records a handle the DLL obtained. `type` defaults to what the kind and handle say.
void Track(Kind kind, uintptr_t handle, uintptr_t scope, const char* function, std::string detail = {},
           std::string type = {}) {
  if (type.empty()) type = TypeName(kind, handle);
  if (kind == Kind::kWindow && detail.empty()) detail = WindowDetail(reinterpret_cast<HWND>(handle));
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  if (!t.active) return;
  auto& stack = t.live[{kind, scope, handle}];
  if (kind == Kind::kTimer && !stack.empty()) return;  // SetTimer on a running timer only resets it
  if (SystemKnowsWhenGone(kind)) {
    // The system handed out this value again, so whatever it named before is gone.
    for (size_t i : stack) t.records[i].released = true;
    stack.clear();
  }
  stack.push_back(t.records.size());
  t.records.push_back(Record{kind, handle, scope, std::move(type), function, std::move(detail)});
  ++t.created[function];
}

bool UntrackLocked(Tracking& t, Kind kind, uintptr_t handle, uintptr_t scope) {
  auto it = t.live.find({kind, scope, handle});
  if (it == t.live.end() || it->second.empty()) return false;
  t.records[it->second.back()].released = true;
  it->second.pop_back();
  if (it->second.empty()) t.live.erase(it);
  return true;
}

// Records a successful release; one of a handle never recorded is none of the tracer's business.
bool Untrack(Kind kind, uintptr_t handle, uintptr_t scope = 0) {
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  return t.active && UntrackLocked(t, kind, handle, scope);
}

void IconDestroyed(uintptr_t icon, const char* function) {
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  if (!t.active || UntrackLocked(t, Kind::kIcon, icon, 0)) return;
  for (ContractIcon& c : t.contract) {
    if (c.icon == icon && !c.destroyed) {
      c.destroyed = true;
      t.notes.push_back("HICON " + Hex(icon) + " of the caller destroyed by " + function + ", as its contract says");
      return;
    }
  }
  // Worth knowing: destroying an icon the DLL does not own is a bug unless the contract says so.
  t.notes.push_back(std::string(function) + " destroyed HICON " + Hex(icon) + ", which the DLL did not create");
}

bool IsPredefinedKey(HKEY key) {
  for (HKEY predefined : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_PERFORMANCE_DATA,
                          HKEY_CURRENT_CONFIG, HKEY_DYN_DATA}) {
    if (key == predefined) return true;
  }
  return false;
}

std::string KeyPath(HKEY parent, const std::string& subkey) {
  std::string root;
  if (parent == HKEY_CURRENT_USER)
    root = "HKEY_CURRENT_USER";
  else if (parent == HKEY_LOCAL_MACHINE)
    root = "HKEY_LOCAL_MACHINE";
  else if (parent == HKEY_CLASSES_ROOT)
    root = "HKEY_CLASSES_ROOT";
  else if (parent == HKEY_USERS)
    root = "HKEY_USERS";
  else
    root = "HKEY " + Hex(Value(parent));
  return subkey.empty() ? root : root + "\\" + subkey;
}

void TrackKey(LSTATUS status, const HKEY* result, const char* function, HKEY parent, const std::string& subkey) {
  // Opening an empty path under a predefined key may hand back the predefined key itself.
  if (status != ERROR_SUCCESS || !result || !*result || IsPredefinedKey(*result)) return;
  Track(Kind::kRegKey, Value(*result), 0, function, KeyPath(parent, subkey));
}

std::string Bytes(SIZE_T size) { return std::to_string(size) + " bytes"; }

// The imports the tracer redirects. Those in COMMONQ_CREATORS only ever return a new handle of
// one kind, so one template records them all; the others have their own wrappers below.
// clang-format off
#define COMMONQ_CREATORS(X)              \
  X(CreateFontA, kGdiObject)             \
  X(CreateFontW, kGdiObject)             \
  X(CreateFontIndirectA, kGdiObject)     \
  X(CreateFontIndirectW, kGdiObject)     \
  X(CreateSolidBrush, kGdiObject)        \
  X(CreateBrushIndirect, kGdiObject)     \
  X(CreatePatternBrush, kGdiObject)      \
  X(CreateHatchBrush, kGdiObject)        \
  X(CreatePen, kGdiObject)               \
  X(CreatePenIndirect, kGdiObject)       \
  X(ExtCreatePen, kGdiObject)            \
  X(CreateBitmap, kGdiObject)            \
  X(CreateBitmapIndirect, kGdiObject)    \
  X(CreateCompatibleBitmap, kGdiObject)  \
  X(CreateDIBSection, kGdiObject)        \
  X(CreateDIBitmap, kGdiObject)          \
  X(CreateRectRgn, kGdiObject)           \
  X(CreateRectRgnIndirect, kGdiObject)   \
  X(CreateRoundRectRgn, kGdiObject)      \
  X(CreateEllipticRgn, kGdiObject)       \
  X(CreatePolygonRgn, kGdiObject)        \
  X(LoadBitmapA, kGdiObject)             \
  X(LoadBitmapW, kGdiObject)             \
  X(CreateCompatibleDC, kCreatedDc)      \
  X(CreateDCA, kCreatedDc)               \
  X(CreateDCW, kCreatedDc)               \
  X(CreateICA, kCreatedDc)               \
  X(CreateICW, kCreatedDc)               \
  X(GetDC, kWindowDc)                    \
  X(GetDCEx, kWindowDc)                  \
  X(GetWindowDC, kWindowDc)              \
  X(CopyIcon, kIcon)                     \
  X(CreateWindowExA, kWindow)            \
  X(CreateWindowExW, kWindow)            \
  X(CreateDialogParamA, kWindow)         \
  X(CreateDialogParamW, kWindow)         \
  X(CreateDialogIndirectParamA, kWindow) \
  X(CreateDialogIndirectParamW, kWindow) \
  X(SetWindowsHookExA, kHook)            \
  X(SetWindowsHookExW, kHook)

#define COMMONQ_WRAPPED(X)    \
  X(LoadImageA)               \
  X(LoadImageW)               \
  X(CopyImage)                \
  X(CreateIconIndirect)       \
  X(CreateIconFromResourceEx) \
  X(ExtractIconA)             \
  X(ExtractIconW)             \
  X(ExtractIconExA)           \
  X(ExtractIconExW)           \
  X(SHGetFileInfoA)           \
  X(SHGetFileInfoW)           \
  X(SetTimer)                 \
  X(KillTimer)                \
  X(RegOpenKeyExA)            \
  X(RegOpenKeyExW)            \
  X(RegCreateKeyExA)          \
  X(RegCreateKeyExW)          \
  X(RegOpenKeyA)              \
  X(RegOpenKeyW)              \
  X(RegCreateKeyA)            \
  X(RegCreateKeyW)            \
  X(RegCloseKey)              \
  X(LoadLibraryA)             \
  X(LoadLibraryW)             \
  X(LoadLibraryExA)           \
  X(LoadLibraryExW)           \
  X(FreeLibrary)              \
  X(GlobalAlloc)              \
  X(GlobalReAlloc)            \
  X(GlobalFree)               \
  X(LocalAlloc)               \
  X(LocalReAlloc)             \
  X(LocalFree)                \
  X(HeapAlloc)                \
  X(HeapReAlloc)              \
  X(HeapFree)                 \
  X(CoInitialize)             \
  X(CoInitializeEx)           \
  X(CoUninitialize)           \
  X(DeleteObject)             \
  X(DeleteDC)                 \
  X(ReleaseDC)                \
  X(DestroyIcon)              \
  X(DestroyCursor)            \
  X(UnhookWindowsHookEx)        \
  X(SetClipboardData)
// clang-format on

enum class Fn : size_t {
#define COMMONQ_ENUM_CREATOR(name, kind) name,
#define COMMONQ_ENUM_WRAPPED(name) name,
  COMMONQ_CREATORS(COMMONQ_ENUM_CREATOR) COMMONQ_WRAPPED(COMMONQ_ENUM_WRAPPED)
#undef COMMONQ_ENUM_CREATOR
#undef COMMONQ_ENUM_WRAPPED
      kCount
};

constexpr size_t kImportCount = static_cast<size_t>(Fn::kCount);

const char* const kImportNames[kImportCount] = {
#define COMMONQ_NAME_CREATOR(name, kind) #name,
#define COMMONQ_NAME_WRAPPED(name) #name,
    COMMONQ_CREATORS(COMMONQ_NAME_CREATOR) COMMONQ_WRAPPED(COMMONQ_NAME_WRAPPED)
#undef COMMONQ_NAME_CREATOR
#undef COMMONQ_NAME_WRAPPED
};

// What the DLL's table held before it was redirected: the wrappers call through these.
void* g_original[kImportCount] = {};

template <typename Signature>
Signature Original(Fn fn) {
  return reinterpret_cast<Signature>(g_original[static_cast<size_t>(fn)]);
}
#define COMMONQ_ORIGINAL(name) Original<decltype(&::name)>(Fn::name)

template <Fn F, Kind K, typename Signature>
struct Creator;

template <Fn F, Kind K, typename R, typename... Args>
struct Creator<F, K, R(WINAPI*)(Args...)> {
  static R WINAPI Call(Args... args) {
    R result = Original<R(WINAPI*)(Args...)>(F)(args...);
    if (result) Track(K, Value(result), 0, kImportNames[static_cast<size_t>(F)]);
    return result;
  }
};

// LoadImage and CopyImage return whatever kind the type argument names.
void TrackImage(HANDLE image, UINT type, const char* function, std::string detail) {
  if (!image) return;
  switch (type) {
    case IMAGE_BITMAP:
      Track(Kind::kGdiObject, Value(image), 0, function, std::move(detail));
      break;
    case IMAGE_ICON:
      Track(Kind::kIcon, Value(image), 0, function, std::move(detail), "HICON");
      break;
    case IMAGE_CURSOR:
      Track(Kind::kIcon, Value(image), 0, function, std::move(detail), "HCURSOR");
      break;
    default:
      break;
  }
}

HANDLE WINAPI Traced_LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  HANDLE image = COMMONQ_ORIGINAL(LoadImageA)(instance, name, type, cx, cy, flags);
  if (!(flags & LR_SHARED)) TrackImage(image, type, "LoadImageA", NameOf(name));
  return image;
}

HANDLE WINAPI Traced_LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
  HANDLE image = COMMONQ_ORIGINAL(LoadImageW)(instance, name, type, cx, cy, flags);
  if (!(flags & LR_SHARED)) TrackImage(image, type, "LoadImageW", NameOf(name));
  return image;
}

HANDLE WINAPI Traced_CopyImage(HANDLE source, UINT type, int cx, int cy, UINT flags) {
  HANDLE copy = COMMONQ_ORIGINAL(CopyImage)(source, type, cx, cy, flags);
  // LR_COPYRETURNORG may hand back the source itself, which is no new handle.
  if (copy && copy != source) {
    if (flags & LR_COPYDELETEORG) {
      if (type == IMAGE_BITMAP) {
        Untrack(Kind::kGdiObject, Value(source));
      } else {
        IconDestroyed(Value(source), "CopyImage(LR_COPYDELETEORG)");
      }
    }
    TrackImage(copy, type, "CopyImage", {});
  }
  return copy;
}

HICON WINAPI Traced_CreateIconIndirect(PICONINFO info) {
  HICON icon = COMMONQ_ORIGINAL(CreateIconIndirect)(info);
  if (icon) Track(Kind::kIcon, Value(icon), 0, "CreateIconIndirect", {}, info && !info->fIcon ? "HCURSOR" : "HICON");
  return icon;
}

HICON WINAPI Traced_CreateIconFromResourceEx(PBYTE bits, DWORD size, BOOL isIcon, DWORD version, int cx, int cy,
                                             UINT flags) {
  HICON icon = COMMONQ_ORIGINAL(CreateIconFromResourceEx)(bits, size, isIcon, version, cx, cy, flags);
  if (icon && !(flags & LR_SHARED)) {
    Track(Kind::kIcon, Value(icon), 0, "CreateIconFromResourceEx", {}, isIcon ? "HICON" : "HCURSOR");
  }
  return icon;
}

// ExtractIcon returns 1, not a handle, for a file that is no executable or icon file.
HICON WINAPI Traced_ExtractIconA(HINSTANCE instance, LPCSTR file, UINT index) {
  HICON icon = COMMONQ_ORIGINAL(ExtractIconA)(instance, file, index);
  if (Value(icon) > 1) Track(Kind::kIcon, Value(icon), 0, "ExtractIconA", NameOf(file));
  return icon;
}

HICON WINAPI Traced_ExtractIconW(HINSTANCE instance, LPCWSTR file, UINT index) {
  HICON icon = COMMONQ_ORIGINAL(ExtractIconW)(instance, file, index);
  if (Value(icon) > 1) Track(Kind::kIcon, Value(icon), 0, "ExtractIconW", NameOf(file));
  return icon;
}

void TrackExtracted(UINT count, int index, HICON* large, HICON* small, UINT capacity, const char* function,
                    const std::string& file) {
  if (index == -1) return;  // only counts the icons in the file
  const UINT n = std::min(count, capacity);
  for (HICON* list : {large, small}) {
    if (!list) continue;
    for (UINT i = 0; i < n; ++i) {
      if (list[i]) Track(Kind::kIcon, Value(list[i]), 0, function, file);
    }
  }
}

UINT WINAPI Traced_ExtractIconExA(LPCSTR file, int index, HICON* large, HICON* small, UINT icons) {
  const UINT count = COMMONQ_ORIGINAL(ExtractIconExA)(file, index, large, small, icons);
  TrackExtracted(count, index, large, small, icons, "ExtractIconExA", NameOf(file));
  return count;
}

UINT WINAPI Traced_ExtractIconExW(LPCWSTR file, int index, HICON* large, HICON* small, UINT icons) {
  const UINT count = COMMONQ_ORIGINAL(ExtractIconExW)(file, index, large, small, icons);
  TrackExtracted(count, index, large, small, icons, "ExtractIconExW", NameOf(file));
  return count;
}

DWORD_PTR WINAPI Traced_SHGetFileInfoA(LPCSTR path, DWORD attributes, SHFILEINFOA* info, UINT size, UINT flags) {
  const DWORD_PTR result = COMMONQ_ORIGINAL(SHGetFileInfoA)(path, attributes, info, size, flags);
  if (result && info && (flags & SHGFI_ICON) && info->hIcon) {
    Track(Kind::kIcon, Value(info->hIcon), 0, "SHGetFileInfoA", NameOf(path));
  }
  return result;
}

DWORD_PTR WINAPI Traced_SHGetFileInfoW(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT size, UINT flags) {
  const DWORD_PTR result = COMMONQ_ORIGINAL(SHGetFileInfoW)(path, attributes, info, size, flags);
  if (result && info && (flags & SHGFI_ICON) && info->hIcon) {
    Track(Kind::kIcon, Value(info->hIcon), 0, "SHGetFileInfoW", NameOf(path));
  }
  return result;
}

UINT_PTR WINAPI Traced_SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  const UINT_PTR result = COMMONQ_ORIGINAL(SetTimer)(window, id, elapse, proc);
  if (result) {
    // A window timer keeps the caller's id; a thread timer is known by the id returned.
    const UINT_PTR timer = window ? id : result;
    Track(Kind::kTimer, timer, Value(window), "SetTimer", window ? "on HWND " + Hex(Value(window)) : "thread timer",
          "timer");
  }
  return result;
}

BOOL WINAPI Traced_KillTimer(HWND window, UINT_PTR id) {
  const BOOL killed = COMMONQ_ORIGINAL(KillTimer)(window, id);
  if (killed) Untrack(Kind::kTimer, id, Value(window));
  return killed;
}

LSTATUS WINAPI Traced_RegOpenKeyExA(HKEY key, LPCSTR subkey, DWORD options, REGSAM access, PHKEY result) {
  const LSTATUS status = COMMONQ_ORIGINAL(RegOpenKeyExA)(key, subkey, options, access, result);
  TrackKey(status, result, "RegOpenKeyExA", key, NameOf(subkey));
  return status;
}

LSTATUS WINAPI Traced_RegOpenKeyExW(HKEY key, LPCWSTR subkey, DWORD options, REGSAM access, PHKEY result) {
  const LSTATUS status = COMMONQ_ORIGINAL(RegOpenKeyExW)(key, subkey, options, access, result);
  TrackKey(status, result, "RegOpenKeyExW", key, NameOf(subkey));
  return status;
}

LSTATUS WINAPI Traced_RegCreateKeyExA(HKEY key, LPCSTR subkey, DWORD reserved, LPSTR cls, DWORD options, REGSAM access,
                                      const LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition) {
  const LSTATUS status =
      COMMONQ_ORIGINAL(RegCreateKeyExA)(key, subkey, reserved, cls, options, access, security, result, disposition);
  TrackKey(status, result, "RegCreateKeyExA", key, NameOf(subkey));
  return status;
}

LSTATUS WINAPI Traced_RegCreateKeyExW(HKEY key, LPCWSTR subkey, DWORD reserved, LPWSTR cls, DWORD options,
                                      REGSAM access, const LPSECURITY_ATTRIBUTES security, PHKEY result,
                                      LPDWORD disposition) {
  const LSTATUS status =
      COMMONQ_ORIGINAL(RegCreateKeyExW)(key, subkey, reserved, cls, options, access, security, result, disposition);
  TrackKey(status, result, "RegCreateKeyExW", key, NameOf(subkey));
  return status;
}

LSTATUS WINAPI Traced_RegOpenKeyA(HKEY key, LPCSTR subkey, PHKEY result) {
  const LSTATUS status = COMMONQ_ORIGINAL(RegOpenKeyA)(key, subkey, result);
  TrackKey(status, result, "RegOpenKeyA", key, NameOf(subkey));
  return status;
}

LSTATUS WINAPI Traced_RegOpenKeyW(HKEY key, LPCWSTR subkey, PHKEY result) {
  const LSTATUS status = COMMONQ_ORIGINAL(RegOpenKeyW)(key, subkey, result);
  TrackKey(status, result, "RegOpenKeyW", key, NameOf(subkey));
  return status;
}

LSTATUS WINAPI Traced_RegCreateKeyA(HKEY key, LPCSTR subkey, PHKEY result) {
  const LSTATUS status = COMMONQ_ORIGINAL(RegCreateKeyA)(key, subkey, result);
  TrackKey(status, result, "RegCreateKeyA", key, NameOf(subkey));
  return status;
}

LSTATUS WINAPI Traced_RegCreateKeyW(HKEY key, LPCWSTR subkey, PHKEY result) {
  const LSTATUS status = COMMONQ_ORIGINAL(RegCreateKeyW)(key, subkey, result);
  TrackKey(status, result, "RegCreateKeyW", key, NameOf(subkey));
  return status;
}

LSTATUS WINAPI Traced_RegCloseKey(HKEY key) {
  const LSTATUS status = COMMONQ_ORIGINAL(RegCloseKey)(key);
  if (status == ERROR_SUCCESS) Untrack(Kind::kRegKey, Value(key));
  return status;
}

HMODULE WINAPI Traced_LoadLibraryA(LPCSTR name) {
  HMODULE module = COMMONQ_ORIGINAL(LoadLibraryA)(name);
  if (module) Track(Kind::kModule, Value(module), 0, "LoadLibraryA", NameOf(name));
  return module;
}

HMODULE WINAPI Traced_LoadLibraryW(LPCWSTR name) {
  HMODULE module = COMMONQ_ORIGINAL(LoadLibraryW)(name);
  if (module) Track(Kind::kModule, Value(module), 0, "LoadLibraryW", NameOf(name));
  return module;
}

HMODULE WINAPI Traced_LoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags) {
  HMODULE module = COMMONQ_ORIGINAL(LoadLibraryExA)(name, file, flags);
  if (module) Track(Kind::kModule, Value(module), 0, "LoadLibraryExA", NameOf(name));
  return module;
}

HMODULE WINAPI Traced_LoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags) {
  HMODULE module = COMMONQ_ORIGINAL(LoadLibraryExW)(name, file, flags);
  if (module) Track(Kind::kModule, Value(module), 0, "LoadLibraryExW", NameOf(name));
  return module;
}

BOOL WINAPI Traced_FreeLibrary(HMODULE module) {
  const BOOL freed = COMMONQ_ORIGINAL(FreeLibrary)(module);
  if (freed) Untrack(Kind::kModule, Value(module));
  return freed;
}

// A reallocation replaces the block's record, also when the block grew in place, so the record
// tells the latest size whatever the heap did. A block the tracer never saw being made stays
// unseen, so memory the DLL held before Start() is not reported.
void Reallocated(Kind kind, uintptr_t scope, uintptr_t from, uintptr_t to, const char* function, SIZE_T size) {
  if (!to || !Untrack(kind, from, scope)) return;
  Track(kind, to, scope, function, Bytes(size));
}

HGLOBAL WINAPI Traced_GlobalAlloc(UINT flags, SIZE_T size) {
  HGLOBAL memory = COMMONQ_ORIGINAL(GlobalAlloc)(flags, size);
  if (memory) Track(Kind::kGlobal, Value(memory), 0, "GlobalAlloc", Bytes(size));
  return memory;
}

HGLOBAL WINAPI Traced_GlobalReAlloc(HGLOBAL memory, SIZE_T size, UINT flags) {
  HGLOBAL moved = COMMONQ_ORIGINAL(GlobalReAlloc)(memory, size, flags);
  // GMEM_MODIFY only changes the flags of the same block.
  if (!(flags & GMEM_MODIFY)) Reallocated(Kind::kGlobal, 0, Value(memory), Value(moved), "GlobalReAlloc", size);
  return moved;
}

HGLOBAL WINAPI Traced_GlobalFree(HGLOBAL memory) {
  HGLOBAL failed = COMMONQ_ORIGINAL(GlobalFree)(memory);
  if (!failed && memory) Untrack(Kind::kGlobal, Value(memory));
  return failed;
}

// Memory handed to the clipboard belongs to the system from then on.
HANDLE WINAPI Traced_SetClipboardData(UINT format, HANDLE memory) {
  HANDLE taken = COMMONQ_ORIGINAL(SetClipboardData)(format, memory);
  if (taken && memory) Untrack(Kind::kGlobal, Value(memory));
  return taken;
}

HLOCAL WINAPI Traced_LocalAlloc(UINT flags, SIZE_T size) {
  HLOCAL memory = COMMONQ_ORIGINAL(LocalAlloc)(flags, size);
  if (memory) Track(Kind::kLocal, Value(memory), 0, "LocalAlloc", Bytes(size));
  return memory;
}

HLOCAL WINAPI Traced_LocalReAlloc(HLOCAL memory, SIZE_T size, UINT flags) {
  HLOCAL moved = COMMONQ_ORIGINAL(LocalReAlloc)(memory, size, flags);
  if (!(flags & LMEM_MODIFY)) Reallocated(Kind::kLocal, 0, Value(memory), Value(moved), "LocalReAlloc", size);
  return moved;
}

HLOCAL WINAPI Traced_LocalFree(HLOCAL memory) {
  HLOCAL failed = COMMONQ_ORIGINAL(LocalFree)(memory);
  if (!failed && memory) Untrack(Kind::kLocal, Value(memory));
  return failed;
}

LPVOID WINAPI Traced_HeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
  LPVOID block = COMMONQ_ORIGINAL(HeapAlloc)(heap, flags, size);
  if (block) Track(Kind::kHeap, Value(block), Value(heap), "HeapAlloc", Bytes(size));
  return block;
}

LPVOID WINAPI Traced_HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T size) {
  LPVOID moved = COMMONQ_ORIGINAL(HeapReAlloc)(heap, flags, block, size);
  Reallocated(Kind::kHeap, Value(heap), Value(block), Value(moved), "HeapReAlloc", size);
  return moved;
}

BOOL WINAPI Traced_HeapFree(HANDLE heap, DWORD flags, LPVOID block) {
  const BOOL freed = COMMONQ_ORIGINAL(HeapFree)(heap, flags, block);
  if (freed && block) Untrack(Kind::kHeap, Value(block), Value(heap));
  return freed;
}

void ComInitialized(HRESULT hr, const char* function) {
  // S_FALSE (already initialised on this thread) still has to be balanced by CoUninitialize.
  if (hr != S_OK && hr != S_FALSE) return;
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  if (!t.active) return;
  ++t.comOpen;
  ++t.created[function];
}

HRESULT WINAPI Traced_CoInitialize(LPVOID reserved) {
  const HRESULT hr = COMMONQ_ORIGINAL(CoInitialize)(reserved);
  ComInitialized(hr, "CoInitialize");
  return hr;
}

HRESULT WINAPI Traced_CoInitializeEx(LPVOID reserved, DWORD model) {
  const HRESULT hr = COMMONQ_ORIGINAL(CoInitializeEx)(reserved, model);
  ComInitialized(hr, "CoInitializeEx");
  return hr;
}

void WINAPI Traced_CoUninitialize() {
  COMMONQ_ORIGINAL(CoUninitialize)();
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  if (t.active && t.comOpen > 0) --t.comOpen;
}

BOOL WINAPI Traced_DeleteObject(HGDIOBJ object) {
  const BOOL deleted = COMMONQ_ORIGINAL(DeleteObject)(object);
  if (deleted) Untrack(Kind::kGdiObject, Value(object));
  return deleted;
}

BOOL WINAPI Traced_DeleteDC(HDC dc) {
  const BOOL deleted = COMMONQ_ORIGINAL(DeleteDC)(dc);
  if (deleted) Untrack(Kind::kCreatedDc, Value(dc));
  return deleted;
}

int WINAPI Traced_ReleaseDC(HWND window, HDC dc) {
  const int released = COMMONQ_ORIGINAL(ReleaseDC)(window, dc);
  if (released) Untrack(Kind::kWindowDc, Value(dc));
  return released;
}

BOOL WINAPI Traced_DestroyIcon(HICON icon) {
  const BOOL destroyed = COMMONQ_ORIGINAL(DestroyIcon)(icon);
  if (destroyed) IconDestroyed(Value(icon), "DestroyIcon");
  return destroyed;
}

BOOL WINAPI Traced_DestroyCursor(HCURSOR cursor) {
  const BOOL destroyed = COMMONQ_ORIGINAL(DestroyCursor)(cursor);
  if (destroyed) IconDestroyed(Value(cursor), "DestroyCursor");
  return destroyed;
}

BOOL WINAPI Traced_UnhookWindowsHookEx(HHOOK hook) {
  const BOOL removed = COMMONQ_ORIGINAL(UnhookWindowsHookEx)(hook);
  if (removed) Untrack(Kind::kHook, Value(hook));
  return removed;
}

// A wrapper whose signature drifted from the import's would corrupt the stack on i686.
#define COMMONQ_CHECK_WRAPPED(name) \
  static_assert(std::is_same_v<decltype(&Traced_##name), decltype(&::name)>, #name " wrapper signature");
COMMONQ_WRAPPED(COMMONQ_CHECK_WRAPPED)
#undef COMMONQ_CHECK_WRAPPED

void* const kWrappers[kImportCount] = {
#define COMMONQ_WRAPPER_CREATOR(name, kind) \
  reinterpret_cast<void*>(&Creator<Fn::name, Kind::kind, decltype(&::name)>::Call),
#define COMMONQ_WRAPPER_WRAPPED(name) reinterpret_cast<void*>(&Traced_##name),
    COMMONQ_CREATORS(COMMONQ_WRAPPER_CREATOR) COMMONQ_WRAPPED(COMMONQ_WRAPPER_WRAPPED)
#undef COMMONQ_WRAPPER_CREATOR
#undef COMMONQ_WRAPPER_WRAPPED
};

const IMAGE_NT_HEADERS* NtHeaders(HMODULE module) {
  if (!module) return nullptr;
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0) return nullptr;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  // IMAGE_NT_HEADERS is the build's own width, so a module of the other width is refused here.
  if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) {
    return nullptr;
  }
  return nt;
}

}  // namespace

LeakTracer::LeakTracer(HMODULE module) : module_(nullptr) {
  if (!NtHeaders(module)) throw std::invalid_argument("LeakTracer: not a loaded module of this architecture");
  if (g_tracerExists.exchange(true)) throw std::logic_error("LeakTracer: only one tracer may exist at a time");
  // Pinned so that the table is still there to restore however the test treats the module.
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(module), &module_)) {
    g_tracerExists = false;
    throw std::invalid_argument("LeakTracer: module is not loaded");
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
    t.live.clear();
    t.created.clear();
    t.notes.clear();
    t.contract.clear();
    t.comOpen = 0;
  }
  FreeLibrary(module_);
  g_tracerExists = false;
}

void LeakTracer::Patch() {
  std::fill(std::begin(g_original), std::end(g_original), nullptr);
  ForEachNamedImport(module_, [this](const char* name, void** slot) {
    const auto found = std::find_if(std::begin(kImportNames), std::end(kImportNames),
                                    [name](const char* known) { return std::strcmp(known, name) == 0; });
    if (found == std::end(kImportNames)) return;
    const size_t index = static_cast<size_t>(found - std::begin(kImportNames));
    void* original = *slot;
    if (original == kWrappers[index]) return;
    if (!g_original[index]) g_original[index] = original;
    if (!WriteImportEntry(slot, kWrappers[index])) return;
    slots_.push_back(Slot{slot, original});
    if (std::find(patched_.begin(), patched_.end(), name) == patched_.end()) patched_.emplace_back(name);
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
  t.live.clear();
  t.created.clear();
  t.notes.clear();
  t.contract.clear();
  t.comOpen = 0;
}

std::vector<std::string> LeakTracer::Survivors() {
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  std::vector<std::string> survivors;
  for (const Record& r : t.records) {
    if (!Alive(r)) continue;
    std::string line = r.type + " " + Hex(r.handle) + " from " + r.function;
    if (!r.detail.empty()) line += " (" + r.detail + ")";
    survivors.push_back(std::move(line));
  }
  for (const ContractIcon& c : t.contract) {
    if (!c.destroyed && IconAlive(c.icon)) {
      survivors.push_back("HICON " + Hex(c.icon) + " of the caller, which the DLL should have destroyed");
    }
  }
  if (t.comOpen > 0) {
    survivors.push_back("COM initialised " + std::to_string(t.comOpen) +
                        " more time(s) than uninitialised (CoInitialize/CoInitializeEx without CoUninitialize)");
  }
  return survivors;
}

size_t LeakTracer::Created(const std::string& function) const {
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  auto it = t.created.find(function);
  return it == t.created.end() ? 0 : it->second;
}

std::vector<std::string> LeakTracer::Notes() const {
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  return t.notes;
}

void LeakTracer::ExpectDestroyedByContract(HICON icon) {
  Tracking& t = Tracked();
  std::lock_guard lock(t.mutex);
  t.contract.push_back(ContractIcon{Value(icon), false});
}

}  // namespace commonq::testing
