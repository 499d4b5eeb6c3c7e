// TaskDialogIndirect98 on a Windows with the native task dialog: the call is forwarded unchanged.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "support/dialog_driver.h"
#include "wine/task_dialog_support.h"

namespace commonq::testing {
namespace {

class NativeTaskDialogTest : public TaskDialogTest {
 protected:
  void SetUp() override {
    if (RunsAsWindowsXp()) GTEST_SKIP() << "runs in commonq_wine_tests.exe";
    ASSERT_GE(ReportedWindowsMajorVersion(), 6);
    TaskDialogTest::SetUp();
  }
};

const TASKDIALOG_BUTTON kButtons[] = {{101, L"First"}, {102, L"Second"}};
const TASKDIALOG_BUTTON kRadios[] = {{201, L"Alpha"}, {202, L"Beta"}};

TEST_F(NativeTaskDialogTest, ForwardsAndReturnsTheNativeResults) {
  TASKDIALOGCONFIG config = Config(L"Native");
  config.pszMainInstruction = L"Instruction";
  config.pszVerificationText = L"Check";
  config.cButtons = 2;
  config.pButtons = kButtons;
  config.cRadioButtons = 2;
  config.pRadioButtons = kRadios;
  // The clicks wait for the first timer tick, so the driver sees the dialog come up.
  config.dwFlags = TDF_CALLBACK_TIMER;
  bool emulated = true;
  recorder_.answer = [&emulated](HWND dialog, UINT code, WPARAM, LPARAM) -> HRESULT {
    if (code == TDN_CREATED) emulated = ::GetDlgItem(dialog, 0x7401) != nullptr;
    if (code != TDN_TIMER) return S_OK;
    ::SendMessageW(dialog, TDM_CLICK_VERIFICATION, TRUE, FALSE);
    ::PostMessageW(dialog, TDM_CLICK_BUTTON, 102, 0);
    return S_OK;
  };
  DialogDriver driver;
  driver.WaitForDialog("Native").WaitUntilGone();
  driver.Start();
  EXPECT_EQ(TaskDialogIndirect98(&config, &button_, &radio_, &verification_), S_OK);
  EXPECT_TRUE(driver.Finished());
  EXPECT_FALSE(emulated);
  EXPECT_EQ(button_, 102);
  EXPECT_EQ(radio_, 201);  // the native default: the first radio button
  EXPECT_EQ(verification_, TRUE);
  EXPECT_GE(recorder_.Count(TDN_CREATED), 1u);
}

TEST_F(NativeTaskDialogTest, NullOutPointersGoToTheNativeDialogUnchanged) {
  TASKDIALOGCONFIG config = Config(L"Native");
  config.dwFlags = TDF_CALLBACK_TIMER;
  recorder_.answer = [](HWND dialog, UINT code, WPARAM, LPARAM) -> HRESULT {
    if (code == TDN_TIMER) ::PostMessageW(dialog, TDM_CLICK_BUTTON, IDOK, 0);
    return S_OK;
  };
  DialogDriver driver;
  driver.WaitForDialog("Native").WaitUntilGone();
  driver.Start();
  EXPECT_EQ(TaskDialogIndirect98(&config, nullptr, nullptr, nullptr), S_OK);
  EXPECT_TRUE(driver.Finished());
}

// The system's dialog keeps the caller's icons; the library destroys them after it, as its own
// dialog does, so a host sees the same contract on every Windows.
TEST_F(NativeTaskDialogTest, CallersIconsAreDestroyedAfterTheNativeDialogToo) {
  HICON icon = ::CreateIcon(nullptr, 32, 32, 1, 1, std::vector<BYTE>(128, 0xFF).data(), std::vector<BYTE>(128).data());
  ASSERT_NE(icon, nullptr);
  Tracer().ExpectDestroyedByContract(icon);
  TASKDIALOGCONFIG config = Config(L"Native");
  config.dwFlags = TDF_CALLBACK_TIMER | TDF_USE_HICON_MAIN | TDF_USE_HICON_FOOTER;
  config.hMainIcon = icon;
  config.hFooterIcon = icon;
  config.pszFooter = L"Footer";
  recorder_.answer = [](HWND dialog, UINT code, WPARAM, LPARAM) -> HRESULT {
    if (code == TDN_TIMER) ::PostMessageW(dialog, TDM_CLICK_BUTTON, IDOK, 0);
    return S_OK;
  };
  DialogDriver driver;
  driver.WaitForDialog("Native").WaitUntilGone();
  driver.Start();
  EXPECT_EQ(TaskDialogIndirect98(&config, &button_, nullptr, nullptr), S_OK);
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(button_, IDOK);
  ICONINFO info{};
  EXPECT_FALSE(::GetIconInfo(icon, &info));
}

TEST_F(NativeTaskDialogTest, NullConfigurationIsRefused) {
  button_ = 7;
  EXPECT_EQ(TaskDialogIndirect98(nullptr, &button_, &radio_, &verification_), E_INVALIDARG);
  EXPECT_EQ(button_, 0);
  EXPECT_EQ(radio_, -1);
}

}  // namespace
}  // namespace commonq::testing
