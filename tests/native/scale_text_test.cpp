// The 3D dialog's scale: what the box accepts, refuses with a message or with a beep, how the
// registry text reads, and how the number is shown and stored.
#include "filedialogs/logic/scale_text.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace commonq {
namespace {

void ExpectVerdict(ScaleVerdict verdict, std::initializer_list<std::string> texts) {
  for (const std::string& text : texts) EXPECT_EQ(ReadScaleText(text).verdict, verdict) << '"' << text << '"';
}

TEST(ScaleText, BoxTextIsAcceptedOrRefused) {
  // Only the 31 characters the box is read into count.
  const std::string blanks(29, ' ');
  ExpectVerdict(ScaleVerdict::kAccepted,
                {"  12.5\t ", "+5e1", ".5", "5.", "0.0011", "100000", blanks + "50%", blanks + "50%x"});
  // A zero not written with a leading 0 counts as no number at all.
  ExpectVerdict(ScaleVerdict::kNotANumber,
                {"12.5%", "", "abc", "1 2", "-", ".", "0x10", "inf", "1e", "-0", ".0", blanks.substr(1) + "50%"});
  // 0.001 lies below the single-precision bound.
  ExpectVerdict(ScaleVerdict::kOutOfRange, {"0", "0.001", "100001", "-5", "1e999"});
  EXPECT_FLOAT_EQ(ReadScaleText("  12.5\t ").scale, 12.5f);
  EXPECT_FLOAT_EQ(ReadScaleText("100001").scale, 100001.0f);
}

TEST(ScaleText, RegistryTextAndFormats) {
  std::size_t used = 99;
  EXPECT_DOUBLE_EQ(LeadingNumber(" \n -2.5e1x", &used), -25.0);
  EXPECT_EQ(used, 9u);
  EXPECT_DOUBLE_EQ(LeadingNumber("abc", &used), 0.0);
  EXPECT_EQ(used, 0u);
  EXPECT_EQ(ScaleForBox(100.0f), "100.000");
  EXPECT_EQ(ScaleForFirstPut(12.5f), "12.5");
  EXPECT_EQ(ScaleForStore(12.5f), "12.500000");
  // A huge registry value is cut to the box's buffer rather than overrunning it.
  EXPECT_EQ(ScaleForBox(3.0e38f).size(), 31u);
}

}  // namespace
}  // namespace commonq
