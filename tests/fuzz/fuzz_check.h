#pragma once
// What every fuzz target shares: a failed check aborts, which libFuzzer reports as a finding.
#include <cstdlib>

namespace commonq::fuzz {

inline void Check(bool condition) {
  if (!condition) std::abort();
}

// Shift-JIS lead bytes, for the rules that take a double-byte code page.
inline bool IsShiftJisLead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace commonq::fuzz
