// MessageBoxDoModal as a host calls it: suppressible messages, the "DoNot" bits and the check box.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "support/dialog_driver.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

constexpr int kCheckBoxId = 1092;
constexpr UINT kMessageA = 3031;   // bit 0x2
constexpr UINT kMessageB = 10101;  // bit 0x8
const std::string kCommon = Key("Common");

class MessageBoxTest : public LibraryTest {
 protected:
  // Shows message `number` and answers it: optionally clicks the check box `clicks` times, then
  // presses `button`. Returns the export's result.
  int Answer(UINT number, UINT type, int clicks, int button) {
    DialogDriver driver;
    driver.WaitForDialog("Caption");
    driver.Read([this](HWND box) { hadCheckBox_ = ::GetDlgItem(box, kCheckBoxId) != nullptr; });
    for (int i = 0; i < clicks; ++i) driver.Click(kCheckBoxId);
    driver.Command(button);
    driver.Start();
    const int result = MessageBoxDoModal(nullptr, "Text of the message", "Caption", type, number);
    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(driver.Errors().empty()) << driver.Errors().front();
    return result;
  }
  // Calls the export expecting no box at all: a box that shows anyway is cancelled by the driver.
  int CallExpectingNoBox(UINT number, UINT type) {
    DialogDriver driver(1500);
    driver.WaitForDialog("Caption").Command(IDCANCEL);
    driver.Start();
    const int result = MessageBoxDoModal(nullptr, "Text", "Caption", type, number);
    EXPECT_FALSE(driver.Finished()) << "a message box was shown";
    return result;
  }
  bool hadCheckBox_ = false;
};

TEST_F(MessageBoxTest, PlainMessageHasNoCheckBoxAndNeverTouchesDoNot) {
  SetString(kCommon, "DoNot", "not a number");
  EXPECT_EQ(Answer(42, MB_OKCANCEL, 0, IDCANCEL), IDCANCEL);
  EXPECT_FALSE(hadCheckBox_);
  EXPECT_FALSE(GetDword(kCommon, "DoNot"));
  EXPECT_EQ(Tracer().Created("SetWindowsHookExA"), 0u);
}

TEST_F(MessageBoxTest, SuppressedMessageReturnsOkWithoutShowing) {
  SetDword(kCommon, "DoNot", 0x2);
  EXPECT_EQ(CallExpectingNoBox(kMessageA, MB_YESNO | MB_ICONQUESTION), IDOK);
  EXPECT_EQ(GetDword(kCommon, "DoNot"), 0x2u);
}

TEST_F(MessageBoxTest, OtherMessagesBitDoesNotSuppress) {
  SetDword(kCommon, "DoNot", 0x8);
  EXPECT_EQ(Answer(kMessageA, MB_YESNO, 1, IDYES), IDYES);
  EXPECT_TRUE(hadCheckBox_);
  EXPECT_EQ(GetDword(kCommon, "DoNot"), 0xAu);
}

TEST_F(MessageBoxTest, TickKeepsEveryOtherBitIncludingUnknownOnes) {
  SetDword(kCommon, "DoNot", 0xF0000001);
  EXPECT_EQ(Answer(kMessageB, MB_OK, 1, IDOK), IDOK);
  EXPECT_EQ(GetDword(kCommon, "DoNot"), 0xF0000009u);
}

TEST_F(MessageBoxTest, TickingTwiceStoresNothing) {
  EXPECT_EQ(Answer(kMessageB, MB_OK, 2, IDOK), IDOK);
  EXPECT_TRUE(hadCheckBox_);
  EXPECT_FALSE(ValueExists(kCommon, "DoNot"));
}

TEST_F(MessageBoxTest, CancelAfterATickStoresTheBitAndTheNextCallIsSuppressed) {
  EXPECT_EQ(Answer(kMessageA, MB_OKCANCEL, 1, IDCANCEL), IDCANCEL);
  EXPECT_EQ(GetDword(kCommon, "DoNot"), 0x2u);
  EXPECT_EQ(CallExpectingNoBox(kMessageA, MB_YESNO), IDOK);
}

TEST_F(MessageBoxTest, DoNotStoredAsTextCountsAsAbsentAndIsReplaced) {
  SetString(kCommon, "DoNot", "2");
  EXPECT_EQ(Answer(kMessageA, MB_OK, 1, IDOK), IDOK);
  EXPECT_EQ(GetDword(kCommon, "DoNot"), 0x2u);
}

class MessageBoxLanguageTest : public MessageBoxTest {
 protected:
  std::string ShownCheckBoxText() {
    std::string text;
    RECT box{};
    RECT client{};
    RECT okButton{};
    DialogDriver driver;
    driver.WaitForDialog("Caption").Read([&](HWND dialog) {
      text = ControlText(dialog, kCheckBoxId);
      HWND check = ::GetDlgItem(dialog, kCheckBoxId);
      ::GetWindowRect(check, &box);
      ::GetClientRect(dialog, &client);
      ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
      ::GetWindowRect(::GetDlgItem(dialog, IDOK), &okButton);
      ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&okButton), 2);
    });
    driver.Command(IDOK).Start();
    MessageBoxDoModal(nullptr, "Text", "Caption", MB_OK, kMessageA);
    EXPECT_TRUE(driver.Finished());
    // The box lies inside the enlarged client area and clear of the buttons.
    EXPECT_GE(box.left, 0);
    EXPECT_LE(box.right, client.right);
    EXPECT_LE(box.bottom, client.bottom);
    EXPECT_GE(box.top, okButton.bottom) << "check box overlaps the buttons";
    return text;
  }
};

TEST_F(MessageBoxLanguageTest, EnglishWithoutALanguageFile) { EXPECT_EQ(ShownCheckBoxText(), "Do not show again"); }

TEST_F(MessageBoxLanguageTest, EnglishLanguageValueLoadsNoFile) {
  SetString(Key(""), "Language", ".enu");
  EXPECT_EQ(ShownCheckBoxText(), "Do not show again");
  EXPECT_EQ(Tracer().Created("LoadLibraryExA"), 0u);
}

TEST_F(MessageBoxLanguageTest, GermanFromTheLanguageFile) {
  SetString(Key(""), "Language", ".deu");
  EXPECT_EQ(ShownCheckBoxText(), "Nicht mehr anzeigen");
  EXPECT_EQ(Tracer().Created("LoadLibraryExA"), 1u);
}

TEST_F(MessageBoxLanguageTest, MissingLanguageFileFallsBackToEnglish) {
  SetString(Key(""), "Language", ".xyz");
  EXPECT_EQ(ShownCheckBoxText(), "Do not show again");
}

TEST_F(MessageBoxLanguageTest, LanguageAsMultiStringUsesItsFirstString) {
  const char value[] = ".deu\0.fra\0";
  SetRaw(Key(""), "Language", REG_MULTI_SZ, value, sizeof value);
  EXPECT_EQ(ShownCheckBoxText(), "Nicht mehr anzeigen");
}

TEST_F(MessageBoxLanguageTest, LanguageStoredAsNumberOrTooLongIsIgnored) {
  SetDword(Key(""), "Language", 0x75656404);
  EXPECT_EQ(ShownCheckBoxText(), "Do not show again");
  SetString(Key(""), "Language", "." + std::string(260, 'd'));
  EXPECT_EQ(ShownCheckBoxText(), "Do not show again");
}

}  // namespace
}  // namespace commonq::testing
