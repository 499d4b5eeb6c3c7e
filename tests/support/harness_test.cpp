// Self-tests of the harness: the leak tracer reports what a DLL leaks and nothing it released,
// covers every creating function CommonQ.dll imports, and the dialog driver reports a missing
// control and ends a script that waits for a dialog nobody opens.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/dialog_driver.h"
#include "support/import_redirect.h"
#include "support/leak_tracer.h"

namespace commonq::testing {
namespace {

std::string Hex(const void* handle) {
  char text[32] = "0x";
  return {text, std::to_chars(text + 2, std::end(text), reinterpret_cast<uintptr_t>(handle), 16).ptr};
}

template <typename Signature = void* (*)()>
Signature Export(HMODULE dll, const char* name) {
  return reinterpret_cast<Signature>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

// leaky.dll leaks one handle per Leak export and returns it; Balanced releases all it makes, and
// a caller's icon the DLL is bound to destroy is reported until it has.
TEST(LeakTracer, ReportsEachKindOfLeakAndNothingReleased) {
  HMODULE dll = LoadLibraryA("leaky.dll");
  ASSERT_NE(dll, nullptr) << "leaky.dll must lie beside the test executable";
  const std::vector<std::pair<const char*, std::string>> leaks = {
      {"LeakBrush", "# from CreateSolidBrush"},
      {"LeakKey", "# from RegOpenKeyExA (Software)"},
      {"LeakWindow", "# from CreateWindowExA (Static \"leaked\")"},
      {"LeakHook", "# from SetWindowsHookExA"},
      {"LeakThreadTimer", "# from SetTimer"},
      {"LeakDc", "# from GetDC"},
      {"LeakHeap", "# from HeapAlloc"},
      {"LeakGlobal", "# from GlobalAlloc"},
      {"LeakIcon", "# from LoadImageA"},
      {"LeakLibrary", "# from LoadLibraryA (msimg32.dll)"},
      {"LeakComInit", "0x0 from CoInitialize"},
  };
  {
    LeakTracer tracer(dll);
    EXPECT_THROW({ LeakTracer second(dll); }, std::logic_error);
    for (const auto& [leak, shown] : leaks) {
      tracer.Start();
      void* handle = Export(dll, leak)();
      ASSERT_NE(handle, nullptr) << leak;
      const std::string expected = shown[0] == '#' ? Hex(handle) + shown.substr(1) : shown;
      EXPECT_EQ(tracer.Survivors(), std::vector<std::string>{expected}) << leak;
    }
    tracer.Start();
    HICON icon = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));  // made through the test's own imports
    tracer.ExpectDestroyedByContract(icon);
    EXPECT_EQ(tracer.Survivors().size(), 1u);
    Export<void (*)()>(dll, "Balanced")();
    EXPECT_TRUE(Export<BOOL (*)(HICON)>(dll, "DestroyCallerIcon")(icon));
    const std::vector<std::string> survivors = tracer.Survivors();
    EXPECT_TRUE(survivors.empty()) << ::testing::PrintToString(survivors);
  }
  EXPECT_THROW({ LeakTracer none(nullptr); }, std::invalid_argument);
}

// A creating function the library starts to import and the tracer does not know would let its
// handles leak unseen. The static runtime's own kernel objects (events, semaphores) are not the
// library's, and its activation context lives as long as the DLL (made once, released at unload:
// tests/wine/activation_context_test.cpp). The import table is put back when the tracer goes.
TEST(LeakTracer, CoversEveryCreatingImportOfTheLibrary) {
  HMODULE library = LoadLibraryA("CommonQ.dll");
  ASSERT_NE(library, nullptr);
  const std::regex creating(
      "(?!CreateEvent|CreateSemaphore|CreateActCtx)(Create.*|Load(Image|Bitmap|Icon|Cursor|Library).*|"
      "Get(Window)?DC(Ex)?|SetWindowsHookEx.|SetTimer|Reg(Open|Create)Key.*|(Global|Local|Heap)(Re)?Alloc|"
      "CoInitialize.*|SHGetFileInfo.|FindFirstFile.*|SHBrowseForFolder.)");
  std::map<std::string, void*> before;
  ForEachNamedImport(library, [&](const char* name, void** entry) { before[name] = *entry; });
  {
    LeakTracer tracer(library);
    EXPECT_NE(before["CreateSolidBrush"], nullptr);
    ForEachNamedImport(library, [&](const char* name, void** entry) {
      EXPECT_EQ(std::count(tracer.Patched().begin(), tracer.Patched().end(), name), *entry != before[name]) << name;
      if (std::regex_match(name, creating)) {
        EXPECT_TRUE(std::count(tracer.Patched().begin(), tracer.Patched().end(), name)) << name << " is not traced";
      }
    });
  }
  ForEachNamedImport(library, [&](const char* name, void** entry) { EXPECT_EQ(*entry, before[name]) << name; });
  FreeLibrary(library);
}

// A step on a missing control is an error and the script goes on. A script stuck on a dialog
// nobody opens times out and closes every box, a nested one included, so each blocking call
// returns.
TEST(DialogDriver, ReportsAMissingControlAndClosesNestedBoxesAtTheTimeout) {
  DialogDriver driver;
  driver.WaitForDialog("Outer").Click(999).Click(IDOK).WaitUntilGone();
  driver.Start();
  EXPECT_EQ(MessageBoxA(nullptr, "Press OK", "Outer", MB_OKCANCEL), IDOK);
  EXPECT_TRUE(driver.Finished());
  ASSERT_EQ(driver.Errors().size(), 1u) << ::testing::PrintToString(driver.Errors());
  EXPECT_NE(driver.Errors()[0].find("Click 999: no usable control"), std::string::npos) << driver.Errors()[0];

  int inner = 0;
  DialogDriver timing(1500);
  timing.WaitForDialog("Outer")
      .Read([&inner](HWND outer) { inner = MessageBoxA(outer, "Nested", "Inner", MB_OKCANCEL); })
      .WaitForDialog("Never shown");
  timing.Start();
  const ULONGLONG started = GetTickCount64();
  EXPECT_EQ(MessageBoxA(nullptr, "Wait", "Outer", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(inner, IDCANCEL);
  EXPECT_LT(GetTickCount64() - started, 8000u);
  EXPECT_FALSE(timing.Finished());
  ASSERT_EQ(timing.Errors().size(), 1u) << ::testing::PrintToString(timing.Errors());
  EXPECT_NE(timing.Errors()[0].find("WaitForDialog \"Never shown\": timed out"), std::string::npos)
      << timing.Errors()[0];
}

}  // namespace
}  // namespace commonq::testing
