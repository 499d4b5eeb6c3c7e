// The colour chooser's logic tier: the recent colour slots, loaded, updated and stored.
#include <gtest/gtest.h>

#include "color/logic/recent_colors.h"

namespace commonq {
namespace {

constexpr ColorRef kWhite = 0xFFFFFF;

ColorSlots WithRecent(std::initializer_list<ColorRef> recent) {
  ColorSlots slots = InitialColorSlots();
  std::copy(recent.begin(), recent.end(), slots.begin() + kFirstRecentSlot);
  return slots;
}

TEST(RecentColors, LoadedUpToTheFirstGapAndUpdatedWithoutPresetsWhiteOrBlack) {
  const ColorSlots expected = {0x191919, 0x7F858C, 0x00FF00, 0xFF0000, 0xCCCCCC, 0x7FC0FF, kWhite, kWhite,
                               0x10,     0x11,     kWhite,   kWhite,   kWhite,   kWhite,   kWhite, kWhite};
  ColorSlots slots = InitialColorSlots();
  int reads = 0;
  LoadRecentColors(slots, [&](int index) -> std::optional<ColorRef> {
    ++reads;
    return index == 2 ? std::nullopt : std::optional<ColorRef>(0x10 + index);
  });
  EXPECT_EQ(slots, expected);
  EXPECT_EQ(reads, 3) << "nothing after the gap is read";

  const ColorSlots full = WithRecent({1, 2, 3, 4, 5, 6, 7, 8});
  const std::tuple<ColorSlots, ColorRef, bool, ColorSlots> cases[] = {
      {full, 0x99, true, WithRecent({0x99, 1, 2, 3, 4, 5, 6, 7})},
      {full, 3, true, WithRecent({3, 1, 2, 4, 5, 6, 7, 8})},
      {full, 8, true, WithRecent({8, 1, 2, 3, 4, 5, 6, 7})},  // slot 15 is not scanned, yet ends up first
      // A preset in the recent list is removed, not inserted; the last slot stays.
      {WithRecent({1, 0x00FF00, 3, 4, 5, 6, 7, 8}), 0x00FF00, true, WithRecent({1, 3, 4, 5, 6, 7, 8, 8})},
      {WithRecent({1, 2}), kWhite, false, WithRecent({1, 2})},
      {WithRecent({1, 2}), 0, false, WithRecent({1, 2})}};
  for (auto [slots, chosen, stored, after] : cases) {
    EXPECT_EQ(UpdateRecentColors(slots, chosen), stored) << chosen;
    EXPECT_EQ(slots, after) << chosen;
  }
  // Stored up to the first black or white slot.
  for (auto [slots, count] : {std::pair{full, 8}, {WithRecent({1, 2, 0, 4}), 2}})
    EXPECT_EQ(StoredRecentColorCount(slots), count);
}

}  // namespace
}  // namespace commonq
