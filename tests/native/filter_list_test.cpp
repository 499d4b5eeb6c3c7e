// The extension of the chosen file type, taken from the caller's filter list.
#include "filedialogs/logic/filter_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace commonq {
namespace {

// A filter list as a host writes it: pairs of NUL-terminated strings and an empty one at the end.
constexpr char kListText[] = "Bitmap\0*.bmp\0Carrara\0*.car;*.cbr\0All files\0*.*\0Star\0*\0";
const std::string kList(kListText, sizeof kListText);

TEST(FilterList, ExtentStopsAtTheEmptyString) {
  EXPECT_EQ(FilterListExtent(kList.c_str()).size(), kList.size() - 1);
  EXPECT_TRUE(FilterListExtent(nullptr).empty());
  EXPECT_TRUE(FilterListExtent("").empty());
}

TEST(FilterList, PatternsGiveTheirExtension) {
  const std::string_view list = FilterListExtent(kList.c_str());
  EXPECT_EQ(FilterExtension(list, 1), ".bmp");
  EXPECT_EQ(FilterExtension(list, 2), ".car");
  EXPECT_EQ(FilterExtension(list, 3), std::nullopt);
  // A lone asterisk leaves an empty extension, which is not the all-files one.
  EXPECT_EQ(FilterExtension(list, 4), "");
}

TEST(FilterList, IndexZeroOrPastTheEndGivesNone) {
  const std::string_view list = FilterListExtent(kList.c_str());
  EXPECT_EQ(FilterExtension(list, 0), std::nullopt);
  EXPECT_EQ(FilterExtension(list, 5), std::nullopt);
  EXPECT_EQ(FilterExtension(list, 0xFFFFFFFFu), std::nullopt);
  EXPECT_EQ(FilterExtension({}, 1), std::nullopt);
  // A description without its pattern.
  constexpr char half[] = "Bitmap\0";
  EXPECT_EQ(FilterExtension(FilterListExtent(half), 1), std::nullopt);
}

TEST(FilterList, HugeIndexDoesNotWrapOnA32BitSizeType) {
  // i686 computes with a 32-bit size_t: 2 * 0x80000001 would wrap to 2, which is filter 1.
  const std::string_view list = FilterListExtent(kList.c_str());
  EXPECT_EQ(FindFilterPattern<std::uint32_t>(list, 1), ".bmp");
  EXPECT_EQ(FindFilterPattern<std::uint32_t>(list, 0x80000001u), std::nullopt);
  EXPECT_EQ(FindFilterPattern<std::uint32_t>(list, 0x80000002u), std::nullopt);
  EXPECT_EQ(FindFilterPattern<std::uint32_t>(list, 0x7FFFFFFFu), std::nullopt);
  EXPECT_EQ(FindFilterPattern<std::uint64_t>(list, 0x80000001u), std::nullopt);
}

TEST(FilterList, AllFilesIsComparedByteForByte) {
  constexpr char listText[] = "All\0*.*;*.x\0Dots\0*.**\0";
  const std::string_view list(listText, sizeof listText - 1);
  EXPECT_EQ(FilterExtension(list, 1), std::nullopt);
  EXPECT_EQ(FilterExtension(list, 2), ".**");
}

TEST(FilterList, BufferFormKeepsWhatItFoundAndIsBounded) {
  char buffer[260] = {};
  EXPECT_TRUE(GetFilterExtension(kList.c_str(), 2, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, ".car");
  char allFiles[260] = {};
  EXPECT_FALSE(GetFilterExtension(kList.c_str(), 3, allFiles, sizeof allFiles));
  EXPECT_STREQ(allFiles, ".*");
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_TRUE(GetFilterExtension(kList.c_str(), 1, small, sizeof small));
  EXPECT_STREQ(small, ".bm");
  char untouched[8] = "keep";
  EXPECT_FALSE(GetFilterExtension(kList.c_str(), 9, untouched, sizeof untouched));
  EXPECT_STREQ(untouched, "keep");
  EXPECT_FALSE(GetFilterExtension(nullptr, 1, untouched, sizeof untouched));
}

}  // namespace
}  // namespace commonq
