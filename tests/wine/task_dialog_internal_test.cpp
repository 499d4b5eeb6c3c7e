// White-box tests of the task dialog's Win32 tier, linked from the DLL's own objects: the
// overwrite question, and the branches of a modern system that Wine cannot reach through the
// exports (SysLink texts, native command links), with the platform facts injected.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include "frame/module_state.h"
#include "support/dialog_driver.h"
#include "support/leak_tracer.h"
#include "taskdialog/task_dialog_run.h"
#include "taskdialog/task_message_box.h"
#include "wine/task_dialog_support.h"

namespace commonq::testing {
namespace {

constexpr int kMainIcon = 0x7402;
constexpr int kContent = 0x7403;
constexpr int kFooter = 0x7408;
constexpr int kFirstCustom = 0x740B;

class TaskDialogInternalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(LibraryModule(), nullptr);
    // Strings and icons come from the library's resources, as in the DLL.
    SetLibraryInstance(LibraryModule());
    call_ = std::make_unique<ExportCall>();
    ASSERT_TRUE(call_->Started());
    tracer_ = std::make_unique<LeakTracer>(::GetModuleHandleA(nullptr));
    tracer_->Start();
    OverrideTaskDialogPlatformForTesting(&platform_);
    owner_ = ::CreateWindowExA(0, "STATIC", "Add a Favorite", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    ::DestroyWindow(owner_);
    OverrideTaskDialogPlatformForTesting(nullptr);
    for (const std::string& survivor : tracer_->Survivors()) ADD_FAILURE() << "left alive: " << survivor;
    tracer_.reset();
    call_.reset();
    SetLibraryInstance(nullptr);
  }

  TaskDialogPlatform platform_{5, false, false};
  HWND owner_ = nullptr;
  std::unique_ptr<ExportCall> call_;
  std::unique_ptr<LeakTracer> tracer_;
  CallbackRecorder recorder_;
};

TEST_F(TaskDialogInternalTest, OverwriteQuestionAsksYesOrNoWithTheOwnersTitle) {
  DialogDriver driver;
  driver.WaitForDialog("Add a Favorite")
      .Read([](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, 0x7401), "Confirm File Overwrite");
        EXPECT_EQ(ControlText(dialog, kContent), "Chairs\nalready exists. Overwrite ?");
        EXPECT_EQ(ControlText(dialog, IDYES), "&Yes");
        EXPECT_EQ(ControlText(dialog, IDNO), "&No");
        EXPECT_EQ(::GetDlgItem(dialog, IDOK), nullptr);
        EXPECT_NE(::GetDlgItem(dialog, kMainIcon), nullptr);
        EXPECT_NE(::GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU, 0);
      })
      .Click(IDYES)
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(TaskMessageBox(owner_, "Confirm File Overwrite", "Chairs\nalready exists. Overwrite ?", 0x34), IDYES);
  EXPECT_TRUE(driver.Finished());
  EXPECT_TRUE(driver.Errors().empty()) << driver.Errors().front();
}

TEST_F(TaskDialogInternalTest, OverwriteQuestionEscapeAnswersCancel) {
  DialogDriver driver;
  driver.WaitForDialog("Add a Favorite").Key(VK_ESCAPE).WaitUntilGone();
  driver.Start();
  EXPECT_EQ(TaskMessageBox(owner_, "Confirm File Overwrite", "x", 0x34), IDCANCEL);
  EXPECT_TRUE(driver.Finished());
}

TEST_F(TaskDialogInternalTest, MessageTypesChooseButtonsAndIcon) {
  for (const UINT type : {0x10u, 0x40u, 0x0u}) {
    DialogDriver driver;
    driver.WaitForDialog("Add a Favorite")
        .Read([type](HWND dialog) {
          EXPECT_NE(::GetDlgItem(dialog, IDOK), nullptr) << type;
          EXPECT_EQ(::GetDlgItem(dialog, IDYES), nullptr) << type;
          EXPECT_EQ(::GetDlgItem(dialog, kMainIcon) != nullptr, type != 0) << type;
          // A null content is left out of the question.
          EXPECT_EQ(::GetDlgItem(dialog, kContent), nullptr) << type;
        })
        .Click(IDOK)
        .WaitUntilGone();
    driver.Start();
    EXPECT_EQ(TaskMessageBox(owner_, "Instruction", nullptr, type), IDOK);
    EXPECT_TRUE(driver.Finished()) << type;
  }
}

TEST_F(TaskDialogInternalTest, OverwriteQuestionOnALaterWindowsIsTheNativeDialog) {
  if (RunsAsWindowsXp()) GTEST_SKIP() << "runs in commonq_wine_tests.exe";
  OverrideTaskDialogPlatformForTesting(nullptr);
  DialogDriver driver;
  driver.WaitForDialog("Add a Favorite")
      .Read([](HWND dialog) { EXPECT_EQ(::GetDlgItem(dialog, 0x7401), nullptr); })
      .Command(IDNO)
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(TaskMessageBox(owner_, "Confirm File Overwrite", "Chairs\nalready exists. Overwrite ?", 0x34), IDNO);
  EXPECT_TRUE(driver.Finished());
  EXPECT_TRUE(driver.Errors().empty()) << driver.Errors().front();
}

TEST_F(TaskDialogInternalTest, HelpRequestIsReportedToTheCallback) {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = L"Help";
  config.pfCallback = &CallbackRecorder::Callback;
  config.lpCallbackData = reinterpret_cast<LONG_PTR>(&recorder_);
  DialogDriver driver;
  driver.WaitForDialog("Help")
      .Read([](HWND dialog) {
        HELPINFO help{};
        help.cbSize = sizeof help;
        ::SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
      })
      .Click(IDOK)
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(RunTaskDialog(&config, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(recorder_.Count(TDN_HELP), 1u);
}

TEST_F(TaskDialogInternalTest, StringsComeFromTheLibraryAndAreBounded) {
  // A resource id is always the library's own string, whatever hInstance says.
  EXPECT_EQ(ResolveTaskDialogString(MAKEINTRESOURCEW(3), 2048), "&OK");
  EXPECT_EQ(ResolveTaskDialogString(MAKEINTRESOURCEW(8), 2048), "&Close");
  EXPECT_EQ(ResolveTaskDialogString(MAKEINTRESOURCEW(9999), 2048), "");
  EXPECT_EQ(ResolveTaskDialogString(nullptr, 2048), "");
  EXPECT_EQ(ResolveTaskDialogString(L"Window title that is long", 7), "Window");
  EXPECT_EQ(ResolveTaskDialogString(std::wstring(5000, L'x').c_str(), 2048).size(), 2047u);
}

TEST_F(TaskDialogInternalTest, IconsFallBackToTheApplicationIcon) {
  EXPECT_EQ(LoadTaskDialogIcon(nullptr, nullptr, 32).get(), nullptr);
  // The fallback and the system's icons are shared: the run must never destroy them.
  const TaskDialogIcon missing = LoadTaskDialogIcon(nullptr, MAKEINTRESOURCEW(4711), 32);
  EXPECT_NE(missing.get(), nullptr);
  EXPECT_FALSE(missing.IsOwned());
  const TaskDialogIcon named = LoadTaskDialogIcon(nullptr, L"NO_SUCH_ICON", 16);
  EXPECT_NE(named.get(), nullptr);
  EXPECT_FALSE(named.IsOwned());
  const TaskDialogIcon warning = LoadTaskDialogIcon(nullptr, TD_WARNING_ICON, 32);
  EXPECT_NE(warning.get(), nullptr);
  EXPECT_FALSE(warning.IsOwned());
  const TaskDialogIcon glyph = LoadTaskDialogIcon(nullptr, MAKEINTRESOURCEW(1028), 20);
  EXPECT_TRUE(glyph.IsOwned());
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(glyph.get(), &info));
  BITMAP bitmap{};
  ::GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 20);
  ::DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
}

TEST_F(TaskDialogInternalTest, FrameFlagsAndPositionRelativeToTheOwner) {
  ::SetWindowPos(owner_, nullptr, 200, 150, 600, 400, SWP_NOZORDER);
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = owner_;
  config.pszWindowTitle = L"Placed";
  config.dwFlags = TDF_POSITION_RELATIVE_TO_WINDOW | TDF_CAN_BE_MINIMIZED;
  RECT placed{};
  LONG style = 0;
  DialogDriver driver;
  driver.WaitForDialog("Placed")
      .Read([&](HWND dialog) {
        ::GetWindowRect(dialog, &placed);
        style = ::GetWindowLongA(dialog, GWL_STYLE);
      })
      .Click(IDOK)
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(RunTaskDialog(&config, nullptr, nullptr, nullptr), S_OK);
  EXPECT_TRUE(driver.Finished());
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  EXPECT_EQ(style & WS_SYSMENU, 0);
  // Centred on the owner's window rectangle (500, 350) within the rounding of dialog units.
  EXPECT_NEAR((placed.left + placed.right) / 2, 500, 12);
  EXPECT_NEAR((placed.top + placed.bottom) / 2, 350, 24);
}

TEST_F(TaskDialogInternalTest, DoubleClickOnTheExpandoLabelTogglesTwice) {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = L"Toggle";
  config.pszExpandedInformation = L"Details";
  config.pfCallback = &CallbackRecorder::Callback;
  config.lpCallbackData = reinterpret_cast<LONG_PTR>(&recorder_);
  bool visibleAfter = true;
  DialogDriver driver;
  driver.WaitForDialog("Toggle")
      .Read([&](HWND dialog) {
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(0x7406, STN_CLICKED), 0);
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(0x7406, STN_DBLCLK), 0);
        // Other static notifications do not toggle.
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(0x7406, STN_ENABLE), 0);
        visibleAfter = ::IsWindowVisible(::GetDlgItem(dialog, 0x7407)) != FALSE;
      })
      .Click(IDOK)
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(RunTaskDialog(&config, nullptr, nullptr, nullptr), S_OK);
  EXPECT_FALSE(visibleAfter);
  ASSERT_EQ(recorder_.Count(TDN_EXPANDO_BUTTON_CLICKED), 2u);
  std::vector<WPARAM> states;
  for (const Notification& n : recorder_.seen) {
    if (n.code == TDN_EXPANDO_BUTTON_CLICKED) states.push_back(n.wParam);
  }
  EXPECT_EQ(states, (std::vector<WPARAM>{1, 0}));
}

TEST_F(TaskDialogInternalTest, ModernControlsUseLinksAndReportHyperlinkClicks) {
  platform_ = {5, true, true};
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = L"Modern";
  config.dwFlags = TDF_ENABLE_HYPERLINKS | TDF_USE_COMMAND_LINKS;
  config.pszContent = L"Content";
  config.pszFooter = L"<a href=\"https://example.com/\">Open</a> the page";
  const TASKDIALOG_BUTTON buttons[] = {{101, L"Go\nNote"}, {102, L"Stay"}};
  config.cButtons = 2;
  config.pButtons = buttons;
  config.nDefaultButton = 102;
  config.pfCallback = &CallbackRecorder::Callback;
  config.lpCallbackData = reinterpret_cast<LONG_PTR>(&recorder_);
  char footerClass[32] = {};
  DialogDriver driver;
  driver.WaitForDialog("Modern")
      .Read([&footerClass](HWND dialog) {
        ::GetClassNameA(::GetDlgItem(dialog, kFooter), footerClass, sizeof footerClass);
        EXPECT_EQ(::GetWindowLongA(::GetDlgItem(dialog, kFirstCustom), GWL_STYLE) & BS_TYPEMASK, BS_COMMANDLINK);
        EXPECT_EQ(::GetWindowLongA(::GetDlgItem(dialog, kFirstCustom + 1), GWL_STYLE) & BS_TYPEMASK, BS_DEFCOMMANDLINK);
        HWND footer = ::GetDlgItem(dialog, kFooter);
        ::SendMessageA(footer, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 6));
        ::SendMessageA(footer, WM_LBUTTONUP, 0, MAKELPARAM(4, 6));
      })
      .Click(kFirstCustom)
      .WaitUntilGone();
  driver.Start();
  int button = 0;
  EXPECT_EQ(RunTaskDialog(&config, &button, nullptr, nullptr), S_OK);
  EXPECT_TRUE(driver.Finished());
  EXPECT_STREQ(footerClass, "SysLink");
  EXPECT_EQ(button, 101);
  ASSERT_EQ(recorder_.hyperlinks.size(), 1u);
  EXPECT_EQ(recorder_.hyperlinks[0], L"https://example.com/");
}

// Windows 6 in a process without the common-controls 6 manifest (comctl32 5.81): the old button
// class cannot draw BS_COMMANDLINK, so the links are owner-drawn as before Windows 6; and the
// classic instruction font is bold within the weight range.
TEST_F(TaskDialogInternalTest, OldCommonControlsOnWindows6DrawTheLinksThemselves) {
  platform_ = {5, false, true};
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = L"Old controls";
  config.pszMainInstruction = L"Pick one";
  config.dwFlags = TDF_USE_COMMAND_LINKS;
  const TASKDIALOG_BUTTON buttons[] = {{101, L"Go\nNote"}, {102, L"Stay"}};
  config.cButtons = 2;
  config.pButtons = buttons;
  config.nDefaultButton = 102;
  LONG weight = 0;
  DialogDriver driver;
  driver.WaitForDialog("Old controls")
      .Read([&weight](HWND dialog) {
        EXPECT_EQ(::GetWindowLongA(::GetDlgItem(dialog, kFirstCustom), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_EQ(::GetWindowLongA(::GetDlgItem(dialog, kFirstCustom + 1), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_EQ(::SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(kFirstCustom + 1, DC_HASDEFID));
        LOGFONTA font{};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendDlgItemMessageA(dialog, 0x7401, WM_GETFONT, 0, 0)), sizeof font,
                     &font);
        weight = font.lfWeight;
      })
      .Click(kFirstCustom)
      .WaitUntilGone();
  driver.Start();
  int button = 0;
  EXPECT_EQ(RunTaskDialog(&config, &button, nullptr, nullptr), S_OK);
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(button, 101);
  EXPECT_EQ(weight, FW_BOLD);
}

// An allocation failure inside a handler ends the dialog through the dialog manager instead of
// unwinding through the system's frames; the call reports it and leaks nothing.
TEST_F(TaskDialogInternalTest, AllocationFailureInAHandlerEndsTheCallWithOutOfMemory) {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = L"Failing";
  config.pszMainInstruction = L"Instruction";
  config.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
  config.pfCallback = &CallbackRecorder::Callback;
  config.lpCallbackData = reinterpret_cast<LONG_PTR>(&recorder_);
  DialogDriver driver;
  driver.WaitForDialog("Failing")
      .Read([](HWND) { InjectAllocationFailureForTesting(WM_COMMAND); })
      .Click(IDOK)
      .WaitUntilGone();
  driver.Start();
  int button = 7;
  EXPECT_EQ(RunTaskDialog(&config, &button, nullptr, nullptr), E_OUTOFMEMORY);
  InjectAllocationFailureForTesting(0);
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(button, 0) << "no result is reported from a dialog that failed";
  EXPECT_EQ(recorder_.Count(TDN_BUTTON_CLICKED), 0u);
  EXPECT_EQ(recorder_.Count(TDN_DESTROYED), 1u);
}

// The texts of a modern dialog are SysLink controls. Wine's SysLink deletes the brush that
// WM_CTLCOLORSTATIC hands it after one paint; with the run's own brush every later paint then
// left those controls (and every control given the same brush) white on the grey footer. Windows
// does not delete the brush; the system colour brush the library hands out is right on both.
TEST_F(TaskDialogInternalTest, ModernFooterTextsStayOnTheFaceColourAcrossRepaints) {
  platform_ = {5, true, false};
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = L"Footer colours";
  config.pszMainInstruction = L"Export the scene";
  config.dwFlags = TDF_EXPANDED_BY_DEFAULT | TDF_EXPAND_FOOTER_AREA;
  config.pszExpandedInformation = L"Carrara files keep the materials; OBJ files keep only the geometry.";
  config.pszFooter = L"Exports go to the folder of the scene.";
  config.pszFooterIcon = TD_INFORMATION_ICON;
  COLORREF details = CLR_INVALID, footer = CLR_INVALID;
  DialogDriver driver;
  driver.WaitForDialog("Footer colours")
      .Read([&](HWND dialog) {
        for (int paint = 0; paint < 3; ++paint) {
          ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        const auto cornerOf = [dialog](int id) {
          HWND control = ::GetDlgItem(dialog, id);
          RECT rect{};
          ::GetClientRect(control, &rect);
          HDC dc = ::GetDC(control);
          const COLORREF colour = ::GetPixel(dc, rect.right - 1, rect.bottom - 1);
          ::ReleaseDC(control, dc);
          return colour;
        };
        details = cornerOf(0x7407);
        footer = cornerOf(kFooter);
      })
      .Command(IDOK)
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(RunTaskDialog(&config, nullptr, nullptr, nullptr), S_OK);
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(details, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(footer, ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(TaskDialogInternalTest, ClassicControlsShowLinkTextWithoutMarkup) {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = L"Classic";
  config.dwFlags = TDF_ENABLE_HYPERLINKS;
  config.pszContent = L"See <a href=\"x\">the manual</a>.";
  DialogDriver driver;
  driver.WaitForDialog("Classic")
      .Read([](HWND dialog) {
        char name[32] = {};
        ::GetClassNameA(::GetDlgItem(dialog, kContent), name, sizeof name);
        EXPECT_STREQ(name, "Static");
        EXPECT_EQ(ControlText(dialog, kContent), "See the manual.");
      })
      .Click(IDOK)
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(RunTaskDialog(&config, nullptr, nullptr, nullptr), S_OK);
  EXPECT_TRUE(driver.Finished());
}

TEST_F(TaskDialogInternalTest, LargestConfigurationGrowsItsTemplateAndRuns) {
  // Twenty buttons with texts cut at 2047 bytes: a template of many 1024-byte steps.
  std::vector<std::wstring> texts(20, std::wstring(3000, L'w'));
  std::vector<TASKDIALOG_BUTTON> buttons;
  for (int i = 0; i < 20; ++i) buttons.push_back({500 + i, texts[i].c_str()});
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = L"Large";
  config.cButtons = 20;
  config.pButtons = buttons.data();
  config.pfCallback = &CallbackRecorder::Callback;
  config.lpCallbackData = reinterpret_cast<LONG_PTR>(&recorder_);
  recorder_.answer = [](HWND dialog, UINT code, WPARAM, LPARAM) -> HRESULT {
    if (code == TDN_CREATED) ::PostMessageA(dialog, TDM_CLICK_BUTTON, 519, 0);
    return S_OK;
  };
  DialogDriver guard;
  guard.Start();
  int button = 0;
  EXPECT_EQ(RunTaskDialog(&config, &button, nullptr, nullptr), S_OK);
  EXPECT_EQ(button, 519);
}

}  // namespace
}  // namespace commonq::testing
