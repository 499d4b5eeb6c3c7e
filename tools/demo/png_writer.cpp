#include "png_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

namespace demo {
namespace {

// PNG caps both dimensions at 2^31 - 1.
constexpr uint32_t kMaxDimension = 0x7FFFFFFFu;
// A stored deflate block carries a 16-bit length.
constexpr size_t kMaxStoredBlock = 65535;
// Chunk lengths are 31-bit as well; a capture never comes close, but an oversized one must not
// silently wrap.
constexpr uint64_t kMaxChunkData = 0x7FFFFFFFu;

const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  const auto& table = CrcTable();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFFu] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
  constexpr uint32_t kMod = 65521;
  // 5552 is the longest run whose sums cannot overflow 32 bits before the modulo.
  constexpr size_t kRun = 5552;
  uint32_t a = 1, b = 0;
  size_t i = 0;
  while (i < data.size()) {
    const size_t end = std::min(data.size(), i + kRun);
    for (; i < end; ++i) {
      a += data[i];
      b += a;
    }
    a %= kMod;
    b %= kMod;
  }
  return (b << 16) | a;
}

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 24));
  out.push_back(static_cast<uint8_t>(v >> 16));
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data) {
  if (data.size() > kMaxChunkData) throw std::invalid_argument("PNG chunk too large");
  PutBe32(out, static_cast<uint32_t>(data.size()));
  const size_t crcStart = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBe32(out, Crc32(out.data() + crcStart, out.size() - crcStart));
}

std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> z;
  const size_t blocks = raw.empty() ? 1 : (raw.size() + kMaxStoredBlock - 1) / kMaxStoredBlock;
  z.reserve(raw.size() + blocks * 5 + 6);
  // CMF 0x78 (deflate, 32K window) and FLG 0x01 make the header a multiple of 31, as zlib requires.
  z.push_back(0x78);
  z.push_back(0x01);
  size_t pos = 0;
  do {
    const size_t len = std::min(kMaxStoredBlock, raw.size() - pos);
    const bool last = pos + len == raw.size();
    z.push_back(last ? 0x01 : 0x00);  // BFINAL, BTYPE 00 (stored); the rest of the byte is padding
    z.push_back(static_cast<uint8_t>(len));
    z.push_back(static_cast<uint8_t>(len >> 8));
    z.push_back(static_cast<uint8_t>(~len));
    z.push_back(static_cast<uint8_t>(~len >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
             raw.begin() + static_cast<std::ptrdiff_t>(pos + len));
    pos += len;
  } while (pos < raw.size());
  PutBe32(z, Adler32(raw));
  return z;
}

}  // namespace

std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb) {
  if (width == 0 || height == 0) throw std::invalid_argument("PNG image must not be empty");
  if (width > kMaxDimension || height > kMaxDimension) {
    throw std::invalid_argument("PNG dimension too large");
  }
  const uint64_t rowBytes = uint64_t{width} * 3;
  const uint64_t pixelBytes = rowBytes * height;  // < 2^33 * 2^31, cannot overflow 64 bits
  if (pixelBytes != rgb.size()) {
    throw std::invalid_argument("PNG pixel data has " + std::to_string(rgb.size()) + " bytes, expected " +
                                std::to_string(pixelBytes));
  }
  const uint64_t filteredBytes = (rowBytes + 1) * height;
  if (filteredBytes > kMaxChunkData) throw std::invalid_argument("PNG image too large");

  std::vector<uint8_t> filtered;
  filtered.reserve(static_cast<size_t>(filteredBytes));
  for (uint32_t y = 0; y < height; ++y) {
    filtered.push_back(0);  // filter type None
    const auto row = rgb.begin() + static_cast<std::ptrdiff_t>(rowBytes * y);
    filtered.insert(filtered.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
  }

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr;
  PutBe32(ihdr, width);
  PutBe32(ihdr, height);
  ihdr.push_back(8);  // bit depth
  ihdr.push_back(2);  // colour type: truecolour
  ihdr.push_back(0);  // compression: deflate
  ihdr.push_back(0);  // filter method 0
  ihdr.push_back(0);  // no interlace
  PutChunk(png, "IHDR", ihdr);
  PutChunk(png, "IDAT", ZlibStored(filtered));
  PutChunk(png, "IEND", {});
  return png;
}

bool SavePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> png;
  try {
    png = EncodePng(width, height, rgb);
  } catch (const std::exception&) {
    return false;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file || std::fwrite(png.data(), 1, png.size(), file.get()) != png.size()) return false;
  return std::fclose(file.release()) == 0;
}

}  // namespace demo
