#include "fileinfo/preview_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace commonq {
namespace {

TEST(DibLayout, RowsArePaddedToFourBytesForEveryBitCount) {
  // 3 pixels: 1 bit -> 1 byte, 4 bits -> 2 bytes, 8 -> 3, 16 -> 6, 24 -> 9, 32 -> 12; each padded.
  const std::pair<std::uint16_t, std::uint32_t> strides[] = {{1, 4}, {4, 4}, {8, 4}, {16, 8}, {24, 12}, {32, 12}};
  for (const auto& [bits, stride] : strides) {
    const auto layout = DibLayoutFor(3, 5, bits);
    ASSERT_TRUE(layout) << bits;
    EXPECT_EQ(layout->stride, stride) << bits;
    EXPECT_EQ(layout->imageBytes, stride * 5) << bits;
  }
  EXPECT_EQ(DibLayoutFor(32, 1, 1)->stride, 4u) << "exactly one 32-bit word needs no padding";
  EXPECT_EQ(DibLayoutFor(33, 1, 1)->stride, 8u);
}

TEST(DibLayout, HighColourBitsFollowTheHeaderDirectly) {
  for (std::uint16_t bits : {16, 24, 32}) {
    const auto layout = DibLayoutFor(200, 100, bits, 256);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->colorEntries, 0u) << "biClrUsed means nothing without a palette";
    EXPECT_EQ(layout->bitsOffset, 40u);
    EXPECT_EQ(layout->blockBytes, 40u + layout->imageBytes);
  }
}

TEST(DibLayout, PaletteBitmapsCarryTheirColourTableBeforeTheBits) {
  const auto eight = DibLayoutFor(10, 10, 8);
  ASSERT_TRUE(eight);
  EXPECT_EQ(eight->colorEntries, 256u);
  EXPECT_EQ(eight->bitsOffset, 40u + 1024u);
  EXPECT_EQ(eight->blockBytes, 40u + 1024u + 12u * 10u);
  EXPECT_EQ(DibLayoutFor(10, 10, 4)->colorTableBytes, 64u);
  EXPECT_EQ(DibLayoutFor(10, 10, 1)->colorTableBytes, 8u);
  // biClrUsed shortens the table; 0 or more than the bit count allows means the full table.
  EXPECT_EQ(DibLayoutFor(10, 10, 8, 2)->bitsOffset, 48u);
  EXPECT_EQ(DibLayoutFor(10, 10, 8, 257)->colorEntries, 256u);
  EXPECT_EQ(DibLayoutFor(10, 10, 1, 0xFFFFFFFF)->colorEntries, 2u);
}

TEST(DibLayout, RefusesShapesThatCannotBeAPreview) {
  EXPECT_FALSE(DibLayoutFor(0, 10, 32));
  EXPECT_FALSE(DibLayoutFor(10, 0, 32));
  EXPECT_FALSE(DibLayoutFor(-10, 10, 32));
  EXPECT_FALSE(DibLayoutFor(10, -10, 32)) << "top-down bitmaps are refused";
  for (std::uint16_t bits : {0, 2, 7, 15, 31, 33, 64, 0xFFFF}) EXPECT_FALSE(DibLayoutFor(10, 10, bits)) << bits;
}

TEST(DibLayout, RefusesMoreThan64MegabytesWithoutOverflowing) {
  // 4096 x 4096 x 32 bits is exactly 64 MB: the largest preview taken.
  const auto largest = DibLayoutFor(4096, 4096, 32);
  ASSERT_TRUE(largest);
  EXPECT_EQ(largest->imageBytes, 64u << 20);
  EXPECT_FALSE(DibLayoutFor(4096, 4097, 32));
  // Each of these wraps a 32-bit stride or image size to something small.
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  EXPECT_FALSE(DibLayoutFor(kMax, 1, 32));
  EXPECT_FALSE(DibLayoutFor(kMax, kMax, 1));
  EXPECT_FALSE(DibLayoutFor(0x40000000, 4, 32)) << "32 * 2^30 wraps to 0 in 32 bits";
  EXPECT_FALSE(DibLayoutFor(65536, 65537, 8)) << "the image size wraps to 64 KB in 32 bits";
  EXPECT_FALSE(DibLayoutFor(1, kMax, 24));
}

TEST(DibLayout, ReadsTheHeaderFieldsAtTheirOffsets) {
  std::uint8_t header[40] = {};
  const std::int32_t width = 200;
  const std::int32_t height = -100;
  const std::uint16_t bits = 24;
  const std::uint32_t used = 16;
  std::memcpy(header + 4, &width, 4);
  std::memcpy(header + 8, &height, 4);
  std::memcpy(header + 14, &bits, 2);
  std::memcpy(header + 32, &used, 4);
  const DibHeaderFields fields = ReadDibHeader(header);
  EXPECT_EQ(fields.width, 200);
  EXPECT_EQ(fields.height, -100);
  EXPECT_EQ(fields.bitCount, 24);
  EXPECT_EQ(fields.colorsUsed, 16u);
}

TEST(FitPreview, KeepsTheProportionsInsideTheBox) {
  const Rect wide = FitPreview(10, 20, 200, 100);
  EXPECT_EQ(wide.left, 10);
  EXPECT_EQ(wide.Width(), 64);
  EXPECT_EQ(wide.top, 20 + 16);
  EXPECT_EQ(wide.Height(), 32);

  const Rect tall = FitPreview(10, 20, 100, 200);
  EXPECT_EQ(tall.left, 10 + 16);
  EXPECT_EQ(tall.Width(), 32);
  EXPECT_EQ(tall.top, 20);
  EXPECT_EQ(tall.Height(), 64);

  const Rect square = FitPreview(10, 20, 4096, 4096);
  EXPECT_EQ(square.left, 10);
  EXPECT_EQ(square.top, 20);
  EXPECT_EQ(square.Width(), 64);
  EXPECT_EQ(square.Height(), 64);
}

TEST(FitPreview, TruncatesTheMarginTowardZero) {
  // 300 x 100: (64 - 21.33) / 2 = 21.33 -> 21 on each side, 22 pixels high.
  const Rect wide = FitPreview(0, 0, 300, 100);
  EXPECT_EQ(wide.top, 21);
  EXPECT_EQ(wide.bottom, 43);
  // A line-thin picture keeps at least two rows: (64 - 0.0002) / 2 truncates to 31.
  const Rect line = FitPreview(0, 0, 300000, 1);
  EXPECT_EQ(line.top, 31);
  EXPECT_EQ(line.bottom, 33);
}

TEST(ShadowPieces, RunAlongTheRightAndBottomEdgesOnly) {
  const Rect picture{100, 200, 164, 232};
  const auto pieces = ShadowPieces(picture);
  const int expected[5][7] = {
      // left, top, right, bottom, direction, corner
      {164, 204, 169, 209, 225, 2, 0}, {164, 209, 169, 232, 0, -1, 0},  {164, 232, 169, 237, 45, -1, 0},
      {110, 232, 164, 237, 90, -1, 0}, {104, 232, 110, 237, 135, 3, 0},
  };
  for (int k = 0; k < 5; ++k) {
    const ShadowPiece& piece = pieces[static_cast<std::size_t>(k)];
    EXPECT_EQ(piece.rect.left, expected[k][0]) << k;
    EXPECT_EQ(piece.rect.top, expected[k][1]) << k;
    EXPECT_EQ(piece.rect.right, expected[k][2]) << k;
    EXPECT_EQ(piece.rect.bottom, expected[k][3]) << k;
    EXPECT_EQ(piece.direction, expected[k][4]) << k;
    EXPECT_EQ(piece.corner, expected[k][5]) << k;
    EXPECT_TRUE(piece.rect.left >= picture.right || piece.rect.top >= picture.bottom)
        << "no piece covers the picture or lies above or left of it";
  }
  // The right edge starts d - 1 below the top, the bottom edge d - 1 right of the left side.
  EXPECT_EQ(pieces[0].rect.top - picture.top, kShadowDepth - 1);
  EXPECT_EQ(pieces[4].rect.left - picture.left, kShadowDepth - 1);
}

TEST(ShadowPieces, PiecesInvertedAroundAThinPictureDrawNothing) {
  // 2 pixels wide: the bottom edge would run from left + 10 back to left + 2.
  const Rect thin = FitPreview(0, 0, 19, 65536);
  ASSERT_EQ(thin.Width(), 2);
  const auto pieces = ShadowPieces(thin);
  EXPECT_GT(pieces[3].rect.left, pieces[3].rect.right);
  EXPECT_EQ(GradientVertices(pieces[3].rect, 0, 0xFFFFFF, pieces[3].direction, pieces[3].corner).mode,
            GradientMode::kNone);
  EXPECT_EQ(GradientVertices(pieces[1].rect, 0, 0xFFFFFF, pieces[1].direction, pieces[1].corner).mode,
            GradientMode::kRectHorizontal)
      << "the right edge of a tall picture is drawn";
  EXPECT_EQ(GradientVertices(Rect{5, 5, 5, 9}, 0, 0xFFFFFF, 0, -1).mode, GradientMode::kNone) << "empty";
}

constexpr std::uint32_t kDark = 0x00102030;  // COLORREF: red 0x30, green 0x20, blue 0x10
constexpr std::uint32_t kFace = 0x00D0E0F0;

void ExpectColor(const GradientVertex& v, std::uint32_t color, const char* what) {
  EXPECT_EQ(v.red, (color & 0xFF) << 8) << what;
  EXPECT_EQ(v.green, ((color >> 8) & 0xFF) << 8) << what;
  EXPECT_EQ(v.blue, ((color >> 16) & 0xFF) << 8) << what;
}

TEST(GradientVertices, RectanglesRunFromTheFirstColourAtTheStart) {
  const Rect r{1, 2, 11, 22};
  const GradientMesh horizontal = GradientVertices(r, kDark, kFace, 0, -1);
  EXPECT_EQ(horizontal.mode, GradientMode::kRectHorizontal);
  EXPECT_EQ(horizontal.vertexCount, 2);
  EXPECT_EQ(horizontal.vertices[0].x, 1);
  EXPECT_EQ(horizontal.vertices[0].y, 2);
  EXPECT_EQ(horizontal.vertices[1].x, 11);
  EXPECT_EQ(horizontal.vertices[1].y, 22);
  ExpectColor(horizontal.vertices[0], kDark, "start");
  ExpectColor(horizontal.vertices[1], kFace, "end");
  EXPECT_EQ(GradientVertices(r, kDark, kFace, 90, -1).mode, GradientMode::kRectVertical);
  EXPECT_EQ(GradientVertices(r, kDark, kFace, 30, -1).mode, GradientMode::kNone);
  EXPECT_EQ(GradientVertices(r, kDark, kFace, 180, -1).vertexCount, 0);
}

TEST(GradientVertices, TrianglesStartAtTheirCornerAfterMirroring) {
  const Rect r{1, 2, 11, 22};
  struct Case {
    int direction;
    int x0, y0;  // where the first colour sits
  } cases[] = {{45, 1, 2}, {135, 11, 2}, {225, 1, 22}};
  for (const Case& c : cases) {
    const GradientMesh mesh = GradientVertices(r, kDark, kFace, c.direction, -1);
    EXPECT_EQ(mesh.mode, GradientMode::kTriangles);
    EXPECT_EQ(mesh.vertexCount, 4);
    EXPECT_EQ(mesh.vertices[0].x, c.x0) << c.direction;
    EXPECT_EQ(mesh.vertices[0].y, c.y0) << c.direction;
    ExpectColor(mesh.vertices[0], kDark, "first colour");
    // Vertex 1 is the opposite corner; 2 and 3 the other two, so the triangles cover the rect.
    EXPECT_EQ(mesh.vertices[1].x, r.left + r.right - c.x0) << c.direction;
    EXPECT_EQ(mesh.vertices[1].y, r.top + r.bottom - c.y0) << c.direction;
    EXPECT_NE(mesh.vertices[2].x, mesh.vertices[3].x);
    EXPECT_NE(mesh.vertices[2].y, mesh.vertices[3].y);
    for (int k = 1; k < 4; ++k) ExpectColor(mesh.vertices[static_cast<std::size_t>(k)], kFace, "second colour");
  }
}

TEST(GradientVertices, TheCornerTakesTheMeanColourAndKeepsItThroughTheMirror) {
  const Rect r{0, 0, 5, 5};
  const std::uint32_t mean = 0x00708090;  // per channel (dark + face) >> 1: red 0x90, green 0x80, blue 0x70
  const GradientMesh upper = GradientVertices(r, kDark, kFace, 225, 2);
  ExpectColor(upper.vertices[2], mean, "vertex 2");
  // 225 mirrors top and bottom: vertex 2 (left, bottom) now sits at the top-left.
  EXPECT_EQ(upper.vertices[2].x, 0);
  EXPECT_EQ(upper.vertices[2].y, 0);
  const GradientMesh left = GradientVertices(r, kDark, kFace, 135, 3);
  ExpectColor(left.vertices[3], mean, "vertex 3");
  EXPECT_EQ(left.vertices[3].x, 0);
  EXPECT_EQ(left.vertices[3].y, 0);
  // Odd sums round down per channel: (0xFF + 0x00) >> 1 = 0x7F.
  const GradientMesh odd = GradientVertices(r, 0x00FF00FF, 0x0000FF00, 45, 0);
  EXPECT_EQ(odd.vertices[0].red, 0x7F00);
  EXPECT_EQ(odd.vertices[0].green, 0x7F00);
  EXPECT_EQ(odd.vertices[0].blue, 0x7F00);
  // A corner outside 0..3 changes nothing.
  ExpectColor(GradientVertices(r, kDark, kFace, 45, 4).vertices[0], kDark, "corner 4");
}

}  // namespace
}  // namespace commonq
