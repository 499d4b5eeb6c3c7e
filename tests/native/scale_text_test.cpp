// The 3D dialog's scale box: what it accepts, refuses with a message, or refuses with a beep.
#include "filedialogs/logic/scale_text.h"

#include <gtest/gtest.h>

namespace commonq {
namespace {

ScaleVerdict Verdict(std::string_view text) { return ReadScaleText(text).verdict; }

TEST(ScaleText, NumbersWithBlanksAroundThemAreAccepted) {
  const ScaleReading reading = ReadScaleText("  12.5\t ");
  EXPECT_EQ(reading.verdict, ScaleVerdict::kAccepted);
  EXPECT_FLOAT_EQ(reading.scale, 12.5f);
  EXPECT_EQ(Verdict("+50"), ScaleVerdict::kAccepted);
  EXPECT_EQ(Verdict("1e2"), ScaleVerdict::kAccepted);
  EXPECT_EQ(Verdict(".5"), ScaleVerdict::kAccepted);
  EXPECT_EQ(Verdict("5."), ScaleVerdict::kAccepted);
}

TEST(ScaleText, TextThatIsNoNumberIsInvalid) {
  EXPECT_EQ(Verdict("12.5%"), ScaleVerdict::kNotANumber);
  EXPECT_EQ(Verdict(""), ScaleVerdict::kNotANumber);
  EXPECT_EQ(Verdict("   "), ScaleVerdict::kNotANumber);
  EXPECT_EQ(Verdict("abc"), ScaleVerdict::kNotANumber);
  EXPECT_EQ(Verdict("1 2"), ScaleVerdict::kNotANumber);
  EXPECT_EQ(Verdict("-"), ScaleVerdict::kNotANumber);
  EXPECT_EQ(Verdict("."), ScaleVerdict::kNotANumber);
  // Hexadecimal and the C library's words are not decimal numbers.
  EXPECT_EQ(Verdict("0x10"), ScaleVerdict::kNotANumber);
  EXPECT_EQ(Verdict("inf"), ScaleVerdict::kNotANumber);
  EXPECT_EQ(Verdict("nan"), ScaleVerdict::kNotANumber);
  // A zero not written with a leading 0 counts as no number at all.
  EXPECT_EQ(Verdict("-0"), ScaleVerdict::kNotANumber);
  EXPECT_EQ(Verdict(".0"), ScaleVerdict::kNotANumber);
  // An exponent without digits leaves an "e" behind.
  EXPECT_EQ(Verdict("1e"), ScaleVerdict::kNotANumber);
}

TEST(ScaleText, RangeIsFromTheSinglePrecisionThousandthTo100000) {
  EXPECT_EQ(Verdict("0"), ScaleVerdict::kOutOfRange);
  EXPECT_EQ(Verdict("0.001"), ScaleVerdict::kOutOfRange);
  EXPECT_EQ(Verdict("0.0011"), ScaleVerdict::kAccepted);
  EXPECT_EQ(Verdict("0.0010000001"), ScaleVerdict::kAccepted);
  EXPECT_EQ(Verdict("100000"), ScaleVerdict::kAccepted);
  EXPECT_EQ(Verdict("100001"), ScaleVerdict::kOutOfRange);
  EXPECT_EQ(Verdict("-5"), ScaleVerdict::kOutOfRange);
  EXPECT_EQ(Verdict("1e999"), ScaleVerdict::kOutOfRange);
  EXPECT_FLOAT_EQ(ReadScaleText("100001").scale, 100001.0f);
}

TEST(ScaleText, OnlyThe31CharactersTheBoxIsReadIntoCount) {
  const std::string padded = std::string(29, ' ') + "50" + "%";
  EXPECT_EQ(Verdict(padded), ScaleVerdict::kAccepted);
  EXPECT_EQ(Verdict(padded + "x"), ScaleVerdict::kAccepted);
  EXPECT_EQ(Verdict(std::string(28, ' ') + "50%"), ScaleVerdict::kNotANumber);
}

TEST(ScaleText, RegistryTextIsReadAsItsLeadingNumber) {
  EXPECT_DOUBLE_EQ(LeadingNumber("250"), 250.0);
  EXPECT_DOUBLE_EQ(LeadingNumber(" \n 12.5abc"), 12.5);
  EXPECT_DOUBLE_EQ(LeadingNumber("abc"), 0.0);
  EXPECT_DOUBLE_EQ(LeadingNumber(""), 0.0);
  EXPECT_DOUBLE_EQ(LeadingNumber("-2.5e1x"), -25.0);
  std::size_t used = 99;
  LeadingNumber("  7.5 ", &used);
  EXPECT_EQ(used, 5u);
  LeadingNumber("x", &used);
  EXPECT_EQ(used, 0u);
}

TEST(ScaleText, Formats) {
  EXPECT_EQ(ScaleForBox(100.0f), "100.000");
  EXPECT_EQ(ScaleForFirstPut(100.0f), "100");
  EXPECT_EQ(ScaleForFirstPut(12.5f), "12.5");
  EXPECT_EQ(ScaleForStore(100.0f), "100.000000");
  EXPECT_EQ(ScaleForStore(12.5f), "12.500000");
  // A huge registry value is cut to the box's buffer rather than overrunning it.
  EXPECT_EQ(ScaleForBox(3.0e38f).size(), 31u);
}

}  // namespace
}  // namespace commonq
