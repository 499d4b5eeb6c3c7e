#include "tests/support/png_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace commonq::testing {
namespace {

struct Chunk {
  std::string type;
  std::vector<uint8_t> data;
  uint32_t storedCrc = 0;
};

uint32_t Be32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Bit-at-a-time CRC, deliberately not the table form the encoder uses, so one cannot hide the
// other's mistake.
uint32_t ReferenceCrc(const std::string& type, const std::vector<uint8_t>& data) {
  uint32_t c = 0xFFFFFFFFu;
  auto feed = [&c](uint8_t byte) {
    c ^= byte;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  };
  for (char ch : type) feed(static_cast<uint8_t>(ch));
  for (uint8_t b : data) feed(b);
  return ~c;
}

uint32_t ReferenceAdler(const std::vector<uint8_t>& data) {
  uint64_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return static_cast<uint32_t>((b << 16) | a);
}

// Splits a PNG into chunks, failing the test on any framing error.
std::vector<Chunk> ParseChunks(const std::vector<uint8_t>& png) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<Chunk> chunks;
  if (png.size() < 8 || !std::equal(kSignature, kSignature + 8, png.begin())) {
    ADD_FAILURE() << "missing PNG signature";
    return chunks;
  }
  size_t pos = 8;
  while (pos < png.size()) {
    if (png.size() - pos < 12) {
      ADD_FAILURE() << "truncated chunk header at " << pos;
      return chunks;
    }
    const uint32_t length = Be32(&png[pos]);
    if (png.size() - pos - 12 < length) {
      ADD_FAILURE() << "chunk at " << pos << " runs past the end";
      return chunks;
    }
    Chunk c;
    c.type.assign(reinterpret_cast<const char*>(&png[pos + 4]), 4);
    c.data.assign(png.begin() + static_cast<std::ptrdiff_t>(pos + 8),
                  png.begin() + static_cast<std::ptrdiff_t>(pos + 8 + length));
    c.storedCrc = Be32(&png[pos + 8 + length]);
    chunks.push_back(std::move(c));
    pos += 12 + length;
  }
  return chunks;
}

struct Inflated {
  std::vector<uint8_t> bytes;
  std::vector<size_t> blockSizes;
};

// A zlib reader that understands stored blocks only, which is all the encoder may emit; any other
// block type fails the test.
Inflated InflateStored(const std::vector<uint8_t>& z) {
  Inflated out;
  if (z.size() < 6) {
    ADD_FAILURE() << "zlib stream too short";
    return out;
  }
  EXPECT_EQ(z[0] & 0x0F, 8) << "compression method must be deflate";
  EXPECT_LE(z[0] >> 4, 7) << "window size out of range";
  EXPECT_EQ((z[0] * 256u + z[1]) % 31u, 0u) << "zlib header check bits";
  EXPECT_EQ(z[1] & 0x20, 0) << "no preset dictionary";
  size_t pos = 2;
  bool final = false;
  while (!final) {
    if (z.size() - pos < 5) {
      ADD_FAILURE() << "truncated block header at " << pos;
      return out;
    }
    final = (z[pos] & 1) != 0;
    if (((z[pos] >> 1) & 3) != 0) {
      ADD_FAILURE() << "block at " << pos << " is not a stored block";
      return out;
    }
    const size_t len = z[pos + 1] | (z[pos + 2] << 8);
    const size_t nlen = z[pos + 3] | (z[pos + 4] << 8);
    EXPECT_EQ(len ^ 0xFFFFu, nlen) << "NLEN is not the complement of LEN at " << pos;
    pos += 5;
    if (z.size() - pos < len) {
      ADD_FAILURE() << "stored block runs past the end";
      return out;
    }
    out.bytes.insert(out.bytes.end(), z.begin() + static_cast<std::ptrdiff_t>(pos),
                     z.begin() + static_cast<std::ptrdiff_t>(pos + len));
    out.blockSizes.push_back(len);
    pos += len;
  }
  if (z.size() - pos != 4) {
    ADD_FAILURE() << "expected exactly the Adler-32 after the final block, found " << z.size() - pos << " bytes";
    return out;
  }
  EXPECT_EQ(Be32(&z[pos]), ReferenceAdler(out.bytes)) << "Adler-32 of the inflated data";
  return out;
}

std::vector<uint8_t> Gradient(uint32_t width, uint32_t height) {
  std::vector<uint8_t> rgb;
  rgb.reserve(size_t{width} * height * 3);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      rgb.push_back(static_cast<uint8_t>(x));
      rgb.push_back(static_cast<uint8_t>(y));
      rgb.push_back(static_cast<uint8_t>(x * 7 + y * 13));
    }
  }
  return rgb;
}

// Decodes what EncodePng produced back to pixels, checking every structural rule on the way.
std::vector<uint8_t> Decode(const std::vector<uint8_t>& png, uint32_t width, uint32_t height,
                            Inflated* inflatedOut = nullptr) {
  const std::vector<Chunk> chunks = ParseChunks(png);
  if (chunks.size() != 3) {
    ADD_FAILURE() << "expected IHDR, IDAT, IEND; got " << chunks.size() << " chunks";
    return {};
  }
  EXPECT_EQ(chunks[0].type, "IHDR");
  EXPECT_EQ(chunks[1].type, "IDAT");
  EXPECT_EQ(chunks[2].type, "IEND");
  EXPECT_TRUE(chunks[2].data.empty());
  for (const Chunk& c : chunks) EXPECT_EQ(c.storedCrc, ReferenceCrc(c.type, c.data)) << c.type << " CRC";

  const std::vector<uint8_t>& ihdr = chunks[0].data;
  if (ihdr.size() != 13) {
    ADD_FAILURE() << "IHDR must be 13 bytes, is " << ihdr.size();
    return {};
  }
  EXPECT_EQ(Be32(&ihdr[0]), width);
  EXPECT_EQ(Be32(&ihdr[4]), height);
  EXPECT_EQ(ihdr[8], 8) << "bit depth";
  EXPECT_EQ(ihdr[9], 2) << "colour type RGB";
  EXPECT_EQ(ihdr[10], 0) << "compression";
  EXPECT_EQ(ihdr[11], 0) << "filter method";
  EXPECT_EQ(ihdr[12], 0) << "interlace";

  Inflated inflated = InflateStored(chunks[1].data);
  const size_t stride = size_t{width} * 3 + 1;
  if (inflated.bytes.size() != stride * height) {
    ADD_FAILURE() << "inflated " << inflated.bytes.size() << " bytes, expected " << stride * height;
    return {};
  }
  std::vector<uint8_t> pixels;
  for (uint32_t y = 0; y < height; ++y) {
    EXPECT_EQ(inflated.bytes[y * stride], 0) << "row " << y << " filter type";
    pixels.insert(pixels.end(), inflated.bytes.begin() + static_cast<std::ptrdiff_t>(y * stride + 1),
                  inflated.bytes.begin() + static_cast<std::ptrdiff_t>((y + 1) * stride));
  }
  if (inflatedOut) *inflatedOut = std::move(inflated);
  return pixels;
}

TEST(PngWriter, SinglePixelRoundTrips) {
  const std::vector<uint8_t> rgb = {0x12, 0xAB, 0xFE};
  const std::vector<uint8_t> png = EncodePng(1, 1, rgb);
  EXPECT_EQ(Decode(png, 1, 1), rgb);
}

TEST(PngWriter, LargeImageSpansSeveralStoredBlocks) {
  // 300x200 gives 180,200 filtered bytes: two full 65,535-byte blocks and a partial third.
  const std::vector<uint8_t> rgb = Gradient(300, 200);
  Inflated inflated;
  EXPECT_EQ(Decode(EncodePng(300, 200, rgb), 300, 200, &inflated), rgb);
  ASSERT_EQ(inflated.blockSizes.size(), 3u);
  EXPECT_EQ(inflated.blockSizes[0], 65535u);
  EXPECT_EQ(inflated.blockSizes[1], 65535u);
  EXPECT_EQ(inflated.blockSizes[2], 180200u - 2 * 65535u);
}

TEST(PngWriter, ExactBlockMultipleEndsWithoutEmptyTrailer) {
  // 65535 = 15 rows of (3 * 1456 + 1) bytes, so the data ends exactly on a block boundary; the
  // final flag must sit on that block rather than on an extra empty one.
  const uint32_t width = 1456, height = 15;
  ASSERT_EQ((width * 3 + 1) * height, 65535u);
  const std::vector<uint8_t> rgb = Gradient(width, height);
  Inflated inflated;
  EXPECT_EQ(Decode(EncodePng(width, height, rgb), width, height, &inflated), rgb);
  EXPECT_EQ(inflated.blockSizes, std::vector<size_t>{65535u});
}

TEST(PngWriter, RowsStayInTopDownOrderForNonSquareImages) {
  const std::vector<uint8_t> rgb = Gradient(3, 7);
  const std::vector<uint8_t> pixels = Decode(EncodePng(3, 7, rgb), 3, 7);
  ASSERT_EQ(pixels.size(), rgb.size());
  // The green channel encodes the row, so a transposed or flipped image shows up here.
  for (uint32_t y = 0; y < 7; ++y) EXPECT_EQ(pixels[(y * 3 + 2) * 3 + 1], y);
}

TEST(PngWriter, RejectsEmptyAndMismatchedInput) {
  EXPECT_THROW(EncodePng(0, 1, {}), std::invalid_argument);
  EXPECT_THROW(EncodePng(1, 0, {}), std::invalid_argument);
  EXPECT_THROW(EncodePng(2, 2, std::vector<uint8_t>(11)), std::invalid_argument);
  EXPECT_THROW(EncodePng(2, 2, std::vector<uint8_t>(13)), std::invalid_argument);
  // 6 * 715827883 * 3 is 6 modulo 2^32: the size must be compared without 32-bit wrap-around.
  EXPECT_THROW(EncodePng(6, 715827883u, std::vector<uint8_t>(6)), std::invalid_argument);
  EXPECT_THROW(EncodePng(0x80000000u, 1, std::vector<uint8_t>(3)), std::invalid_argument);
}

}  // namespace
}  // namespace commonq::testing
