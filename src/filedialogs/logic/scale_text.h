#pragma once
// The uniform scale of the 3D dialog as text: what the edit box accepts, how the registry text
// is read back, and how the number is shown and stored.
#include <string>
#include <string_view>

namespace commonq {

// The edit box is read into this many characters.
inline constexpr std::size_t kScaleTextChars = 31;
inline constexpr float kDefaultScale = 100.0f;
// The range is checked in double precision against the single-precision bound, so 0.001 itself
// (which lies below 0.001f) is refused.
inline constexpr double kMinimumScale = static_cast<double>(0.001f);
inline constexpr double kMaximumScale = 100000.0;

// The longest prefix after leading white space that forms a decimal number (optional sign,
// digits with an optional point, optional exponent), converted; 0 when there is none. `used`
// receives the characters consumed, white space included (0 when there is no number).
double LeadingNumber(std::string_view text, std::size_t* used = nullptr) noexcept;

enum class ScaleVerdict {
  kAccepted,
  kNotANumber,  // the "Invalid Scale" message
  kOutOfRange,  // a beep, the focus on the box
};

struct ScaleReading {
  ScaleVerdict verdict = ScaleVerdict::kNotANumber;
  // The converted number; also set for a number outside the range.
  float scale = 0.0f;
};

// Reads the edit box text (only its first 31 characters count) by the dialog's rules.
ScaleReading ReadScaleText(std::string_view text) noexcept;

// "%.3f" as the box shows it, "%.*g" with precision 3 as it is first put, "%f" as it is stored.
std::string ScaleForBox(float scale);
std::string ScaleForFirstPut(float scale);
std::string ScaleForStore(float scale);

}  // namespace commonq
