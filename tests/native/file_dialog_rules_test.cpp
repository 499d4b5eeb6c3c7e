// The Open and Save As rules that need no window, and the extension of the chosen file type.
#include "filedialogs/logic/file_dialog_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "filedialogs/logic/filter_list.h"

namespace commonq {
namespace {

TEST(FileDialogRules, StructureSizeFlagsAndPromptField) {
  EXPECT_FALSE(UsesFullOpenFileName(nullptr));
  // NT 4, 98, Me, 2000, 10 and an older version.
  const struct {
    WindowsVersion version;
    bool full;
  } versions[] = {{{4, 0}, false}, {{4, 10}, false}, {{4, 90}, true},
                  {{5, 0}, true},  {{10, 0}, true},  {{3, 95}, false}};
  for (const auto& [version, full] : versions) EXPECT_EQ(UsesFullOpenFileName(&version), full) << version.major;
  EXPECT_EQ(FileDialogFlags(0, true), 0x881824u);
  EXPECT_EQ(FileDialogFlags(0x40, false), 0x880066u);
  EXPECT_EQ(FileDialogFlags(0x80000000u, true) & 0x80000000u, 0x80000000u);
  // The prompt field ends at byte 32 of the record; a shorter or nonsense size has none.
  for (const std::uint32_t size : {28u, 31u, 0u, 4u}) EXPECT_FALSE(HasPromptField(size)) << size;
  EXPECT_TRUE(HasPromptField(32) && HasPromptField(40));
  EXPECT_EQ(PromptValueFromCheck(true, 3), 1);
  EXPECT_EQ(PromptValueFromCheck(true, 2), 0);
  EXPECT_EQ(PromptValueFromCheck(false, 1), 0);
}

// A filter list as a host writes it: pairs of NUL-terminated strings and an empty one at the end.
constexpr char kList[] = "Bitmap\0*.bmp\0Carrara\0*.car;*.cbr\0All files\0*.*\0Star\0*\0";

std::string Extension(const char* list, unsigned index) {
  char buffer[260] = {};
  return GetFilterExtension(list, index, buffer, sizeof buffer) ? buffer : "(none)";
}

TEST(FilterList, ExtensionOfTheChosenFilterAndIndexBounds) {
  EXPECT_EQ(Extension(kList, 1), ".bmp");
  EXPECT_EQ(Extension(kList, 2), ".car");
  EXPECT_EQ(Extension(kList, 3), "(none)");
  // A lone asterisk leaves an empty extension, which is not the all-files one; "*.**" is none either.
  EXPECT_EQ(Extension(kList, 4), "");
  EXPECT_EQ(Extension("Dots\0*.**\0", 1), ".**");
  for (const unsigned index : {0u, 5u, 0xFFFFFFFFu}) EXPECT_EQ(Extension(kList, index), "(none)") << index;
  EXPECT_EQ(Extension(nullptr, 1), "(none)");
  EXPECT_EQ(Extension("Bitmap\0", 1), "(none)") << "a description without its pattern";
  // i686 computes with a 32-bit size_t: 2 * 0x80000001 would wrap to 2, which is filter 1.
  const std::string_view list = FilterListExtent(kList);
  EXPECT_EQ(FindFilterPattern<std::uint32_t>(list, 1), ".bmp");
  for (const unsigned index : {0x80000001u, 0x80000002u, 0x7FFFFFFFu}) {
    EXPECT_EQ(FindFilterPattern<std::uint32_t>(list, index), std::nullopt) << index;
  }
}

TEST(FilterList, BufferKeepsWhatItFoundAndIsBounded) {
  char allFiles[260] = {};
  EXPECT_FALSE(GetFilterExtension(kList, 3, allFiles, sizeof allFiles));
  EXPECT_STREQ(allFiles, ".*");
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_TRUE(GetFilterExtension(kList, 1, small, sizeof small));
  EXPECT_STREQ(small, ".bm");
  char untouched[8] = "keep";
  EXPECT_FALSE(GetFilterExtension(kList, 9, untouched, sizeof untouched));
  EXPECT_STREQ(untouched, "keep");
}

}  // namespace
}  // namespace commonq
