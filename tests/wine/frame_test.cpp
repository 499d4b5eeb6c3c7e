// The frame's Win32 tier. White-box, linking the objects the DLL is made of: binding through the
// WM_INITDIALOG parameter and the dialog manager's answers. Through the DLL:
// broken language files.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "frame/dialog_base.h"
#include "frame/export_call.h"
#include "resources/filedialogs_ids.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

// Shown with the JPEG options template, whose first tab stop is OK: answers 1234 to WM_APP, a
// brush to WM_CTLCOLORDLG, and WM_INITDIALOG with FALSE ("I set the focus myself") after putting
// the focus on the factor's edit box.
class ProbeDialog : public DialogWindow {
 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message == WM_INITDIALOG) {
      ::SetFocus(::GetDlgItem(Window(), IDC_JPEG_FACTOR));
    } else if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
      ::EndDialog(Window(), IDOK);
    } else if (message != WM_APP && message != WM_CTLCOLORDLG) {
      return false;
    }
    result = message == WM_APP ? 1234 : message == WM_INITDIALOG ? FALSE : LRESULT(::GetStockObject(GRAY_BRUSH));
    return true;
  }
};

// A frame started as an export would, with the library's resources, tracing the executable's own
// handles. (A failing handler, which ends the dialog, is tried through every kind of callback in
// callback_guard_test.cpp.)
TEST(FrameTest, InitParameterBindsTheObjectAndItsAnswersReachTheDialogManager) {
  const ExportCall call;
  ASSERT_TRUE(call.Started());
  SetLibraryInstance(LibraryModule());
  LeakTracer tracer(::GetModuleHandleA(nullptr));
  tracer.Start();
  ProbeDialog probe;
  const auto read = [&](HWND dialog) {
    EXPECT_EQ(probe.Window(), dialog);
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDC_JPEG_FACTOR) << "WM_INITDIALOG's FALSE went to DWLP_MSGRESULT";
    EXPECT_EQ(::SendMessageA(dialog, WM_APP, 0, 0), 1234) << "a handled message answers in DWLP_MSGRESULT";
    EXPECT_EQ(::SendMessageA(dialog, WM_APP + 1, 0, 0), 0);
    EXPECT_EQ(::SendMessageA(dialog, WM_CTLCOLORDLG, 0, 0), LRESULT(::GetStockObject(GRAY_BRUSH)))
        << "control colours are answered directly";
  };
  EXPECT_EQ(Drive([&](DialogDriver& d) { d.WaitForDialog().Read(read).Command(IDOK); },
                  [&] { return static_cast<int>(probe.RunModal(IDD_JPEG_OPTIONS, nullptr)); }),
            IDOK);
  EXPECT_EQ(probe.Window(), nullptr) << "the object forgets its window when it is destroyed";
  SetLibraryInstance(nullptr);
  for (const std::string& survivor : tracer.Survivors()) ADD_FAILURE() << "left alive: " << survivor;
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
  const std::string trapMarker = TempPath("commonq_language_trap.txt");  // written if its code runs
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string folder = std::string(path).substr(0, std::string(path).find_last_of('\\') + 1);
  const std::string deu = ReadFile(folder + "Languages\\QelmLang.deu"), english = "Bitmap Save Options/24 bits";
  const std::tuple<const char*, const char*, std::string, std::string> cases[] = {
      // "Language", where `content` goes beside the executable (null: nowhere), caption/control 1013
      {".mis", nullptr, "", english},
      {".trn", "Languages\\QelmLang.trn", deu.substr(0, deu.size() / 3), english},
      {".trp", "Languages\\QelmLang.trp", ReadFile(folder + "language_trap.dll"), english},
      {".tst", nullptr, "", "Bitmap Save Options/Thirteen-tst"},  // a string for control 1013 only
      {".deu", nullptr, "", "Bitmap-Speicheroptionen/24 Bit"},
      // A working language file outside Languages\, reached through the extension: refused.
      {".\\..\\..\\outside", "outside", deu, english}};
  ::DeleteFileA(trapMarker.c_str());
  for (const auto& [language, file, content, shown] : cases) {
    if (file != nullptr) std::ofstream(folder + file, std::ios::binary) << content;
    SetString(kSettingsRoot, "Language", language);
    std::string texts;
    DlgFormatOptionParams params{0, 0, ".bmp"};
    const auto look = [&](HWND dialog) { texts = WindowTextOf(dialog) + "/" + ControlText(dialog, 1013); };
    EXPECT_EQ(Drive([&](DialogDriver& d) { d.WaitForDialog().Read(look).Command(IDCANCEL).WaitUntilGone(); },
                    [&] { return DlgFormatOptionDoModal(&params); }),
              IDCANCEL);
    EXPECT_EQ(texts, shown) << language;
    EXPECT_FALSE(::DeleteFileA(trapMarker.c_str())) << language << ": the language file's code ran";
    if (file != nullptr) ::DeleteFileA((folder + file).c_str());
  }
}

}  // namespace
}  // namespace commonq::testing
