#include "msgbox/suppression.h"

namespace commonq {

std::optional<SuppressibleMessage> FindSuppressibleMessage(std::uint32_t messageNumber) {
  switch (messageNumber) {
    case 3031:
      return SuppressibleMessage{1, CheckBoxKind::kShowAgain};
    case 10101:
      return SuppressibleMessage{3, CheckBoxKind::kShowAgain};
    default:
      return std::nullopt;
  }
}

std::uint32_t BitValue(int bitIndex) {
  if (bitIndex < 0 || bitIndex > 31) return 0;
  return std::uint32_t{1} << bitIndex;
}

CheckBoxStrings CheckBoxStringIds(CheckBoxKind kind) {
  if (kind == CheckBoxKind::kAskAgain) return {3001, 1};
  return {3002, 2};
}

}  // namespace commonq
