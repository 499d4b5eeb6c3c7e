#include "frame/path_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace commonq {
namespace {

struct Stripped {
  bool changed;
  std::string text;
};

Stripped Strip(const std::string& path) {
  std::array<char, kPathBytes> buffer{};
  std::memcpy(buffer.data(), path.data(), path.size());
  const bool changed = StripToFileName(buffer.data(), buffer.size());
  return {changed, std::string(buffer.data())};
}

TEST(StripToFileName, KeepsTheLastComponent) {
  EXPECT_EQ(Strip("C:\\Models\\Chair.obj").text, "Chair.obj");
  EXPECT_TRUE(Strip("C:\\Models\\Chair.obj").changed);
  EXPECT_EQ(Strip("models/chair.obj").text, "chair.obj");
  EXPECT_EQ(Strip("C:Chair.obj").text, "Chair.obj");
}

TEST(StripToFileName, BackslashWinsOverSlashAndColon) {
  EXPECT_EQ(Strip("C:\\a/b").text, "a/b");
  EXPECT_EQ(Strip("a/b:c").text, "b:c");
}

TEST(StripToFileName, TrailingSeparatorsAreIgnored) {
  EXPECT_EQ(Strip("C:\\Models\\").text, "Models");
  EXPECT_EQ(Strip("C:\\Models\\\\").text, "Models");
  EXPECT_EQ(Strip("C:\\").text, "C:");
  EXPECT_EQ(Strip("Models\\").text, "Models");
}

TEST(StripToFileName, NothingToReduceLeavesTheBufferAlone) {
  EXPECT_FALSE(Strip("Chair.obj").changed);
  EXPECT_EQ(Strip("Chair.obj").text, "Chair.obj");
  EXPECT_FALSE(Strip("\\").changed);
  EXPECT_EQ(Strip("\\").text, "\\");
  EXPECT_FALSE(Strip("\\\\\\").changed);
  EXPECT_FALSE(Strip("").changed);
}

TEST(StripToFileName, ClearsTheWholeBufferAndStaysInsideIt) {
  std::array<char, kPathBytes> buffer{};
  buffer.fill('#');
  const std::string path = "C:\\dir\\name";
  std::memcpy(buffer.data(), path.c_str(), path.size() + 1);
  ASSERT_TRUE(StripToFileName(buffer.data(), buffer.size()));
  EXPECT_STREQ(buffer.data(), "name");
  for (std::size_t i = 4; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '\0') << i;

  // A buffer without any terminator is read only up to its capacity.
  std::array<char, 8> full{};
  std::memcpy(full.data(), "ab\\cdefg", 8);
  ASSERT_TRUE(StripToFileName(full.data(), full.size()));
  EXPECT_STREQ(full.data(), "cdefg");
}

}  // namespace
}  // namespace commonq
