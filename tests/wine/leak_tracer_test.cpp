#include "support/leak_tracer.h"

#include <objbase.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace commonq::testing {
namespace {

std::string Hex(const void* handle) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)));
  return text;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += "\n  " + line;
  return all;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// Loads leaky.dll from beside the test executable, fresh for every test.
class LeakTracerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH);
    std::string dll(path, length);
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "leaky.dll";
    dll_ = LoadLibraryA(dll.c_str());
    ASSERT_NE(dll_, nullptr) << "cannot load " << dll;
  }

  void TearDown() override {
    if (dll_) FreeLibrary(dll_);
  }

  template <typename Signature>
  Signature Export(const char* name) {
    auto* address = reinterpret_cast<void*>(GetProcAddress(dll_, name));
    EXPECT_NE(address, nullptr) << name << " is not exported";
    return reinterpret_cast<Signature>(address);
  }

  void* Leak(const char* name) {
    auto fn = Export<void* (*)()>(name);
    return fn ? fn() : nullptr;
  }

  void Run(const char* name) {
    if (auto fn = Export<void (*)()>(name)) fn();
  }

  HMODULE dll_ = nullptr;
};

TEST_F(LeakTracerTest, ReportsALeakedBrushUntilSomebodyDeletesIt) {
  LeakTracer tracer(dll_);
  tracer.Start();
  Run("CleanBrush");
  Run("CleanBrush");
  void* brush = Leak("LeakBrush");
  ASSERT_NE(brush, nullptr);

  std::vector<std::string> survivors = tracer.Survivors();
  ASSERT_EQ(survivors.size(), 1u) << Join(survivors);
  EXPECT_EQ(survivors[0], "HBRUSH " + Hex(brush) + " from CreateSolidBrush");
  EXPECT_EQ(tracer.Created("CreateSolidBrush"), 3u);
  EXPECT_EQ(tracer.Created("CreatePen"), 0u);

  // Whether a handle is alive is the system's word, so the caller deleting it ends the leak.
  DeleteObject(static_cast<HGDIOBJ>(brush));
  EXPECT_TRUE(tracer.Survivors().empty()) << Join(tracer.Survivors());

  void* second = Leak("LeakBrush");
  tracer.Start();
  EXPECT_TRUE(tracer.Survivors().empty()) << "Start() must forget earlier records";
  EXPECT_EQ(tracer.Created("CreateSolidBrush"), 0u);
  DeleteObject(static_cast<HGDIOBJ>(second));
}

TEST_F(LeakTracerTest, BalancedCallsLeaveNoSurvivors) {
  LeakTracer tracer(dll_);
  tracer.Start();
  for (const char* clean : {"CleanBrush", "CleanKey", "CleanDcs", "CleanMemory", "CleanComInit",
                            "WindowTimerDiesWithWindow", "SharedIcon"}) {
    Run(clean);
  }
  EXPECT_TRUE(tracer.Survivors().empty()) << Join(tracer.Survivors());
  // Each was seen being created, so the empty list above is a real result.
  for (const char* function :
       {"CreateSolidBrush", "RegOpenKeyExA", "GetDC", "CreateCompatibleDC", "CreateCompatibleBitmap", "GlobalAlloc",
        "LocalAlloc", "HeapAlloc", "HeapReAlloc", "CoInitializeEx", "SetTimer", "CreateWindowExA"}) {
    EXPECT_EQ(tracer.Created(function), 1u) << function;
  }
  EXPECT_EQ(tracer.Created("LoadImageA"), 0u) << "an LR_SHARED icon is not the DLL's to destroy";
  EXPECT_TRUE(tracer.Notes().empty()) << Join(tracer.Notes());
}

TEST_F(LeakTracerTest, AChildWindowDestroyedWithItsParentIsNoLeak) {
  LeakTracer tracer(dll_);
  tracer.Start();
  Run("ChildWindowDiesWithParent");
  EXPECT_EQ(tracer.Created("CreateWindowExA"), 2u);
  EXPECT_TRUE(tracer.Survivors().empty()) << Join(tracer.Survivors());

  HWND window = static_cast<HWND>(Leak("LeakWindow"));
  ASSERT_NE(window, nullptr);
  std::vector<std::string> survivors = tracer.Survivors();
  ASSERT_EQ(survivors.size(), 1u) << Join(survivors);
  EXPECT_TRUE(StartsWith(survivors[0], "HWND " + Hex(window) + " from CreateWindowExA")) << survivors[0];
  EXPECT_NE(survivors[0].find("leaked"), std::string::npos) << "the caption identifies the window";
  DestroyWindow(window);
  EXPECT_TRUE(tracer.Survivors().empty()) << Join(tracer.Survivors());
}

TEST_F(LeakTracerTest, ReportsEachKindOfLeakWithItsOrigin) {
  struct Case {
    const char* leak;
    std::string expected;  // the start of the description, before the handle
    std::string origin;    // after the handle
    std::function<void(void*)> release;
  };
  const std::vector<Case> cases = {
      {"LeakKey", "HKEY ", " from RegOpenKeyExA (HKEY_CURRENT_USER\\Software)",
       [](void* h) { RegCloseKey(static_cast<HKEY>(h)); }},
      {"LeakHook", "HHOOK ", " from SetWindowsHookExA", [](void* h) { UnhookWindowsHookEx(static_cast<HHOOK>(h)); }},
      {"LeakThreadTimer", "timer ", " from SetTimer (thread timer)",
       [](void* h) { KillTimer(nullptr, reinterpret_cast<UINT_PTR>(h)); }},
      {"LeakDc", "HDC ", " from GetDC", [](void* h) { ReleaseDC(nullptr, static_cast<HDC>(h)); }},
      {"LeakHeap", "heap block ", " from HeapAlloc (24 bytes)", [](void* h) { HeapFree(GetProcessHeap(), 0, h); }},
      {"LeakGrownHeap", "heap block ", " from HeapReAlloc (65536 bytes)",
       [](void* h) { HeapFree(GetProcessHeap(), 0, h); }},
      {"LeakIcon", "HICON ", " from LoadImageA (#32516)", [](void* h) { DestroyIcon(static_cast<HICON>(h)); }},
      {"LeakLibrary", "HMODULE ", " from LoadLibraryA (msimg32.dll)",
       [](void* h) { FreeLibrary(static_cast<HMODULE>(h)); }},
  };
  LeakTracer tracer(dll_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.leak);
    tracer.Start();
    void* handle = Leak(c.leak);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(tracer.Survivors(), std::vector<std::string>{c.expected + Hex(handle) + c.origin});
    c.release(handle);
  }

  tracer.Start();
  const HRESULT hr = Export<HRESULT (*)()>("LeakComInit")();
  ASSERT_TRUE(SUCCEEDED(hr));
  const std::vector<std::string> survivors = tracer.Survivors();
  ASSERT_EQ(survivors.size(), 1u) << Join(survivors);
  EXPECT_TRUE(StartsWith(survivors[0], "COM initialised 1 ")) << survivors[0];
  CoUninitialize();
}

TEST_F(LeakTracerTest, CallerIconIsReportedUntilTheDllDestroysIt) {
  LeakTracer tracer(dll_);
  tracer.Start();
  auto destroy = Export<BOOL (*)(HICON)>("DestroyCallerIcon");
  // The caller's own icons, made through the test's imports, so the tracer never sees them made.
  HICON promised = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
  HICON unpromised = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
  ASSERT_NE(promised, nullptr);
  ASSERT_NE(unpromised, nullptr);
  tracer.ExpectDestroyedByContract(promised);

  std::vector<std::string> survivors = tracer.Survivors();
  ASSERT_EQ(survivors.size(), 1u) << Join(survivors);
  EXPECT_TRUE(StartsWith(survivors[0], "HICON " + Hex(promised) + " ")) << survivors[0];

  EXPECT_TRUE(destroy(promised));
  EXPECT_TRUE(tracer.Survivors().empty()) << Join(tracer.Survivors());
  std::vector<std::string> notes = tracer.Notes();
  ASSERT_EQ(notes.size(), 1u) << Join(notes);
  EXPECT_NE(notes[0].find(Hex(promised)), std::string::npos) << notes[0];
  EXPECT_NE(notes[0].find("contract"), std::string::npos) << notes[0];

  // Destroying an icon nobody promised is noted, since it is someone else's.
  EXPECT_TRUE(destroy(unpromised));
  notes = tracer.Notes();
  ASSERT_EQ(notes.size(), 2u) << Join(notes);
  EXPECT_NE(notes[1].find(Hex(unpromised)), std::string::npos) << notes[1];
  EXPECT_NE(notes[1].find("did not create"), std::string::npos) << notes[1];
  EXPECT_TRUE(tracer.Survivors().empty()) << Join(tracer.Survivors());
}

TEST_F(LeakTracerTest, RedirectsTheImportTableOnlyWhileItExists) {
  auto entry = Export<void* (*)()>("CreateSolidBrushEntry");
  ASSERT_NE(entry, nullptr);
  void* const original = entry();
  {
    LeakTracer tracer(dll_);
    EXPECT_NE(entry(), original);
    for (const char* name : {"CreateSolidBrush", "DeleteObject", "RegOpenKeyExA", "RegCloseKey", "HeapAlloc"}) {
      EXPECT_NE(std::find(tracer.Patched().begin(), tracer.Patched().end(), name), tracer.Patched().end()) << name;
    }
    EXPECT_THROW({ LeakTracer second(dll_); }, std::logic_error);
  }
  EXPECT_EQ(entry(), original);
  Run("CleanBrush");  // still works through the restored entry

  {
    LeakTracer again(dll_);  // the first one is gone, so another may start
    Run("CleanBrush");
    EXPECT_EQ(again.Created("CreateSolidBrush"), 1u);
  }
  EXPECT_THROW({ LeakTracer none(nullptr); }, std::invalid_argument);
  std::vector<char> notAModule(4096);
  EXPECT_THROW({ LeakTracer bogus(reinterpret_cast<HMODULE>(notAModule.data())); }, std::invalid_argument);
}

TEST_F(LeakTracerTest, CountsCallsFromSeveralThreads) {
  LeakTracer tracer(dll_);
  tracer.Start();
  auto clean = Export<void (*)()>("CleanBrush");
  ASSERT_NE(clean, nullptr);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([clean] {
      for (int i = 0; i < 2000; ++i) clean();
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(tracer.Created("CreateSolidBrush"), 16000u);
  EXPECT_TRUE(tracer.Survivors().empty()) << Join(tracer.Survivors());
}

}  // namespace
}  // namespace commonq::testing
