// TaskDialogIndirect98 on a Windows with the native task dialog: the call is forwarded unchanged,
// and the caller's icons are destroyed after it as after the library's own dialog. And the
// emulation with modern common controls, which Wine's comctl32 5.81 never reaches through the
// export: the platform facts are injected into the DLL's own objects linked into this program.
#include <gtest/gtest.h>

#include "frame/module_state.h"
#include "taskdialog/task_dialog_run.h"
#include "wine/task_dialog_support.h"

namespace commonq::testing {
namespace {

TEST_F(TaskDialogTest, LaterWindowsForwardsAndReturnsTheNativeResults) {
  if (RunsAsWindowsXp()) GTEST_SKIP() << "runs in commonq_wine_tests.exe";
  ASSERT_GE(ReportedWindowsMajorVersion(), 6);
  const TASKDIALOG_BUTTON buttons[] = {{101, L"First"}, {102, L"Second"}};
  HICON icon = ::CreateIcon(nullptr, 32, 32, 1, 1, std::vector<BYTE>(128, 0xFF).data(), std::vector<BYTE>(128).data());
  Tracer().ExpectDestroyedByContract(icon);
  TASKDIALOGCONFIG config = Config(L"Native");
  config.pszVerificationText = L"Check";
  config.cButtons = config.cRadioButtons = 2;
  config.pButtons = config.pRadioButtons = buttons;
  // The clicks wait for the first timer tick, so the driver sees the dialog come up.
  config.dwFlags = TDF_CALLBACK_TIMER | TDF_USE_HICON_MAIN | TDF_USE_HICON_FOOTER;
  config.hMainIcon = config.hFooterIcon = icon;
  bool emulated = true;
  recorder_.answer = [&emulated](HWND dialog, UINT code, WPARAM) {
    if (code == TDN_CREATED) emulated = ::GetDlgItem(dialog, IDC_TD_MAIN_INSTRUCTION) != nullptr;
    if (code == TDN_TIMER) ::SendMessageW(dialog, TDM_CLICK_VERIFICATION, TRUE, FALSE);
    if (code == TDN_TIMER) ::PostMessageW(dialog, TDM_CLICK_BUTTON, 102, 0);
    return S_OK;
  };
  DialogDriver driver;
  driver.WaitForDialog("Native").WaitUntilGone();
  EXPECT_EQ(Run(config, driver), S_OK);
  EXPECT_TRUE(driver.Finished());
  EXPECT_FALSE(emulated);
  EXPECT_EQ(button_, 102);
  EXPECT_EQ(radio_, 101);  // the native default: the first radio button
  EXPECT_EQ(verification_, TRUE);
  ICONINFO info{};
  EXPECT_FALSE(::GetIconInfo(icon, &info));
  EXPECT_EQ(TaskDialogIndirect98(nullptr, &button_, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(button_, 0);
}

// Modern controls: SysLink texts that report their links, and the system's command links.
TEST(TaskDialogWhiteBox, ModernControlsUseSysLinkAndReportHyperlinkClicks) {
  SetLibraryInstance(LibraryModule());  // strings and icons from the library's resources
  const ExportCall call;
  LeakTracer tracer(::GetModuleHandleA(nullptr));
  tracer.Start();
  const TaskDialogPlatform modern{5, true, true};
  OverrideTaskDialogPlatformForTesting(&modern);
  CallbackRecorder recorder;
  TASKDIALOGCONFIG config = RecordedConfig(recorder, L"Modern");
  config.dwFlags = TDF_ENABLE_HYPERLINKS | TDF_USE_COMMAND_LINKS;
  config.pszFooter = L"<a href=\"https://example.com/\">Open</a> the page";
  const TASKDIALOG_BUTTON buttons[] = {{101, L"Go\nNote"}, {102, L"Stay"}};
  config.cButtons = 2, config.pButtons = buttons, config.nDefaultButton = 102;
  int button = 0;
  {
    DialogDriver driver;  // its own hook must be gone before the tracer looks
    driver.WaitForDialog("Modern")
        .Read([](HWND dialog) {
          HWND link = ::GetDlgItem(dialog, IDC_TD_FIRST_BUTTON + 1), footer = ::GetDlgItem(dialog, IDC_TD_FOOTER);
          EXPECT_EQ(::GetWindowLongA(link, GWL_STYLE) & BS_TYPEMASK, BS_DEFCOMMANDLINK);
          ::SendMessageA(footer, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 6));
          ::SendMessageA(footer, WM_LBUTTONUP, 0, MAKELPARAM(4, 6));
        })
        .Click(IDC_TD_FIRST_BUTTON)
        .WaitUntilGone()
        .Start();
    EXPECT_EQ(RunTaskDialog(&config, &button, nullptr, nullptr), S_OK);
    EXPECT_TRUE(driver.Finished());
  }
  OverrideTaskDialogPlatformForTesting(nullptr);
  SetLibraryInstance(nullptr);
  EXPECT_EQ(button, 101);
  EXPECT_EQ(recorder.hyperlink, L"https://example.com/");
  EXPECT_TRUE(tracer.Survivors().empty()) << tracer.Survivors().front();
}

}  // namespace
}  // namespace commonq::testing
