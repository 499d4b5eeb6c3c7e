#include "support/import_redirect.h"

#include <cstring>

namespace commonq::testing {

void ForEachNamedImport(HMODULE module, const std::function<void(const char* name, void** entry)>& visit) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (module == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE) return;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return;
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0 || directory.Size == 0) return;
  for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       descriptor->Name != 0; ++descriptor) {
    if (descriptor->OriginalFirstThunk == 0 || descriptor->FirstThunk == 0) continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
    auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
    for (size_t i = 0; names[i].u1.AddressOfData != 0; ++i) {
      if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData);
      visit(reinterpret_cast<const char*>(byName->Name), reinterpret_cast<void**>(&addresses[i].u1.Function));
    }
  }
}

bool WriteImportEntry(void** entry, void* value) {
  MEMORY_BASIC_INFORMATION info{};
  if (!::VirtualQuery(entry, &info, sizeof(info))) return false;
  // Keep execute rights if the table shares a page with code another thread may be running.
  const bool executable =
      (info.Protect & (PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
  DWORD previous = 0;
  if (!::VirtualProtect(entry, sizeof(void*), executable ? PAGE_EXECUTE_READWRITE : PAGE_READWRITE, &previous)) {
    return false;
  }
  *entry = value;
  DWORD ignored = 0;
  ::VirtualProtect(entry, sizeof(void*), previous, &ignored);
  return true;
}

ImportRedirect::ImportRedirect(HMODULE module, const char* function, void* replacement) {
  void** slot = nullptr;
  ForEachNamedImport(module, [&](const char* name, void** entry) {
    if (slot == nullptr && std::strcmp(name, function) == 0) slot = entry;
  });
  if (slot == nullptr) return;
  void* original = *slot;
  if (!WriteImportEntry(slot, replacement)) return;
  slot_ = slot;
  original_ = original;
}

ImportRedirect::~ImportRedirect() {
  if (slot_ != nullptr) WriteImportEntry(slot_, original_);
}

}  // namespace commonq::testing
