// TaskDialogIndirect98 as a host gets it. On Windows XP (commonq_wine_tests_xp.exe, the
// EmulatedRun tests) the library's own dialog: results, notifications, the TDM_* messages, the
// timer, the expando, the caller's icons and Ctrl+C. On a later Windows the system's dialog, to
// which the call is forwarded unchanged. And the emulation with modern common controls, which
// Wine's comctl32 5.81 never reaches through the export: the platform facts are injected into the
// DLL's own objects linked into this program.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "frame/export_call.h"
#include "frame/unique_handle.h"
#include "taskdialog/logic/task_dialog_values.h"
#include "taskdialog/task_dialog_run.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

using namespace td;

// One notification with its wParam; the timer's ticks count as one, without their times.
using Note = std::pair<UINT, WPARAM>;
using Notes = std::vector<Note>;

// lpCallbackData of the tests: records every notification in order and lets a test answer it.
struct CallbackRecorder {
  Notes notes;
  std::function<HRESULT(HWND, UINT, WPARAM)> answer;
  std::wstring hyperlink;

  static HRESULT CALLBACK Callback(HWND window, UINT code, WPARAM wParam, LPARAM lParam, LONG_PTR data) {
    auto* self = reinterpret_cast<CallbackRecorder*>(data);
    if (code != TDN_TIMER || self->notes.empty() || self->notes.back().first != TDN_TIMER)
      self->notes.emplace_back(code, code == TDN_TIMER ? 0 : wParam);
    if (code == TDN_HYPERLINK_CLICKED) self->hyperlink = reinterpret_cast<const wchar_t*>(lParam);
    return self->answer ? self->answer(window, code, wParam) : S_OK;
  }
};

class TaskDialogTest : public LibraryTest {
 protected:
  TASKDIALOGCONFIG Config(const wchar_t* title = L"Task") {
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.pszWindowTitle = title;
    config.pfCallback = &CallbackRecorder::Callback;
    config.lpCallbackData = reinterpret_cast<LONG_PTR>(&recorder_);
    return config;
  }
  // An icon handed to the run, which must destroy it: the tracer reports it at the end otherwise.
  HICON ContractIcon() {
    HICON icon =
        ::CreateIcon(nullptr, 32, 32, 1, 1, std::vector<BYTE>(128, 0xFF).data(), std::vector<BYTE>(128).data());
    Tracer().ExpectDestroyedByContract(icon);
    return icon;
  }
  // Runs the export (or `run`) with a driver that waits for the dialog (by its title), does `act`
  // and waits until the dialog is gone.
  HRESULT Run(
      const TASKDIALOGCONFIG& config, const std::function<void(DialogDriver&)>& act = [](DialogDriver&) {},
      decltype(&RunTaskDialog) run = &TaskDialogIndirect98) {
    const std::wstring title = config.pszWindowTitle;
    const auto script = [&](DialogDriver& driver) {
      act(driver.WaitForDialog(std::string(title.begin(), title.end())));
      driver.WaitUntilGone();
    };
    return Drive(script, [&] { return run(&config, &button_, &radio_, &verification_); });
  }

  void ExpectNotificationOrder(bool emulated);

  CallbackRecorder recorder_;
  int button_ = -1;
  int radio_ = -1;
  BOOL verification_ = -1;
};

const TASKDIALOG_BUTTON kButtons[] = {{101, L"First"}, {102, L"Second\nWith a note"}, {103, L"Third"}};
const TASKDIALOG_BUTTON kRadios[] = {{201, L"Alpha"}, {202, L"Beta"}, {203, L"Gamma"}};

class EmulatedRun : public TaskDialogTest {
 protected:
  void SetUp() override {
    if (!RunsAsWindowsXp()) GTEST_SKIP() << "runs in commonq_wine_tests_xp.exe";
    TaskDialogTest::SetUp();
  }
};

TEST_F(EmulatedRun, ResultsOfButtonsRadiosAndVerification) {
  enum How { kKey, kClick, kCommand, kUntickThenOk, kCloseBox };
  const struct {
    const char* name;
    TASKDIALOG_FLAGS flags;
    UINT buttons, radios;
    int defaultRadio;
    How how;
    int id, button, radio;
    BOOL verification;
  } cases[] = {
      {"Enter without buttons: one OK", 0, 0, 0, 0, kKey, VK_RETURN, IDOK, 0, FALSE},
      {"Escape", 0, 0, 0, 0, kKey, VK_ESCAPE, IDCANCEL, 0, FALSE},
      {"close box", TDF_ALLOW_DIALOG_CANCELLATION, 0, 0, 0, kCloseBox, 0, IDCANCEL, 0, FALSE},
      {"push button", 0, 3, 0, 0, kClick, IDC_TD_FIRST_BUTTON + 1, 102, 0, FALSE},
      {"command link", TDF_USE_COMMAND_LINKS, 3, 0, 0, kClick, IDC_TD_FIRST_BUTTON + 2, 103, 0, FALSE},
      {"an id without a control (a host's IDABORT)", 0, 1, 0, 0, kCommand, IDABORT, IDABORT, 0, FALSE},
      {"default radio", 0, 0, 3, 202, kClick, IDOK, IDOK, 202, FALSE},
      {"unknown default radio: the first", 0, 0, 3, 9, kClick, IDOK, IDOK, 201, FALSE},
      {"no default radio", TDF_NO_DEFAULT_RADIO_BUTTON, 0, 3, 0, kClick, IDOK, IDOK, 0, FALSE},
      {"verification kept", TDF_VERIFICATION_FLAG_CHECKED, 0, 0, 0, kClick, IDOK, IDOK, 0, TRUE},
      {"verification unticked", TDF_VERIFICATION_FLAG_CHECKED, 0, 0, 0, kUntickThenOk, IDOK, IDOK, 0, FALSE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    recorder_.notes.clear();
    TASKDIALOGCONFIG config = Config();
    config.dwFlags = c.flags, config.cButtons = c.buttons, config.cRadioButtons = c.radios;
    config.pButtons = kButtons, config.pRadioButtons = kRadios, config.nDefaultRadioButton = c.defaultRadio;
    config.pszVerificationText = c.flags & TDF_VERIFICATION_FLAG_CHECKED ? L"Again" : nullptr;
    const auto act = [&c](DialogDriver& d) {
      if (c.how == kKey) d.Key(static_cast<WORD>(c.id));
      if (c.how == kCommand) d.Command(c.id);
      if (c.how == kUntickThenOk) d.SetCheck(IDC_TD_VERIFICATION, false);
      if (c.how == kClick || c.how == kUntickThenOk) d.Click(c.id);
      if (c.how == kCloseBox) d.Read([](HWND dialog) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
    };
    EXPECT_EQ(Run(config, act), S_OK);
    EXPECT_EQ(std::tuple(button_, radio_, verification_), std::tuple(c.button, c.radio, c.verification));
    // Every ending is reported, Escape included, just before the end.
    ASSERT_GE(recorder_.notes.size(), 2u);
    EXPECT_EQ(Notes(recorder_.notes.end() - 2, recorder_.notes.end()),
              (Notes{{TDN_BUTTON_CLICKED, static_cast<WPARAM>(c.button)}, {TDN_DESTROYED, 0}}));
  }
}

// One run: the TDM_* messages, a click the callback refuses, the close box without
// TDF_ALLOW_DIALOG_CANCELLATION, and the timer with its reset.
TEST_F(EmulatedRun, MessagesRefusalsAndTheTimerAnswerAsTheNativeDialog) {
  TASKDIALOGCONFIG config = Config();
  config.pszContent = L"Old content";
  config.pszVerificationText = L"Check";
  config.dwFlags = TDF_SHOW_PROGRESS_BAR | TDF_CALLBACK_TIMER;
  config.cButtons = 2, config.pButtons = kButtons, config.cRadioButtons = 2, config.pRadioButtons = kRadios;
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  std::vector<LRESULT> answers;
  std::vector<WPARAM> ticks;
  recorder_.answer = [&](HWND dialog, UINT code, WPARAM wParam) -> HRESULT {
    const auto send = [&](UINT message, WPARAM w, LPARAM l) {
      answers.push_back(::SendMessageA(dialog, message, w, l));
    };
    if (code == TDN_BUTTON_CLICKED) return ticks.size() < 4 ? S_FALSE : S_OK;
    if (code == TDN_TIMER) ticks.push_back(wParam);
    if (code == TDN_TIMER && ticks.size() == 4) send(TDM_CLICK_BUTTON, IDOK, 0);
    if (code != TDN_CREATED) return ticks.size() == 2 ? S_FALSE : S_OK;  // a reset after the second tick
    send(TDM_SET_ELEMENT_TEXT, TDE_CONTENT, reinterpret_cast<LPARAM>(L"New content"));
    send(TDM_SET_ELEMENT_TEXT, 4, reinterpret_cast<LPARAM>(L"Nothing"));
    send(TDM_ENABLE_BUTTON, 102, FALSE);
    send(TDM_ENABLE_RADIO_BUTTON, 202, FALSE);
    send(TDM_SET_PROGRESS_BAR_POS, 20, 0);
    send(TDM_CLICK_VERIFICATION, TRUE, FALSE);
    send(TDM_CLICK_RADIO_BUTTON, 201, 0);
    send(TDM_SET_PROGRESS_BAR_STATE, PBST_PAUSED, 0);
    send(TDM_CLICK_BUTTON, 101, 0);  // refused by the callback
    send(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(ControlText(dialog, IDC_TD_CONTENT), "New content");
    EXPECT_EQ(::SendDlgItemMessageA(dialog, IDC_TD_PROGRESS_BAR, PBM_GETPOS, 0, 0), 20);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_TD_FIRST_BUTTON + 1)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_TD_FIRST_RADIO + 1)));
    return S_OK;
  };
  EXPECT_EQ(Run(config), S_OK);
  // ENABLE_* answer what EnableWindow answers (0: it was enabled); the state answers the old one.
  EXPECT_EQ(answers, (std::vector<LRESULT>{1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(std::tuple(button_, radio_, verification_), std::tuple(IDOK, 201, TRUE));
  ASSERT_GE(ticks.size(), 4u);
  EXPECT_GE(ticks[0], 150u);
  EXPECT_GT(ticks[1], ticks[0]);
  EXPECT_LT(ticks[2], ticks[1]);  // counted again from the reset
}

TEST_F(EmulatedRun, ExpandoMovesTheControlsBelowOrCutsTheFooterAreaOff) {
  for (const int flags : {0, int{TDF_EXPAND_FOOTER_AREA}}) {
    TASKDIALOGCONFIG config = Config();
    config.pszExpandedInformation = L"Line one of the details\nLine two\nLine three";
    config.pszFooter = L"Footer";
    config.dwFlags = flags;
    RECT ok[2]{}, client[2]{};
    const auto measure = [&](int i) {
      return [&, i](HWND dialog) {
        ::GetWindowRect(::GetDlgItem(dialog, IDOK), &ok[i]);
        ::GetClientRect(dialog, &client[i]);
        EXPECT_EQ(ControlText(dialog, IDC_TD_EXPANDO_LABEL), i == 0 ? "Show details" : "Hide details");
      };
    };
    EXPECT_EQ(Run(config,
                  [&](DialogDriver& d) {
                    d.Read(measure(0)).Command(IDC_TD_EXPANDO_LABEL).Pause(100).Read(measure(1)).Click(IDOK);
                  }),
              S_OK);
    // In the content area the details push the buttons down; in the footer area nothing moves.
    EXPECT_EQ(ok[1].top - ok[0].top, flags ? 0 : client[1].bottom - client[0].bottom);
    EXPECT_GT(client[1].bottom, client[0].bottom);
  }
}

TEST_F(EmulatedRun, CtrlCCopiesTheTexts) {
  TASKDIALOGCONFIG config = Config(L"Copy test");
  config.pszMainInstruction = L"Replace the file?";
  config.pszVerificationText = L"Always";
  config.pszFooter = L"Footer text";
  config.dwCommonButtons = TDCBF_YES_BUTTON | TDCBF_NO_BUTTON;
  std::string copied;
  EXPECT_EQ(Run(config,
                [&copied](DialogDriver& d) {
                  d.Key('C', true).Pause(100).Read([&copied](HWND dialog) {
                    const OpenedClipboard clipboard(dialog);
                    const LockedGlobal text(clipboard ? ::GetClipboardData(CF_TEXT) : nullptr);
                    if (text.get() != nullptr) copied = static_cast<const char*>(text.get());
                  });
                  d.Click(IDYES);
                }),
            S_OK);
  EXPECT_EQ(button_, IDYES);
  EXPECT_EQ(copied,
            "[Window Title]\r\nCopy test\r\n\r\n[Main Instruction]\r\nReplace the file?\r\n\r\n"
            "[ ] Always\r\n\r\n[Footer]\r\nFooter text\r\n\r\n[Yes] [No]");
}

TEST_F(EmulatedRun, LimitsOnButtonsAndLinks) {
  std::vector<TASKDIALOG_BUTTON> many(21, TASKDIALOG_BUTTON{300, L"Button"});
  TASKDIALOGCONFIG config = Config();
  config.pButtons = config.pRadioButtons = many.data();
  for (const auto& [buttons, radios, flags] : {std::tuple{21u, 0u, 0}, {0u, 21u, 0}, {0u, 0u, TDF_USE_COMMAND_LINKS}}) {
    config.cButtons = buttons, config.cRadioButtons = radios, config.dwFlags = flags;
    EXPECT_EQ(TaskDialogIndirect98(&config, &button_, nullptr, nullptr), E_FAIL);
    EXPECT_EQ(button_, 0);
  }
  EXPECT_TRUE(recorder_.notes.empty());
  config.cButtons = config.cRadioButtons = 20, config.dwFlags = 0;  // twenty of each are accepted
  EXPECT_EQ(Run(config, [](DialogDriver& d) { d.Click(IDC_TD_FIRST_BUTTON + 19); }), S_OK);
  EXPECT_EQ(std::tuple(button_, radio_), std::tuple(300, 300));
}

// The notifications in order, one sequence per row, as the system's dialog sends them (the plain
// test program, a later Windows, where the call is forwarded) and as the emulation does (the _xp
// copy); a row with a rule of the library's own gives the emulation's sequence beside the native
// one. The results and the caller's icons, which belong to the run once the dialog is up, go the
// same way in both.
void TaskDialogTest::ExpectNotificationOrder(bool emulated) {
  const Note built{TDN_DIALOG_CONSTRUCTED, 0}, created{TDN_CREATED, 0}, ok{TDN_BUTTON_CLICKED, 101};
  const Note gone{TDN_DESTROYED, 0}, tick{TDN_TIMER, 0}, checked{TDN_VERIFICATION_CLICKED, 1};
  // The steps, one letter each: O clicks the caller's button First with TDM_CLICK_BUTTON (R too,
  // with the callback refusing it), V sends TDM_CLICK_VERIFICATION, T waits for the timer; the
  // others click the control of that text as its parent sees it, the box or radio checked and then
  // BN_CLICKED (BM_CLICK does not reach the parent from the buttons of Wine's own task dialog).
  const std::map<char, const char*> texts = {{'G', "Gamma"}, {'A', "Always"}, {'M', "More"}, {'L', "Less"}};
  bool refuse = false;
  const auto step = [&](char letter) {
    return [&, letter](HWND dialog) {
      refuse = letter == 'R';
      if (letter == 'O' || letter == 'R') ::SendMessageW(dialog, TDM_CLICK_BUTTON, 101, 0);
      if (letter == 'V') ::SendMessageW(dialog, TDM_CLICK_VERIFICATION, TRUE, 0);
      if (!texts.contains(letter)) return;
      HWND control = FindChildByClassAndText(dialog, nullptr, texts.at(letter));
      ASSERT_NE(control, nullptr) << letter;
      const LONG type = ::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
      if (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON) ::SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
      ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), BN_CLICKED), LPARAM(control));
    };
  };
  const Note radio202{TDN_RADIO_BUTTON_CLICKED, 202}, radio203{TDN_RADIO_BUTTON_CLICKED, 203};
  const Note opened{TDN_EXPANDO_BUTTON_CLICKED, 1}, closed{TDN_EXPANDO_BUTTON_CLICKED, 0};
  const struct {
    const char* steps;
    TASKDIALOG_FLAGS flags;
    UINT radios;
    int radio;
    BOOL verified;
    Notes native;
    std::optional<Notes> own = {};  // where the library's rules differ from the native dialog's
  } rows[] = {
      {"O", 0, 0, 0, FALSE, {built, created, ok, gone}},
      {"RO", 0, 0, 0, FALSE, {built, created, ok, ok, gone}},
      {"GO", TDF_NO_DEFAULT_RADIO_BUTTON, 3, 203, FALSE, {built, created, radio203, ok, gone}},
      // The library's rules: no notification for the default radio button nor TDM_CLICK_VERIFICATION.
      {"O", 0, 3, 202, FALSE, {built, created, radio202, ok, gone}, Notes{built, created, ok, gone}},
      {"AO", 0, 0, 0, TRUE, {built, created, checked, ok, gone}},
      {"VO", 0, 0, 0, TRUE, {built, created, checked, ok, gone}, Notes{built, created, ok, gone}},
      {"MLO", 0, 0, 0, FALSE, {built, created, opened, closed, ok, gone}},
      {"TO", TDF_CALLBACK_TIMER, 0, 0, FALSE, {built, created, tick, ok, gone}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.steps);
    recorder_.notes.clear();
    recorder_.answer = [&refuse](HWND, UINT code, WPARAM) {
      return code == TDN_BUTTON_CLICKED && std::exchange(refuse, false) ? S_FALSE : S_OK;
    };
    TASKDIALOGCONFIG config = Config(L"Order");
    config.dwFlags = row.flags | TDF_USE_HICON_MAIN | TDF_USE_HICON_FOOTER;
    config.hMainIcon = config.hFooterIcon = ContractIcon();  // one handle given twice is destroyed once
    config.cRadioButtons = row.radios, config.pRadioButtons = kRadios, config.cButtons = 1, config.pButtons = kButtons;
    config.nDefaultRadioButton = row.flags & TDF_NO_DEFAULT_RADIO_BUTTON ? 0 : 202,
    config.pszVerificationText = L"Always";
    config.pszExpandedInformation = L"Details", config.pszCollapsedControlText = L"More";
    config.pszExpandedControlText = L"Less", config.dwCommonButtons = TDCBF_OK_BUTTON;
    const auto act = [&](DialogDriver& d) {
      for (const char* at = row.steps; *at != 0; ++at) d.Pause(*at == 'T' ? 450 : 100).Read(step(*at));
    };
    EXPECT_EQ(Run(config, act), S_OK);
    EXPECT_EQ(recorder_.notes, emulated && row.own ? *row.own : row.native);
    EXPECT_EQ(std::tie(button_, radio_, verification_), std::tuple(101, row.radio, row.verified));
  }
}

TEST_F(EmulatedRun, NotificationsArriveInTheOrderOfTheNativeDialogOrOfTheLibrarysRules) {
  ExpectNotificationOrder(true);
}

// Forwarded unchanged to the system's dialog, whose notifications and results come back.
TEST_F(TaskDialogTest, LaterWindowsForwardsAndReturnsTheNativeNotificationsAndResults) {
  if (RunsAsWindowsXp()) GTEST_SKIP() << "runs in commonq_wine_tests.exe";
  ExpectNotificationOrder(false);
}

#if COMMONQ_TEST_SEAMS
// The copy of the run linked into this program, whose own handles the test traces instead of the
// library's (one tracer at a time).
class TaskDialogWhiteBox : public TaskDialogTest {
 protected:
  void SetUp() override {}
};

// Modern controls: SysLink texts that report their links, and the system's command links.
TEST_F(TaskDialogWhiteBox, ModernControlsUseSysLinkAndReportHyperlinkClicks) {
  SetLibraryInstance(LibraryModule());  // strings and icons from the library's resources
  const ExportCall call;
  LeakTracer tracer(::GetModuleHandleA(nullptr));
  tracer.Start();
  const TaskDialogPlatform modern{5, true, true};
  OverrideTaskDialogPlatformForTesting(&modern);
  TASKDIALOGCONFIG config = Config(L"Modern");
  config.dwFlags = TDF_ENABLE_HYPERLINKS | TDF_USE_COMMAND_LINKS;
  config.pszFooter = L"<a href=\"https://example.com/\">Open</a> the page";
  config.cButtons = 2, config.pButtons = kButtons, config.nDefaultButton = 102;
  const auto act = [](DialogDriver& d) {
    d.Read([](HWND dialog) {
       HWND link = ::GetDlgItem(dialog, IDC_TD_FIRST_BUTTON + 1), footer = ::GetDlgItem(dialog, IDC_TD_FOOTER);
       EXPECT_EQ(::GetWindowLongA(link, GWL_STYLE) & BS_TYPEMASK, BS_DEFCOMMANDLINK);
       EXPECT_NE(::GetWindowLongA(footer, GWL_STYLE) & WS_TABSTOP, 0) << "a text with links is a tab stop";
       ::SendMessageA(footer, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 6));
       ::SendMessageA(footer, WM_LBUTTONUP, 0, MAKELPARAM(4, 6));
     })
        .Focus(IDC_TD_FOOTER)
        .Key(VK_RETURN)  // follows the focused link as a click does
        .Click(IDC_TD_FIRST_BUTTON);
  };
  // The driver's own hook is gone once Drive returns, before the tracer looks.
  EXPECT_EQ(Run(config, act, &RunTaskDialog), S_OK);
  OverrideTaskDialogPlatformForTesting(nullptr);
  SetLibraryInstance(nullptr);
  EXPECT_EQ(button_, 101);
  EXPECT_EQ(recorder_.hyperlink, L"https://example.com/");
  EXPECT_EQ(std::count(recorder_.notes.begin(), recorder_.notes.end(), Note{TDN_HYPERLINK_CLICKED, 0}), 2);
  EXPECT_TRUE(tracer.Survivors().empty()) << tracer.Survivors().front();
}
#endif

}  // namespace
}  // namespace commonq::testing
