// Every export as a host calls it, closed by script: while one dialog runs, every other call (from
// inside it, as a host's handler or a task dialog callback would, or from a second thread) is
// refused with its "cannot start" result; and many calls in a row leave no handle behind and do
// not grow the process.
//
// COMMONQ_SOAK_CALLS sets the number of calls per export (default 100; tools/test.sh --long runs
// 1000). The calls per second are printed, not asserted: timings belong to the benchmarks. The
// task dialog rows also run in the copy that Wine runs as Windows XP, where it is emulated.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

struct ExportCall {
  const char* name;
  const char* caption;        // of the dialog it shows ("" where the system chooses it)
  std::function<int()> call;  // the export's result (an HRESULT for the task dialog)
  int cancelled, refused;     // what `call` gives when its dialog is cancelled, and when it cannot start
};

void PrintTo(const ExportCall& call, std::ostream* out) { *out << call.name; }

// The record of a call, alive until the end of the call's full expression.
template <typename T>
T* Record(T&& record) {
  return &record;
}

int FileDialog(int(__cdecl* show)(DlgFileParams*), DWORD flags) {
  char file[MAX_PATH] = "scene.png";
  return show(Record(DlgFileParams{sizeof(DlgFileParams), nullptr, file, "PNG (*.png)\0*.png\0All files (*.*)\0*.*\0",
                                   1, nullptr, flags, 1}));
}

int Color() { return DlgColorDialogDoModal(Record(DlgColorParams{0, RGB(1, 2, 3), 0, nullptr, 0})); }

int FormatOptions() { return DlgFormatOptionDoModal(Record(DlgFormatOptionParams{0, 0, ".png"})); }

// A root without subfolders.
int AddFavorite() { return DlgFavDoAddTo(Record(DlgFavParams{0, "C:\\windows\\Fonts", "", "Office chair.obj"})); }

int FileInfo() {
  return DlgFileInfoDoModal(Record(
      DlgFileInfoParams{sizeof(DlgFileInfoParams), "C:\\windows\\notepad.exe", 0, {}, 123456, nullptr, 0, nullptr, 0}));
}

int TaskDialog() {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_EXPAND_FOOTER_AREA;
  config.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
  config.pszWindowTitle = L"Every export";
  config.pszExpandedInformation = L"Textures: wood.png, steel.png";
  int button = 0;
  const HRESULT result = TaskDialogIndirect98(&config, &button, nullptr, nullptr);
  return result == S_OK ? button : static_cast<int>(result);
}

std::vector<ExportCall> EveryExport() {
  return {
      {"MessageBoxDoModal", "Every export",
       [] { return MessageBoxDoModal(nullptr, "Text", "Every export", MB_OKCANCEL, 3031); }, IDCANCEL, 0},
      {"DlgColorDialogDoModal", "", Color, 2, 0},
      {"DlgFileOpenDoModal", "", [] { return FileDialog(DlgFileOpenDoModal, 0); }, 2, 0},
      {"DlgFileSaveasDoModal", "", [] { return FileDialog(DlgFileSaveasDoModal, OFN_ENABLETEMPLATE); }, 2, 0},
      {"DlgFormatOptionDoModal", "Png Save Options", FormatOptions, 2, 0},
      {"DlgFavDoAddTo", "Add a Favorite", AddFavorite, 2, 0},
      {"DlgFileInfoDoModal", "Current File Information", FileInfo, 2, 0},
      {"TaskDialogIndirect98", "Every export", TaskDialog, IDCANCEL, static_cast<int>(E_FAIL)},
  };
}

void ExpectEveryCallRefused() {
  for (const ExportCall& call : EveryExport()) EXPECT_EQ(call.call(), call.refused) << call.name;
}

// Calls `call` with a driver that waits for its dialog, runs `whileUp` on it and cancels it.
void CallAndCancel(
    const ExportCall& call, const std::function<void(HWND)>& whileUp = [](HWND) {}) {
  const auto cancel = [&](DialogDriver& d) {
    d.WaitForDialog(call.caption).Read(whileUp).Command(IDCANCEL).WaitUntilGone();
  };
  EXPECT_EQ(Drive(cancel, call.call), call.cancelled) << call.name;
}

// The process's private committed memory (Wine answers 0 for GetProcessMemoryInfo's PrivateUsage).
SIZE_T PrivateBytes() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION info{};
  for (const char* at = nullptr; ::VirtualQuery(at, &info, sizeof info) == sizeof info && info.RegionSize != 0;
       at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
  }
  return total;
}

class EveryExportTest : public LibraryTest, public ::testing::WithParamInterface<ExportCall> {};

// The first call's dialog tries every export, the calls after it count what is left behind.
TEST_P(EveryExportTest, OtherCallsAreRefusedWhileItRunsAndManyCallsLeaveNoHandleNorGrowth) {
  CallAndCancel(GetParam(), [](HWND) {
    ExpectEveryCallRefused();
    std::thread(ExpectEveryCallRefused).join();
  });
  const char* asked = std::getenv("COMMONQ_SOAK_CALLS");
  const int calls = asked != nullptr && std::atoi(asked) >= 20 ? std::atoi(asked) : 100;
  SIZE_T afterTenth = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 1; i <= calls && !HasFailure(); ++i) {
    CallAndCancel(GetParam());
    const std::vector<std::string> survivors = Tracer().Survivors();
    ASSERT_TRUE(survivors.empty()) << "call " << i << " left " << survivors.front();
    Tracer().Start();  // the tracer's own records would otherwise grow with every call
    if (i == 10) afterTenth = PrivateBytes();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const SIZE_T afterLast = PrivateBytes();
  std::printf("%s: %d calls, %.1f calls/s, private bytes %llu KB after the 10th, %llu KB after the last\n",
              GetParam().name, calls, calls / seconds, static_cast<unsigned long long>(afterTenth / 1024),
              static_cast<unsigned long long>(afterLast / 1024));
  EXPECT_LE(afterLast, afterTenth + 64 * 1024) << "the process grew over " << calls << " calls";
}

const auto kExportName = [](const ::testing::TestParamInfo<ExportCall>& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(EveryExport, EveryExportTest, ::testing::ValuesIn(EveryExport()), kExportName);

}  // namespace
}  // namespace commonq::testing
