// Fuzzes the acceptance of registry answers: whatever status, type and bytes a damaged or hostile
// value gives, a DWORD is taken only as four bytes of REG_DWORD, and a string only when it is
// terminated within its data, never longer than the data and never holding a NUL. The first two
// bytes pick the status and type; the rest is the data, in a block of exactly its size so that
// any read past it is reported.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "frame/logic/settings_rules.h"
#include "frame/platform_values.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

constexpr long kStatuses[] = {commonq::platform::kErrorSuccess, commonq::platform::kErrorMoreData, 2, 5, -1};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace commonq;
  if (size < 2) return 0;
  const long status = kStatuses[data[0] % 5];
  const std::uint32_t type = data[1] < 16 ? data[1] : data[1] * 0x01010101u;
  const std::size_t length = size - 2;
  const std::unique_ptr<std::uint8_t[]> value(new std::uint8_t[length]);
  if (length > 0) std::memcpy(value.get(), data + 2, length);
  const bool success = status == platform::kErrorSuccess;

  const std::optional<std::uint32_t> dword = AcceptDwordValue(status, type, value.get(), length);
  Check(dword.has_value() == (success && type == platform::kRegDword && length == 4));
  if (dword) Check(std::memcmp(&*dword, value.get(), 4) == 0);

  const char* text = reinterpret_cast<const char*>(value.get());
  const std::optional<std::string> accepted = AcceptStringValue(status, type, text, length);
  const bool plain = type == platform::kRegSz || type == platform::kRegExpandSz;
  const bool terminated =
      plain ? length > 0 && text[length - 1] == '\0'
            : type == platform::kRegMultiSz && length >= 2 && text[length - 1] == '\0' && text[length - 2] == '\0';
  Check(accepted.has_value() == (success && terminated));
  if (accepted) {
    Check(accepted->size() < length && accepted->find('\0') == std::string::npos);
    Check(std::memcmp(accepted->data(), text, accepted->size()) == 0 && text[accepted->size()] == '\0');
  }
  return 0;
}
