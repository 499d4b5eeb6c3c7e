// The Open and Save As rules that need no window, and the extension of the chosen file type.
#include "filedialogs/logic/file_dialog_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "filedialogs/logic/filter_list.h"

namespace commonq {
namespace {

TEST(FileDialogRules, StructureSizeFlagsAndPromptField) {
  // The full structure from Windows 2000 and on Windows Me (4.90), not on NT 4, 98 or unknown.
  const WindowsVersion full[] = {{4, 90}, {5, 0}, {10, 0}}, old[] = {{4, 0}, {4, 10}, {3, 95}};
  for (const WindowsVersion& version : full) EXPECT_TRUE(UsesFullOpenFileName(&version)) << version.minor;
  for (const WindowsVersion& version : old) EXPECT_FALSE(UsesFullOpenFileName(&version)) << version.minor;
  EXPECT_FALSE(UsesFullOpenFileName(nullptr));
  EXPECT_EQ(FileDialogFlags(0x80000000u, true), 0x80881824u);
  EXPECT_EQ(FileDialogFlags(0x40, false), 0x880066u);
  // The prompt field ends at byte 32 of the record; a shorter or nonsense size has none.
  for (const std::uint32_t size : {28u, 31u, 0u, 4u}) EXPECT_FALSE(HasPromptField(size)) << size;
  EXPECT_TRUE(HasPromptField(32) && HasPromptField(40));
  EXPECT_TRUE(PromptValueFromCheck(true, 3) == 1 && PromptValueFromCheck(true, 2) == 0);
  EXPECT_EQ(PromptValueFromCheck(false, 1), 0);
}

// A filter list as a host writes it: pairs of NUL-terminated strings and an empty one at the end.
constexpr char kList[] = "Bitmap\0*.bmp\0Carrara\0*.car;*.cbr\0All files\0*.*\0Star\0*\0";

std::string Extension(const char* list, unsigned index, std::size_t capacity = 260) {
  char buffer[260] = "untouched";
  const bool found = GetFilterExtension(list, index, buffer, capacity);
  return (found ? "" : "none:") + std::string(buffer);
}

TEST(FilterList, ExtensionOfTheChosenFilterAndIndexBounds) {
  EXPECT_EQ(Extension(kList, 1), ".bmp");
  EXPECT_EQ(Extension(kList, 2), ".car");
  EXPECT_EQ(Extension(kList, 2, 3), ".c") << "cut to the buffer";
  EXPECT_EQ(Extension(kList, 3), "none:.*") << "all files keeps what it found";
  EXPECT_EQ(Extension(kList, 4), "") << "a lone asterisk leaves an empty extension";
  EXPECT_EQ(Extension("Dots\0*.**\0", 1), ".**");
  for (const unsigned index : {0u, 5u, 0xFFFFFFFFu}) EXPECT_EQ(Extension(kList, index), "none:untouched") << index;
  EXPECT_EQ(Extension(nullptr, 1), "none:untouched");
  EXPECT_EQ(Extension("Bitmap\0", 1), "none:untouched") << "a description without its pattern";
  // i686 computes with a 32-bit size_t: 2 * 0x80000001 would wrap to 2, which is filter 1.
  for (const unsigned index : {0x80000001u, 0x7FFFFFFFu}) {
    EXPECT_EQ(FindFilterPattern<std::uint32_t>(FilterListExtent(kList), index), std::nullopt) << index;
  }
}

}  // namespace
}  // namespace commonq
