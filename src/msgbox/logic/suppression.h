#pragma once
// Which messages the user may suppress, and how that choice is kept in the "DoNot" bits.
#include <cstdint>

namespace commonq {

inline constexpr const char* kDoNotValue = "DoNot";

// The "DoNot" bit of a suppressible message number (3031: 0x2, 10101: 0x8); 0 for every other
// number, which gets a plain message box.
std::uint32_t SuppressionBit(std::uint32_t messageNumber);

}  // namespace commonq
