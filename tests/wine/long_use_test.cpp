// A long session as a host has it: every export called over and over, each dialog closed by
// script, must leave no handle behind and must not grow the process; and while any dialog is up,
// no page of the library may be writable and executable at once.
//
// COMMONQ_SOAK_CALLS sets the number of calls per export (default 100; tools/test.sh --long runs
// 1000). The calls per second are printed, not asserted: timings belong to the benchmarks. The
// task dialog rows run twice: forwarded here, emulated in the copy that Wine runs as Windows XP.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "support/dialog_driver.h"
#include "wine/every_export.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

bool WritableAndExecutable(DWORD protect) { return (protect & (PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0; }

// Regions of the process that are writable and executable at once, as "base+size" texts.
std::vector<std::string> WritableExecutableRegions(HMODULE inside = nullptr) {
  std::vector<std::string> found;
  MEMORY_BASIC_INFORMATION info{};
  for (const char* at = nullptr; ::VirtualQuery(at, &info, sizeof info) == sizeof info;
       at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT && WritableAndExecutable(info.Protect) &&
        (inside == nullptr || info.AllocationBase == inside)) {
      char text[64];
      std::snprintf(text, sizeof text, "%p+%llx", info.BaseAddress, static_cast<unsigned long long>(info.RegionSize));
      found.emplace_back(text);
    }
    if (info.RegionSize == 0) break;
  }
  return found;
}

// Each section of the library must be mapped with the access its header asks for: code is never
// writable, data never executable.
std::vector<std::string> SectionsOffTheirLinkedProtection(HMODULE module) {
  std::vector<std::string> wrong;
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (section->Misc.VirtualSize == 0) continue;
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(base + section->VirtualAddress, &info, sizeof info) != sizeof info) continue;
    const bool linkedWrite = (section->Characteristics & IMAGE_SCN_MEM_WRITE) != 0;
    const bool linkedExecute = (section->Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0;
    const bool mappedWrite =
        (info.Protect & (PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
    const bool mappedExecute =
        (info.Protect & (PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
    // The loader may map less than the header allows (a relocated page turns read-only again),
    // never more.
    if ((mappedWrite && !linkedWrite) || (mappedExecute && !linkedExecute)) {
      char name[9] = {};
      std::memcpy(name, section->Name, 8);
      char text[96];
      std::snprintf(text, sizeof text, "%s mapped with protection 0x%lx", name, info.Protect);
      wrong.emplace_back(text);
    }
  }
  return wrong;
}

int SoakCalls() {
  const char* text = std::getenv("COMMONQ_SOAK_CALLS");
  const int calls = text != nullptr ? std::atoi(text) : 0;
  return calls >= 20 ? calls : 100;
}

// The process's private committed memory. GetProcessMemoryInfo's PrivateUsage would say the same
// on Windows, but Wine answers 0 there, so the regions are added up directly.
SIZE_T PrivateBytes() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION info{};
  for (const char* at = nullptr; ::VirtualQuery(at, &info, sizeof info) == sizeof info && info.RegionSize != 0;
       at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
  }
  return total;
}

class LongUseTest : public LibraryTest, public ::testing::WithParamInterface<ExportCall> {};

TEST_P(LongUseTest, NoPageOfTheLibraryIsWritableAndExecutableWhileTheDialogRuns) {
  const ExportCall& call = GetParam();
  const std::vector<std::string> before = WritableExecutableRegions();
  std::vector<std::string> inLibrary, appeared, sections;
  DialogDriver driver;
  call.close(driver, [&](HWND) {
    inLibrary = WritableExecutableRegions(LibraryModule());
    for (const std::string& region : WritableExecutableRegions()) {
      if (std::find(before.begin(), before.end(), region) == before.end()) appeared.push_back(region);
    }
    sections = SectionsOffTheirLinkedProtection(LibraryModule());
  });
  driver.Start();
  EXPECT_EQ(call.call(), call.expected);
  EXPECT_TRUE(driver.Finished());
  for (const std::string& error : driver.Errors()) ADD_FAILURE() << error;
  EXPECT_TRUE(inLibrary.empty()) << inLibrary.front();
  EXPECT_TRUE(sections.empty()) << sections.front();
  // Whatever the system allocates for itself stays; nothing writable and executable is new.
  EXPECT_TRUE(appeared.empty()) << appeared.front();
}

TEST_P(LongUseTest, ManyCallsLeaveNoHandleAndDoNotGrowTheProcess) {
  const ExportCall& call = GetParam();
  const int calls = SoakCalls();
  SIZE_T afterTenth = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 1; i <= calls; ++i) {
    DialogDriver driver;
    call.close(driver, nullptr);
    driver.Start();
    ASSERT_EQ(call.call(), call.expected) << "call " << i;
    ASSERT_TRUE(driver.Finished()) << "call " << i << ": " << (driver.Errors().empty() ? "" : driver.Errors().front());
    const std::vector<std::string> survivors = Tracer().Survivors();
    ASSERT_TRUE(survivors.empty()) << "call " << i << " left " << survivors.front();
    Tracer().Start();  // the tracer's own records would otherwise grow with every call
    if (i == 10) afterTenth = PrivateBytes();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const SIZE_T afterLast = PrivateBytes();
  std::printf("%s: %d calls, %.1f calls/s, private bytes %llu KB after the 10th, %llu KB after the last\n", call.name,
              calls, calls / seconds, static_cast<unsigned long long>(afterTenth / 1024),
              static_cast<unsigned long long>(afterLast / 1024));
  EXPECT_LE(afterLast, afterTenth + 64 * 1024) << "the process grew over " << calls << " calls";
}

INSTANTIATE_TEST_SUITE_P(EveryExport, LongUseTest, ::testing::ValuesIn(EveryExport()),
                         [](const ::testing::TestParamInfo<ExportCall>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace commonq::testing
