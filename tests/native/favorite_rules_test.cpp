#include "favorites/favorite_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace commonq {
namespace {

// Shift-JIS lead bytes, so that double-byte characters with a backslash (0x5C) or a letter as
// their trail byte can be tried.
bool ShiftJisLead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }
bool NoLead(unsigned char) { return false; }

// "so" in Shift-JIS: 0x83 0x5C, whose trail byte is a backslash.
const std::string kSo = "\x83\x5C";

NameFilterSets FavoriteSets() {
  NameFilterSets sets;
  sets.Forbid(kForbiddenNameCharacters);
  return sets;
}

TEST(NameFilter, RefusesEachOfTheNineCharactersTypedWithoutModifiersOrWithAltGr) {
  const NameFilterSets sets = FavoriteSets();
  for (char c : std::string("\\/:*?\"<>|")) {
    const auto code = static_cast<unsigned char>(c);
    EXPECT_TRUE(IsTypedCharacterTested(code, false, false)) << c;
    EXPECT_TRUE(IsTypedCharacterTested(code, true, true)) << c;  // AltGr is Ctrl and Alt together
    EXPECT_FALSE(IsTypedCharacterTested(code, true, false)) << c;
    EXPECT_FALSE(IsTypedCharacterTested(code, false, true)) << c;
    EXPECT_TRUE(IsCharacterRefused(sets, code)) << c;
  }
  for (char c : std::string("aZ09 .-_'()[]{}&%$#@!~+=,;")) {
    EXPECT_FALSE(IsCharacterRefused(sets, static_cast<unsigned char>(c))) << c;
  }
}

TEST(NameFilter, ControlCharactersAndCodesFrom128AreNeverTested) {
  EXPECT_FALSE(IsTypedCharacterTested('\b', false, false));
  EXPECT_FALSE(IsTypedCharacterTested(0x1F, false, false));
  EXPECT_TRUE(IsTypedCharacterTested(' ', false, false));
  for (int code = 128; code < 256; ++code) {
    EXPECT_FALSE(IsTypedCharacterTested(static_cast<unsigned char>(code), false, false)) << code;
  }
}

TEST(NameFilter, WholeTextsAreCheckedCharacterByCharacter) {
  const NameFilterSets sets = FavoriteSets();
  EXPECT_TRUE(IsTextAllowed(sets, nullptr, &NoLead));
  EXPECT_TRUE(IsTextAllowed(sets, "", &NoLead));
  EXPECT_TRUE(IsTextAllowed(sets, "Chairs \xC4\xD6\xDC 2024.obj", &NoLead));
  EXPECT_FALSE(IsTextAllowed(sets, "a/b", &NoLead));
  EXPECT_FALSE(IsTextAllowed(sets, "name:", &NoLead));
  EXPECT_FALSE(IsTextAllowed(sets, "|", &NoLead));
  // A double-byte character whose trail byte is a backslash is one character, not a backslash.
  EXPECT_TRUE(IsTextAllowed(sets, (kSo + "x").c_str(), &ShiftJisLead));
  EXPECT_FALSE(IsTextAllowed(sets, (kSo + "x").c_str(), &NoLead));
  // A lead byte at the very end stands alone and is tested as itself.
  EXPECT_TRUE(IsTextAllowed(sets, "\x83", &ShiftJisLead));
}

TEST(NameFilter, SetsHoldAtMost64CharactersAndAllowedModeRefusesTheRest) {
  NameFilterSets sets;
  sets.Forbid(std::string(100, 'x'));
  EXPECT_EQ(sets.forbidden.size(), 64u);
  EXPECT_EQ(sets.modes, NameFilterSets::kForbiddenSet);
  NameFilterSets digits;
  digits.modes = NameFilterSets::kAllowedSet;
  digits.allowed = "0123456789";
  EXPECT_TRUE(IsTextAllowed(digits, "2024", &NoLead));
  EXPECT_FALSE(IsTextAllowed(digits, "20a4", &NoLead));
  EXPECT_TRUE(IsCharacterRefused(digits, 'a'));
  EXPECT_FALSE(IsCharacterRefused(digits, '7'));
}

TEST(Trim, RemovesTheSixWhiteSpaceCharactersAtBothEndsOnly) {
  EXPECT_EQ(TrimName(" \t\n\v\f\rChairs  old\r\n \t", &NoLead), "Chairs  old");
  EXPECT_EQ(TrimName("   ", &NoLead), "");
  EXPECT_EQ(TrimName("", &NoLead), "");
  EXPECT_EQ(TrimName("x", &NoLead), "x");
  // 0x81 0x20 is one double-byte character whose trail byte is a space: it stays whole.
  EXPECT_EQ(TrimName(" a\x81 ", &ShiftJisLead), "a\x81 ");
  EXPECT_EQ(TrimName(" a\x81 ", &NoLead), "a\x81");
}

TEST(ShortcutPath, JoinsFolderAndNameAndReplacesTheExtension) {
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav", "Chair.obj", &NoLead), "C:\\Fav\\Chair.lnk");
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav\\", "Models", &NoLead), "C:\\Fav\\Models.lnk");
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav", "My.Site", &NoLead), "C:\\Fav\\My.lnk");
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav", "a.b.c", &NoLead), "C:\\Fav\\a.b.lnk");
  // A dot followed by a space is not an extension, as the shell sees it.
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav", "v1.0 final", &NoLead), "C:\\Fav\\v1.0 final.lnk");
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav", ".hidden", &NoLead), "C:\\Fav\\.lnk");
  // An empty name still gives a path, ending in a backslash and ".lnk".
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav", "", &NoLead), "C:\\Fav\\.lnk");
  // A dot in the folder is never the name's extension.
  EXPECT_EQ(ComposeShortcutPath("C:\\Fav.old", "Chairs", &NoLead), "C:\\Fav.old\\Chairs.lnk");
  // A folder ending in a double-byte character whose trail byte is a backslash gets one.
  EXPECT_EQ(ComposeShortcutPath("C:\\" + kSo, "n", &ShiftJisLead), "C:\\" + kSo + "\\n.lnk");
  EXPECT_EQ(ComposeShortcutPath("C:\\" + kSo, "n", &NoLead), "C:\\" + kSo + "n.lnk");
}

TEST(ShortcutPath, RefusesAPathOf260CharactersOrMore) {
  const std::string folder = "C:\\" + std::string(200, 'f');
  const std::string fits(259 - folder.size() - 1 - 4, 'n');
  ASSERT_EQ(ComposeShortcutPath(folder, fits, &NoLead)->size(), 259u);
  EXPECT_FALSE(ComposeShortcutPath(folder, fits + "n", &NoLead));
  // The extension that is dropped does not count.
  EXPECT_EQ(ComposeShortcutPath(folder, fits + ".jpeg", &NoLead)->size(), 259u);
  EXPECT_FALSE(ComposeShortcutPath(std::string(300, 'x'), "", &NoLead));
}

TEST(FolderWalk, SearchPatternMustFit260Bytes) {
  EXPECT_TRUE(SearchPatternFits(std::string(257, 'a'), &NoLead));  // + "\*" + NUL = 260
  EXPECT_FALSE(SearchPatternFits(std::string(258, 'a'), &NoLead));
  EXPECT_TRUE(SearchPatternFits(std::string(257, 'a') + "\\", &NoLead));
  EXPECT_FALSE(SearchPatternFits(std::string(258, 'a') + "\\", &NoLead));
}

TEST(FolderOrder, ComparesWholePathsWithoutRegardToCase) {
  EXPECT_EQ(ComparePathsIgnoringCase("C:\\Fav\\chairs", "c:\\FAV\\Chairs", &NoLead), 0);
  EXPECT_LT(ComparePathsIgnoringCase("C:\\Fav\\A", "C:\\Fav\\b", &NoLead), 0);
  EXPECT_GT(ComparePathsIgnoringCase("C:\\Fav\\a\\x", "C:\\Fav\\a", &NoLead), 0);
  // Text order, not tree order: a space sorts before the backslash; letters fold to lower case,
  // so "_" sorts before every letter.
  EXPECT_LT(ComparePathsIgnoringCase("C:\\Fav\\A X", "C:\\Fav\\A\\X", &NoLead), 0);
  EXPECT_GT(ComparePathsIgnoringCase("C:\\Fav\\A", "C:\\Fav\\_", &NoLead), 0);
  // Double-byte characters compare as units and are not case-folded.
  EXPECT_NE(ComparePathsIgnoringCase("\x82\x61", "\x82\x41", &ShiftJisLead), 0);
}

TEST(FolderOrder, InsertionGoesBeforeTheFirstGreaterPathAndKeepsDuplicates) {
  const std::vector<std::string_view> tree = {"C:\\Fav", "C:\\Fav\\A", "C:\\Fav\\A\\X", "C:\\Fav\\B"};
  // Between the sibling A and its first child X, as text sorts.
  EXPECT_EQ(InsertionIndex(tree, "C:\\Fav\\A X", &NoLead), 2u);
  EXPECT_EQ(InsertionIndex(tree, "C:\\Fav\\A\\Y", &NoLead), 3u);
  EXPECT_EQ(InsertionIndex(tree, "C:\\Fav\\a", &NoLead), 2u);  // after the equal entry A
  EXPECT_EQ(InsertionIndex(tree, "C:\\Fav\\C", &NoLead), 4u);  // nothing greater: appended
  EXPECT_EQ(InsertionIndex({}, "C:\\Fav", &NoLead), 0u);
  // The list is in tree order, not sorted: the first greater entry wins even if later ones are smaller.
  EXPECT_EQ(InsertionIndex({"C:\\Fav", "C:\\Fav\\Z", "C:\\Fav\\B"}, "C:\\Fav\\C", &NoLead), 1u);
}

TEST(FolderOrder, DepthCountsBackslashesAfterTheRoot) {
  EXPECT_EQ(DepthBelowRoot("C:\\Fav\\Chairs\\Old", 6), 2);
  EXPECT_EQ(DepthBelowRoot("C:\\Fav\\Chairs", 6), 1);
  // A root given with a trailing backslash counts one level less.
  EXPECT_EQ(DepthBelowRoot("C:\\Fav\\Chairs\\Old", 7), 1);
  EXPECT_EQ(DepthBelowRoot("C:\\Fav", 6), 0);
  EXPECT_EQ(DepthBelowRoot("C:\\", 10), 0);
}

TEST(OverwriteQuestion, PutsTheNameInAndNeverReadsOtherConversions) {
  EXPECT_EQ(FormatOverwriteQuestion("%s\nalready exists. Overwrite ?", "Chairs"),
            "Chairs\nalready exists. Overwrite ?");
  EXPECT_EQ(FormatOverwriteQuestion("%s %s %d %% %n%", "a"), "a %s %d % %n%");
  EXPECT_EQ(FormatOverwriteQuestion("no name", "a"), "no name");
  const std::string pattern = "%s\nalready exists. Overwrite ?";
  const std::size_t room = 259 - (pattern.size() - 2);
  EXPECT_TRUE(FormatOverwriteQuestion(pattern, std::string(room, 'n')));
  EXPECT_FALSE(FormatOverwriteQuestion(pattern, std::string(room + 1, 'n')));
}

TEST(OptionBits, OnlyBit0x20ChangesAndAnUnchangedValueIsNotWritten) {
  EXPECT_FALSE(OptionBitsToWrite(0x45u, false));
  EXPECT_EQ(OptionBitsToWrite(0x45u, true), 0x65u);
  EXPECT_EQ(OptionBitsToWrite(0xFFFFFFFFu, false), 0xFFFFFFDFu);
  EXPECT_FALSE(OptionBitsToWrite(0x65u, true));
  EXPECT_FALSE(OptionBitsToWrite(std::nullopt, false));  // missing and off: nothing written
  EXPECT_EQ(OptionBitsToWrite(std::nullopt, true), 0x20u);
}

TEST(Disclosure, ClosesInOneMoveAndAnimatesOpenInStepsOf4) {
  EXPECT_EQ(TickDistance(39), 4);
  EXPECT_EQ(TickDistance(5), 1);
  EXPECT_EQ(TickDistance(4), 0);
  DisclosureTravel motion;
  motion.direction = DisclosureTravel::kShrink;
  EXPECT_EQ(motion.Move(motion.travel), -39);  // the dialog starts collapsed
  EXPECT_EQ(motion.opening, 0);
  EXPECT_EQ(motion.Move(4), 0);  // already closed
  motion.direction = DisclosureTravel::kGrow;
  std::vector<int> moves;
  for (int tick = 0; tick < 6; ++tick) moves.push_back(motion.Move(TickDistance(motion.travel)));
  EXPECT_EQ(moves, (std::vector<int>{4, 4, 4, 4, 4, 4}));
  EXPECT_EQ(motion.Move(motion.travel), 15);  // the time is over: the rest at once
  EXPECT_EQ(motion.opening, 39);
  EXPECT_EQ(motion.Move(4), 0);  // the tick after a full travel stops the timer
}

TEST(Disclosure, ReversesFromWhereItStandsAndNeverLeavesTheRange) {
  DisclosureTravel motion;
  motion.opening = 0;
  motion.direction = DisclosureTravel::kGrow;
  motion.Move(4);
  motion.Move(4);
  motion.direction = DisclosureTravel::kShrink;  // a second click while it moves
  EXPECT_EQ(motion.Move(4), -4);
  EXPECT_EQ(motion.Move(39), -4);
  EXPECT_EQ(motion.opening, 0);
  motion.direction = DisclosureTravel::kGrow;
  EXPECT_EQ(motion.Move(1000), 39);
  EXPECT_EQ(motion.opening, 39);
  EXPECT_EQ(motion.Move(-5), 0);  // a negative distance never moves
  motion.direction = DisclosureTravel::kShrink;
  EXPECT_EQ(motion.Move(-5), 0);
  EXPECT_EQ(motion.opening, 39);
}

}  // namespace
}  // namespace commonq
