#include "frame/logic/settings_rules.h"

#include <cstring>

#include "frame/platform_values.h"

namespace commonq {

std::optional<std::uint32_t> AcceptDwordValue(long status, std::uint32_t type, const std::uint8_t* data,
                                              std::size_t size) {
  if (status != platform::kErrorSuccess || type != platform::kRegDword || size != 4 || data == nullptr) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  std::memcpy(&value, data, sizeof value);
  return value;
}

std::optional<std::string> AcceptStringValue(long status, std::uint32_t type, const char* data, std::size_t size) {
  if (status != platform::kErrorSuccess || data == nullptr || size == 0) return std::nullopt;
  bool terminated = false;
  if (type == platform::kRegSz || type == platform::kRegExpandSz) {
    terminated = data[size - 1] == '\0';
  } else if (type == platform::kRegMultiSz) {
    terminated = size >= 2 && data[size - 1] == '\0' && data[size - 2] == '\0';
  }
  if (!terminated) return std::nullopt;
  return std::string(data, ::strnlen(data, size));
}

}  // namespace commonq
