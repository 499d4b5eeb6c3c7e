// Fuzzes the acceptance of registry answers: whatever status, type and bytes a damaged or hostile
// value gives, a DWORD is taken only as four bytes of REG_DWORD, and a string only when it is
// terminated within its data (two NULs for REG_MULTI_SZ), up to its first NUL. The first two
// bytes pick the status and type; the rest is the data, in a block of exactly its size so that
// any read past it is reported.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "frame/logic/settings_rules.h"
#include "frame/platform_values.h"

using namespace commonq;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const long status = data[0] % 2 == 0 ? platform::kErrorSuccess : platform::kErrorMoreData - data[0];
  const std::uint32_t type = data[1] < 16 ? data[1] : data[1] * 0x01010101u;
  const std::size_t length = size - 2;
  const std::unique_ptr<char[]> value(new char[length]);
  if (length > 0) std::memcpy(value.get(), data + 2, length);
  const char* text = value.get();
  const bool success = status == platform::kErrorSuccess;
  const auto dword = AcceptDwordValue(status, type, reinterpret_cast<const std::uint8_t*>(text), length);
  const bool taken = success && type == platform::kRegDword && length == 4;
  const bool plain = type == platform::kRegSz || type == platform::kRegExpandSz;
  const bool terminated = length > 0 && text[length - 1] == '\0' &&
                          (plain || (type == platform::kRegMultiSz && length >= 2 && text[length - 2] == '\0'));
  const auto accepted = AcceptStringValue(status, type, text, length);
  if (dword.has_value() != taken || (dword && std::memcmp(&*dword, text, 4) != 0) ||
      accepted.has_value() != (success && terminated) ||
      (accepted && *accepted != std::string(text, strnlen(text, length)))) {
    std::abort();
  }
  return 0;
}
