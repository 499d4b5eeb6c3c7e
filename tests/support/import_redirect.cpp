#include "support/import_redirect.h"

#include <cstring>

namespace commonq::testing {

void ForEachNamedImport(HMODULE module, const std::function<void(const char* name, void** entry)>& visit) {
  if (module == nullptr) return;
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return;
  for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       descriptor->Name != 0; ++descriptor) {
    if (descriptor->OriginalFirstThunk == 0) continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
    auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
    for (size_t i = 0; names[i].u1.AddressOfData != 0; ++i) {
      if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData);
      visit(reinterpret_cast<const char*>(byName->Name), reinterpret_cast<void**>(&addresses[i].u1.Function));
    }
  }
}

namespace {

// Writes one import table entry, lifting its page protection for the write only. Execute rights
// stay: the table may share a page with code another thread is running.
bool WriteImportEntry(void** entry, void* value) {
  DWORD previous = 0;
  if (!VirtualProtect(entry, sizeof(void*), PAGE_EXECUTE_READWRITE, &previous)) return false;
  *entry = value;
  return VirtualProtect(entry, sizeof(void*), previous, &previous);
}

}  // namespace

ImportRedirect::ImportRedirect(HMODULE module, const char* function, void* replacement, void** original) {
  ForEachNamedImport(module, [&](const char* name, void** entry) {
    if (slot_ == nullptr && std::strcmp(name, function) == 0) slot_ = entry;
  });
  if (slot_ == nullptr) return;
  original_ = *slot_;
  if (original) *original = original_;
  if (!WriteImportEntry(slot_, replacement)) slot_ = nullptr;
}

ImportRedirect::~ImportRedirect() {
  if (slot_ != nullptr) WriteImportEntry(slot_, original_);
}

}  // namespace commonq::testing
