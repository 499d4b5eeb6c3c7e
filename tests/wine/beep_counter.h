#pragma once
// Counts the MessageBeep calls CommonQ.dll makes, by redirecting that one entry of its import
// table while the counter lives: a refused value is answered with a beep and nothing else.
#include <windows.h>

#include <cstring>

namespace commonq::testing {

class BeepCounter {
 public:
  explicit BeepCounter(HMODULE module) : slot_(FindImport(module, "user32.dll", "MessageBeep")) {
    count_ = 0;
    if (slot_ != nullptr) original_ = Swap(reinterpret_cast<void*>(&Counted));
  }
  ~BeepCounter() {
    if (slot_ != nullptr) Swap(original_);
  }
  BeepCounter(const BeepCounter&) = delete;
  BeepCounter& operator=(const BeepCounter&) = delete;

  bool Patched() const { return slot_ != nullptr; }
  int Count() const { return count_; }
  UINT LastType() const { return lastType_; }

 private:
  static BOOL WINAPI Counted(UINT type) {
    ++count_;
    lastType_ = type;
    return TRUE;
  }

  void* Swap(void* replacement) {
    DWORD protection = 0;
    ::VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &protection);
    void* previous = *slot_;
    *slot_ = replacement;
    ::VirtualProtect(slot_, sizeof(void*), protection, &protection);
    return previous;
  }

  static void** FindImport(HMODULE module, const char* dll, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name != 0;
         ++entry) {
      if (::lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
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

  void** slot_;
  void* original_ = nullptr;
  static inline int count_ = 0;
  static inline UINT lastType_ = 0;
};

}  // namespace commonq::testing
