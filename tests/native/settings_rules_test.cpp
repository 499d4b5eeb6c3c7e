#include "frame/settings_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/platform_values.h"

namespace commonq {
namespace {

using platform::kErrorMoreData;
using platform::kErrorSuccess;
using platform::kRegDword;
using platform::kRegExpandSz;
using platform::kRegMultiSz;
using platform::kRegSz;

TEST(DwordValue, TakenOnlyAsFourByteRegDword) {
  const std::uint8_t bytes[4] = {0x78, 0x56, 0x34, 0x12};
  EXPECT_EQ(AcceptDwordValue(kErrorSuccess, kRegDword, bytes, 4), 0x12345678u);
  EXPECT_FALSE(AcceptDwordValue(kErrorSuccess, kRegSz, bytes, 4));  // "DoNot" stored as text
  EXPECT_FALSE(AcceptDwordValue(kErrorSuccess, 3 /* REG_BINARY */, bytes, 4));
  EXPECT_FALSE(AcceptDwordValue(kErrorSuccess, kRegDword, bytes, 2));
  EXPECT_FALSE(AcceptDwordValue(kErrorMoreData, kRegDword, bytes, 4));
  EXPECT_FALSE(AcceptDwordValue(2 /* ERROR_FILE_NOT_FOUND */, kRegDword, bytes, 4));
}

std::optional<std::string> Accept(std::uint32_t type, const std::string& data, long status = kErrorSuccess) {
  return AcceptStringValue(status, type, data.data(), data.size());
}

TEST(StringValue, TerminatedTextIsTakenUpToTheFirstNul) {
  EXPECT_EQ(Accept(kRegSz, std::string(".deu\0", 5)), ".deu");
  EXPECT_EQ(Accept(kRegExpandSz, std::string("%TEMP%\0", 7)), "%TEMP%");  // never expanded
  EXPECT_EQ(Accept(kRegSz, std::string("ab\0cd\0", 6)), "ab");
  EXPECT_EQ(Accept(kRegSz, std::string("\0", 1)), "");
}

TEST(StringValue, RefusedWithoutTerminatorOrWithOtherType) {
  EXPECT_FALSE(Accept(kRegSz, ".deu"));
  EXPECT_FALSE(Accept(kRegDword, std::string("\1\0\0\0", 4)));  // "Language" stored as a number
  EXPECT_FALSE(Accept(kRegSz, std::string(".deu\0", 5), kErrorMoreData));
}

TEST(StringValue, ZeroBytesCountAsAbsent) {
  EXPECT_FALSE(AcceptStringValue(kErrorSuccess, kRegSz, "", 0));
  EXPECT_FALSE(AcceptStringValue(kErrorSuccess, kRegMultiSz, "", 0));
}

TEST(StringValue, MultiStringNeedsTwoTrailingNulsAndYieldsItsFirstString) {
  EXPECT_EQ(Accept(kRegMultiSz, std::string(".deu\0\0", 6)), ".deu");
  EXPECT_EQ(Accept(kRegMultiSz, std::string(".deu\0.fra\0\0", 11)), ".deu");
  EXPECT_FALSE(Accept(kRegMultiSz, std::string(".deu\0", 5)));
  EXPECT_FALSE(Accept(kRegMultiSz, std::string("\0", 1)));
  EXPECT_EQ(Accept(kRegMultiSz, std::string("\0\0", 2)), "");
}

TEST(StringValue, ValueFillingTheWholeBufferIsTaken) {
  std::string data(kStringSettingBytes - 1, 'x');
  data.push_back('\0');
  EXPECT_EQ(Accept(kRegSz, data)->size(), kStringSettingBytes - 1);
}

TEST(StringValue, WrittenLengthCountsTheTerminator) {
  EXPECT_EQ(StringValueBytes("100.000000"), 11u);
  EXPECT_EQ(StringValueBytes(""), 1u);
}

TEST(KeyPaths, AreTheFixedStringsWithTheirTrailingBackslashes) {
  EXPECT_STREQ(kRootKey, "Software\\Dravonix\\Qelm Explorer\\");
  EXPECT_STREQ(kFormatKey, "Software\\Dravonix\\Qelm Explorer\\Format\\");
  EXPECT_STREQ(kFolderKey, "Software\\Dravonix\\Qelm Explorer\\Folder\\");
  EXPECT_STREQ(kOptionKey, "Software\\Dravonix\\Qelm Explorer\\Option");
  EXPECT_STREQ(kCommonKey, "Software\\Dravonix\\Qelm Explorer\\Common");
}

}  // namespace
}  // namespace commonq
