#include "filedialogs/scale_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace commonq {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the decimal number at the start of `text`, or 0.
std::size_t NumberLength(std::string_view text) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  std::size_t digits = 0;
  while (at < text.size() && IsDigit(text[at])) ++at, ++digits;
  if (at < text.size() && text[at] == '.') {
    ++at;
    while (at < text.size() && IsDigit(text[at])) ++at, ++digits;
  }
  if (digits == 0) return 0;
  // An exponent counts only when digits follow it; "1e" is the number 1 followed by "e".
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    std::size_t exponent = at + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    if (exponent < text.size() && IsDigit(text[exponent])) {
      while (exponent < text.size() && IsDigit(text[exponent])) ++exponent;
      at = exponent;
    }
  }
  return at;
}

std::string Format(const char* format, int precision, double value, bool withPrecision) {
  char buffer[32] = {};
  const int written = withPrecision ? std::snprintf(buffer, sizeof buffer, format, precision, value)
                                    : std::snprintf(buffer, sizeof buffer, format, value);
  // A scale too large for the box's buffer is cut as the platform's bounded formatting would.
  if (written < 0) return {};
  return buffer;
}

}  // namespace

double LeadingNumber(std::string_view text, std::size_t* used) noexcept {
  std::size_t start = 0;
  while (start < text.size() && IsSpace(text[start])) ++start;
  const std::size_t length = NumberLength(text.substr(start));
  if (used != nullptr) *used = length == 0 ? 0 : start + length;
  if (length == 0) return 0.0;
  std::string_view number = text.substr(start, length);
  // from_chars takes no leading plus sign.
  if (number.front() == '+') number.remove_prefix(1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Overflow goes to infinity and underflow to zero, as the C library's conversion does.
    bool nonZero = false;
    for (char c : number) {
      if (c == 'e' || c == 'E') break;
      nonZero = nonZero || (IsDigit(c) && c != '0');
    }
    const bool negativeExponent =
        number.find("e-") != std::string_view::npos || number.find("E-") != std::string_view::npos;
    const double magnitude = nonZero && !negativeExponent ? HUGE_VAL : 0.0;
    value = number.front() == '-' ? -magnitude : magnitude;
  }
  return value;
}

ScaleReading ReadScaleText(std::string_view text) noexcept {
  text = text.substr(0, std::min(text.size(), kScaleTextChars));
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  const char first = start < text.size() ? text[start] : '\0';

  std::size_t used = 0;
  const double value = LeadingNumber(text.substr(start), &used);
  ScaleReading reading;
  // A zero that was not written with a leading "0" means nothing could be converted.
  if (value == 0.0 && first != '0') return reading;
  std::size_t rest = start + used;
  while (rest < text.size() && IsBlank(text[rest])) ++rest;
  if (rest != text.size()) return reading;

  reading.scale = static_cast<float>(value);
  reading.verdict =
      value >= kMinimumScale && value <= kMaximumScale ? ScaleVerdict::kAccepted : ScaleVerdict::kOutOfRange;
  return reading;
}

std::string ScaleForBox(float scale) { return Format("%.3f", 0, scale, false); }
std::string ScaleForFirstPut(float scale) { return Format("%.*g", 3, scale, true); }
std::string ScaleForStore(float scale) { return Format("%f", 0, scale, false); }

}  // namespace commonq
