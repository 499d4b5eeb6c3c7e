#pragma once

// Pure C++ on purpose: the encoder is unit-tested natively under the sanitizers, and the Wine side
// only feeds it pixels.

#include <cstdint>
#include <vector>

namespace commonq::testing {

// Encodes top-down 8-bit RGB pixels (width * height * 3 bytes) as a PNG file image. The deflate
// stream uses stored blocks only: captures are for people and for pixel checks, not for archives,
// and an encoder this small has nothing in it to get wrong. Throws std::invalid_argument when a
// dimension is zero or does not match the pixel count.
std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb);

}  // namespace commonq::testing
