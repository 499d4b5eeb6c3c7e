// The frame's logic tier: the translation numbering, reducing a path to its name, and the centring arithmetic. Which
// registry answers the settings store takes is checked against every input by tests/fuzz/settings_rules_fuzz.cpp.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "frame/logic/path_text.h"
#include "frame/logic/placement.h"
#include "frame/logic/translation_rules.h"
#include "frame/platform_values.h"

namespace commonq {
namespace {

using namespace platform;

TEST(TranslationRules, ButtonsShareStringsExplicitIdsWinAndReservedIdsGetNone) {
  const int offset = TranslationOffset(kDialogTranslationBase);
  const std::uint32_t cases[][3] = {{1, 0, 3},        {2, 0, 5},      {3, 0, 7},     {8, 0, 11},
                                    {1011, 0, 4011},  {13, 0, 0},     {19, 0, 0},    {14, 0, 3014},
                                    {1003, 115, 115}, {13, 829, 829}, {1184, 8, 11}, {1184, 2, 5}};
  for (const auto& c : cases) EXPECT_EQ(TranslationStringId(int(c[0]), c[1], offset), c[2]) << c[0] << " " << c[1];
  EXPECT_EQ(DialogOverrideStringId(1060, 1012), 16012u);
  EXPECT_EQ(DialogOverrideStringId(1499, 1099), 59999u);
  EXPECT_EQ(DialogOverrideStringId(1010, 1100) + DialogOverrideStringId(1500, 1012), 0u) << "outside the ranges";
  EXPECT_TRUE(IsTranslatedClass("BUTTON") && IsTranslatedClass("static"));
  EXPECT_FALSE(IsTranslatedClass("Edit") || IsTranslatedClass("Buttons"));
  EXPECT_TRUE(ShouldReplaceText("Cancel", "Abbrechen"));
  EXPECT_FALSE(ShouldReplaceText("Cancel", "") || ShouldReplaceText("&OK", "&ok"));
  // A separator or a drive colon would lead the file name out of Languages\.
  EXPECT_TRUE(IsLanguageExtension(".chs.v2"));
  for (const char* outside : {".\\..\\x", "./../x", "C:x"}) EXPECT_FALSE(IsLanguageExtension(outside)) << outside;
}

TEST(StripToFileName, LastComponentAfterBackslashThenSlashThenColonInsideTheBuffer) {
  // Path and name; null when there is nothing to reduce.
  const std::pair<const char*, const char*> cases[] = {{"C:\\Models\\Chair.obj", "Chair.obj"},
                                                       {"models/chair.obj", "chair.obj"},
                                                       {"C:Chair.obj", "Chair.obj"},
                                                       {"C:\\a/b", "a/b"},
                                                       {"a/b:c", "b:c"},
                                                       {"C:\\Models\\\\", "Models"},
                                                       {"\\\\\\", nullptr},
                                                       {"", nullptr}};
  for (const auto& [path, name] : cases) {
    std::array<char, kPathBytes> buffer{};
    buffer.fill('#');
    std::memcpy(buffer.data(), path, std::strlen(path) + 1);
    EXPECT_EQ(StripToFileName(buffer.data(), buffer.size()), name != nullptr) << path;
    EXPECT_STREQ(buffer.data(), name != nullptr ? name : path);
    EXPECT_EQ(buffer.back(), name != nullptr ? '\0' : '#') << "a reduced buffer is cleared to its end";
  }
  char unterminated[8] = {'a', 'b', '\\', 'c', 'd', 'e', 'f', 'g'};
  ASSERT_TRUE(StripToFileName(unterminated, sizeof unterminated));
  EXPECT_STREQ(unterminated, "cdefg");
}

TEST(CenteredPosition, CentresHalvesSeparatelyAndPullsBackInsideTheArea) {
  const Rect area{0, 0, 1280, 1000};
  // Size, centre, position. (101 + 400) / 2 - 51 / 2 is 225, where 449 / 2 - 25 would be 199; a
  // window larger than the area ends at its far edge unless centred on it (the near edge is checked
  // first).
  const std::tuple<int, Rect, int, int> cases[] = {{51, {101, 101, 400, 400}, 225, 225},
                                                   {300, {1200, 900, 1600, 1200}, 980, 700},
                                                   {300, {-400, -300, 0, 0}, 0, 0},
                                                   {1500, {800, 600, 1200, 1000}, -220, -500},
                                                   {1500, area, 0, 0}};
  for (const auto& [size, centre, x, y] : cases) {
    const auto position = CenteredPosition(size, size, centre, area);
    EXPECT_TRUE(position.x == x && position.y == y) << size << ": " << position.x << ", " << position.y;
  }
  EXPECT_EQ(CenteredPosition(10, 10, {-301, 0, 0, 10}, {-2000, -2000, 2000, 2000}).x, -155) << "rounds toward zero";
}

}  // namespace
}  // namespace commonq
