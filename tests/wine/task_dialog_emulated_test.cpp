// The library's own task dialog, as a host on Windows XP gets it: results, notifications, the
// TDM_* messages, the expando, the caller's icons and Ctrl+C. Runs in commonq_wine_tests_xp.exe.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <shlwapi.h>

#include "support/dialog_driver.h"
#include "support/import_redirect.h"
#include "taskdialog/task_dialog_metrics.h"
#include "wine/task_dialog_support.h"

namespace commonq::testing {
namespace {

constexpr int kMainInstruction = 0x7401;
constexpr int kContent = 0x7403;
constexpr int kVerification = 0x7404;
constexpr int kExpandoButton = 0x7405;
constexpr int kExpandoLabel = 0x7406;
constexpr int kExpandedInformation = 0x7407;
constexpr int kFooter = 0x7408;
constexpr int kProgressBar = 0x740A;
constexpr int kFirstCustom = 0x740B;
constexpr int kFirstRadio = 0x7420;

// Every handle the DLL passes to DestroyIcon, recorded behind the leak tracer's own entry.
std::vector<HICON> g_destroyedIcons;
decltype(&::DestroyIcon) g_destroyIcon = nullptr;

BOOL WINAPI RecordingDestroyIcon(HICON icon) {
  g_destroyedIcons.push_back(icon);
  return g_destroyIcon(icon);
}

size_t TimesDestroyed(HICON icon) { return std::count(g_destroyedIcons.begin(), g_destroyedIcons.end(), icon); }

HICON MakeCallerIcon() {
  return ::CreateIcon(nullptr, 32, 32, 1, 1, std::vector<BYTE>(128, 0xFF).data(), std::vector<BYTE>(128).data());
}

const TASKDIALOG_BUTTON kButtons[] = {{101, L"First"}, {102, L"Second\nWith a note"}, {103, L"Third"}};
const TASKDIALOG_BUTTON kRadios[] = {{201, L"Alpha"}, {202, L"Beta"}, {203, L"Gamma"}};

RECT ClientRectOf(HWND dialog, int id) {
  RECT rect{};
  HWND control = ::GetDlgItem(dialog, id);
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int ClientHeight(HWND dialog) {
  RECT client{};
  ::GetClientRect(dialog, &client);
  return client.bottom;
}

class EmulatedRun : public EmulatedTaskDialogTest {
 protected:
  // For dialogs that the callback ends before they show: the driver only guards the test.
  HRESULT ShowGuarded(const TASKDIALOGCONFIG& config) {
    DialogDriver guard;
    guard.Start();
    const HRESULT result = TaskDialogIndirect98(&config, &button_, &radio_, &verification_);
    EXPECT_TRUE(guard.Errors().empty()) << guard.Errors().front();
    return result;
  }
  HRESULT Show(const TASKDIALOGCONFIG& config, DialogDriver& driver) {
    driver.Start();
    const HRESULT result = TaskDialogIndirect98(&config, &button_, &radio_, &verification_);
    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(driver.Errors().empty()) << driver.Errors().front();
    return result;
  }
};

TEST_F(EmulatedRun, CommonButtonEndsTheDialogWithItsIdAndNotificationsInOrder) {
  TASKDIALOGCONFIG config = Config();
  config.pszMainInstruction = L"Instruction";
  config.pszContent = L"Content";
  config.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
  DialogDriver driver;
  driver.WaitForDialog("Task")
      .Read([](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, kMainInstruction), "Instruction");
        EXPECT_EQ(ControlText(dialog, IDOK), "&OK");
        EXPECT_EQ(ControlText(dialog, IDCANCEL), "&Cancel");
        // The Cancel button brings the close box with it.
        EXPECT_NE(::GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU, 0);
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, IDOK));
      })
      .Click(IDOK)
      .WaitUntilGone();
  EXPECT_EQ(Show(config, driver), S_OK);
  EXPECT_EQ(button_, IDOK);
  EXPECT_EQ(radio_, 0);
  EXPECT_EQ(verification_, FALSE);
  const std::vector<UINT> expected = {TDN_DIALOG_CONSTRUCTED, TDN_CREATED, TDN_BUTTON_CLICKED, TDN_DESTROYED};
  EXPECT_EQ(recorder_.Codes(), expected);
  EXPECT_EQ(recorder_.seen[2].wParam, static_cast<WPARAM>(IDOK));
}

TEST_F(EmulatedRun, NoButtonsGiveExactlyOneOkAndPushButtonsReturnTheirIds) {
  TASKDIALOGCONFIG plain = Config();
  DialogDriver driver;
  driver.WaitForDialog("Task")
      .Read([](HWND dialog) {
        EXPECT_NE(::GetDlgItem(dialog, IDOK), nullptr);
        EXPECT_EQ(::GetDlgItem(dialog, IDCANCEL), nullptr);
        EXPECT_EQ(::GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU, 0);
      })
      .Key(VK_RETURN)
      .WaitUntilGone();
  EXPECT_EQ(Show(plain, driver), S_OK);
  EXPECT_EQ(button_, IDOK);

  TASKDIALOGCONFIG custom = Config();
  custom.cButtons = 3;
  custom.pButtons = kButtons;
  custom.nDefaultButton = 103;
  DialogDriver second;
  second.WaitForDialog("Task")
      .Read([](HWND dialog) {
        EXPECT_EQ(::GetDlgItem(dialog, IDOK), nullptr);
        EXPECT_EQ(::SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(kFirstCustom + 2, DC_HASDEFID));
      })
      .Click(kFirstCustom + 1)
      .WaitUntilGone();
  EXPECT_EQ(Show(custom, second), S_OK);
  EXPECT_EQ(button_, 102);
  EXPECT_EQ(recorder_.Count(TDN_BUTTON_CLICKED), 2u);
  EXPECT_EQ(recorder_.seen.back().code, TDN_DESTROYED);
}

TEST_F(EmulatedRun, CommandLinksAreOwnerDrawnAndReturnTheButtonId) {
  TASKDIALOGCONFIG config = Config();
  config.dwFlags = TDF_USE_COMMAND_LINKS;
  config.cButtons = 3;
  config.pButtons = kButtons;
  config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
  DialogDriver driver;
  driver.WaitForDialog("Task")
      .Read([](HWND dialog) {
        HWND link = ::GetDlgItem(dialog, kFirstCustom + 1);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(::GetWindowLongA(link, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_EQ(ControlText(dialog, kFirstCustom + 1), "Second\nWith a note");
        // Links stack below each other; Cancel stays in the row beneath them.
        EXPECT_LE(ClientRectOf(dialog, kFirstCustom).bottom, ClientRectOf(dialog, kFirstCustom + 1).top);
        EXPECT_GT(ClientRectOf(dialog, IDCANCEL).top, ClientRectOf(dialog, kFirstCustom + 2).bottom);
      })
      .Click(kFirstCustom + 2)
      .WaitUntilGone();
  EXPECT_EQ(Show(config, driver), S_OK);
  EXPECT_EQ(button_, 103);
}

TEST_F(EmulatedRun, EscapeAndTheCloseBoxEndWithCancel) {
  TASKDIALOGCONFIG config = Config();
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  DialogDriver escape;
  escape.WaitForDialog("Task").Key(VK_ESCAPE).WaitUntilGone();
  EXPECT_EQ(Show(config, escape), S_OK);
  EXPECT_EQ(button_, IDCANCEL);

  // Without TDF_ALLOW_DIALOG_CANCELLATION the close command is ignored.
  DialogDriver ignored;
  ignored.WaitForDialog("Task")
      .Read([](HWND dialog) { ::SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); })
      .Pause(100)
      .Read([](HWND dialog) { EXPECT_TRUE(::IsWindowVisible(dialog)); })
      .Click(IDOK)
      .WaitUntilGone();
  EXPECT_EQ(Show(config, ignored), S_OK);
  EXPECT_EQ(button_, IDOK);

  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
  recorder_.seen.clear();
  DialogDriver closed;
  closed.WaitForDialog("Task")
      .Read([](HWND dialog) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); })
      .WaitUntilGone();
  EXPECT_EQ(Show(config, closed), S_OK);
  EXPECT_EQ(button_, IDCANCEL);
  ASSERT_EQ(recorder_.Count(TDN_BUTTON_CLICKED), 1u);
}

TEST_F(EmulatedRun, RadioResultWithAndWithoutDefault) {
  TASKDIALOGCONFIG config = Config();
  config.cRadioButtons = 3;
  config.pRadioButtons = kRadios;
  config.nDefaultRadioButton = 202;
  DialogDriver byDefault;
  byDefault.WaitForDialog("Task")
      .Read([](HWND dialog) { EXPECT_TRUE(IsChecked(dialog, kFirstRadio + 1)); })
      .Click(IDOK)
      .WaitUntilGone();
  EXPECT_EQ(Show(config, byDefault), S_OK);
  EXPECT_EQ(radio_, 202);
  // The default selection is not reported.
  EXPECT_EQ(recorder_.Count(TDN_RADIO_BUTTON_CLICKED), 0u);

  config.nDefaultRadioButton = 999;  // matches none: the first one
  DialogDriver first;
  first.WaitForDialog("Task").Click(kFirstRadio + 2).Click(IDOK).WaitUntilGone();
  EXPECT_EQ(Show(config, first), S_OK);
  EXPECT_EQ(radio_, 203);
  ASSERT_EQ(recorder_.Count(TDN_RADIO_BUTTON_CLICKED), 1u);

  config.dwFlags = TDF_NO_DEFAULT_RADIO_BUTTON;
  DialogDriver none;
  none.WaitForDialog("Task")
      .Read([](HWND dialog) {
        for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsChecked(dialog, kFirstRadio + i));
      })
      .Click(IDOK)
      .WaitUntilGone();
  EXPECT_EQ(Show(config, none), S_OK);
  EXPECT_EQ(radio_, 0);
}

TEST_F(EmulatedRun, VerificationStateIsReportedAndReturned) {
  TASKDIALOGCONFIG config = Config();
  config.pszVerificationText = L"Do not ask again";
  config.dwFlags = TDF_VERIFICATION_FLAG_CHECKED;
  DialogDriver keep;
  keep.WaitForDialog("Task").Click(IDOK).WaitUntilGone();
  EXPECT_EQ(Show(config, keep), S_OK);
  EXPECT_EQ(verification_, TRUE);

  DialogDriver untick;
  untick.WaitForDialog("Task").SetCheck(kVerification, false).Click(IDOK).WaitUntilGone();
  EXPECT_EQ(Show(config, untick), S_OK);
  EXPECT_EQ(verification_, FALSE);
  ASSERT_EQ(recorder_.Count(TDN_VERIFICATION_CLICKED), 1u);
  for (const Notification& n : recorder_.seen) {
    if (n.code == TDN_VERIFICATION_CLICKED) {
      EXPECT_EQ(n.wParam, 0u);
    }
  }
}

TEST_F(EmulatedRun, SFalseFromTheCallbackKeepsTheDialogOpen) {
  TASKDIALOGCONFIG config = Config();
  config.dwCommonButtons = TDCBF_YES_BUTTON | TDCBF_NO_BUTTON;
  int refusals = 1;
  recorder_.answer = [&refusals](HWND, UINT code, WPARAM, LPARAM) -> HRESULT {
    if (code == TDN_BUTTON_CLICKED && refusals-- > 0) return S_FALSE;
    return S_OK;
  };
  DialogDriver driver;
  driver.WaitForDialog("Task")
      .Click(IDYES)
      .Pause(100)
      .Read([](HWND dialog) { EXPECT_TRUE(::IsWindow(dialog)); })
      .Click(IDNO)
      .WaitUntilGone();
  EXPECT_EQ(Show(config, driver), S_OK);
  EXPECT_EQ(button_, IDNO);
  EXPECT_EQ(recorder_.Count(TDN_BUTTON_CLICKED), 2u);
}

TEST_F(EmulatedRun, MessagesFromTheCallbackAnswerAsTheNativeDialog) {
  TASKDIALOGCONFIG config = Config();
  config.pszContent = L"Old content";
  config.pszMainInstruction = L"Old instruction";
  config.pszVerificationText = L"Check";
  config.dwFlags = TDF_SHOW_PROGRESS_BAR;
  config.cButtons = 2;
  config.pButtons = kButtons;
  config.cRadioButtons = 2;
  config.pRadioButtons = kRadios;
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  std::vector<LRESULT> answers;
  std::string contentAfter, instructionAfter;
  int progressPos = -1;
  bool verificationAfter = false, buttonEnabled = true, radioEnabled = true, marqueeStyle = false;
  recorder_.answer = [&](HWND dialog, UINT code, WPARAM, LPARAM) -> HRESULT {
    if (code != TDN_CREATED) return S_OK;
    answers.push_back(::SendMessageA(dialog, TDM_SET_ELEMENT_TEXT, TDE_CONTENT, (LPARAM)L"New content"));
    answers.push_back(::SendMessageA(dialog, TDM_UPDATE_ELEMENT_TEXT, TDE_MAIN_INSTRUCTION, (LPARAM)L"New main"));
    answers.push_back(::SendMessageA(dialog, TDM_SET_ELEMENT_TEXT, 4, (LPARAM)L"Nothing"));
    answers.push_back(::SendMessageA(dialog, TDM_ENABLE_BUTTON, 102, FALSE));
    answers.push_back(::SendMessageA(dialog, TDM_ENABLE_RADIO_BUTTON, 202, FALSE));
    answers.push_back(::SendMessageA(dialog, TDM_ENABLE_BUTTON, 555, FALSE));
    answers.push_back(::SendMessageA(dialog, TDM_SET_PROGRESS_BAR_RANGE, 0, MAKELPARAM(0, 50)));
    answers.push_back(::SendMessageA(dialog, TDM_SET_PROGRESS_BAR_POS, 20, 0));
    answers.push_back(::SendMessageA(dialog, TDM_CLICK_VERIFICATION, TRUE, FALSE));
    answers.push_back(::SendMessageA(dialog, TDM_CLICK_RADIO_BUTTON, 201, 0));
    answers.push_back(::SendMessageA(dialog, TDM_NAVIGATE_PAGE, 0, 0));
    answers.push_back(::SendMessageA(dialog, TDM_SET_PROGRESS_BAR_STATE, PBST_PAUSED, 0));
    answers.push_back(::SendMessageA(dialog, TDM_SET_MARQUEE_PROGRESS_BAR, TRUE, 0));
    answers.push_back(::SendMessageA(dialog, TDM_SET_PROGRESS_BAR_MARQUEE, TRUE, 50));
    contentAfter = ControlText(dialog, kContent);
    instructionAfter = ControlText(dialog, kMainInstruction);
    progressPos = static_cast<int>(::SendDlgItemMessageA(dialog, kProgressBar, PBM_GETPOS, 0, 0));
    verificationAfter = IsChecked(dialog, kVerification);
    buttonEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, kFirstCustom + 1));
    radioEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, kFirstRadio + 1));
    marqueeStyle = (::GetWindowLongA(::GetDlgItem(dialog, kProgressBar), GWL_STYLE) & PBS_MARQUEE) != 0;
    answers.push_back(::SendMessageA(dialog, TDM_CLICK_BUTTON, IDOK, 0));
    return S_OK;
  };
  EXPECT_EQ(ShowGuarded(config), S_OK);
  // ENABLE_* answer what EnableWindow answers: 0 for a window that was enabled. The progress
  // state and marquee answer 1 because the bar answered non-zero (the previous state, PBST_NORMAL,
  // and TRUE).
  const std::vector<LRESULT> expected = {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0};
  EXPECT_EQ(answers, expected);
  EXPECT_EQ(contentAfter, "New content");
  EXPECT_EQ(instructionAfter, "New main");
  EXPECT_EQ(progressPos, 20);
  EXPECT_TRUE(verificationAfter);
  EXPECT_FALSE(buttonEnabled);
  EXPECT_FALSE(radioEnabled);
  EXPECT_TRUE(marqueeStyle);
  EXPECT_EQ(button_, IDOK);
  EXPECT_EQ(radio_, 201);
  EXPECT_EQ(verification_, TRUE);
  // The verification click sends no notification; the radio click does.
  EXPECT_EQ(recorder_.Count(TDN_VERIFICATION_CLICKED), 0u);
  EXPECT_EQ(recorder_.Count(TDN_RADIO_BUTTON_CLICKED), 1u);
}

TEST_F(EmulatedRun, TimerReportsElapsedTimeAndResets) {
  TASKDIALOGCONFIG config = Config();
  config.dwFlags = TDF_CALLBACK_TIMER;
  std::vector<WPARAM> ticks;
  recorder_.answer = [&ticks](HWND dialog, UINT code, WPARAM wParam, LPARAM) -> HRESULT {
    if (code != TDN_TIMER) return S_OK;
    ticks.push_back(wParam);
    if (ticks.size() == 5) ::PostMessageA(dialog, TDM_CLICK_BUTTON, IDOK, 0);
    return ticks.size() == 3 ? S_FALSE : S_OK;  // reset once, after the third tick
  };
  DialogDriver driver;
  driver.WaitForDialog("Task").WaitUntilGone();
  EXPECT_EQ(Show(config, driver), S_OK);
  ASSERT_GE(ticks.size(), 5u);
  EXPECT_GE(ticks[0], 150u);
  EXPECT_GT(ticks[1], ticks[0]);
  EXPECT_GT(ticks[2], ticks[1]);
  EXPECT_LT(ticks[3], ticks[2]);  // counted again from the reset
  EXPECT_EQ(button_, IDOK);
}

TEST_F(EmulatedRun, ExpandoInTheContentAreaMovesTheControlsBelow) {
  TASKDIALOGCONFIG config = Config();
  config.pszContent = L"Content";
  config.pszExpandedInformation = L"Line one of the details\nLine two\nLine three";
  config.pszFooter = L"Footer";
  RECT okCollapsed{}, okExpanded{};
  int heightCollapsed = 0, heightExpanded = 0, detailsHeight = 0;
  DialogDriver driver;
  driver.WaitForDialog("Task")
      .Read([&](HWND dialog) {
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, kExpandedInformation)));
        EXPECT_EQ(ControlText(dialog, kExpandoLabel), "Show details");
        okCollapsed = ClientRectOf(dialog, IDOK);
        heightCollapsed = ClientHeight(dialog);
        const RECT details = ClientRectOf(dialog, kExpandedInformation);
        detailsHeight = details.bottom - details.top;
      })
      .Command(kExpandoLabel)
      .Pause(100)
      .Read([&](HWND dialog) {
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, kExpandedInformation)));
        EXPECT_EQ(ControlText(dialog, kExpandoLabel), "Hide details");
        okExpanded = ClientRectOf(dialog, IDOK);
        heightExpanded = ClientHeight(dialog);
      })
      .Click(IDOK)
      .WaitUntilGone();
  EXPECT_EQ(Show(config, driver), S_OK);
  EXPECT_GT(detailsHeight, 0);
  EXPECT_EQ(okExpanded.top - okCollapsed.top, heightExpanded - heightCollapsed);
  EXPECT_GE(okExpanded.top - okCollapsed.top, detailsHeight);
  ASSERT_EQ(recorder_.Count(TDN_EXPANDO_BUTTON_CLICKED), 1u);
  for (const Notification& n : recorder_.seen) {
    if (n.code == TDN_EXPANDO_BUTTON_CLICKED) {
      EXPECT_EQ(n.wParam, 1u);
    }
  }
}

TEST_F(EmulatedRun, ExpandoInTheFooterAreaCutsTheDetailsOff) {
  TASKDIALOGCONFIG config = Config();
  config.pszContent = L"Content";
  config.pszExpandedInformation = L"Details below the footer";
  config.pszExpandedControlText = L"Fewer";
  config.pszCollapsedControlText = L"More";
  config.pszFooter = L"Footer";
  config.dwFlags = TDF_EXPAND_FOOTER_AREA | TDF_EXPANDED_BY_DEFAULT;
  int expandedHeight = 0, collapsedHeight = 0;
  RECT footerBefore{}, footerAfter{}, details{};
  DialogDriver driver;
  driver.WaitForDialog("Task")
      .Read([&](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, kExpandoLabel), "Fewer");
        expandedHeight = ClientHeight(dialog);
        footerBefore = ClientRectOf(dialog, kFooter);
        details = ClientRectOf(dialog, kExpandedInformation);
      })
      .Command(kExpandoButton)
      .Pause(100)
      .Read([&](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, kExpandoLabel), "More");
        collapsedHeight = ClientHeight(dialog);
        footerAfter = ClientRectOf(dialog, kFooter);
      })
      .Click(IDOK)
      .WaitUntilGone();
  EXPECT_EQ(Show(config, driver), S_OK);
  EXPECT_EQ(footerBefore.top, footerAfter.top);
  EXPECT_LT(collapsedHeight, details.top);
  EXPECT_GT(expandedHeight, details.bottom - 1);
  ASSERT_EQ(recorder_.Count(TDN_EXPANDO_BUTTON_CLICKED), 1u);
}

TEST_F(EmulatedRun, CallersIconsAreDestroyed) {
  HICON main = ::CreateIcon(nullptr, 32, 32, 1, 1, std::vector<BYTE>(128, 0xFF).data(), std::vector<BYTE>(128).data());
  HICON footer = ::CopyIcon(main);
  ASSERT_NE(main, nullptr);
  Tracer().ExpectDestroyedByContract(main);
  Tracer().ExpectDestroyedByContract(footer);
  TASKDIALOGCONFIG config = Config();
  config.dwFlags = TDF_USE_HICON_MAIN | TDF_USE_HICON_FOOTER;
  config.hMainIcon = main;
  config.hFooterIcon = footer;
  config.pszFooter = L"Footer";
  DialogDriver driver;
  driver.WaitForDialog("Task").Click(IDOK).WaitUntilGone();
  EXPECT_EQ(Show(config, driver), S_OK);
  ICONINFO info{};
  EXPECT_FALSE(::GetIconInfo(main, &info));
  EXPECT_FALSE(::GetIconInfo(footer, &info));
}

// Ownership: the caller's icons once the dialog is up (one handle given twice is destroyed once),
// never the system's shared icons, and nothing of the caller's when no dialog came up.
TEST_F(EmulatedRun, IconOwnershipFollowsWhoLoadedTheIcon) {
  g_destroyedIcons.clear();
  ImportRedirect redirect(LibraryModule(), "DestroyIcon", reinterpret_cast<void*>(&RecordingDestroyIcon));
  ASSERT_TRUE(redirect.Active());
  g_destroyIcon = redirect.Original<decltype(&::DestroyIcon)>();

  HICON both = MakeCallerIcon();
  ASSERT_NE(both, nullptr);
  TASKDIALOGCONFIG config = Config();
  config.dwFlags = TDF_USE_HICON_MAIN | TDF_USE_HICON_FOOTER;
  config.hMainIcon = both;
  config.hFooterIcon = both;
  config.pszFooter = L"Footer";
  {
    DialogDriver driver;
    driver.WaitForDialog("Task").Click(IDOK).WaitUntilGone();
    EXPECT_EQ(Show(config, driver), S_OK);
  }
  EXPECT_EQ(TimesDestroyed(both), 1u);

  const int large = ::GetSystemMetrics(SM_CYICON);
  const int small = ::GetSystemMetrics(SM_CYSMICON);
  HICON warning = static_cast<HICON>(
      ::LoadImageA(nullptr, MAKEINTRESOURCEA(32515), IMAGE_ICON, large, large, LR_SHARED | LR_LOADTRANSPARENT));
  HICON information = static_cast<HICON>(
      ::LoadImageA(nullptr, MAKEINTRESOURCEA(32516), IMAGE_ICON, small, small, LR_SHARED | LR_LOADTRANSPARENT));
  HICON application = static_cast<HICON>(
      ::LoadImageA(nullptr, MAKEINTRESOURCEA(32512), IMAGE_ICON, large, large, LR_SHARED | LR_LOADTRANSPARENT));
  config = Config();
  config.pszMainIcon = TD_WARNING_ICON;
  config.pszFooterIcon = TD_INFORMATION_ICON;
  config.pszFooter = L"Footer";
  {
    DialogDriver driver;
    driver.WaitForDialog("Task").Click(IDOK).WaitUntilGone();
    EXPECT_EQ(Show(config, driver), S_OK);
  }
  config.pszMainIcon = MAKEINTRESOURCEW(4711);  // missing: the shared application icon instead
  {
    DialogDriver driver;
    driver.WaitForDialog("Task").Click(IDOK).WaitUntilGone();
    EXPECT_EQ(Show(config, driver), S_OK);
  }
  EXPECT_EQ(TimesDestroyed(warning), 0u);
  EXPECT_EQ(TimesDestroyed(information), 0u);
  EXPECT_EQ(TimesDestroyed(application), 0u);

  // An owner that is no window: the dialog cannot be made, and the caller keeps its icon.
  HICON kept = MakeCallerIcon();
  config = Config();
  config.dwFlags = TDF_USE_HICON_MAIN;
  config.hMainIcon = kept;
  config.hwndParent = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7FFF0));
  EXPECT_EQ(ShowGuarded(config), S_OK);
  EXPECT_EQ(button_, IDCANCEL);
  EXPECT_EQ(TimesDestroyed(kept), 0u);
  ICONINFO info{};
  EXPECT_TRUE(::GetIconInfo(kept, &info));
  ::DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
  ::DestroyIcon(kept);
}

// A host may end the dialog with an id that has no control (IDOK with custom buttons only, Enter
// without a default button, IDABORT): the callback hears of it and the dialog ends with it.
TEST_F(EmulatedRun, IdsWithoutAControlStillEndTheDialog) {
  for (const int id : {IDOK, IDABORT}) {
    SCOPED_TRACE(id);
    recorder_.seen.clear();
    TASKDIALOGCONFIG config = Config();
    config.cButtons = 1;
    config.pButtons = kButtons;
    DialogDriver driver;
    driver.WaitForDialog("Task")
        .Read([id](HWND dialog) { EXPECT_EQ(::GetDlgItem(dialog, id), nullptr); })
        .Command(id)
        .WaitUntilGone();
    EXPECT_EQ(Show(config, driver), S_OK);
    EXPECT_EQ(button_, id);
    bool reported = false;
    for (const Notification& n : recorder_.seen) reported |= n.code == TDN_BUTTON_CLICKED && n.wParam == WPARAM(id);
    EXPECT_TRUE(reported);
  }
}

TEST_F(EmulatedRun, NullOutPointersAreSkipped) {
  TASKDIALOGCONFIG config = Config();
  config.cRadioButtons = 1;
  config.pRadioButtons = kRadios;
  DialogDriver driver;
  driver.WaitForDialog("Task").Click(IDOK).WaitUntilGone();
  driver.Start();
  EXPECT_EQ(TaskDialogIndirect98(&config, nullptr, nullptr, nullptr), S_OK);
  EXPECT_TRUE(driver.Finished());
}

TEST_F(EmulatedRun, CtrlCCopiesTheTextsWithoutChangingTheResult) {
  TASKDIALOGCONFIG config = Config(L"Copy test");
  config.pszMainInstruction = L"Replace the file?";
  config.pszContent = L"It already exists.";
  config.pszVerificationText = L"Always";
  config.pszFooter = L"Footer text";
  config.dwCommonButtons = TDCBF_YES_BUTTON | TDCBF_NO_BUTTON;
  config.nDefaultButton = IDNO;
  DialogDriver driver;
  driver.WaitForDialog("Copy test").Key('C', true).Pause(100).Click(IDYES).WaitUntilGone();
  EXPECT_EQ(Show(config, driver), S_OK);
  EXPECT_EQ(button_, IDYES);
  EXPECT_EQ(ClipboardText(),
            "[Window Title]\r\nCopy test\r\n\r\n"
            "[Main Instruction]\r\nReplace the file?\r\n\r\n"
            "[Content]\r\nIt already exists.\r\n\r\n"
            "[ ] Always\r\n\r\n"
            "[Footer]\r\nFooter text\r\n\r\n"
            "[Yes] [No]");
  const std::vector<UINT> expected = {TDN_DIALOG_CONSTRUCTED, TDN_CREATED, TDN_BUTTON_CLICKED, TDN_DESTROYED};
  EXPECT_EQ(recorder_.Codes(), expected);
}

TEST_F(EmulatedRun, LimitsOnButtonsAndLinks) {
  std::vector<TASKDIALOG_BUTTON> many(21, TASKDIALOG_BUTTON{300, L"Button"});
  TASKDIALOGCONFIG config = Config();
  config.cButtons = 21;
  config.pButtons = many.data();
  button_ = 55;
  EXPECT_EQ(TaskDialogIndirect98(&config, &button_, &radio_, &verification_), E_FAIL);
  EXPECT_EQ(button_, 0);
  EXPECT_EQ(radio_, -1);
  config.cButtons = 0;
  config.cRadioButtons = 21;
  config.pRadioButtons = many.data();
  EXPECT_EQ(TaskDialogIndirect98(&config, &button_, &radio_, &verification_), E_FAIL);
  config.cRadioButtons = 0;
  config.dwFlags = TDF_USE_COMMAND_LINKS_NO_ICON;
  EXPECT_EQ(TaskDialogIndirect98(&config, &button_, &radio_, &verification_), E_FAIL);
  config.dwFlags = TDF_USE_COMMAND_LINKS;
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  EXPECT_EQ(TaskDialogIndirect98(&config, &button_, &radio_, &verification_), E_FAIL);
  EXPECT_TRUE(recorder_.seen.empty());

  // Twenty of each are accepted.
  config.dwFlags = 0;
  config.cButtons = 20;
  config.pButtons = many.data();
  config.cRadioButtons = 20;
  config.pRadioButtons = many.data();
  recorder_.answer = [](HWND dialog, UINT code, WPARAM, LPARAM) -> HRESULT {
    if (code == TDN_CREATED) ::PostMessageA(dialog, TDM_CLICK_BUTTON, 300, 0);
    return S_OK;
  };
  EXPECT_EQ(ShowGuarded(config), S_OK);
  EXPECT_EQ(button_, 300);
  EXPECT_EQ(radio_, 300);
}

// First row at or below `from` whose pixel in column `x` has `color`, or -1.
int FindRow(HDC dc, int x, int from, int to, COLORREF color) {
  for (int y = from; y < to; ++y) {
    if (::GetPixel(dc, x, y) == color) return y;
  }
  return -1;
}

TEST_F(EmulatedRun, PaintsTheSeparatorTheEtchedFooterLineAndTheDefaultLinkFrame) {
  TASKDIALOGCONFIG config = Config(L"Paint");
  config.pszMainInstruction = L"Instruction";
  config.dwFlags = TDF_USE_COMMAND_LINKS;
  config.cButtons = 2;
  config.pButtons = kButtons;
  config.nDefaultButton = 101;
  config.pszFooter = L"Footer";
  const COLORREF separator = LightenSeparator(::ColorAdjustLuma(::GetSysColor(COLOR_BTNSHADOW), 300, TRUE));
  int separatorRow = -1, shadowRow = -1, footerTop = 0, linkBottom = 0;
  COLORREF highlightBelow = CLR_INVALID, linkFrame = CLR_INVALID, linkInside = CLR_INVALID;
  DialogDriver driver;
  driver.WaitForDialog("Paint")
      .Read([](HWND) { ::SetCursorPos(0, 0); })
      .Pause(300)
      .Read([&](HWND dialog) {
        ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        HDC dc = ::GetDC(dialog);
        const RECT link = ClientRectOf(dialog, kFirstCustom);
        const RECT footer = ClientRectOf(dialog, kFooter);
        linkBottom = ClientRectOf(dialog, kFirstCustom + 1).bottom;
        footerTop = footer.top;
        separatorRow = FindRow(dc, 2, linkBottom, footer.top, separator);
        shadowRow = FindRow(dc, 2, separatorRow + 1, footer.top, ::GetSysColor(COLOR_BTNSHADOW));
        highlightBelow = ::GetPixel(dc, 2, shadowRow + 1);
        linkFrame = ::GetPixel(dc, (link.left + link.right) / 2, link.top);
        linkInside = ::GetPixel(dc, (link.left + link.right) / 2, link.top + 1);
        ::ReleaseDC(dialog, dc);
      })
      .Click(kFirstCustom)
      .WaitUntilGone();
  EXPECT_EQ(Show(config, driver), S_OK);
  EXPECT_EQ(button_, 101);
  EXPECT_GE(separatorRow, linkBottom);
  ASSERT_GT(shadowRow, separatorRow);
  EXPECT_EQ(highlightBelow, ::GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_LT(shadowRow, footerTop);
  // The default link's frame is grey with classic common controls.
  EXPECT_EQ(linkFrame, RGB(140, 140, 140));
  EXPECT_NE(linkInside, RGB(140, 140, 140));
}

}  // namespace
}  // namespace commonq::testing
