#pragma once
// The save options of each format as data: the extensions that choose its dialog, the dialog's
// template, the registry value it keeps and the controls bound to that value's bits. The host
// reads the same bits when it writes a file, so every rule here is exact, including what odd
// stored values open as.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace commonq {

enum class FieldKind { kRadioGroup, kCheck, kNumber };

// A radio button and the bits stored for it.
struct RadioChoice {
  int index = 0;
  std::uint32_t bits = 0;
};

// One control bound to part of a stored value; `absent` is what it shows when nothing is stored.
// - kCheck: checked when `bits` is stored, and stores `bits` when checked. A check without bits
//   always shows `absent` and stores nothing.
// - kRadioGroup (`control` is the group's first button): the first of `choices` whose bits are
//   all stored, `other` when none is. A button stores its choice's bits; any other index (also
//   -1, no button checked) stores `bits`.
// - kNumber: the whole value, as an unsigned number.
struct OptionField {
  FieldKind kind = FieldKind::kCheck;
  int control = 0;
  int absent = 0;
  std::uint32_t bits = 0;
  int other = 0;
  std::span<const RadioChoice> choices = {};
};

// A dialog's control values, in the order of its fields.
inline constexpr std::size_t kMaxFields = 8;
using FieldValues = std::array<int, kMaxFields>;

// What a number box reads as when its text is no number from 0 to INT_MAX.
inline constexpr int kNotANumber = -1;

struct FormatTable {
  std::array<std::string_view, 2> extensions = {};
  int templateId = 0;
  const char* value = nullptr;  // null: the dialog keeps nothing
  bool translated = true;
  std::span<const OptionField> fields = {};
};

FieldValues DecodeFields(std::span<const OptionField> fields, std::optional<std::uint32_t> stored) noexcept;
std::uint32_t EncodeFields(std::span<const OptionField> fields, const FieldValues& values) noexcept;

// Every format with a dialog, in the order extensions are compared.
std::span<const FormatTable> Formats() noexcept;
// The format of an extension (with its dot), compared whole and ignoring ASCII case; null when
// the extension has no dialog.
const FormatTable* FindFormat(std::string_view extension) noexcept;
// The Wavefront page of the 3D dialog, whose value the 3D dialog stores with its own.
const FormatTable& WavefrontPage() noexcept;

// JPEG: only a factor of 0 to 99 is stored, and the arrows land on the neighbouring multiple of 5,
// whatever the current position (the up-down control's delta after that rule).
inline constexpr int kJpegFactorLimit = 100;
bool IsStorableJpegFactor(int factor) noexcept;
int JpegArrowDelta(int position, int delta) noexcept;

}  // namespace commonq
