#pragma once
// Points one imported function of a loaded module somewhere else for the life of the object, to
// make the system answer as another Windows version would, or to watch the calls. Only that
// module's calls change.
//
//   static void* original;  // what the replacement calls on to
//   ImportRedirect redirect(GetModuleHandleA(nullptr), "LoadLibraryExA", &RefusingLoadLibraryExA, &original);
//
// Redirects nest: the previous entry (which may be another redirect's, such as the leak
// tracer's) is what `original` receives, and it is put back on destruction, so destroy them in
// the reverse order of creation.
#include <windows.h>

#include <functional>

namespace commonq::testing {

// Calls `visit` with the name and the import table entry of every function `module` imports by
// name. Imports without a lookup table are skipped: once the loader has filled in the addresses,
// their names are gone.
void ForEachNamedImport(HMODULE module, const std::function<void(const char* name, void** entry)>& visit);

class ImportRedirect {
 public:
  // `original`, when given, receives the entry's previous value before the entry changes, so a
  // replacement already called on another thread finds it.
  ImportRedirect(HMODULE module, const char* function, void* replacement, void** original = nullptr);
  ~ImportRedirect();
  ImportRedirect(const ImportRedirect&) = delete;
  ImportRedirect& operator=(const ImportRedirect&) = delete;

  // Whether the module imports the function by name and its entry was redirected.
  bool Active() const { return slot_ != nullptr; }

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace commonq::testing
