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

#include "support/dialog_driver.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

const std::string kFormat = Key("Format");
constexpr int kOptionsButton = 1001;
constexpr int kPromptCheck = 1002;

// Bitmap, JPEG, all files: the filter list of the tests.
constexpr char kFilter[] = "Bitmap (*.bmp)\0*.bmp\0JPEG (*.jpg)\0*.jpg\0All files (*.*)\0*.*\0";

// The hook's child dialog: the panel in Save As, an empty child in Open.
HWND HookWindow(HWND dialog) {
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char name[32] = {};
    ::GetClassNameA(child, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0) return child;
  }
  return nullptr;
}

HWND PanelControl(HWND dialog, int id) { return ::GetDlgItem(HookWindow(dialog), id); }

void ChooseType(HWND dialog, int index) {
  HWND types = ::GetDlgItem(dialog, cmb1);
  ::SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
}

std::string FileNameBox(HWND dialog) { return ControlText(dialog, cmb13); }

class FileDialogsTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "commonq_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    std::memset(file_, 0, sizeof file_);
  }
  void TearDown() override {
    std::string pattern = folder_ + "\\*";
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        ::DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
      } while (::FindNextFileA(search, &found));
      ::FindClose(search);
    }
    ::RemoveDirectoryA(folder_.c_str());
    LibraryTest::TearDown();
  }

  DlgFileParams Params(DWORD flags, LONG promptMode, DWORD filterIndex = 1, DWORD size = 32) {
    DlgFileParams params{};
    params.cbSize = size;
    params.pszFile = file_;
    params.pszFilter = kFilter;
    params.nFilterIndex = filterIndex;
    params.pszDefExt = "bmp";
    params.dwFlags = flags;
    params.nPromptMode = promptMode;
    return params;
  }

  int Run(bool open, DlgFileParams params, const std::string& caption,
          const std::function<void(DialogDriver&)>& script) {
    DialogDriver driver;
    driver.WaitForDialog(caption);
    script(driver);
    driver.Start();
    const int result = open ? DlgFileOpenDoModal(&params) : DlgFileSaveasDoModal(&params);
    EXPECT_TRUE(driver.Finished());
    for (const std::string& error : driver.Errors()) ADD_FAILURE() << error;
    return result;
  }

  std::string folder_;
  char file_[260];
};

TEST_F(FileDialogsTest, OpenReturnsTheFullPathOfAnExistingFile) {
  const std::string path = folder_ + "\\model.obj";
  ::CloseHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  std::memset(file_, 'x', sizeof file_);
  ::lstrcpynA(file_, path.c_str(), sizeof file_);
  const int result = Run(true, Params(0, 0), "Open", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      HWND hook = HookWindow(dialog);
      ASSERT_NE(hook, nullptr);
      EXPECT_EQ(::GetWindow(hook, GW_CHILD), nullptr) << "the Open dialog has no panel";
    });
    driver.Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_STREQ(file_, path.c_str());
  for (std::size_t i = path.size(); i < sizeof file_; ++i) ASSERT_EQ(file_[i], '\0') << i;
}

TEST_F(FileDialogsTest, OpenRefusesAFileThatDoesNotExist) {
  const std::string path = folder_ + "\\missing.obj";
  ::lstrcpynA(file_, path.c_str(), sizeof file_);
  const int result = Run(true, Params(0, 0), "Open", [](DialogDriver& driver) {
    // The system answers with a message box of its own and the dialog stays open.
    driver.Click(IDOK).WaitForDialog().Command(IDOK).WaitUntilGone();
    driver.Command(IDCANCEL).WaitUntilGone();
  });
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(FileDialogsTest, OpenNameFollowsTheFileType) {
  const int result = Run(true, Params(0, 0, 2), "Open", [](DialogDriver& driver) {
    driver.SetText(cmb13, "C:\\x\\scene.jpg");
    driver.Read([](HWND dialog) {
      ChooseType(dialog, 2);
      EXPECT_EQ(FileNameBox(dialog), "C:\\x\\scene.jpg");
      ChooseType(dialog, 0);
      EXPECT_EQ(FileNameBox(dialog), "scene.bmp");
    });
    driver.Command(IDCANCEL).WaitUntilGone();
  });
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(FileDialogsTest, CancelLeavesTheCallersBufferUntouched) {
  char expected[260];
  for (std::size_t i = 0; i < sizeof file_; ++i) file_[i] = static_cast<char>('a' + i % 26);
  file_[10] = '\0';
  std::memcpy(expected, file_, sizeof file_);
  EXPECT_EQ(Run(false, Params(OFN_ENABLETEMPLATE, 1), "Save As",
                [](DialogDriver& driver) { driver.Command(IDCANCEL).WaitUntilGone(); }),
            IDCANCEL);
  EXPECT_EQ(std::memcmp(file_, expected, sizeof file_), 0);
  EXPECT_EQ(Run(true, Params(0, 0), "Open", [](DialogDriver& driver) { driver.Command(IDCANCEL).WaitUntilGone(); }),
            IDCANCEL);
  EXPECT_EQ(std::memcmp(file_, expected, sizeof file_), 0);
}

TEST_F(FileDialogsTest, SaveAsPanelShowsOptionsAndTheRememberedPromptBox) {
  SetDword(kFormat, "Check", 3);
  Run(false, Params(OFN_ENABLETEMPLATE, 1), "Save As", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      HWND options = PanelControl(dialog, kOptionsButton);
      HWND check = PanelControl(dialog, kPromptCheck);
      ASSERT_NE(options, nullptr);
      EXPECT_TRUE(::IsWindowVisible(options) && ::IsWindowEnabled(options));
      EXPECT_TRUE(::IsWindowVisible(check) && ::IsWindowEnabled(check));
      EXPECT_EQ(::SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
      for (int id : {1003, 1004}) {
        EXPECT_FALSE(::IsWindowVisible(PanelControl(dialog, id))) << id;
        EXPECT_FALSE(::IsWindowEnabled(PanelControl(dialog, id))) << id;
      }
      EXPECT_TRUE(::GetWindowLongA(HookWindow(dialog), GWL_STYLE) & WS_CLIPCHILDREN);
      EXPECT_EQ(WindowTextOf(options), "Options...");
      EXPECT_EQ(WindowTextOf(check), "Prompt for format options");
    });
    driver.Command(IDCANCEL).WaitUntilGone();
  });
  // Cancel never reaches the file-OK check, so nothing is stored.
  EXPECT_EQ(GetDword(kFormat, "Check"), 3u);
}

TEST_F(FileDialogsTest, TypeChangeRewritesTheNameAndDisablesOptionsForAllFiles) {
  const std::string folder = folder_;
  const int result = Run(false, Params(OFN_ENABLETEMPLATE, 0, 2), "Save As", [&](DialogDriver& driver) {
    driver.SetText(cmb13, "C:\\x\\scene.jpg");
    driver.Read([](HWND dialog) {
      ChooseType(dialog, 2);
      EXPECT_FALSE(::IsWindowEnabled(PanelControl(dialog, kOptionsButton)));
      EXPECT_EQ(FileNameBox(dialog), "C:\\x\\scene.jpg");
      ChooseType(dialog, 0);
      EXPECT_TRUE(::IsWindowEnabled(PanelControl(dialog, kOptionsButton)));
      EXPECT_EQ(FileNameBox(dialog), "scene.bmp");
    });
    // The default extension follows the type: a bare name is saved as a bitmap.
    driver.SetText(cmb13, folder + "\\picture").Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(std::string(file_), folder_ + "\\picture.bmp");
  EXPECT_FALSE(ValueExists(kFormat, "Check"));
}

TEST_F(FileDialogsTest, OptionsButtonOpensTheOptionsOfTheChosenType) {
  Run(false, Params(OFN_ENABLETEMPLATE, 0, 2), "Save As", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) { ::PostMessageA(PanelControl(dialog, kOptionsButton), BM_CLICK, 0, 0); });
    driver.WaitForDialog("Jpeg Save Options").Click(IDOK).WaitUntilGone();
    driver.Command(IDCANCEL).WaitUntilGone();
  });
  EXPECT_EQ(GetDword(kFormat, "jpegComp"), 25u);
}

TEST_F(FileDialogsTest, OptionsButtonWithAllFilesDoesNothingUntilTheTypeChanges) {
  Run(false, Params(OFN_ENABLETEMPLATE, 0, 3), "Save As", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      HWND options = PanelControl(dialog, kOptionsButton);
      EXPECT_TRUE(::IsWindowEnabled(options));
      ::SendMessageA(options, BM_CLICK, 0, 0);
    });
    driver.Command(IDCANCEL).WaitUntilGone();
  });
  EXPECT_FALSE(KeyExists(kFormat));
}

TEST_F(FileDialogsTest, PromptAtSaveAndCancelThereKeepsSaveAsOpen) {
  SetDword(kFormat, "Check", 1);
  const std::string target = folder_ + "\\photo.jpg";
  const int result = Run(false, Params(OFN_ENABLETEMPLATE, 1, 2), "Save As", [&](DialogDriver& driver) {
    driver.SetText(cmb13, target).Click(IDOK);
    driver.WaitForDialog("Jpeg Save Options").Click(IDCANCEL).WaitUntilGone();
    driver.Read([](HWND dialog) { EXPECT_TRUE(::IsWindowVisible(dialog)); });
    driver.Read([](HWND) { EXPECT_EQ(GetDword(kFormat, "Check"), 1u); });
    driver.Click(IDOK).WaitForDialog("Jpeg Save Options").Click(IDOK).WaitUntilGone();
    driver.WaitUntilGone();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(std::string(file_), target);
  EXPECT_EQ(GetDword(kFormat, "jpegComp"), 25u);
}

TEST_F(FileDialogsTest, UncheckingThePromptIsStoredAndSavesWithoutOptions) {
  SetDword(kFormat, "Check", 1);
  const std::string target = folder_ + "\\photo.jpg";
  const int result = Run(false, Params(OFN_ENABLETEMPLATE, 1, 2), "Save As", [&](DialogDriver& driver) {
    driver.Read([](HWND dialog) { ::SendMessageA(PanelControl(dialog, kPromptCheck), BM_CLICK, 0, 0); });
    driver.SetText(cmb13, target).Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(GetDword(kFormat, "Check"), 0u);
  EXPECT_FALSE(ValueExists(kFormat, "jpegComp"));
}

TEST_F(FileDialogsTest, ShortRecordNeverPrompts) {
  // The 28-byte record ends before the prompt mode; whatever follows it must not count. A size of
  // 4 is no longer record either, so its prompt field is not read.
  for (const DWORD size : {DWORD{DLGFILEPARAMS_SHORT_SIZE}, DWORD{4}}) {
    SCOPED_TRACE(size);
    SetDword(kFormat, "Check", 1);
    const std::string target = folder_ + "\\photo" + std::to_string(size) + ".jpg";
    DlgFileParams params = Params(OFN_ENABLETEMPLATE, 1, 2, size);
    const int result = Run(false, params, "Save As", [&](DialogDriver& driver) {
      driver.Read([](HWND dialog) { EXPECT_FALSE(::IsWindowVisible(PanelControl(dialog, kPromptCheck))); });
      driver.SetText(cmb13, target).Click(IDOK).WaitUntilGone();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(GetDword(kFormat, "Check"), 1u);
    EXPECT_FALSE(ValueExists(kFormat, "jpegComp"));
  }
}

TEST_F(FileDialogsTest, WithoutTheTemplateFlagThereIsNoPanelAndNoCheck) {
  SetDword(kFormat, "Check", 1);
  const std::string target = folder_ + "\\photo.jpg";
  const int result = Run(false, Params(0, 1, 2), "Save As", [&](DialogDriver& driver) {
    driver.Read([](HWND dialog) { EXPECT_EQ(PanelControl(dialog, kOptionsButton), nullptr); });
    driver.SetText(cmb13, target).Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(GetDword(kFormat, "Check"), 1u);
  EXPECT_FALSE(ValueExists(kFormat, "jpegComp"));
}

TEST_F(FileDialogsTest, NegativePromptModeShowsADisabledUncheckedBoxAndStoresNothing) {
  SetDword(kFormat, "Check", 5);
  const std::string target = folder_ + "\\photo.jpg";
  const int result = Run(false, Params(OFN_ENABLETEMPLATE, -1, 2), "Save As", [&](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      HWND check = PanelControl(dialog, kPromptCheck);
      EXPECT_TRUE(::IsWindowVisible(check));
      EXPECT_FALSE(::IsWindowEnabled(check));
      EXPECT_EQ(::SendMessageA(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    });
    driver.SetText(cmb13, target).Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(GetDword(kFormat, "Check"), 5u);
}

TEST_F(FileDialogsTest, InitialNameIsCutTo259Characters) {
  const std::string name(300, 'n');
  ::lstrcpynA(file_, name.c_str(), sizeof file_);
  std::string shown;
  DlgFileParams params = Params(OFN_ENABLETEMPLATE, 0);
  // The caller's buffer must hold 260 bytes; a longer name can only come from a larger one.
  std::string large = name;
  params.pszFile = large.data();
  Run(false, params, "Save As", [&](DialogDriver& driver) {
    driver.Read([&](HWND dialog) { shown = FileNameBox(dialog); });
    driver.Command(IDCANCEL).WaitUntilGone();
  });
  EXPECT_EQ(shown, std::string(259, 'n'));
}

TEST_F(FileDialogsTest, GermanPanel) {
  SetString(Key(""), "Language", ".deu");
  Run(false, Params(OFN_ENABLETEMPLATE, 1), "Save As", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      EXPECT_EQ(WindowTextOf(PanelControl(dialog, kOptionsButton)), "&Optionen...");
      EXPECT_EQ(WindowTextOf(PanelControl(dialog, kPromptCheck)), "Nach Optionen fragen");
      EXPECT_EQ(WindowTextOf(PanelControl(dialog, 1003)), "Zuletzt verwendete &Ordner");
    });
    driver.Command(IDCANCEL).WaitUntilGone();
  });
}

}  // namespace
}  // namespace commonq::testing
