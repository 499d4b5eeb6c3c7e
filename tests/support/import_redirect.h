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

namespace commonq::testing {

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
