// The 3D dialog's scale: what the box accepts, refuses with a message or with a beep, how the
// registry text reads, and how the number is shown and stored.
#include "filedialogs/logic/scale_text.h"

#include <gtest/gtest.h>

#include <string>

namespace commonq {
namespace {

TEST(ScaleText, BoxTextIsAcceptedOrRefused) {
  constexpr ScaleVerdict kOk = ScaleVerdict::kAccepted, kNaN = ScaleVerdict::kNotANumber,
                         kRange = ScaleVerdict::kOutOfRange;
  const std::string blanks(29, ' ');
  const struct {
    std::string text;
    ScaleVerdict verdict;
  } cases[] = {
      {"  12.5\t ", kOk},
      {"+50", kOk},
      {"1e2", kOk},
      {".5", kOk},
      {"5.", kOk},
      {"0.0011", kOk},
      {"0.0010000001", kOk},
      {"100000", kOk},
      {"12.5%", kNaN},
      {"", kNaN},
      {"   ", kNaN},
      {"abc", kNaN},
      {"1 2", kNaN},
      {"-", kNaN},
      {".", kNaN},
      {"0x10", kNaN},
      {"inf", kNaN},
      {"nan", kNaN},
      {"1e", kNaN},
      // A zero not written with a leading 0 counts as no number at all.
      {"-0", kNaN},
      {".0", kNaN},
      // 0.001 lies below the single-precision bound.
      {"0", kRange},
      {"0.001", kRange},
      {"100001", kRange},
      {"-5", kRange},
      {"1e999", kRange},
      // Only the 31 characters the box is read into count.
      {blanks + "50%", kOk},
      {blanks + "50%x", kOk},
      {blanks.substr(1) + "50%", kNaN},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadScaleText(c.text).verdict, c.verdict) << '"' << c.text << '"';
  EXPECT_FLOAT_EQ(ReadScaleText("  12.5\t ").scale, 12.5f);
  EXPECT_FLOAT_EQ(ReadScaleText("100001").scale, 100001.0f);
}

TEST(ScaleText, RegistryTextAndFormats) {
  EXPECT_DOUBLE_EQ(LeadingNumber(" \n 12.5abc"), 12.5);
  EXPECT_DOUBLE_EQ(LeadingNumber("-2.5e1x"), -25.0);
  EXPECT_DOUBLE_EQ(LeadingNumber("abc"), 0.0);
  std::size_t used = 99;
  LeadingNumber("  7.5 ", &used);
  EXPECT_EQ(used, 5u);
  LeadingNumber("x", &used);
  EXPECT_EQ(used, 0u);
  EXPECT_EQ(ScaleForBox(100.0f), "100.000");
  EXPECT_EQ(ScaleForFirstPut(12.5f), "12.5");
  EXPECT_EQ(ScaleForStore(12.5f), "12.500000");
  // A huge registry value is cut to the box's buffer rather than overrunning it.
  EXPECT_EQ(ScaleForBox(3.0e38f).size(), 31u);
}

}  // namespace
}  // namespace commonq
