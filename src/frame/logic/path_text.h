#pragma once
// Text operations on paths held in the platform's fixed path buffers.
#include <cstddef>

namespace commonq {

inline constexpr std::size_t kPathBytes = 260;

// Reduces the path in `buffer` (capacity bytes, NUL-terminated within them) to its last component:
// the text after the last "\" (else "/", else ":"), ignoring trailing separators. Returns false and
// leaves the buffer as it was when there is nothing to reduce. The buffer is zero-filled before
// the result is written.
bool StripToFileName(char* buffer, std::size_t capacity = kPathBytes);

}  // namespace commonq
