// MessageBoxDoModal and DlgColorDialogDoModal as a host calls them: suppressible messages, the
// "DoNot" bits and the check box; the recent colours the chooser stores.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

constexpr int kCheckBoxId = 1092;
const std::string kCommon = Key("Common");

// Shows message `number`, reads the check box's text into `checkText`, clicks the box `clicks`
// times and presses `button`. With `button` 0 no box may show: the driver closes one that does,
// which is an error. (The gallery shows where the check box goes.)
int Answer(UINT number, int clicks, int button, std::string& checkText) {
  const auto script = [&](DialogDriver& driver) {
    if (button == 0) return;
    driver.WaitForDialog("Caption").Read([&](HWND box) { checkText = ControlText(box, kCheckBoxId); });
    for (int i = 0; i < clicks; ++i) driver.Click(kCheckBoxId);
    driver.Command(button);
  };
  return Drive(script,
               [&] { return MessageBoxDoModal(nullptr, "Text of the message", "Caption", MB_OKCANCEL, number); });
}

class MessageBoxTest : public LibraryTest {};

// Message, "DoNot" before (as text "2" when 0: counts as absent), ticks, button, "DoNot" after,
// "Language" and the check box text it gives.
TEST_F(MessageBoxTest, TickSetsTheMessagesBitKeepingEveryOtherAndSuppressesTheNextCall) {
  const std::tuple<UINT, DWORD, int, int, std::optional<DWORD>, const char*, const char*> cases[] = {
      {3031, 0, 1, IDCANCEL, 0x2, ".enu", "Do not show again"},  // Cancel after a tick stores the bit too
      {3031, 0x8, 1, IDOK, 0xA, ".deu", "Nicht mehr anzeigen"},  // the other message's bit does not suppress
      {10101, 0xF0000001, 1, IDOK, 0xF0000009, ".xyz", "Do not show again"},  // no such language file
      {10101, 0, 2, IDOK, std::nullopt, ".enu", "Do not show again"},         // ticked twice: nothing stored
      {42, 0, 0, IDCANCEL, std::nullopt, ".enu", ""}};                        // a plain message has no check box
  for (const auto& [number, before, clicks, button, after, language, text] : cases) {
    DeleteSettings();
    SetString(kCommon, "DoNot", "2");
    if (before != 0) SetDword(kCommon, "DoNot", before);
    SetString(kSettingsRoot, "Language", language);
    std::string checkText;
    EXPECT_EQ(Answer(number, clicks, button, checkText), button) << number;
    EXPECT_EQ(GetDword(kCommon, "DoNot"), after) << number;
    EXPECT_EQ(checkText, text) << number;
    if (after) {
      EXPECT_EQ(Answer(number, 0, 0, checkText), IDOK) << "a suppressed message returns OK unshown";
    }
  }
}

class ColorChooserTest : public LibraryTest {};

// The stored list is A, B, then a value of another type, which ends it; C after it is neither
// taken nor overwritten unless the list grows over it.
TEST_F(ColorChooserTest, ChosenColourGoesToTheFrontOfTheStoredListUnlessAPresetWhiteOrBlack) {
  constexpr DWORD kA = 0x123456, kB = 0x654321, kC = 0x0FA05A, kUntouched = 0xDEADBEEF;
  // Chosen colour, button, stored list afterwards; 0 selects nothing, so OK gives black.
  const std::tuple<COLORREF, int, std::vector<DWORD>> cases[] = {{0x0A0B0C, IDOK, {0x0A0B0C, kA, kB, kC}},
                                                                 {kB, IDOK, {kB, kA}},
                                                                 {0x7F858C, IDOK, {kA, kB}},  // a preset
                                                                 {0xFFFFFF, IDOK, {kA, kB}},
                                                                 {0, IDOK, {kA, kB}},
                                                                 {RGB(1, 2, 3), IDCANCEL, {kA, kB}}};
  for (const auto& [chosen, button, after] : cases) {
    SetDword(kCommon, "Color0", kA);
    SetDword(kCommon, "Color1", kB);
    SetString(kCommon, "Color2", "0x22");
    SetDword(kCommon, "Color3", kC);
    DlgColorParams params{0, chosen, CC_ENABLEHOOK, nullptr, kUntouched};  // a hook request without a hook
    EXPECT_EQ(Drive([&](DialogDriver& d) { d.WaitForDialog().Command(button); },
                    [&] { return DlgColorDialogDoModal(&params); }),
              button == IDOK ? 1 : 2)
        << chosen;
    EXPECT_EQ(params.rgbResult, button == IDOK ? chosen : kUntouched) << chosen;
    std::vector<DWORD> stored;
    for (int k = 0; GetDword(kCommon, "Color" + std::to_string(k)); ++k)
      stored.push_back(*GetDword(kCommon, "Color" + std::to_string(k)));
    EXPECT_EQ(stored, after) << chosen;
  }
}

}  // namespace
}  // namespace commonq::testing
