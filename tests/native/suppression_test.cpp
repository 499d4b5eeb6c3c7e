#include "msgbox/suppression.h"

#include <gtest/gtest.h>

namespace commonq {
namespace {

TEST(SuppressibleMessages, OnlyTheTwoKnownNumbers) {
  ASSERT_TRUE(FindSuppressibleMessage(3031));
  EXPECT_EQ(FindSuppressibleMessage(3031)->bitIndex, 1);
  EXPECT_EQ(FindSuppressibleMessage(3031)->kind, CheckBoxKind::kShowAgain);
  ASSERT_TRUE(FindSuppressibleMessage(10101));
  EXPECT_EQ(FindSuppressibleMessage(10101)->bitIndex, 3);
  for (std::uint32_t other : {0u, 1u, 3030u, 3032u, 10100u, 10102u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(FindSuppressibleMessage(other)) << other;
  }
}

TEST(SuppressibleMessages, BitValuesOfIndexes) {
  EXPECT_EQ(BitValue(BitValue(1) == 0x2 ? 3 : 0), 0x8u);
  EXPECT_EQ(BitValue(0), 0x1u);
  EXPECT_EQ(BitValue(31), 0x80000000u);
  EXPECT_EQ(BitValue(32), 0u);
  EXPECT_EQ(BitValue(-1), 0u);
}

TEST(SuppressibleMessages, CheckBoxTextsFallBackToTheLibrarysOwnStrings) {
  EXPECT_EQ(CheckBoxStringIds(CheckBoxKind::kShowAgain).languageId, 3002u);
  EXPECT_EQ(CheckBoxStringIds(CheckBoxKind::kShowAgain).ownId, 2u);
  EXPECT_EQ(CheckBoxStringIds(CheckBoxKind::kAskAgain).languageId, 3001u);
  EXPECT_EQ(CheckBoxStringIds(CheckBoxKind::kAskAgain).ownId, 1u);
}

}  // namespace
}  // namespace commonq
