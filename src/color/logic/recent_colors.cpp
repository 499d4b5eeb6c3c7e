#include "color/logic/recent_colors.h"

#include <algorithm>

#include "frame/platform_values.h"

namespace commonq {
namespace {

bool MarksEmptySlot(ColorRef color) { return color == platform::kColorWhite || color == platform::kColorBlack; }

}  // namespace

ColorSlots InitialColorSlots() {
  ColorSlots slots{};
  slots.fill(platform::kColorWhite);
  const ColorRef presets[] = {0x191919, 0x7F858C, 0x00FF00, 0xFF0000, 0xCCCCCC, 0x7FC0FF};
  std::copy(std::begin(presets), std::end(presets), slots.begin());
  return slots;
}

std::string RecentColorValueName(int index) { return "Color" + std::to_string(index); }

void LoadRecentColors(ColorSlots& slots, const std::function<std::optional<ColorRef>(int index)>& read) {
  for (int k = 0; k < kRecentColorCount; ++k) {
    const std::optional<ColorRef> color = read(k);
    if (!color) return;
    slots[kFirstRecentSlot + k] = *color;
  }
}

bool UpdateRecentColors(ColorSlots& slots, ColorRef chosen) {
  if (MarksEmptySlot(chosen)) return false;
  constexpr int kLast = kFirstRecentSlot + kRecentColorCount - 1;
  // Removal leaves the last slot as it was: the list closes up over the removed colour.
  const auto recentBegin = slots.begin() + kFirstRecentSlot;
  const auto found = std::find(recentBegin, slots.begin() + kLast, chosen);
  if (found != slots.begin() + kLast) std::copy(found + 1, slots.end(), found);

  const bool isFixed = std::find(slots.begin(), recentBegin, chosen) != recentBegin;
  if (!isFixed) {
    std::copy_backward(recentBegin, slots.begin() + kLast, slots.end());
    *recentBegin = chosen;
  }
  return true;
}

int StoredRecentColorCount(const ColorSlots& slots) {
  int count = 0;
  while (count < kRecentColorCount && !MarksEmptySlot(slots[kFirstRecentSlot + count])) ++count;
  return count;
}

}  // namespace commonq
