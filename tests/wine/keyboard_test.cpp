// Every dialog by keyboard alone, in English and in German: Tab goes round every usable control
// once, in template order, Shift+Tab the other way, and keys alone complete the dialog.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "resources/common_ids.h"
#include "resources/favorites_ids.h"
#include "resources/filedialogs_ids.h"
#include "resources/fileinfo_ids.h"
#include "resources/taskdialog_ids.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

constexpr const char* kLanguages[] = {".enu", ".deu"};
constexpr WORD kShiftTab = 0xFFFF;  // in a key list: Tab with Shift held

// The control of a dialog (or of its page) that has the focus: a combo box for its edit field.
int FocusedId() {
  HWND focus = ::GetFocus();
  char name[16] = {};
  for (HWND parent = ::GetParent(focus); parent != nullptr; parent = ::GetParent(focus)) {
    if (::GetClassNameA(parent, name, sizeof name) > 0 && lstrcmpA(name, "#32770") == 0) break;
    focus = parent;
  }
  // Landing on a control no one can see or use counts as losing the focus.
  return focus != nullptr && ::IsWindowVisible(focus) && ::IsWindowEnabled(focus) ? ::GetDlgCtrlID(focus) : -1;
}

DialogDriver& Press(DialogDriver& driver, const std::vector<WORD>& keys) {
  for (const WORD key : keys) key == kShiftTab ? driver.Key(VK_TAB, false, true) : driver.Key(key);
  return driver;
}

// Presses Tab as often as the dialog has stops, then Shift+Tab as often, recording the focus.
// Wherever the focus started, it must visit the stops in order, each once, and come back there.
struct TabWalk {
  explicit TabWalk(std::vector<int> stops, int presses = 0)
      : stops_(std::move(stops)), presses_(presses > 0 ? presses : static_cast<int>(stops_.size())) {}
  DialogDriver& Script(DialogDriver& driver) {
    driver.Read([this](HWND) { start = FocusedId(); });
    for (const bool back : {false, true}) {
      for (int i = 0; i < presses_; ++i) {
        driver.Key(VK_TAB, false, back).Read([this, back](HWND) {
          (back ? backward : forward).push_back(FocusedId());
        });
      }
    }
    return driver;
  }
  void Check(const std::string& what, int expectedStart) const {
    EXPECT_EQ(start, expectedStart) << what << ": where the focus starts";
    const auto at = std::find(stops_.begin(), stops_.end(), start);
    ASSERT_NE(at, stops_.end()) << what;
    const size_t n = stops_.size(), k = static_cast<size_t>(at - stops_.begin());
    std::vector<int> tab, shiftTab;
    for (size_t i = 1; i <= static_cast<size_t>(presses_); ++i) {
      tab.push_back(stops_[(k + i) % n]);
      shiftTab.push_back(stops_[(k + n - i % n) % n]);
    }
    EXPECT_EQ(forward, tab) << what << ": Tab";
    EXPECT_EQ(backward, shiftTab) << what << ": Shift+Tab";
  }

  std::vector<int> stops_;
  int presses_;
  int start = 0;  // the control the focus was on before the first Tab
  std::vector<int> forward, backward;
};

void UseLanguage(const char* language) {
  DeleteSettings();
  SetString(Key(""), "Language", language);
}

class KeyboardTest : public LibraryTest {};

TEST_F(KeyboardTest, FormatOptionsTakeArrowsInTheirGroupsSpaceOnTheBoxesAndEnter) {
  // Stored before, tab stops (a group's at its checked button, or its first shown one when the
  // checked one is never shown), the keys from OK, the value stored.
  const struct {
    const char* extension;
    DWORD before;
    std::vector<int> stops;
    std::vector<WORD> keys;
    const char* value;
    DWORD stored;
  } cases[] = {
      {".bmp", 0, {1, 2, 1013, 1018}, {VK_TAB, VK_TAB, VK_DOWN, VK_TAB, VK_SPACE, VK_RETURN}, "bmp", 0x02},
      {".bmp", 0x08, {1, 2, 1017, 1018}, {VK_TAB, VK_TAB, VK_DOWN, VK_RETURN}, "bmp", 0x100},
      {".jpg", 0, {1, 2, 1025}, {VK_TAB, VK_TAB, '4', '0', VK_RETURN}, "jpegComp", 40},
      {".png", 0, {1, 2, 1013, 1018}, {VK_TAB, VK_TAB, VK_DOWN, VK_RETURN}, "png", 0x402},
      {".rsr", 0, {1, 2, 1012, 1018}, {VK_TAB, VK_TAB, VK_UP, VK_TAB, VK_SPACE, VK_RETURN}, "rsr", 0x04},
      {".car", 0, {1, 2, 1164}, {VK_TAB, VK_TAB, VK_UP, VK_RETURN}, "carr", 2},
      {".gif", 0, {1, 2}, {VK_RETURN}, nullptr, 0},
      // The Wavefront page sits where its host is in the template; "Vertex from visible groups"
      // and the disabled scale box take no stop. Space takes the normals out.
      {".obj",
       0,
       {1, 2, 1107, 1108, 1116, 1192, 1109, 1112, 1099, 1100, 1101},
       {VK_TAB, VK_TAB, VK_SPACE, VK_RETURN},
       "obj",
       0x05},
  };
  for (const char* language : kLanguages) {
    for (const auto& c : cases) {
      UseLanguage(language);
      if (c.before != 0) SetDword(Key("Format"), c.value, c.before);
      TabWalk walk(c.stops);
      DlgFormatOptionParams params{};
      ::lstrcpynA(params.szExtension, c.extension, sizeof params.szExtension);
      const int result = Drive([&](DialogDriver& d) { Press(walk.Script(d.WaitForDialog()), c.keys).WaitUntilGone(); },
                               [&] { return DlgFormatOptionDoModal(&params); });
      const std::string what = std::string(language) + " " + c.extension;
      walk.Check(what, IDOK);
      EXPECT_EQ(result, IDOK) << what;
      if (c.value != nullptr) {
        EXPECT_EQ(GetDword(Key("Format"), c.value), c.stored) << what;
      }
    }
  }
}

// The message box's check box is a tab stop (Shift+Tab from OK reaches it, Space ticks it); the
// file information dialog and the colour chooser close with Enter and with Esc.
TEST_F(KeyboardTest, MessageBoxCheckBoxIsATabStopAndFileInformationAndTheColourChooserTakeEscAndEnter) {
  const std::string path = TempPath("commonq_keys.txt");
  ::CloseHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const DlgFileInfoParams info{sizeof(DlgFileInfoParams), path.c_str(), 0, {}, 10, nullptr, 0, nullptr, 0};
  for (const char* language : kLanguages) {
    UseLanguage(language);
    TabWalk box({IDOK, IDCANCEL, IDC_DO_NOT_SHOW_AGAIN});
    const auto tick = [&](DialogDriver& d) { Press(box.Script(d.WaitForDialog()), {kShiftTab, VK_SPACE, VK_RETURN}); };
    EXPECT_EQ(Drive(tick, [] { return MessageBoxDoModal(nullptr, "Text", "Caption", MB_OKCANCEL, 3031); }), IDOK);
    box.Check(language, IDOK);
    EXPECT_EQ(GetDword(Key("Common"), "DoNot"), 0x2u) << language;
    for (const WORD key : {VK_RETURN, VK_ESCAPE}) {
      TabWalk walk({IDCLOSE, IDC_FILE_INFO_PROPERTIES});
      EXPECT_EQ(Drive([&](DialogDriver& d) { walk.Script(d.WaitForDialog()).Key(key).WaitUntilGone(); },
                      [&] { return DlgFileInfoDoModal(&info); }),
                key == VK_RETURN ? IDCLOSE : IDCANCEL);
      walk.Check(language, IDCLOSE);
      DlgColorParams colour{0, RGB(1, 2, 3), 0, nullptr, 0};
      EXPECT_EQ(
          Drive([&](DialogDriver& d) { d.WaitForDialog().Key(key); }, [&] { return DlgColorDialogDoModal(&colour); }),
          key == VK_RETURN ? 1 : 2);
    }
  }
  ::DeleteFileA(path.c_str());
}

TEST_F(KeyboardTest, AddAFavoriteSkipsTheCollapsedPanelAndItsToggleTakesSpaceAndEnter) {
  const std::string root = TempPath("CommonQKeys" + std::to_string(::GetCurrentProcessId()));
  ::CreateDirectoryA(root.c_str(), nullptr);
  const std::vector<int> closedStops{IDC_FAVORITE_NAME, IDC_FAVORITE_FOLDER, IDC_FAVORITE_NEW_FOLDER, IDOK,
                                     IDCANCEL,          IDC_FAVORITE_OPTIONS};
  std::vector<int> openStops = closedStops;
  openStops.push_back(IDC_FAVORITE_RESTORE);
  for (const char* language : kLanguages) {
    UseLanguage(language);
    TabWalk closed(closedStops), open(openStops), closedAgain(closedStops);
    RECT before{}, after{};
    DlgFavParams params{};
    ::lstrcpynA(params.szRoot, root.c_str(), sizeof params.szRoot);
    const auto script = [&](DialogDriver& d) {
      closed.Script(d.WaitForDialog()).Read([&](HWND dialog) { ::GetWindowRect(dialog, &before); });
      Press(d, {kShiftTab, VK_SPACE}).Pause(400);
      open.Script(d).Key(VK_RETURN).Pause(400).Read([&](HWND dialog) { ::GetWindowRect(dialog, &after); });
      closedAgain.Script(d).Key(VK_TAB).Keys("Keys").Key(VK_RETURN).WaitUntilGone();
    };
    EXPECT_EQ(Drive(script, [&] { return DlgFavDoAddTo(&params); }), IDOK) << language;
    closed.Check(std::string(language) + " closed", IDC_FAVORITE_NAME);
    open.Check(std::string(language) + " open", IDC_FAVORITE_OPTIONS);
    closedAgain.Check(std::string(language) + " closed again", IDC_FAVORITE_OPTIONS);
    EXPECT_EQ(after.bottom, before.bottom) << "Enter on the toggle closes the panel again";
    EXPECT_EQ(std::string(params.szName), root + "\\Keys.lnk");
  }
  ::RemoveDirectoryA(root.c_str());
}

// The emulated task dialog: command links (owner-drawn before Windows 6), radio buttons, the
// verification box and the expando, with Enter on a link other than the default one.
TEST_F(OnWindowsXp, KeyboardAloneRunsTheEmulatedTaskDialog) {
  const TASKDIALOG_BUTTON links[] = {{101, L"First\nits note"}, {102, L"Second"}};
  const TASKDIALOG_BUTTON radios[] = {{201, L"One"}, {202, L"Two"}};
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.dwFlags = TDF_USE_COMMAND_LINKS;
  config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
  config.pszWindowTitle = L"Keys";
  config.pszMainInstruction = L"Instruction";
  config.cButtons = 2;
  config.pButtons = links;
  config.nDefaultButton = 102;
  config.cRadioButtons = 2;
  config.pRadioButtons = radios;
  config.pszVerificationText = L"Verify";
  config.pszExpandedInformation = L"More";
  const std::vector<int> stops{IDC_TD_FIRST_RADIO,    IDC_TD_FIRST_BUTTON, IDC_TD_FIRST_BUTTON + 1,
                               IDC_TD_EXPANDO_BUTTON, IDC_TD_VERIFICATION, IDCANCEL};
  std::vector<int> later = stops;
  later[0] = IDC_TD_FIRST_RADIO + 1;  // the checked radio button holds the group's tab stop
  TabWalk collapsed(stops), expanded(later);
  bool shown = false, hidden = true;
  const auto details = [](HWND dialog) { return ::IsWindowVisible(::GetDlgItem(dialog, IDC_TD_EXPANDED_INFORMATION)); };
  const auto script = [&](DialogDriver& d) {
    collapsed.Script(d.WaitForDialog("Keys"));
    // From the default link: up to the radio buttons, the second one, on to the expando.
    Press(d, {kShiftTab, kShiftTab, VK_DOWN, VK_TAB, VK_TAB, VK_TAB, VK_SPACE}).Read([&](HWND w) {
      shown = details(w);
    });
    expanded.Script(d).Key(VK_RETURN).Read([&](HWND w) { hidden = !details(w); });
    Press(d, {VK_TAB, VK_SPACE, kShiftTab, kShiftTab, kShiftTab, VK_RETURN}).WaitUntilGone();
  };
  int button = 0, radio = 0;
  BOOL verified = FALSE;
  EXPECT_EQ(Drive(script, [&] { return TaskDialogIndirect98(&config, &button, &radio, &verified); }), S_OK);
  collapsed.Check("collapsed", IDC_TD_FIRST_BUTTON + 1);  // the default link
  expanded.Check("expanded", IDC_TD_EXPANDO_BUTTON);
  EXPECT_TRUE(shown && hidden) << "Space opens the expando, Enter closes it";
  EXPECT_EQ(button, 101);
  EXPECT_EQ(radio, 202);
  EXPECT_TRUE(verified);
}

// The classic Save As dialog: its own controls are the system's; the panel's usable ones are in
// its cycle once each and in template order, and the prompt at Save is answered with Enter.
TEST_F(OnWindowsXp, KeyboardAloneRunsTheSaveAsPanel) {
  for (const char* language : kLanguages) {
    UseLanguage(language);
    SetDword(Key("Format"), "Check", 1);
    char file[260] = {};
    DlgFileParams params{32, nullptr, file, "JPEG (*.jpg)\0*.jpg\0", 1, "jpg", OFN_ENABLETEMPLATE, 1};
    constexpr int kPresses = 24;  // more than the dialog has stops
    TabWalk walk({}, kPresses);
    const std::string target = TempPath("keys.jpg");
    const auto script = [&](DialogDriver& d) {
      walk.Script(d.WaitForDialog()).Keys(target).Key(VK_RETURN);
      d.WaitForDialog(language == kLanguages[1] ? "JPEG-Speicheroptionen" : "Jpeg Save Options");
      d.Key(VK_RETURN).WaitUntilGone().WaitUntilGone();
    };
    EXPECT_EQ(Drive(script, [&] { return DlgFileSaveasDoModal(&params); }), IDOK) << language;
    EXPECT_EQ(std::string(file), target) << language;
    EXPECT_EQ(walk.start, cmb13) << "the file name has the focus, not the panel";
    const std::vector<int>& seen = walk.forward;
    const auto cycle = static_cast<size_t>(std::find(seen.begin(), seen.end(), walk.start) - seen.begin()) + 1;
    ASSERT_LT(cycle, seen.size()) << "Tab never came back: " << ::testing::PrintToString(seen);
    const std::vector<int> round(seen.begin(), seen.begin() + static_cast<std::ptrdiff_t>(cycle));
    EXPECT_EQ(std::count(round.begin(), round.end(), -1), 0) << "the focus went to a hidden or disabled control";
    // The panel's two stops, next to each other in template order, and nowhere else.
    const int panel[] = {IDC_PANEL_OPTIONS, IDC_PANEL_PROMPT};
    EXPECT_NE(std::search(round.begin(), round.end(), std::begin(panel), std::end(panel)), round.end()) << language;
    EXPECT_EQ(std::count(round.begin(), round.end(), panel[0]) + std::count(round.begin(), round.end(), panel[1]), 2);
    // Shift+Tab retraces the same way back.
    std::vector<int> back(seen.rbegin() + 1, seen.rend());
    back.push_back(walk.start);
    EXPECT_EQ(walk.backward, back) << language;
  }
}

}  // namespace
}  // namespace commonq::testing
