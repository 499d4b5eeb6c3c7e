// The frame every export shares, seen from the host: calls that overlap are refused, a thread
// whose COM apartment cannot be joined gets the "cannot start" result, and nothing is shown then.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>

#include "support/dialog_driver.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

class ExportFrameTest : public LibraryTest {};

TEST_F(ExportFrameTest, NestedCallsFromInsideARunningDialogAreRefused) {
  int nestedBox = -1;
  int nestedColor = -1;
  DlgColorParams params{};
  params.rgbResult = 0x0BADF00D;
  DialogDriver driver;
  driver.WaitForDialog("Outer").Read([&](HWND) {
    nestedBox = MessageBoxDoModal(nullptr, "Inner", "Inner", MB_OK, 42);
    nestedColor = DlgColorDialogDoModal(&params);
  });
  driver.Command(IDOK).Start();
  EXPECT_EQ(MessageBoxDoModal(nullptr, "Outer", "Outer", MB_OK, 42), IDOK);
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(nestedBox, 0);
  EXPECT_EQ(nestedColor, 0);
  EXPECT_EQ(params.rgbResult, 0x0BADF00Du);
  // The refused calls must not have torn down the running call's state: a later call works.
  DialogDriver again;
  again.WaitForDialog("Later").Command(IDOK).Start();
  EXPECT_EQ(MessageBoxDoModal(nullptr, "Later", "Later", MB_OK, 42), IDOK);
}

TEST_F(ExportFrameTest, CallFromASecondThreadWhileOneRunsIsRefused) {
  int fromThread = -1;
  DialogDriver driver;
  driver.WaitForDialog("First").Read([&](HWND) {
    std::thread([&] { fromThread = MessageBoxDoModal(nullptr, "Second", "Second", MB_OK, 42); }).join();
  });
  driver.Command(IDOK).Start();
  EXPECT_EQ(MessageBoxDoModal(nullptr, "First", "First", MB_OK, 42), IDOK);
  EXPECT_EQ(fromThread, 0);
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
