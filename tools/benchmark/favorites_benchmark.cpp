// Add a Favorite on a tree of 10,000 folders (depth up to 8): the median time from the call of
// DlgFavDoAddTo to the end of the dialog's initialisation (the folder walk and the combo's fill
// included), against a bare FindFirstFileA walk of the same tree in the same run, and the
// allocations the library makes per listed folder.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "CommonQ.h"

namespace {

using DlgFavDoAddToFn = int(__cdecl*)(DlgFavParams*);

constexpr int kFolders = 10000;
constexpr int kDeepest = 8;
constexpr int kRuns = 7;

double g_shownMs = -1;
LARGE_INTEGER g_start{};
HHOOK g_hook = nullptr;

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now{}, frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Three children per folder down to depth 7, four for the first folders of depth 7, until there
// are 10,000: a broad tree whose deepest folders lie 8 levels below the root.
bool BuildTree(const std::string& root) {
  const std::string marker = root + "\\tree-10000.done";
  if (GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  CreateDirectoryA(root.c_str(), nullptr);
  std::deque<std::pair<std::string, int>> pending{{root, 0}};
  int made = 0;
  while (!pending.empty() && made < kFolders) {
    auto [folder, depth] = pending.front();
    pending.pop_front();
    if (depth >= kDeepest) continue;
    const int children = depth == kDeepest - 1 ? 4 : 3;
    for (int child = 0; child < children && made < kFolders; ++child) {
      char name[32];
      std::snprintf(name, sizeof name, "\\Folder %05d", made);
      const std::string path = folder + name;
      if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
      ++made;
      pending.emplace_back(path, depth + 1);
    }
  }
  HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return made == kFolders;
}

// What the dialog's walk must at least do: visit every folder once.
int BareWalk(std::string& folder) {
  const std::size_t length = folder.size();
  folder += "\\*";
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(folder.c_str(), &found);
  folder.resize(length);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || std::strcmp(found.cFileName, ".") == 0 ||
        std::strcmp(found.cFileName, "..") == 0) {
      continue;
    }
    ++count;
    folder += '\\';
    folder += found.cFileName;
    count += BareWalk(folder);
    folder.resize(length);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == WM_INITDIALOG) {
    char caption[64] = {};
    GetWindowTextA(message->hwnd, caption, sizeof caption);
    if (std::strcmp(caption, "Add a Favorite") == 0) {
      g_shownMs = MillisecondsSince(g_start);
      PostMessageA(message->hwnd, WM_COMMAND, IDCANCEL, 0);
    }
  }
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

// Counts the heap allocations CommonQ.dll makes, through its import table entries of msvcrt.
struct AllocationCounter {
  static inline long count = 0;
  static inline void* (*malloc_)(size_t) = nullptr;
  static inline void* (*realloc_)(void*, size_t) = nullptr;
  static inline void* (*calloc_)(size_t, size_t) = nullptr;
  static void* Malloc(size_t size) {
    ++count;
    return malloc_(size);
  }
  static void* Realloc(void* block, size_t size) {
    ++count;
    return realloc_(block, size);
  }
  static void* Calloc(size_t n, size_t size) {
    ++count;
    return calloc_(n, size);
  }

  static void** Slot(HMODULE module, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name != 0;
         ++entry) {
      if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), "msvcrt.dll") != 0) continue;
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
      for (; names->u1.AddressOfData != 0; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
          return reinterpret_cast<void**>(&slots->u1.Function);
        }
      }
    }
    return nullptr;
  }
  template <typename F>
  static void Patch(HMODULE module, const char* function, F*& original, F* replacement) {
    void** slot = Slot(module, function);
    if (slot == nullptr) return;
    DWORD protection = 0;
    VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection);
    original = reinterpret_cast<F*>(*slot);
    *slot = reinterpret_cast<void*>(replacement);
    VirtualProtect(slot, sizeof(void*), protection, &protection);
  }
  explicit AllocationCounter(HMODULE module) {
    Patch(module, "malloc", malloc_, &Malloc);
    Patch(module, "realloc", realloc_, &Realloc);
    Patch(module, "calloc", calloc_, &Calloc);
  }
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.size() % 2 ? values[values.size() / 2]
                           : (values[values.size() / 2 - 1] + values[values.size() / 2]) / 2;
}

}  // namespace

int main() {
  HMODULE library = LoadLibraryA("CommonQ.dll");
  auto addFavorite =
      library == nullptr
          ? nullptr
          : reinterpret_cast<DlgFavDoAddToFn>(reinterpret_cast<void*>(GetProcAddress(library, "DlgFavDoAddTo")));
  if (addFavorite == nullptr) {
    std::fprintf(stderr, "CommonQ.dll with DlgFavDoAddTo must lie beside the benchmark\n");
    return 2;
  }
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string root = std::string(temp) + "CommonQFavBench";
  if (!BuildTree(root)) {
    std::fprintf(stderr, "could not build the tree under %s\n", root.c_str());
    return 1;
  }
  if (BareWalk(root) != kFolders) {
    std::fprintf(stderr, "the tree under %s does not hold %d folders\n", root.c_str(), kFolders);
    return 1;
  }
  g_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, &AfterMessage, nullptr, GetCurrentThreadId());
  AllocationCounter allocations(library);
  std::vector<double> bare, dialog;
  long allocationsPerCall = 0;
  for (int run = 0; run < kRuns; ++run) {
    LARGE_INTEGER start{};
    QueryPerformanceCounter(&start);
    BareWalk(root);
    bare.push_back(MillisecondsSince(start));

    DlgFavParams params{};
    lstrcpynA(params.szRoot, root.c_str(), sizeof params.szRoot);
    g_shownMs = -1;
    AllocationCounter::count = 0;
    QueryPerformanceCounter(&g_start);
    addFavorite(&params);
    allocationsPerCall = AllocationCounter::count;
    if (g_shownMs >= 0) dialog.push_back(g_shownMs);
  }
  UnhookWindowsHookEx(g_hook);
  if (dialog.empty()) {
    std::fprintf(stderr, "the dialog never initialised\n");
    return 1;
  }
  const double bareMs = Median(bare);
  const double dialogMs = Median(dialog);
  std::printf("bare FindFirstFileA walk: %.1f ms median of %d (min %.1f, max %.1f)\n", bareMs, kRuns,
              *std::min_element(bare.begin(), bare.end()), *std::max_element(bare.begin(), bare.end()));
  std::printf("call -> dialog shown:     %.1f ms median of %zu (min %.1f, max %.1f)\n", dialogMs, dialog.size(),
              *std::min_element(dialog.begin(), dialog.end()), *std::max_element(dialog.begin(), dialog.end()));
  std::printf("dialog / bare walk = %.2f (target <= 1.5)\n", dialogMs / bareMs);
  std::printf("library heap allocations per call: %ld, %.2f per listed folder\n", allocationsPerCall,
              static_cast<double>(allocationsPerCall) / (kFolders + 1));
  return 0;
}
