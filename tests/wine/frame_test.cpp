// The frame's Win32 tier. White-box, linking the objects the DLL is made of: binding through the
// WM_INITDIALOG parameter, the dialog manager's answers, a failing handler, and the translator's
// fallback where Windows XP refuses a flag. Through the DLL: broken language files.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "frame/dialog_base.h"
#include "frame/dialog_translator.h"
#include "frame/module_state.h"
#include "support/dialog_driver.h"
#include "support/import_redirect.h"
#include "support/leak_tracer.h"
#include "wine/dialog_template.h"
#include "wine/library_fixture.h"
#include "wine/task_dialog_support.h"

namespace commonq::testing {
namespace {

constexpr int kEditId = 1001;

// Answers 1234 to WM_APP, a brush to WM_CTLCOLORDLG, and WM_INITDIALOG with `initResult`, after
// putting the focus on the edit field and translating itself.
class ProbeDialog : public DialogWindow {
 public:
  HWND boundAtInit = nullptr;
  LRESULT initResult = TRUE;

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message == WM_INITDIALOG) {
      boundAtInit = Window();
      ::SetFocus(::GetDlgItem(Window(), kEditId));
      if (translator_.LoadLanguage()) translator_.TranslateDialog(Window(), 1100);
    } else if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
      ::EndDialog(Window(), IDOK);
    } else if (message != WM_APP && message != WM_CTLCOLORDLG) {
      return false;
    }
    result = message == WM_APP ? 1234 : message == WM_INITDIALOG ? initResult : LRESULT(::GetStockObject(GRAY_BRUSH));
    return true;
  }
  DialogTranslator translator_;
};

// Each test owns a started frame, as an export would, and traces the executable's own handles.
class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(call_.Started());
    tracer_.Start();
  }
  void TearDown() override {
    for (const std::string& survivor : tracer_.Survivors()) ADD_FAILURE() << "left alive: " << survivor;
    DeleteSettings();
  }
  INT_PTR Run(ProbeDialog& probe, std::function<void(HWND)> read) {
    DialogTemplate dialog("Caption", 200, 120);
    dialog.Add("BUTTON", "OK", IDOK, 10, 100, 40, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON)
        .Add("EDIT", "", kEditId, 10, 34, 80, 12, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER);
    DialogDriver driver;
    driver.WaitForDialog().Read(read).Command(IDOK).Start();
    const INT_PTR result = probe.RunModalIndirect(dialog.Get(), nullptr);
    EXPECT_TRUE(driver.Finished());
    return result;
  }
  ExportCall call_;
  LeakTracer tracer_{::GetModuleHandleA(nullptr)};
};

TEST_F(FrameTest, InitParameterBindsTheObjectAndItsAnswersReachTheDialogManager) {
  for (LRESULT initResult : {TRUE, FALSE}) {
    ProbeDialog probe;
    probe.initResult = initResult;
    HWND window = nullptr;
    int focus = 0;
    LRESULT asked = 0, unhandled = -1, color = 0;
    EXPECT_EQ(Run(probe,
                  [&](HWND dialog) {
                    window = dialog;
                    focus = ::GetDlgCtrlID(::GetFocus());
                    asked = ::SendMessageA(dialog, WM_APP, 0, 0);
                    unhandled = ::SendMessageA(dialog, WM_APP + 1, 0, 0);
                    color = ::SendMessageA(dialog, WM_CTLCOLORDLG, 0, 0);
                  }),
              IDOK);
    EXPECT_EQ(probe.boundAtInit, window);
    // TRUE from WM_INITDIALOG lets the dialog manager focus the first control; FALSE keeps the
    // handler's choice, which it would not were the answer swallowed into DWLP_MSGRESULT.
    EXPECT_EQ(focus, initResult ? IDOK : kEditId);
    EXPECT_EQ(asked, 1234) << "a handled message answers through DWLP_MSGRESULT";
    EXPECT_EQ(unhandled, 0);
    EXPECT_EQ(color, LRESULT(::GetStockObject(GRAY_BRUSH))) << "control colours are answered directly";
    EXPECT_EQ(probe.Window(), nullptr) << "the object forgets its window when it is destroyed";
  }
}

TEST_F(FrameTest, HandlersAllocationFailureEndsTheDialogWithTheFailureCode) {
  ProbeDialog probe;
  EXPECT_EQ(Run(probe, [](HWND) { InjectAllocationFailureForTesting(WM_COMMAND); }), kDialogFailed);
  EXPECT_EQ(probe.AbandonedBy(), WindowBinding::Abandoned::kOutOfMemory);
}

// Windows XP may refuse LOAD_LIBRARY_AS_IMAGE_RESOURCE as an invalid parameter; Wine accepts it
// whatever version it reports, so the copy that runs as XP refuses it here, and the language
// file must still load as a plain data file.
decltype(&::LoadLibraryExA) g_loadLibraryEx = nullptr;

HMODULE WINAPI LoadLibraryExAsOnXp(LPCSTR path, HANDLE file, DWORD flags) {
  if ((flags & LOAD_LIBRARY_AS_IMAGE_RESOURCE) != 0) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return g_loadLibraryEx(path, file, flags);
}

class OnWindowsXp : public FrameTest {};

TEST_F(OnWindowsXp, LanguageFileLoadsWhenTheImageResourceFlagIsRefused) {
  if (!RunsAsWindowsXp()) GTEST_SKIP() << "runs in commonq_wine_tests_xp.exe";
  SetString(kSettingsRoot, "Language", ".tst");
  ImportRedirect redirect(::GetModuleHandleA(nullptr), "LoadLibraryExA", reinterpret_cast<void*>(&LoadLibraryExAsOnXp));
  g_loadLibraryEx = redirect.Original<decltype(&::LoadLibraryExA)>();
  ProbeDialog probe;
  std::string caption;
  Run(probe, [&](HWND dialog) { caption = WindowTextOf(dialog); });
  EXPECT_EQ(caption, "Caption-tst");
}

// Broken language files, as a host's installation may hold them: each one named by "Language" must
// leave the dialog in English, or translated as far as the file goes, and no code of the file may
// ever run; nor may a "Language" value lead to a file outside Languages\.
class LanguageMatrixTest : public LibraryTest {};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(LanguageMatrixTest, DialogIsEnglishOrTranslatedAsFarAsTheFileGoesAndNoCodeRuns) {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string folder = std::string(path).substr(0, std::string(path).find_last_of('\\') + 1);
  ::GetTempPathA(MAX_PATH, path);
  const std::string trapMarker = std::string(path) + "commonq_language_trap.txt";  // written if its code runs
  const std::string deu = ReadFile(folder + "Languages\\QelmLang.deu");
  const std::string english = "Bitmap Save Options";
  const struct {
    const char* language;
    const char* file;  // where `content` goes, relative to the executable; null: nowhere
    std::string content;
    std::string caption;
    const char* bits24;  // control 1013
  } cases[] = {
      {".mis", nullptr, "", english, "24 bits"},
      {".emp", "Languages\\QelmLang.emp", "", english, "24 bits"},
      {".txt", "Languages\\QelmLang.txt", "4010\tBitmap-Speicheroptionen\r\n", english, "24 bits"},
      {".trn", "Languages\\QelmLang.trn", deu.substr(0, deu.size() / 3), english, "24 bits"},
      {".trp", "Languages\\QelmLang.trp", ReadFile(folder + "language_trap.dll"), english, "24 bits"},
      {".tst", nullptr, "", english, "Thirteen-tst"},  // a string for control 1013 only
      {".deu", nullptr, "", "Bitmap-Speicheroptionen", "24 Bit"},
      // A working language file outside Languages\, reached through the extension: refused.
      {".\\..\\..\\outside", "outside", deu, english, "24 bits"},
      {"./../../outside", "outside", deu, english, "24 bits"},
      {"C:\\outside", nullptr, "", english, "24 bits"},
  };
  ::DeleteFileA(trapMarker.c_str());
  for (const auto& c : cases) {
    if (c.file != nullptr) std::ofstream(folder + c.file, std::ios::binary) << c.content;
    SetString(kSettingsRoot, "Language", c.language);
    std::string caption, bits24;
    DlgFormatOptionParams params{};
    lstrcpynA(params.szExtension, ".bmp", sizeof params.szExtension);
    DialogDriver driver;
    driver.WaitForDialog().Read([&](HWND dialog) {
      caption = WindowTextOf(dialog);
      bits24 = ControlText(dialog, 1013);
    });
    driver.Command(IDCANCEL).WaitUntilGone().Start();
    EXPECT_EQ(DlgFormatOptionDoModal(&params), IDCANCEL);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(caption, c.caption) << c.language;
    EXPECT_EQ(bits24, c.bits24) << c.language;
    EXPECT_FALSE(::DeleteFileA(trapMarker.c_str())) << c.language << ": the language file's code ran";
    if (c.file != nullptr) ::DeleteFileA((folder + c.file).c_str());
  }
}

}  // namespace
}  // namespace commonq::testing
