#include "frame/placement.h"

#include <gtest/gtest.h>

namespace commonq {
namespace {

const Rect kWorkArea{0, 0, 1280, 1000};

TEST(CenteredPosition, CentresOnTheReferenceRectangle) {
  const Point at = CenteredPosition(200, 100, Rect{100, 100, 500, 400}, kWorkArea);
  EXPECT_EQ(at.x, 200);
  EXPECT_EQ(at.y, 200);
}

TEST(CenteredPosition, DividesEachHalfSeparatelyTowardZero) {
  // (101 + 400) / 2 = 250 and 51 / 2 = 25: one division of the difference would give 225.5 -> 225.
  const Point at = CenteredPosition(51, 51, Rect{101, 101, 400, 400}, kWorkArea);
  EXPECT_EQ(at.x, 225);
  // Negative coordinates round toward zero too: (-301 + 0) / 2 = -150.
  const Point left = CenteredPosition(10, 10, Rect{-301, 0, 0, 10}, Rect{-2000, -2000, 2000, 2000});
  EXPECT_EQ(left.x, -155);
}

TEST(CenteredPosition, PulledBackInsideTheArea) {
  const Point leftTop = CenteredPosition(300, 200, Rect{-400, -300, 0, 0}, kWorkArea);
  EXPECT_EQ(leftTop.x, 0);
  EXPECT_EQ(leftTop.y, 0);
  const Point rightBottom = CenteredPosition(300, 200, Rect{1200, 900, 1600, 1200}, kWorkArea);
  EXPECT_EQ(rightBottom.x, 1280 - 300);
  EXPECT_EQ(rightBottom.y, 1000 - 200);
}

TEST(CenteredPosition, WindowLargerThanTheArea) {
  // The near edge is checked first: centred on the area itself it starts at the area's edge.
  const Point centred = CenteredPosition(1500, 1100, kWorkArea, kWorkArea);
  EXPECT_EQ(centred.x, 0);
  EXPECT_EQ(centred.y, 0);
  // Centred further right and down, it ends at the far edge and starts before the near one.
  const Point shifted = CenteredPosition(1500, 1100, Rect{800, 600, 1200, 1000}, kWorkArea);
  EXPECT_EQ(shifted.x, 1280 - 1500);
  EXPECT_EQ(shifted.y, 1000 - 1100);
}

TEST(CenteredPosition, AreaWithOffsetOrigin) {
  const Rect area{100, 50, 700, 650};
  const Point at = CenteredPosition(100, 100, area, area);
  EXPECT_EQ(at.x, 350);
  EXPECT_EQ(at.y, 300);
}

}  // namespace
}  // namespace commonq
