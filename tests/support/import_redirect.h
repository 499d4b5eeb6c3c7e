#pragma once
// Points one imported function of a loaded module somewhere else for the life of the object, to
// make the system answer as another Windows version would. Only that module's calls change.
//
//   ImportRedirect redirect(GetModuleHandleA(nullptr), "LoadLibraryExA", &RefusingLoadLibraryExA);
//   auto original = redirect.Original<decltype(&LoadLibraryExA)>();
//
// Redirects nest: the previous entry (which may be another redirect's, such as the leak
// tracer's) is what Original() calls, and it is put back on destruction, so destroy them in the
// reverse order of creation.
#include <windows.h>

#include <functional>

namespace commonq::testing {

// Calls `visit` with the name and the import table entry of every function `module` imports by
// name. Imports without a lookup table are skipped: once the loader has filled in the addresses,
// their names are gone.
void ForEachNamedImport(HMODULE module, const std::function<void(const char* name, void** entry)>& visit);
// Writes one import table entry, lifting its page protection for the write only.
bool WriteImportEntry(void** entry, void* value);

class ImportRedirect {
 public:
  ImportRedirect(HMODULE module, const char* function, void* replacement);
  ~ImportRedirect();
  ImportRedirect(const ImportRedirect&) = delete;
  ImportRedirect& operator=(const ImportRedirect&) = delete;

  // Whether the module imports the function by name and its entry was redirected.
  bool Active() const { return slot_ != nullptr; }
  template <typename Function>
  Function Original() const {
    return reinterpret_cast<Function>(original_);
  }

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace commonq::testing
