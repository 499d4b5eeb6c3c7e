#include "frame/translation_rules.h"

#include <gtest/gtest.h>

namespace commonq {
namespace {

constexpr int kOffset = TranslationOffset(kDialogTranslationBase);

TEST(TranslationStringId, StandardButtonsUseTheSharedStrings) {
  EXPECT_EQ(kOffset, 3000);
  EXPECT_EQ(TranslationStringId(1, 0, kOffset), 3u);
  EXPECT_EQ(TranslationStringId(2, 0, kOffset), 5u);
  EXPECT_EQ(TranslationStringId(3, 0, kOffset), 7u);
  EXPECT_EQ(TranslationStringId(8, 0, kOffset), 11u);
}

TEST(TranslationStringId, OtherControlsUseOffsetPlusId) {
  EXPECT_EQ(TranslationStringId(1011, 0, kOffset), 4011u);
  EXPECT_EQ(TranslationStringId(4, 0, kOffset), 3004u);
  EXPECT_EQ(TranslationStringId(1001, 0, 500), 1501u);
}

TEST(TranslationStringId, ReservedIdsAskForStringZero) {
  for (int id : {13, 15, 17, 19}) EXPECT_EQ(TranslationStringId(id, 0, kOffset), 0u) << id;
  for (int id : {12, 14, 16, 18, 20}) EXPECT_NE(TranslationStringId(id, 0, kOffset), 0u) << id;
}

TEST(TranslationStringId, ExplicitIdWinsButStandardIdsStillMap) {
  EXPECT_EQ(TranslationStringId(1003, 115, kOffset), 115u);
  EXPECT_EQ(TranslationStringId(1001, 559, kOffset), 559u);
  EXPECT_EQ(TranslationStringId(1, 46, kOffset), 46u);
  EXPECT_EQ(TranslationStringId(13, 829, kOffset), 829u);
  // An explicit id that is itself 1, 2, 3 or 8 is mapped like the control ids.
  EXPECT_EQ(TranslationStringId(1184, 8, kOffset), 11u);
  EXPECT_EQ(TranslationStringId(1184, 2, kOffset), 5u);
}

TEST(DialogOverride, OneStringPerTemplateAndControl) {
  EXPECT_EQ(DialogOverrideStringId(1060, 1012), 16012u);
  EXPECT_EQ(DialogOverrideStringId(1010, 1012), 11012u);
  EXPECT_EQ(DialogOverrideStringId(1030, 1013), 13013u);
  EXPECT_EQ(DialogOverrideStringId(1160, 1055), 26055u);
  EXPECT_EQ(DialogOverrideStringId(1000, 1000), 10000u);
  EXPECT_EQ(DialogOverrideStringId(1499, 1099), 59999u);
  // Outside the numbered ranges there is no override, and nothing reaches past 65535.
  EXPECT_EQ(DialogOverrideStringId(1010, 1), 0u);
  EXPECT_EQ(DialogOverrideStringId(1010, 1100), 0u);
  EXPECT_EQ(DialogOverrideStringId(1500, 1012), 0u);
  EXPECT_EQ(DialogOverrideStringId(999, 1012), 0u);
  EXPECT_EQ(DialogOverrideStringId(-5, 1012), 0u);
}

TEST(TranslatedClass, OnlyButtonAndStaticInAnyCase) {
  EXPECT_TRUE(IsTranslatedClass("Button"));
  EXPECT_TRUE(IsTranslatedClass("BUTTON"));
  EXPECT_TRUE(IsTranslatedClass("static"));
  EXPECT_FALSE(IsTranslatedClass("Edit"));
  EXPECT_FALSE(IsTranslatedClass("ComboBox"));
  EXPECT_FALSE(IsTranslatedClass("Buttons"));
  EXPECT_FALSE(IsTranslatedClass(""));
}

TEST(ReplaceText, OnlyANonEmptyTextThatDiffersBeyondCase) {
  EXPECT_TRUE(ShouldReplaceText("Cancel", "Abbrechen"));
  EXPECT_FALSE(ShouldReplaceText("Cancel", ""));
  EXPECT_FALSE(ShouldReplaceText("&OK", "&ok"));
  EXPECT_TRUE(ShouldReplaceText("&OK", "OK"));
}

TEST(LanguageExtension, NoSeparatorOrDriveMayLeadOutOfTheFolder) {
  EXPECT_TRUE(IsLanguageExtension(".deu"));
  EXPECT_TRUE(IsLanguageExtension(".chs.v2"));
  EXPECT_TRUE(IsLanguageExtension(""));
  EXPECT_FALSE(IsLanguageExtension(".\\..\\..\\x"));
  EXPECT_FALSE(IsLanguageExtension("./../x"));
  EXPECT_FALSE(IsLanguageExtension("C:x"));
}

}  // namespace
}  // namespace commonq
