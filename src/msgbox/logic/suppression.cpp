#include "msgbox/logic/suppression.h"

namespace commonq {

std::uint32_t SuppressionBit(std::uint32_t messageNumber) {
  switch (messageNumber) {
    case 3031:
      return 0x2;
    case 10101:
      return 0x8;
    default:
      return 0;
  }
}

}  // namespace commonq
