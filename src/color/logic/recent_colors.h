#pragma once
// The colour chooser's sixteen custom colours: six presets, two blanks, and the eight colours the
// user chose most recently, most recent first.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace commonq {

using ColorRef = std::uint32_t;
inline constexpr int kColorSlotCount = 16;
using ColorSlots = std::array<ColorRef, kColorSlotCount>;

inline constexpr int kFirstRecentSlot = 8;
inline constexpr int kRecentColorCount = 8;

// Presets in slots 0 to 5, white in 6 and 7 and in every recent slot.
ColorSlots InitialColorSlots();

// "Color0" ... "Color7".
std::string RecentColorValueName(int index);

// Fills the recent slots from the stored values in order, stopping at the first that is absent
// or refused: a gap ends the list even if later values exist.
void LoadRecentColors(ColorSlots& slots, const std::function<std::optional<ColorRef>(int index)>& read);

// Puts the chosen colour at the front of the recent list (moving it there if it is already in
// the list; presets and the blank slots are never added). Returns false when the colour is white
// or black, which mark empty slots and are never stored.
bool UpdateRecentColors(ColorSlots& slots, ColorRef chosen);

// How many recent slots, from the first, are stored: up to the first white or black one.
int StoredRecentColorCount(const ColorSlots& slots);

}  // namespace commonq
