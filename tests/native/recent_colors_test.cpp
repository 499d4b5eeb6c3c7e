#include "msgbox/recent_colors.h"

#include <gtest/gtest.h>

#include <map>

namespace commonq {
namespace {

constexpr ColorRef kWhite = 0xFFFFFF;

ColorSlots WithRecent(std::initializer_list<ColorRef> recent) {
  ColorSlots slots = InitialColorSlots();
  int slot = kFirstRecentSlot;
  for (ColorRef color : recent) slots[slot++] = color;
  return slots;
}

TEST(RecentColors, InitialSlotsHoldThePresetsAndBlanks) {
  const ColorSlots slots = InitialColorSlots();
  const ColorSlots expected = {0x191919, 0x7F858C, 0x00FF00, 0xFF0000, 0xCCCCCC, 0x7FC0FF, kWhite, kWhite,
                               kWhite,   kWhite,   kWhite,   kWhite,   kWhite,   kWhite,   kWhite, kWhite};
  EXPECT_EQ(slots, expected);
}

TEST(RecentColors, LoadingStopsAtTheFirstGap) {
  const std::map<int, ColorRef> stored = {{0, 0x10}, {1, 0x11}, {2, 0x12}, {4, 0x14}};
  ColorSlots slots = InitialColorSlots();
  int reads = 0;
  LoadRecentColors(slots, [&](int index) -> std::optional<ColorRef> {
    ++reads;
    const auto found = stored.find(index);
    return found == stored.end() ? std::nullopt : std::optional<ColorRef>(found->second);
  });
  EXPECT_EQ(slots, WithRecent({0x10, 0x11, 0x12}));
  EXPECT_EQ(reads, 4);  // the value for 4 is never asked for
}

TEST(RecentColors, NewColourGoesToTheFrontAndTheLastIsDropped) {
  ColorSlots slots = WithRecent({1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_TRUE(UpdateRecentColors(slots, 0x99));
  EXPECT_EQ(slots, WithRecent({0x99, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(StoredRecentColorCount(slots), 8);
}

TEST(RecentColors, ColourAlreadyInTheListMovesToTheFront) {
  ColorSlots slots = WithRecent({1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_TRUE(UpdateRecentColors(slots, 3));  // slot 10
  EXPECT_EQ(slots, WithRecent({3, 1, 2, 4, 5, 6, 7, 8}));

  ColorSlots last = WithRecent({1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_TRUE(UpdateRecentColors(last, 8));  // slot 15 is not scanned, yet ends up at the front
  EXPECT_EQ(last, WithRecent({8, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(RecentColors, RemovalKeepsTheLastSlotWhenNothingIsInserted) {
  // A preset that also sits in the recent list is removed from it but not inserted again.
  ColorSlots slots = WithRecent({1, 0x00FF00, 3, 4, 5, 6, 7, 8});
  ASSERT_TRUE(UpdateRecentColors(slots, 0x00FF00));
  EXPECT_EQ(slots, WithRecent({1, 3, 4, 5, 6, 7, 8, 8}));
}

TEST(RecentColors, PresetsAreNotAdded) {
  ColorSlots slots = WithRecent({1, 2});
  ASSERT_TRUE(UpdateRecentColors(slots, 0x7F858C));
  EXPECT_EQ(slots, WithRecent({1, 2}));
  EXPECT_EQ(StoredRecentColorCount(slots), 2);
}

TEST(RecentColors, WhiteAndBlackAreNeverStored) {
  ColorSlots slots = WithRecent({1, 2});
  EXPECT_FALSE(UpdateRecentColors(slots, kWhite));
  EXPECT_FALSE(UpdateRecentColors(slots, 0));
  EXPECT_EQ(slots, WithRecent({1, 2}));
}

TEST(RecentColors, StoredCountEndsAtTheFirstWhiteOrBlack) {
  EXPECT_EQ(StoredRecentColorCount(InitialColorSlots()), 0);
  EXPECT_EQ(StoredRecentColorCount(WithRecent({1, 2, 0, 4})), 2);
  EXPECT_EQ(StoredRecentColorCount(WithRecent({1, kWhite, 3})), 1);
}

TEST(RecentColors, ValueNames) {
  EXPECT_EQ(RecentColorValueName(0), "Color0");
  EXPECT_EQ(RecentColorValueName(7), "Color7");
}

}  // namespace
}  // namespace commonq
