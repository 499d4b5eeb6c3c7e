// The frame every export shares, seen from the host: calls that overlap are refused, a thread
// whose COM apartment cannot be joined gets the "cannot start" result, and nothing is shown then.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/dialog_driver.h"
#include "wine/every_export.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

class ExportFrameTest : public LibraryTest {};

// While one dialog runs, every export called from inside it (as a host's handler or a task
// dialog callback might) or from a second thread is refused with its "cannot start" result and
// shows nothing; the running dialog ends as usual and the next call works.
class OverlapTest : public LibraryTest, public ::testing::WithParamInterface<ExportCall> {};

TEST_P(OverlapTest, EveryOtherCallIsRefusedWhileThisDialogRuns) {
  const ExportCall& outer = GetParam();
  const std::vector<ExportCall> inner = EveryExport();
  std::vector<int> nested, fromThread;
  DialogDriver driver;
  outer.close(driver, [&](HWND) {
    for (const ExportCall& call : inner) {
      nested.push_back(call.call());
      int result = -1;
      std::thread([&] { result = call.call(); }).join();
      fromThread.push_back(result);
    }
  });
  driver.Start();
  EXPECT_EQ(outer.call(), outer.expected);
  EXPECT_TRUE(driver.Finished());
  ASSERT_EQ(nested.size(), inner.size());
  for (size_t i = 0; i < inner.size(); ++i) {
    EXPECT_EQ(nested[i], inner[i].refused) << inner[i].name << " called from inside";
    EXPECT_EQ(fromThread[i], inner[i].refused) << inner[i].name << " called from a second thread";
  }
  DialogDriver again;
  outer.close(again, nullptr);
  again.Start();
  EXPECT_EQ(outer.call(), outer.expected) << "the refused calls broke the next one";
  EXPECT_TRUE(again.Finished());
}

INSTANTIATE_TEST_SUITE_P(EveryExport, OverlapTest, ::testing::ValuesIn(EveryExport()),
                         [](const ::testing::TestParamInfo<ExportCall>& info) { return std::string(info.param.name); });

struct CallbackCalls {
  std::vector<ExportCall> calls = EveryExport();
  std::vector<int> results;
};

HRESULT CALLBACK CallEveryExportOnCreation(HWND dialog, UINT code, WPARAM, LPARAM, LONG_PTR data) {
  auto* state = reinterpret_cast<CallbackCalls*>(data);
  if (code != TDN_CREATED) return S_OK;
  for (const ExportCall& call : state->calls) state->results.push_back(call.call());
  ::PostMessageW(dialog, TDM_CLICK_BUTTON, IDOK, 0);
  return S_OK;
}

// The task dialog's callback is the one place where the library itself calls the host while a
// dialog runs: an export called from there is refused too, forwarded or emulated.
TEST_F(ExportFrameTest, TaskDialogCallbackCannotCallAnExport) {
  CallbackCalls seen;
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = L"Callback";
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  config.lpCallbackData = reinterpret_cast<LONG_PTR>(&seen);
  config.pfCallback = &CallEveryExportOnCreation;

  DialogDriver watchdog;
  watchdog.WaitForDialog("Callback").WaitUntilGone().Start();
  int button = 0;
  EXPECT_EQ(TaskDialogIndirect98(&config, &button, nullptr, nullptr), S_OK);
  EXPECT_EQ(button, IDOK);
  ASSERT_EQ(seen.results.size(), seen.calls.size());
  for (size_t i = 0; i < seen.calls.size(); ++i)
    EXPECT_EQ(seen.results[i], seen.calls[i].refused) << seen.calls[i].name;
}

TEST_F(ExportFrameTest, ThreadInTheMultithreadedApartmentCannotStart) {
  int box = -1;
  int color = -1;
  bool shown = false;
  std::thread([&] {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    DialogDriver watchdog(1500);
    watchdog.WaitForDialog().Command(IDCANCEL).Start();
    box = MessageBoxDoModal(nullptr, "Text", "Caption", MB_OK, 3031);
    DlgColorParams params{};
    color = DlgColorDialogDoModal(&params);
    shown = watchdog.Finished();
    ::CoUninitialize();
  }).join();
  EXPECT_EQ(box, 0);
  EXPECT_EQ(color, 0);
  EXPECT_FALSE(shown);
  EXPECT_FALSE(KeyExists(kSettingsRoot)) << "a call that cannot start touches no setting";
}

TEST_F(ExportFrameTest, ExportsAreExactlyTheBuiltOnes) {
  EXPECT_NE(::GetProcAddress(LibraryModule(), "MessageBoxDoModal"), nullptr);
  EXPECT_NE(::GetProcAddress(LibraryModule(), "DlgColorDialogDoModal"), nullptr);
  EXPECT_EQ(::GetProcAddress(LibraryModule(), "_MessageBoxDoModal"), nullptr);
  EXPECT_EQ(::GetProcAddress(LibraryModule(), "DllMain"), nullptr);
}

}  // namespace
}  // namespace commonq::testing
