// MessageBoxDoModal and DlgColorDialogDoModal as a host calls them: suppressible messages, the
// "DoNot" bits and the check box; the recent colours the chooser stores.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <vector>

#include "support/dialog_driver.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

constexpr int kCheckBoxId = 1092;
const std::string kCommon = Key("Common");

class MessageBoxTest : public LibraryTest {
 protected:
  // Shows message `number`, clicks the check box `clicks` times and presses `button`. A box that
  // should not show is cancelled after `timeoutMs`; shown_ tells whether one did. (The gallery
  // shows where the check box goes.)
  int Answer(UINT number, int clicks, int button, int timeoutMs = 20000) {
    DialogDriver driver(timeoutMs);
    driver.WaitForDialog("Caption").Read([this](HWND box) { checkText_ = ControlText(box, kCheckBoxId); });
    for (int i = 0; i < clicks; ++i) driver.Click(kCheckBoxId);
    driver.Command(button).Start();
    const int result = MessageBoxDoModal(nullptr, "Text of the message", "Caption", MB_OKCANCEL, number);
    shown_ = driver.Finished();
    return result;
  }
  std::string checkText_;
  bool shown_ = false;
};

TEST_F(MessageBoxTest, TickSetsTheMessagesBitKeepingEveryOtherAndSuppressesTheNextCall) {
  const struct {
    UINT number;
    DWORD before;
    int clicks, button;
    std::optional<DWORD> after;
  } cases[] = {
      {3031, 0, 1, IDCANCEL, 0x2},  // Cancel after a tick stores the bit too
      {3031, 0x8, 1, IDOK, 0xA},    // the other message's bit does not suppress
      {10101, 0xF0000001, 1, IDOK, 0xF0000009},
      {10101, 0, 2, IDOK, std::nullopt},   // ticked twice: nothing stored
      {42, 0, 0, IDCANCEL, std::nullopt},  // a plain message has no check box
  };
  for (const auto& c : cases) {
    DeleteSettings();
    SetString(kCommon, "DoNot", "2");  // stored as text: counts as absent and is replaced
    if (c.before != 0) SetDword(kCommon, "DoNot", c.before);
    EXPECT_EQ(Answer(c.number, c.clicks, c.button), c.button) << c.number;
    EXPECT_EQ(GetDword(kCommon, "DoNot"), c.after) << c.number;
    EXPECT_EQ(checkText_, c.number == 42 ? "" : "Do not show again");
    if (c.after) {
      EXPECT_EQ(Answer(c.number, 0, IDCANCEL, 1500), IDOK) << "a suppressed message returns OK";
      EXPECT_FALSE(shown_) << "a suppressed message was shown";
    }
  }
}

TEST_F(MessageBoxTest, CheckBoxTextComesFromTheLanguageFileOrStaysEnglish) {
  for (const auto& [language, text] : {std::pair{".deu", "Nicht mehr anzeigen"}, {".xyz", "Do not show again"}}) {
    SetString(kSettingsRoot, "Language", language);
    EXPECT_EQ(Answer(3031, 0, IDOK), IDOK);
    EXPECT_EQ(checkText_, text) << language;
  }
}

class ColorChooserTest : public LibraryTest {};

// The stored list is A, B, then a value of another type, which ends it; C after it is neither
// taken nor overwritten unless the list grows over it.
TEST_F(ColorChooserTest, ChosenColourGoesToTheFrontOfTheStoredListUnlessAPresetWhiteOrBlack) {
  constexpr DWORD kA = 0x123456, kB = 0x654321, kC = 0x0FA05A, kUntouched = 0xDEADBEEF;
  const struct {
    COLORREF chosen;
    int button;
    std::vector<DWORD> after;
  } cases[] = {
      {0x0A0B0C, IDOK, {0x0A0B0C, kA, kB, kC}}, {kB, IDOK, {kB, kA}}, {0x7F858C, IDOK, {kA, kB}},  // a preset
      {RGB(255, 255, 255), IDOK, {kA, kB}},     {0, IDOK, {kA, kB}},  // 0 selects nothing: black
      {RGB(1, 2, 3), IDCANCEL, {kA, kB}},
  };
  for (const auto& c : cases) {
    const std::string common = Key("Common");
    SetDword(common, "Color0", kA);
    SetDword(common, "Color1", kB);
    SetString(common, "Color2", "0x22");
    SetDword(common, "Color3", kC);
    DlgColorParams params{0, c.chosen, CC_ENABLEHOOK, nullptr, kUntouched};  // a hook request without a hook
    DialogDriver driver;
    driver.WaitForDialog().Command(c.button).Start();
    EXPECT_EQ(DlgColorDialogDoModal(&params), c.button == IDOK ? 1 : 2) << c.chosen;
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(params.rgbResult, c.button == IDOK ? c.chosen : kUntouched) << c.chosen;
    std::vector<DWORD> stored;
    for (int k = 0; GetDword(common, "Color" + std::to_string(k)); ++k)
      stored.push_back(*GetDword(common, "Color" + std::to_string(k)));
    EXPECT_EQ(stored, c.after) << c.chosen;
  }
}

}  // namespace
}  // namespace commonq::testing
