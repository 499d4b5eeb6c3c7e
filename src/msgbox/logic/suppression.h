#pragma once
// Which messages the user may suppress, and how that choice is kept in the "DoNot" bits.
#include <cstdint>
#include <optional>

namespace commonq {

inline constexpr const char* kDoNotValue = "DoNot";
inline constexpr int kDoNotCheckBoxId = 1092;

enum class CheckBoxKind : std::uint8_t { kNone = 0, kAskAgain = 1, kShowAgain = 2 };

struct SuppressibleMessage {
  int bitIndex = 0;
  CheckBoxKind kind = CheckBoxKind::kNone;
};

// The table of suppressible message numbers; any other number gets a plain message box.
std::optional<SuppressibleMessage> FindSuppressibleMessage(std::uint32_t messageNumber);

// 1 << index for indexes 0 to 31, 0 for any other index.
std::uint32_t BitValue(int bitIndex);

// String ids for the check box text: the language file's, then the library's own.
struct CheckBoxStrings {
  std::uint32_t languageId;
  std::uint32_t ownId;
};
CheckBoxStrings CheckBoxStringIds(CheckBoxKind kind);

}  // namespace commonq
