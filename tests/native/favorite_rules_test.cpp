#include "favorites/logic/favorite_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace commonq {
namespace {

// Shift-JIS lead bytes, so that double-byte characters with a backslash or a space as their trail
// byte can be tried; "so" (0x83 0x5C) has a backslash as its trail byte.
bool Sjis(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }
const std::string kSo = "\x83\x5C";

TEST(NameFilter, RefusesTheNineTypedWithoutModifiersOrAltGrAndInWholeTexts) {
  for (const char c : kForbiddenNameCharacters) {
    const auto code = static_cast<unsigned char>(c);
    EXPECT_TRUE(IsForbiddenNameCharacter(code) && IsTypedCharacterTested(code, false, false)) << c;
    EXPECT_TRUE(IsTypedCharacterTested(code, true, true)) << c;  // AltGr is Ctrl and Alt together
    EXPECT_FALSE(IsTypedCharacterTested(code, true, false) || IsTypedCharacterTested(code, false, true)) << c;
  }
  for (const int code : {0x08, 0x1F, 0x80, 0xE4, 0xFF}) EXPECT_FALSE(IsTypedCharacterTested(code, false, false));
  for (const char c : std::string("aZ09 .-_'()[]{}&%$#@!~+=,;")) EXPECT_FALSE(IsForbiddenNameCharacter(c)) << c;
  // Single-byte texts are checked against the list by tests/fuzz/favorite_rules_fuzz.cpp.
  EXPECT_TRUE(IsNameTextAllowed(nullptr, nullptr) && IsNameTextAllowed((kSo + "x").c_str(), &Sjis) &&
              IsNameTextAllowed("\x83", &Sjis));
  EXPECT_EQ(TrimName(" \t\n\v\f\rChairs  old\r\n \t", nullptr), "Chairs  old");
  EXPECT_EQ(TrimName(" a\x81 ", &Sjis), "a\x81 ");  // 0x81 0x20 is one character
  EXPECT_EQ(TrimName(" a\x81 ", nullptr), "a\x81");
}

TEST(ShortcutPath, JoinsFolderAndNameReplacingTheExtensionWithinTheLimit) {
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav", "Chair.obj", nullptr), "C:\\Fav\\Chair.lnk");
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav\\", "a.b.c", nullptr), "C:\\Fav\\a.b.lnk");
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav", "v1.0 final", nullptr), "C:\\Fav\\v1.0 final.lnk");  // a dot before a space
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav.old", "", nullptr), "C:\\Fav.old\\.lnk");
  EXPECT_EQ(ComposeShortcutPath("C:\\" + kSo, "n", &Sjis), "C:\\" + kSo + "\\n.lnk");
  EXPECT_EQ(ComposeShortcutPath("C:\\" + kSo, "n", nullptr), "C:\\" + kSo + "n.lnk");
  const std::string folder = "C:\\" + std::string(200, 'f');
  const std::string fits(259 - folder.size() - 1 - 4, 'n');
  EXPECT_EQ(ComposeShortcutPath(folder, fits + ".jpeg", nullptr)->size(), 259u);  // the dropped extension
  EXPECT_FALSE(ComposeShortcutPath(folder, fits + "n", nullptr));
  // A search pattern, the folder with "\\*" and a NUL, fits 260 bytes.
  EXPECT_TRUE(SearchPatternFits(std::string(257, 'a') + "\\", nullptr) &&
              !SearchPatternFits(std::string(258, 'a'), nullptr));
}

TEST(FolderOrder, CaseFoldedTextOrderInsertionBeforeTheFirstGreaterAndDepth) {
  EXPECT_GT(ComparePathsIgnoringCase("C:\\Fav\\A", "C:\\Fav\\_", nullptr), 0);  // folded to lower case
  EXPECT_NE(ComparePathsIgnoringCase("\x82\x61", "\x82\x41", &Sjis), 0);        // never folded
  const std::vector<std::string_view> tree = {"C:\\Fav", "C:\\Fav\\A", "C:\\Fav\\A\\X", "C:\\Fav\\Z", "C:\\Fav\\B"};
  EXPECT_EQ(InsertionIndex(tree, "C:\\Fav\\A X", nullptr), 2u);  // a space sorts before a backslash
  EXPECT_EQ(InsertionIndex(tree, "C:\\Fav\\a", nullptr), 2u);    // after the equal entry
  EXPECT_EQ(InsertionIndex(tree, "C:\\Fav\\C", nullptr), 3u);    // before the first greater, Z
  EXPECT_EQ(InsertionIndex(tree, "C:\\Fav\\ZZ", nullptr), 5u);
  EXPECT_TRUE(DepthBelowRoot("C:\\Fav\\Chairs\\Old", 6) == 2 && DepthBelowRoot("C:\\Fav\\Chairs\\Old", 7) == 1);
}

TEST(StoredAndShown, OverwriteQuestionOptionBitsAndTheDisclosuresTravel) {
  const std::string pattern = "%s\nalready exists. Overwrite ?";
  EXPECT_EQ(FormatOverwriteQuestion("%s %s %d %% %n%", "a", nullptr), "a %s %d % %n%");
  // A name that does not fit is cut, never the question refused; a double-byte character stays whole.
  const std::size_t room = 259 - (pattern.size() - 2);  // the name that just fits
  EXPECT_EQ(FormatOverwriteQuestion(pattern, std::string(room, 'n'), nullptr).size(), 259u);
  EXPECT_EQ(FormatOverwriteQuestion(pattern, std::string(room - 4, 'n') + kSo + "xxx", &Sjis),
            std::string(room - 4, 'n') + "..." + pattern.substr(2));
  EXPECT_EQ(FormatOverwriteQuestion("[%s]", "abcdef", nullptr, 8), "[ab...]");
  EXPECT_EQ(FormatOverwriteQuestion("%s: 100%% sure?", "abc", nullptr, 8), ": 100% ") << "only the pattern fits";
  EXPECT_FALSE(OptionBitsToWrite(0x45u, false) || OptionBitsToWrite(std::nullopt, false));  // unchanged
  EXPECT_EQ(OptionBitsToWrite(0xFFFFFFFFu, false), 0xFFFFFFDFu);
  using enum DisclosureTravel::Motion;
  DisclosureTravel motion{39, 39, kShrinking};
  EXPECT_EQ(motion.Move(motion.span), -39);  // the dialog starts collapsed
  motion.motion = kGrowing;
  EXPECT_EQ(motion.Move(TickDistance(39)) + motion.Move(TickDistance(39)), 8);
  motion.motion = kShrinking;  // a second click while it moves
  EXPECT_EQ(motion.Move(39), -8);
  EXPECT_EQ(motion.Move(4) + motion.Move(-5), 0);
  motion.motion = kGrowing;
  EXPECT_EQ(motion.Move(1000), 39);
}

}  // namespace
}  // namespace commonq
