#pragma once
// The PNG files of the gallery and of the demo's sample picture.
#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// Encodes top-down 8-bit RGB pixels (width * height * 3 bytes) as a PNG file image. The deflate
// stream uses stored blocks only: the shots are for people, not for archives, and an encoder
// this small has nothing in it to get wrong. Throws std::invalid_argument when a dimension is
// zero or does not match the pixel count.
std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb);
// Writes them to `path`; false on bad input or I/O failure.
bool SavePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb);

}  // namespace demo
