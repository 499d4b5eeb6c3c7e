// The format table: what each stored value opens as and stores again, and which extension opens
// which dialog.
#include "filedialogs/logic/format_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace commonq {
namespace {

const FormatTable& Format(const char* extension) {
  return extension == nullptr ? WavefrontPage() : *FindFormat(extension);
}

std::uint32_t Reopened(const FormatTable& format, std::optional<std::uint32_t> stored) {
  return EncodeFields(format.fields, DecodeFields(format.fields, stored));
}

TEST(FormatTable, StoredValuesOpenAndStoreAgainAsTheHostExpects) {
  const std::optional<std::uint32_t> none;
  // Extension (none for the Wavefront page), stored value, what OK stores after it.
  const struct {
    const char* extension;
    std::optional<std::uint32_t> stored;
    std::uint32_t stores;
  } cases[] = {
      {".bmp", none, 0x84},  {".bmp", 0x08, 0x08},  {".bmp", 0x06, 0x04},    {".bmp", 0x140, 0x100},
      {".bmp", 0x80, 0x82},  {".bmp", 0, 0x02},     {".png", none, 0x404},   {".png", 0x14, 0x04},
      {".png", 0x10, 0x10},  {".png", 0, 0x02},     {".png", 0x484, 0x404},  {".rsr", none, 0x82},
      {".rsr", 0x86, 0x84},  {".rsr", 0, 0x02},     {".car", none, 0},       {".car", 3, 1},
      {".car", 0x100, 0},    {".car", 0x102, 2},    {".jpg", none, 25},      {".jpg", 250, 250},
      {".jpg", ~0u, ~0u},    {".gif", none, 0},     {".obj", none, 0},       {".obj", 0xFF, 0x7},
      {nullptr, none, 0x7},  {nullptr, 0, 0},       {nullptr, 0x300, 0x100}, {nullptr, 0x70, 0x10},
      {nullptr, 0x60, 0x20}, {nullptr, 0x1F, 0x1F},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Reopened(Format(c.extension), c.stored), c.stores)
        << (c.extension ? c.extension : "page") << " " << c.stored.value_or(0xDEAD);
  }
}

TEST(FormatTable, ExtensionsAreComparedWholeIgnoringCase) {
  EXPECT_EQ(FindFormat(".PNG"), FindFormat(".png"));
  EXPECT_EQ(FindFormat(".Cbr"), FindFormat(".car"));
  ASSERT_NE(FindFormat(".cbr"), nullptr);
  for (const char* other : {".jpeg", ".tga", ".tif", "png", ".pn", ".pngx", "", "."}) {
    EXPECT_EQ(FindFormat(other), nullptr) << other;
  }
}

TEST(FormatTable, JpegFactorAndArrows) {
  EXPECT_TRUE(IsStorableJpegFactor(0) && IsStorableJpegFactor(99));
  EXPECT_FALSE(IsStorableJpegFactor(100) || IsStorableJpegFactor(kNotANumber));
  // Position, delta, where the arrow lands.
  const int arrows[][3] = {{23, 1, 25},  {23, -1, 20}, {25, 1, 30}, {25, -1, 20},
                           {95, 1, 100}, {0, 2, 10},   {7, 0, 7},   {-3, 1, 0}};
  for (const auto& [position, delta, lands] : arrows) {
    EXPECT_EQ(position + JpegArrowDelta(position, delta), lands) << position << " " << delta;
  }
  // Far outside the control's range the rule saturates instead of overflowing.
  EXPECT_EQ(JpegArrowDelta(0, INT32_MAX), INT32_MAX);
  EXPECT_EQ(JpegArrowDelta(0, INT32_MIN), INT32_MIN);
}

}  // namespace
}  // namespace commonq
