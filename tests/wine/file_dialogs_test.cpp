// DlgFileOpenDoModal and DlgFileSaveasDoModal as a host calls them: the caller's buffer, the
// format options panel, the type change and the prompt for format options.
//
// Wine's Explorer-style dialog differs from Windows in two places these tests rely on: its
// file-name box is the combo box cmb13 and it has no edt1 (so the type change sets cmb13 where
// Windows takes edt1), and a type chosen in cmb1 reaches the hook as CDN_TYPECHANGE only after
// CBN_SELENDOK, which the tests therefore send themselves.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "resources/filedialogs_ids.h"
#include "support/dialog_driver.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

const std::string kFormat = Key("Format");
constexpr char kFilter[] = "Bitmap (*.bmp)\0*.bmp\0JPEG (*.jpg)\0*.jpg\0All files (*.*)\0*.*\0";

// A control of the hook's child dialog: the panel in Save As, an empty child in Open.
HWND Panel(HWND dialog, int id = 0) {
  HWND panel = ::FindWindowExA(dialog, nullptr, "#32770", nullptr);
  return id == 0 ? panel : ::GetDlgItem(panel, id);
}

void ChooseType(HWND dialog, int index) {
  HWND types = ::GetDlgItem(dialog, cmb1);
  ::SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
}

class FileDialogsTest : public LibraryTest {
 protected:
  // Runs Open (`open`) or Save As with the test's filter list and `file_` as the buffer.
  int Run(bool open, const std::function<void(DialogDriver&)>& script, DWORD flags = OFN_ENABLETEMPLATE,
          LONG promptMode = 1, DWORD filterIndex = 2, DWORD size = 32, char* file = nullptr) {
    // Open has no panel: the template flag is only ever given to Save As.
    DlgFileParams params{
        size, nullptr, file != nullptr ? file : file_, kFilter, filterIndex, "bmp", open ? 0 : flags, promptMode};
    DialogDriver driver;
    driver.WaitForDialog(open ? "Open" : "Save As");
    script(driver);
    driver.Start();
    const int result = open ? DlgFileOpenDoModal(&params) : DlgFileSaveasDoModal(&params);
    EXPECT_TRUE(driver.Finished());
    for (const std::string& error : driver.Errors()) ADD_FAILURE() << error;
    return result;
  }
  std::string Target(const char* name) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + name;
  }
  char file_[260] = {};
};

TEST_F(FileDialogsTest, OpenReturnsTheZeroFilledPathAndCancelLeavesTheBufferUntouched) {
  const std::string path = Target("commonq_model.obj");
  ::CloseHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  std::memset(file_, 'x', sizeof file_);
  ::lstrcpynA(file_, path.c_str(), sizeof file_);
  EXPECT_EQ(Run(true, [](DialogDriver& driver) { driver.Click(IDOK).WaitUntilGone(); }), IDOK);
  ::DeleteFileA(path.c_str());
  EXPECT_STREQ(file_, path.c_str());
  for (std::size_t i = path.size(); i < sizeof file_; ++i) ASSERT_EQ(file_[i], '\0') << i;
  char before[sizeof file_];
  for (std::size_t i = 0; i < sizeof file_; ++i) file_[i] = static_cast<char>('a' + i % 26);
  std::memcpy(before, file_, sizeof file_);
  for (const bool open : {true, false}) {
    EXPECT_EQ(Run(open, [](DialogDriver& driver) { driver.Command(IDCANCEL).WaitUntilGone(); }), IDCANCEL);
    EXPECT_EQ(std::memcmp(file_, before, sizeof file_), 0) << open;
  }
}

TEST_F(FileDialogsTest, TypeChangeRenamesTheFileAndSwitchesOptions) {
  const std::string folder = Target("");
  const auto save = [&](DialogDriver& driver) {
    driver.SetText(cmb13, "C:\\x\\scene.jpg").Read([](HWND dialog) {
      // All files keeps the name and leaves nothing to set; a type renames it.
      ChooseType(dialog, 2);
      EXPECT_EQ(ControlText(dialog, cmb13), "C:\\x\\scene.jpg");
      EXPECT_FALSE(::IsWindowEnabled(Panel(dialog, IDC_PANEL_OPTIONS)));
      ChooseType(dialog, 0);
      EXPECT_EQ(ControlText(dialog, cmb13), "scene.bmp");
      EXPECT_TRUE(::IsWindowEnabled(Panel(dialog, IDC_PANEL_OPTIONS)));
    });
    // The default extension follows the type: a bare name is saved as a bitmap.
    driver.SetText(cmb13, folder + "picture").Click(IDOK).WaitUntilGone();
  };
  EXPECT_EQ(Run(false, save, OFN_ENABLETEMPLATE, 0), IDOK);
  EXPECT_EQ(std::string(file_), folder + "picture.bmp");
  EXPECT_FALSE(KeyExists(kFormat)) << "prompt mode 0 stores no \"Check\"";
}

TEST_F(FileDialogsTest, OptionsOpensTheChosenTypeAndThePromptAtSaveCanKeepSaveAsOpen) {
  SetDword(kFormat, "Check", 1);
  const std::string target = Target("photo.jpg");
  EXPECT_EQ(Run(false,
                [&](DialogDriver& driver) {
                  driver.Read([](HWND dialog) {
                    for (int id : {IDC_PANEL_RECENT_LABEL, IDC_PANEL_RECENT_FOLDERS}) {
                      EXPECT_FALSE(::IsWindowVisible(Panel(dialog, id)) || ::IsWindowEnabled(Panel(dialog, id)));
                    }
                    ::PostMessageA(Panel(dialog, IDC_PANEL_OPTIONS), BM_CLICK, 0, 0);
                  });
                  driver.WaitForDialog("Jpeg Save Options").Click(IDOK).WaitUntilGone();
                  driver.SetText(cmb13, target).Click(IDOK);
                  driver.WaitForDialog("Jpeg Save Options").Click(IDCANCEL).WaitUntilGone();
                  driver.Click(IDOK).WaitForDialog("Jpeg Save Options").Click(IDOK).WaitUntilGone();
                  driver.WaitUntilGone();
                }),
            IDOK);
  EXPECT_EQ(std::string(file_), target);
  EXPECT_EQ(GetDword(kFormat, "jpegComp"), 25u);
  EXPECT_EQ(GetDword(kFormat, "Check"), 1u);
}

TEST_F(FileDialogsTest, PromptBoxFollowsTheRecordTheFlagAndTheModeAndTheNameIsCutTo259) {
  SetString(Key(""), "Language", ".deu");
  // Record size, flags, prompt mode; whether the box shows, enabled and checked for "Check" 5, and
  // what "Check" holds after Save. A record too short for the mode (28 or a nonsense 4) has none.
  const struct {
    DWORD size, flags;
    LONG mode;
    bool shown, enabled, checked;
    DWORD stored;
  } cases[] = {{32, OFN_ENABLETEMPLATE, 1, true, true, true, 0},
               {28, OFN_ENABLETEMPLATE, 1, false, false, false, 5},
               {4, OFN_ENABLETEMPLATE, 1, false, false, false, 5},
               {32, 0, 1, false, false, false, 5},
               {32, OFN_ENABLETEMPLATE, -1, true, false, false, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.size << " " << c.flags << " " << c.mode);
    SetDword(kFormat, "Check", 5);
    // The caller's buffer must hold 260 bytes; a longer name can only come from a larger one.
    std::string name(300, 'n');
    const auto look = [&](HWND dialog) {
      EXPECT_EQ(ControlText(dialog, cmb13), std::string(259, 'n'));
      EXPECT_EQ(::IsWindowVisible(Panel(dialog, IDC_PANEL_PROMPT)) != FALSE, c.shown);
      EXPECT_EQ(::IsWindowEnabled(Panel(dialog, IDC_PANEL_PROMPT)) != FALSE, c.enabled);
      EXPECT_EQ(IsChecked(Panel(dialog), IDC_PANEL_PROMPT), c.checked);
      // The panel's label and button take the host's own strings.
      EXPECT_EQ(ControlText(Panel(dialog), IDC_PANEL_OPTIONS), c.flags != 0 ? "&Optionen..." : "");
      EXPECT_EQ(ControlText(Panel(dialog), IDC_PANEL_RECENT_LABEL), c.flags != 0 ? "Zuletzt verwendete &Ordner" : "");
      if (c.checked) ::SendMessageA(Panel(dialog, IDC_PANEL_PROMPT), BM_CLICK, 0, 0);
    };
    const auto save = [&](DialogDriver& driver) {
      driver.Read(look).SetText(cmb13, Target("photo.jpg")).Click(IDOK).WaitUntilGone();
    };
    EXPECT_EQ(Run(false, save, c.flags, c.mode, 2, c.size, name.data()), IDOK);
    EXPECT_EQ(GetDword(kFormat, "Check"), c.stored);
    EXPECT_EQ(GetDword(kFormat, "jpegComp"), std::nullopt) << "no options were shown";
  }
}

}  // namespace
}  // namespace commonq::testing
