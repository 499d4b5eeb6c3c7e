#include "fileinfo/logic/preview_rules.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace commonq {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// The stride and the offsets follow from these, as tests/fuzz/preview_dib_fuzz.cpp checks for any
// header; the colour table's size does not.
TEST(DibLayout, ColourTables) {
  // Bit count, biClrUsed and the colour entries of a bitmap 3 by 5.
  const std::uint32_t cases[][3] = {{1, 0, 2},  {4, 0, 16}, {8, 0, 256},   {16, 0, 0},        {24, 256, 0},
                                    {32, 0, 0}, {8, 2, 2},  {8, 257, 256}, {1, 0xFFFFFFFF, 2}};
  for (const auto& c : cases) {
    const auto layout = DibLayoutFor(3, 5, static_cast<std::uint16_t>(c[0]), c[1]);
    ASSERT_TRUE(layout) << c[0];
    EXPECT_EQ(layout->colorEntries, c[2]) << c[0] << " used " << c[1];
  }
  EXPECT_EQ(DibLayoutFor(33, 5, 1)->stride, 8u) << "a stride of the width, not the height";
}

// Only what no caller can hold is refused, whatever its size otherwise; the products that wrap
// 32 bits are refused where only 32 bits can be addressed, and nowhere taken for small ones.
TEST(DibLayout, RefusesNonPositiveSizesOddBitCountsAndWhatCannotBeAddressed) {
  constexpr std::uint64_t k32BitSpace = 0x7FFFFFFF;  // what i686 can address
  EXPECT_EQ(DibLayoutFor(8192, 8192, 32, 0, k32BitSpace)->imageBytes, 256u << 20);
  EXPECT_EQ(DibLayoutFor(kMax, kMax, 1)->totalBytes, 48 + std::uint64_t{0x10000000} * kMax);
  EXPECT_EQ(DibLayoutFor(2047, 262144, 32, 0, k32BitSpace)->totalBytes, 40 + std::uint64_t{2047} * 4 * 262144);
  const std::int32_t refused[][3] = {{0, 10, 32}, {-10, 10, 32}, {10, -10, 32},   {10, 10, 0},
                                     {10, 10, 7}, {10, 10, 64},  {kMax, kMax, 24}};  // the last beyond 2^63 bytes
  for (const auto& r : refused)
    EXPECT_FALSE(DibLayoutFor(r[0], r[1], static_cast<std::uint16_t>(r[2]))) << r[0] << " " << r[2];
  const std::int32_t beyond32Bits[][3] = {{2048, 262144, 32}, {65536, 65537, 8}, {1, kMax, 24}, {0x40000000, 4, 32}};
  for (const auto& r : beyond32Bits) {
    EXPECT_FALSE(DibLayoutFor(r[0], r[1], static_cast<std::uint16_t>(r[2]), 0, k32BitSpace)) << r[0] << " x " << r[1];
    EXPECT_TRUE(DibLayoutFor(r[0], r[1], static_cast<std::uint16_t>(r[2]))) << "addressable in 64 bits";
  }
  const std::uint8_t header[40] = {40, 0, 0, 0, 200, 0, 0, 0, 0x9C, 0xFF, 0xFF, 0xFF, 1, 0, 24, 0, 0,
                                   0,  0, 0, 0, 0,   0, 0, 0, 0,    0,    0,    0,    0, 0, 0,  16};
  const DibHeaderFields read = ReadDibHeader(header);
  EXPECT_TRUE(read.width == 200 && read.height == -100 && read.bitCount == 24 && read.colorsUsed == 16);
}

TEST(FitPreview, KeepsTheProportionsTruncatingTheMargin) {
  const struct {
    std::int32_t width, height, left, top, right, bottom;
  } cases[] = {{200, 100, 10, 36, 74, 68},
               {100, 200, 26, 20, 58, 84},
               {4096, 4096, 10, 20, 74, 84},
               {300, 100, 10, 41, 74, 63},
               {300000, 1, 10, 51, 74, 53}};  // at least two rows
  for (const auto& c : cases) {
    const Rect r = FitPreview(10, 20, c.width, c.height);
    EXPECT_EQ(std::tie(r.left, r.top, r.right, r.bottom), std::tie(c.left, c.top, c.right, c.bottom)) << c.width;
  }
}

TEST(Shadow, PiecesLieRightAndBelowAndInvertedOnesDrawNothing) {
  const Rect picture{100, 200, 164, 232};
  for (const ShadowPiece& piece : ShadowPieces(picture)) {
    EXPECT_TRUE(piece.rect.left >= picture.right || piece.rect.top >= picture.bottom);
    EXPECT_NE(GradientVertices(piece.rect, 0, 0xFFFFFF, piece.direction, piece.corner).mode, GradientMode::kNone);
  }
  EXPECT_EQ(ShadowPieces(picture)[0].rect.top, picture.top + kShadowDepth - 1);
  const auto thin = ShadowPieces(FitPreview(0, 0, 19, 65536));  // 2 pixels wide
  EXPECT_EQ(GradientVertices(thin[3].rect, 0, 0xFFFFFF, thin[3].direction, thin[3].corner).mode, GradientMode::kNone);
}

}  // namespace
}  // namespace commonq
