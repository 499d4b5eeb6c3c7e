// White-box tests of the frame's Win32 tier: window binding, the dialog manager's answers,
// centring, the settings store against the real registry and the translator on a real dialog.
// They link the same objects the DLL is made of.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "frame/dialog_base.h"
#include "frame/dialog_translator.h"
#include "frame/module_state.h"
#include "frame/settings_store.h"
#include "support/dialog_driver.h"
#include "support/import_redirect.h"
#include "support/leak_tracer.h"
#include "wine/dialog_template.h"
#include "wine/library_fixture.h"
#include "wine/task_dialog_support.h"

namespace commonq::testing {
namespace {

constexpr UINT kAskResult = WM_APP + 1;
constexpr UINT kUnhandled = WM_APP + 2;
constexpr int kEditId = 1001;

class ProbeDialog : public DialogWindow {
 public:
  std::vector<UINT> seen;
  HWND boundAtInit = nullptr;
  LRESULT initResult = TRUE;
  HBRUSH colorBrush = nullptr;

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    seen.push_back(message);
    switch (message) {
      case WM_INITDIALOG:
        boundAtInit = Window();
        if (!initResult) ::SetFocus(::GetDlgItem(Window(), kEditId));
        result = initResult;
        return true;
      case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return false;
        ::EndDialog(Window(), LOWORD(wParam));
        return true;
      case kAskResult:
        result = 1234;
        return true;
      case WM_CTLCOLORDLG:
        if (colorBrush == nullptr) return false;
        result = reinterpret_cast<LRESULT>(colorBrush);
        return true;
      default:
        return false;
    }
  }
};

// Each white-box test owns a started frame, like an export would, and traces the test
// executable's own handles (the frame's objects are linked into it).
class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteSettings();
    call_ = std::make_unique<ExportCall>();
    ASSERT_TRUE(call_->Started());
    tracer_ = std::make_unique<LeakTracer>(::GetModuleHandleA(nullptr));
    tracer_->Start();
  }
  void TearDown() override {
    for (const std::string& survivor : tracer_->Survivors()) ADD_FAILURE() << "left alive: " << survivor;
    tracer_.reset();
    call_.reset();
    DeleteSettings();
  }
  std::unique_ptr<ExportCall> call_;
  std::unique_ptr<LeakTracer> tracer_;
};

DialogTemplate SmallDialog(const char* caption = "Probe") {
  DialogTemplate dialog(caption, 120, 60);
  dialog.Add("BUTTON", "OK", IDOK, 10, 40, 40, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON)
      .Add("EDIT", "", kEditId, 10, 10, 80, 12, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER);
  return dialog;
}

TEST_F(FrameTest, FirstMessageBindsTheRegisteredObject) {
  ProbeDialog probe;
  probe.colorBrush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
  HWND seenWindow = nullptr;
  LRESULT asked = 0;
  LRESULT unhandled = -1;
  LRESULT color = 0;
  DialogDriver driver;
  driver.WaitForDialog("Probe").Read([&](HWND dialog) {
    seenWindow = dialog;
    asked = ::SendMessageA(dialog, kAskResult, 0, 0);
    unhandled = ::SendMessageA(dialog, kUnhandled, 0, 0);
    color = ::SendMessageA(dialog, WM_CTLCOLORDLG, 0, 0);
  });
  driver.Command(IDOK).Start();
  DialogTemplate dialog = SmallDialog();
  EXPECT_EQ(probe.RunModalIndirect(dialog.Get(), nullptr), IDOK);
  ASSERT_TRUE(driver.Finished());
  EXPECT_EQ(probe.boundAtInit, seenWindow);
  EXPECT_EQ(asked, 1234) << "a handled message answers through DWLP_MSGRESULT";
  EXPECT_EQ(unhandled, 0);
  EXPECT_EQ(color, reinterpret_cast<LRESULT>(probe.colorBrush)) << "control colours are answered directly";
  ASSERT_FALSE(probe.seen.empty());
  EXPECT_EQ(probe.seen.back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_EQ(probe.Window(), nullptr) << "the object forgets its window when it is destroyed";
}

TEST_F(FrameTest, InitDialogResultGoesBackDirectly) {
  // WM_INITDIALOG answering FALSE means "I set the focus myself" (here: on the edit field); were
  // the answer swallowed into DWLP_MSGRESULT, the dialog manager would move it to the first
  // control, the OK button.
  for (LRESULT answer : {TRUE, FALSE}) {
    ProbeDialog probe;
    probe.initResult = answer;
    HWND focus = nullptr;
    HWND okButton = nullptr;
    HWND edit = nullptr;
    DialogDriver driver;
    driver.WaitForDialog("Probe").Read([&](HWND dialog) {
      focus = ::GetFocus();
      okButton = ::GetDlgItem(dialog, IDOK);
      edit = ::GetDlgItem(dialog, kEditId);
    });
    driver.Command(IDOK).Start();
    DialogTemplate dialog = SmallDialog();
    probe.RunModalIndirect(dialog.Get(), nullptr);
    ASSERT_TRUE(driver.Finished());
    EXPECT_EQ(focus, answer ? okButton : edit) << "WM_INITDIALOG answered " << answer;
  }
}

TEST_F(FrameTest, FailedDialogLeavesNoEntryForTheNextWindow) {
  ProbeDialog failed;
  DialogTemplate broken("Broken", 100, 50);
  broken.Add("NoSuchWindowClass", "", 100, 0, 0, 10, 10);
  EXPECT_EQ(failed.RunModalIndirect(broken.Get(), nullptr), -1);

  ProbeDialog probe;
  DialogDriver driver;
  driver.WaitForDialog("Probe").Command(IDOK).Start();
  DialogTemplate dialog = SmallDialog();
  EXPECT_EQ(probe.RunModalIndirect(dialog.Get(), nullptr), IDOK);
  EXPECT_NE(probe.boundAtInit, nullptr);
  EXPECT_EQ(ClaimWindowCreation(), nullptr);
}

TEST_F(FrameTest, EntriesOfOtherThreadsAreNotClaimed) {
  WindowCreationEntry foreign;
  int foreignObject = 0;
  std::thread([&] { RegisterWindowCreation(&foreign, &foreignObject); }).join();

  ProbeDialog probe;
  DialogDriver driver;
  driver.WaitForDialog("Probe").Command(IDOK).Start();
  DialogTemplate dialog = SmallDialog();
  EXPECT_EQ(probe.RunModalIndirect(dialog.Get(), nullptr), IDOK);
  EXPECT_NE(probe.boundAtInit, nullptr);
  EXPECT_EQ(CurrentModuleState().windowCreationHead, &foreign);
  CancelWindowCreation(&foreign);
  EXPECT_EQ(CurrentModuleState().windowCreationHead, nullptr);
}

// Centring is checked on modeless dialogs: the rule needs a window, not a modal loop.
INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

RECT CenteredRect(HWND parent, DWORD style, int width = 100, int height = 60) {
  DialogTemplate dialog("Centred", static_cast<short>(width), static_cast<short>(height), style);
  HWND window = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), dialog.Get(), parent, &PlainProc, 0);
  EXPECT_NE(window, nullptr);
  CenterDialog(window);
  RECT rect{};
  ::GetWindowRect(window, &rect);
  ::DestroyWindow(window);
  return rect;
}

struct Owner {
  HWND window;
  Owner(int x, int y, int w, int h, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
    window = ::CreateWindowExA(0, "STATIC", "owner", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
  }
  ~Owner() { ::DestroyWindow(window); }
};

RECT WorkArea() {
  RECT area{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

TEST_F(FrameTest, CentresOverAVisibleOwner) {
  Owner owner(100, 100, 600, 400);
  const RECT rect = CenteredRect(owner.window, WS_POPUP | WS_CAPTION);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  EXPECT_EQ(rect.left, (100 + 700) / 2 - width / 2);
  EXPECT_EQ(rect.top, (100 + 500) / 2 - height / 2);
}

TEST_F(FrameTest, HiddenOrMinimisedOwnerCentresOnTheWorkArea) {
  const RECT area = WorkArea();
  for (DWORD style : {DWORD{WS_OVERLAPPEDWINDOW}, DWORD{WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MINIMIZE}}) {
    Owner owner(10, 10, 200, 100, style);
    const RECT rect = CenteredRect(owner.window, WS_POPUP | WS_CAPTION);
    EXPECT_EQ(rect.left, (area.left + area.right) / 2 - (rect.right - rect.left) / 2) << style;
    EXPECT_EQ(rect.top, (area.top + area.bottom) / 2 - (rect.bottom - rect.top) / 2) << style;
  }
}

TEST_F(FrameTest, OwnerPartlyOffScreenPullsTheDialogInside) {
  const RECT area = WorkArea();
  Owner owner(area.right - 100, area.bottom - 50, 400, 300);
  const RECT rect = CenteredRect(owner.window, WS_POPUP | WS_CAPTION);
  EXPECT_EQ(rect.right, area.right);
  EXPECT_EQ(rect.bottom, area.bottom);
  Owner left(-300, -200, 400, 300);
  const RECT pulled = CenteredRect(left.window, WS_POPUP | WS_CAPTION);
  EXPECT_EQ(pulled.left, area.left);
  EXPECT_EQ(pulled.top, area.top);
}

TEST_F(FrameTest, ChildDialogCentresInItsParentsClientArea) {
  Owner parent(50, 60, 500, 400);
  const RECT rect = CenteredRect(parent.window, WS_CHILD | WS_VISIBLE);
  RECT client{};
  ::GetClientRect(parent.window, &client);
  ::MapWindowPoints(parent.window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  EXPECT_EQ(rect.left - client.left, (client.right - client.left) / 2 - width / 2);
  EXPECT_EQ(rect.top - client.top, (client.bottom - client.top) / 2 - height / 2);
}

TEST_F(FrameTest, SettingsWriteCreatesTheWholeKeyPath) {
  ASSERT_FALSE(KeyExists(kSettingsRoot));
  EXPECT_TRUE(WriteDwordSetting(kFormatKey, "png", 0x404));
  EXPECT_EQ(ReadDwordSetting(kFormatKey, "png"), 0x404u);
  EXPECT_TRUE(WriteStringSetting(kFormatKey, "3dScale", "100.000000"));
  EXPECT_EQ(ReadStringSetting(kFormatKey, "3dScale", kScaleSettingBytes), "100.000000");
  EXPECT_EQ(tracer_->Created("RegCreateKeyExA"), 2u);
}

TEST_F(FrameTest, SettingsReadOfAMissingKeyCreatesNothing) {
  EXPECT_FALSE(ReadDwordSetting(kOptionKey, "OptGlb"));
  EXPECT_FALSE(ReadStringSetting(kFolderKey, "FavDoAddTo"));
  EXPECT_FALSE(KeyExists(kSettingsRoot));
}

TEST_F(FrameTest, SettingsRefuseWrongTypesAndOverlongStrings) {
  SetString(Key("Common"), "DoNot", "8");
  EXPECT_FALSE(ReadDwordSetting(kCommonKey, "DoNot"));
  SetDword(Key(""), "Language", 7);
  EXPECT_FALSE(ReadStringSetting(kRootKey, "Language"));
  SetString(Key(""), "Language", std::string(259, 'a'));
  EXPECT_EQ(ReadStringSetting(kRootKey, "Language")->size(), 259u);
  SetString(Key(""), "Language", std::string(260, 'a'));
  EXPECT_FALSE(ReadStringSetting(kRootKey, "Language"));
  SetString(Key("Format"), "3dScale", std::string(64, '1'));
  EXPECT_FALSE(ReadStringSetting(kFormatKey, "3dScale", kScaleSettingBytes));
  SetString(Key(""), "Language", "%WINDIR%", REG_EXPAND_SZ);
  EXPECT_EQ(ReadStringSetting(kRootKey, "Language"), "%WINDIR%");
  SetRaw(Key(""), "Language", REG_SZ, "", 0);
  EXPECT_FALSE(ReadStringSetting(kRootKey, "Language"));
}

TEST_F(FrameTest, UpdateKeepsOtherBitsAndCanDeclineToWrite) {
  SetDword(Key("Option"), "OptGlb", 0x80000003);
  EXPECT_TRUE(UpdateDwordSetting(kOptionKey, "OptGlb",
                                 [](std::optional<DWORD> v) -> std::optional<DWORD> { return v.value_or(0) | 0x20; }));
  EXPECT_EQ(GetDword(Key("Option"), "OptGlb"), 0x80000023u);
  EXPECT_FALSE(UpdateDwordSetting(kOptionKey, "OptGlb", [](std::optional<DWORD>) { return std::nullopt; }));
  EXPECT_EQ(GetDword(Key("Option"), "OptGlb"), 0x80000023u);
}

class TranslatedProbe : public DialogWindow {
 public:
  DialogTranslator translator;
  bool loaded = false;
  int templateId = 1100;

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message == WM_COMMAND) {
      ::EndDialog(Window(), LOWORD(wParam));
      return true;
    }
    if (message != WM_INITDIALOG) return false;
    loaded = translator.LoadLanguage();
    if (loaded) {
      translator.TranslateDialog(Window(), templateId);
      translator.SetExplicitStringId(115);
      translator.TranslateControl(Window(), 1009);
    }
    result = TRUE;
    return true;
  }
};

struct Texts {
  std::string caption, ok, cancel, label, check, edit, empty, sameButCase, thirteen, explicitText, afterExplicit;
};

Texts RunTranslated(TranslatedProbe& probe) {
  DialogTemplate dialog("Caption", 200, 120);
  dialog.Add("BUTTON", "OK", IDOK, 10, 100, 40, 14, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON)
      .Add("BUTTON", "Cancel", IDCANCEL, 60, 100, 40, 14)
      .Add("STATIC", "Label", 1004, 10, 10, 80, 10)
      .Add("BUTTON", "Check", 1005, 10, 22, 80, 10, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX)
      .Add("EDIT", "Edit", 1006, 10, 34, 80, 12, WS_CHILD | WS_VISIBLE | WS_BORDER)
      .Add("STATIC", "", 1007, 10, 48, 80, 10)
      .Add("STATIC", "Label", 1008, 10, 60, 80, 10)
      .Add("STATIC", "Thirteen", 13, 10, 72, 80, 10)
      .Add("STATIC", "Explicit", 1009, 100, 10, 80, 10)
      .Add("STATIC", "Untouched", 1010, 100, 22, 80, 10);
  Texts texts;
  DialogDriver driver;
  driver.WaitForDialog().Read([&](HWND d) {
    texts = {WindowTextOf(d),      ControlText(d, IDOK), ControlText(d, IDCANCEL), ControlText(d, 1004),
             ControlText(d, 1005), ControlText(d, 1006), ControlText(d, 1007),     ControlText(d, 1008),
             ControlText(d, 13),   ControlText(d, 1009), ControlText(d, 1010)};
  });
  driver.Command(IDCANCEL).Start();
  probe.RunModalIndirect(dialog.Get(), nullptr);
  EXPECT_TRUE(driver.Finished());
  return texts;
}

TEST_F(FrameTest, TranslatorReplacesButtonAndStaticTextsOnly) {
  SetString(Key(""), "Language", ".tst");
  TranslatedProbe probe;
  const Texts t = RunTranslated(probe);
  ASSERT_TRUE(probe.loaded);
  EXPECT_EQ(t.caption, "Caption-tst");
  EXPECT_EQ(t.ok, "OK-tst");
  EXPECT_EQ(t.cancel, "Cancel-tst");
  EXPECT_EQ(t.label, "Label-tst");
  EXPECT_EQ(t.check, "Check-1100") << "the dialog's own string wins over the shared one";
  EXPECT_EQ(t.edit, "Edit") << "edit fields are never translated";
  EXPECT_EQ(t.empty, "") << "a control without text is never given one";
  EXPECT_EQ(t.sameButCase, "Label") << "a text differing only in case is not applied";
  EXPECT_EQ(t.thirteen, "Thirteen") << "id 13 asks for string 0";
  EXPECT_EQ(t.explicitText, "Explicit-115");
  EXPECT_EQ(t.afterExplicit, "Untouched");
  EXPECT_EQ(tracer_->Created("LoadLibraryExA"), 1u);
}

TEST_F(FrameTest, TranslatorDoesNothingInEnglishOrWithoutAFile) {
  for (const char* language : {".enu", ".xyz", ""}) {
    DeleteSettings();
    if (*language != '\0') SetString(Key(""), "Language", language);
    TranslatedProbe probe;
    const Texts t = RunTranslated(probe);
    EXPECT_FALSE(probe.loaded) << language;
    EXPECT_EQ(t.caption, "Caption") << language;
    EXPECT_EQ(t.ok, "OK") << language;
    EXPECT_EQ(probe.translator.Language(), *language != '\0' ? language : ".enu");
  }
  EXPECT_EQ(tracer_->Created("LoadLibraryExA"), 0u);
}

TEST_F(FrameTest, LanguageFileIsFoundBesideTheHostExecutable) {
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string expected(exe);
  expected = expected.substr(0, expected.find_last_of('\\') + 1) + "Languages\\QelmLang.deu";
  EXPECT_EQ(LanguageFilePath(".deu"), expected);
  EXPECT_EQ(LanguageFilePath(std::string(300, 'x')), "");
}

// Windows XP does not know LOAD_LIBRARY_AS_IMAGE_RESOURCE and may refuse it as an invalid
// parameter. Wine accepts it whatever version it reports, so the copy that runs as XP refuses it
// here the way XP may, and the translation must still come through.
using LoadLibraryExAFn = decltype(&::LoadLibraryExA);
LoadLibraryExAFn g_loadLibraryEx = nullptr;
int g_refusedLoads = 0;

HMODULE WINAPI LoadLibraryExAsOnXp(LPCSTR path, HANDLE file, DWORD flags) {
  if ((flags & LOAD_LIBRARY_AS_IMAGE_RESOURCE) != 0 && ReportedWindowsMajorVersion() < 6) {
    ++g_refusedLoads;
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return g_loadLibraryEx(path, file, flags);
}

class OnWindowsXp : public FrameTest {
 protected:
  void SetUp() override {
    if (!RunsAsWindowsXp()) GTEST_SKIP() << "runs in commonq_wine_tests_xp.exe";
    ASSERT_EQ(ReportedWindowsMajorVersion(), 5) << "Wine must report Windows XP to this executable";
    FrameTest::SetUp();
  }
};

TEST_F(OnWindowsXp, LanguageFileLoadsWhenTheImageResourceFlagIsRefused) {
  SetString(Key(""), "Language", ".tst");
  g_refusedLoads = 0;
  Texts t;
  TranslatedProbe probe;
  {
    ImportRedirect redirect(::GetModuleHandleA(nullptr), "LoadLibraryExA",
                            reinterpret_cast<void*>(&LoadLibraryExAsOnXp));
    ASSERT_TRUE(redirect.Active());
    g_loadLibraryEx = redirect.Original<LoadLibraryExAFn>();
    t = RunTranslated(probe);
  }
  EXPECT_EQ(g_refusedLoads, 1);
  ASSERT_TRUE(probe.loaded) << "the language file must load as a plain data file";
  EXPECT_EQ(t.caption, "Caption-tst");
  EXPECT_EQ(t.ok, "OK-tst");
  EXPECT_EQ(t.label, "Label-tst");
}

}  // namespace
}  // namespace commonq::testing
