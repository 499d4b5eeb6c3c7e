// Fuzzes the parsers that read outside text: the caller's filter list and the scale box (and the
// registry's "3dScale" text). The first byte picks the filter index; the rest is the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "filedialogs/logic/filter_list.h"
#include "filedialogs/logic/scale_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  // As a host passes it: whatever the bytes, the list ends with two NULs.
  const std::string list = std::string(input) + std::string(2, '\0');
  char buffer[8] = {};
  commonq::GetFilterExtension(list.c_str(), data[0] % 16, buffer, sizeof buffer);
  const commonq::ScaleReading reading = commonq::ReadScaleText(input);
  const bool inRange = reading.scale >= 0.001f && reading.scale <= 100000.0f;
  std::size_t used = 0;
  commonq::LeadingNumber(input, &used);
  if (buffer[sizeof buffer - 1] != '\0' || (reading.verdict == commonq::ScaleVerdict::kAccepted && !inRange) ||
      used > input.size() || commonq::ScaleForBox(reading.scale).size() > 31) {
    std::abort();
  }
  return 0;
}
