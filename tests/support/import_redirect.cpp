#include "support/import_redirect.h"

#include <cstring>

namespace commonq::testing {
namespace {

bool WriteEntry(void** slot, void* value) {
  DWORD previous = 0;
  if (!::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &previous)) return false;
  *slot = value;
  DWORD ignored = 0;
  ::VirtualProtect(slot, sizeof(void*), previous, &ignored);
  return true;
}

void** FindEntry(HMODULE module, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (module == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return nullptr;
  for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       descriptor->Name != 0; ++descriptor) {
    if (descriptor->OriginalFirstThunk == 0 || descriptor->FirstThunk == 0) continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
    auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
    for (size_t i = 0; names[i].u1.AddressOfData != 0; ++i) {
      if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
        return reinterpret_cast<void**>(&addresses[i].u1.Function);
      }
    }
  }
  return nullptr;
}

}  // namespace

ImportRedirect::ImportRedirect(HMODULE module, const char* function, void* replacement) {
  void** slot = FindEntry(module, function);
  if (slot == nullptr) return;
  void* original = *slot;
  if (!WriteEntry(slot, replacement)) return;
  slot_ = slot;
  original_ = original;
}

ImportRedirect::~ImportRedirect() {
  if (slot_ != nullptr) WriteEntry(slot_, original_);
}

}  // namespace commonq::testing
