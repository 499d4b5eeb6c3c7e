#pragma once
// The way a host uses the library: this program imports the exports of CommonQ.h from CommonQ.dll
// (through its import table, like any host), so every call reaches the loaded DLL, never the copy
// of its objects that the white-box tests link. Every test starts from a clean settings key and
// runs under the leak tracer.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CommonQ.h"
#include "support/dialog_driver.h"
#include "support/leak_tracer.h"

namespace commonq::testing {

inline constexpr const char* kSettingsRoot = "Software\\Dravonix\\Qelm Explorer";

// Registry access of the tests themselves (never through the library).
void DeleteSettings();
void SetDword(const std::string& key, const std::string& name, DWORD value);
void SetString(const std::string& key, const std::string& name, const std::string& text, DWORD type = REG_SZ);
std::optional<DWORD> GetDword(const std::string& key, const std::string& name);
// A REG_SZ value's text, "(none)" when there is none.
std::string GetText(const std::string& key, const std::string& name);
bool KeyExists(const std::string& key);
inline std::string Key(const std::string& sub) { return std::string(kSettingsRoot) + "\\" + sub; }

HMODULE LibraryModule();
// The copy of the test executable whose name ends in "_xp" runs as Windows XP (where the task
// dialog is the library's emulation); the plain one runs as a later Windows.
bool RunsAsWindowsXp();
// `name` in the temporary folder.
std::string TempPath(const std::string& name);

// Makes the blocking `call` while a driver works through `script`; a script without steps only
// guards (a dialog still open at the timeout is an error and is closed). A script left unfinished
// and every error of the driver fail the test. Returns what `call` returned.
int Drive(const std::function<void(DialogDriver&)>& script, const std::function<int()>& call);

// The client area of `window` as 0x00RRGGBB pixels, row by row from the top: a copy of the screen,
// or what the window prints with WM_PRINTCLIENT over magenta; `after` may draw over it first.
std::vector<std::uint32_t> ClientPixels(HWND window, bool printed, const std::function<void(HDC)>& after = {});

inline constexpr size_t kGuardBytes = 64;

// `size` bytes filled with `fill`, after kGuardBytes guard bytes and before a page of no access.
class FencedBytes {
 public:
  FencedBytes(size_t size, char fill) : size_(size) {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    usable_ = (size + kGuardBytes + info.dwPageSize - 1) / info.dwPageSize * info.dwPageSize;
    // The page after the usable ones is reserved, never committed: any access to it faults.
    base_ = static_cast<char*>(::VirtualAlloc(nullptr, usable_ + info.dwPageSize, MEM_RESERVE, PAGE_NOACCESS));
    ::VirtualAlloc(base_, usable_, MEM_COMMIT, PAGE_READWRITE);
    std::memset(base_, fill, usable_);
  }
  ~FencedBytes() {
    EXPECT_EQ(std::string(data() - kGuardBytes, kGuardBytes), std::string(kGuardBytes, base_[0])) << "written before";
    ::VirtualFree(base_, 0, MEM_RELEASE);
  }
  template <typename T = char>
  T* data() const {
    return reinterpret_cast<T*>(base_ + usable_ - size_);
  }

 private:
  size_t size_, usable_ = 0;
  char* base_ = nullptr;
};

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  LeakTracer& Tracer() { return *tracer_; }

 private:
  std::unique_ptr<LeakTracer> tracer_;
};

// The cases that run in commonq_wine_tests_xp.exe, which Wine runs as Windows XP (the emulated task
// dialog, the classic file dialogs); skipped in the plain test program.
class OnWindowsXp : public LibraryTest {
 protected:
  void SetUp() override {
    if (!RunsAsWindowsXp()) GTEST_SKIP() << "runs in commonq_wine_tests_xp.exe";
    LibraryTest::SetUp();
  }
};

}  // namespace commonq::testing
