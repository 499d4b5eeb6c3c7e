#include "filedialogs/logic/scale_text.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

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
  // The C library's conversion, which goes to infinity on overflow and towards zero on underflow.
  // It reads the decimal point of the C locale in force, which a host may have changed: the copy
  // uses that point, so "1.5" means one and a half in any locale. (std::from_chars would avoid
  // the locale but pulls 40 KB of code into the DLL.)
  std::string number(text.substr(start, length));
  const char point = *std::localeconv()->decimal_point;
  if (point != '\0' && point != '.') std::replace(number.begin(), number.end(), '.', point);
  const double value = std::strtod(number.c_str(), nullptr);
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
