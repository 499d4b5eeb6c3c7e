#include "filedialogs/logic/format_table.h"

#include <cstdint>

#include "frame/logic/text_compare.h"
#include "resources/filedialogs_ids.h"

namespace commonq {
namespace {

using enum FieldKind;

// Colour depth bits, the same in every value that stores a depth.
constexpr std::uint32_t kDepth32 = 0x02;
constexpr std::uint32_t kDepth24 = 0x04;
constexpr std::uint32_t kSameAsSource = 0x80;

// The bitmap's depth buttons run from 1 bit (0) to 32 bits (6); 16 bits (4) is never shown but
// opens and stores like the others. 24 bits is tested first.
constexpr RadioChoice kBitmapDepths[] = {{5, kDepth24}, {4, 0x08}, {3, 0x10}, {2, 0x20}, {1, 0x100}, {0, 0x40}};
constexpr OptionField kBitmapFields[] = {
    {kRadioGroup, IDC_DEPTH_1, 5, kDepth32, 6, kBitmapDepths},
    {kCheck, IDC_SAME_AS_SOURCE, 1, kSameAsSource},
};

// The JPEG encoding buttons are hidden and not stored; the factor is the value itself.
constexpr OptionField kJpegFields[] = {
    {kRadioGroup, IDC_JPEG_STANDARD, 0},
    {kNumber, IDC_JPEG_FACTOR, 25},
};

// PNG: 8, 24 and 32 bits; interlaced (0) or not (1). Its "Same as source" box is not bound.
constexpr RadioChoice kPngDepths[] = {{1, kDepth24}, {0, 0x10}};
constexpr RadioChoice kInterlaced[] = {{0, 0x400}};
constexpr OptionField kPngFields[] = {
    {kRadioGroup, IDC_DEPTH_8, 1, kDepth32, 2, kPngDepths},
    {kRadioGroup, IDC_INTERLACED, 0, 0, 1, kInterlaced},
};

// GIF shows only OK and Cancel and keeps nothing.
constexpr OptionField kGifFields[] = {{kRadioGroup, IDC_INTERLACED, 1}};

// RSR: opaque (0) keeps the 24-bit bit, transparent (1) the 32-bit one.
constexpr RadioChoice kOpaque[] = {{0, kDepth24}};
constexpr OptionField kRsrFields[] = {
    {kRadioGroup, IDC_RSR_OPAQUE, 1, kDepth32, 1, kOpaque},
    {kCheck, IDC_SAME_AS_SOURCE, 1, kSameAsSource},
};

// Carrara: compressed, uncompressed, same as source.
constexpr RadioChoice kCarraraChoices[] = {{0, 0x01}, {1, 0x02}};
constexpr OptionField kCarraraFields[] = {{kRadioGroup, IDC_CARRARA_COMPRESSED, 2, 0, 2, kCarraraChoices}};

// "3dCheck": placement and the scale switch; the scale itself is the 3D dialog's own.
constexpr OptionField k3dFields[] = {
    {kCheck, IDC_3D_CENTERED, 0, 0x1},
    {kCheck, IDC_3D_PLACE_ON_FLOOR, 0, 0x2},
    {kCheck, IDC_3D_SCALE, 0, 0x4},
};

// "obj": groups same (0), use materials (1), append material name (2); texture paths absolute
// (0), relative to OBJ (1), in OBJ directory (2), none (3). "Vertex from visible groups" is
// always checked and never stored.
constexpr RadioChoice kGroups[] = {{1, 0x100}, {2, 0x200}};
constexpr RadioChoice kTexturePaths[] = {{0, 0x10}, {2, 0x20}, {3, 0x40}};
constexpr OptionField kWavefrontFields[] = {
    {kCheck, IDC_OBJ_NORMALS, 1, 0x2},
    {kCheck, IDC_OBJ_UVS, 1, 0x4},
    {kCheck, IDC_OBJ_VISIBLE_GROUPS, 1},
    {kCheck, IDC_OBJ_ACTIVE_MATERIALS, 0, 0x8},
    {kRadioGroup, IDC_OBJ_GROUPS_SAME, 0, 0, 0, kGroups},
    {kCheck, IDC_OBJ_MATERIAL_FILE, 1, 0x1},
    {kRadioGroup, IDC_OBJ_TEXTURE_ABSOLUTE, 1, 0, 1, kTexturePaths},
};

constexpr FormatTable kFormats[] = {
    {{".bmp"}, IDD_BITMAP_OPTIONS, "bmp", true, kBitmapFields},
    {{".gif"}, IDD_GIF_OPTIONS, nullptr, false, kGifFields},
    {{".jpg"}, IDD_JPEG_OPTIONS, "jpegComp", true, kJpegFields},
    {{".png"}, IDD_PNG_OPTIONS, "png", true, kPngFields},
    {{".rsr"}, IDD_RSR_OPTIONS, "rsr", true, kRsrFields},
    {{".obj"}, IDD_3D_OPTIONS, "3dCheck", false, k3dFields},
    {{".car", ".cbr"}, IDD_CARRARA_OPTIONS, "carr", true, kCarraraFields},
};
constexpr FormatTable kWavefrontPage{{}, IDD_WAVEFRONT_PAGE, "obj", false, kWavefrontFields};

constexpr bool FitsFieldValues() {
  for (const FormatTable& format : kFormats) {
    if (format.fields.size() > kMaxFields) return false;
  }
  return kWavefrontPage.fields.size() <= kMaxFields;
}
static_assert(FitsFieldValues());

int DecodeRadio(const OptionField& field, std::uint32_t stored) {
  for (const RadioChoice& choice : field.choices) {
    if ((stored & choice.bits) != 0) return choice.index;
  }
  return field.other;
}

std::uint32_t EncodeRadio(const OptionField& field, int index) {
  for (const RadioChoice& choice : field.choices) {
    if (choice.index == index) return choice.bits;
  }
  return field.bits;
}

}  // namespace

FieldValues DecodeFields(std::span<const OptionField> fields, std::optional<std::uint32_t> stored) noexcept {
  FieldValues values{};
  for (std::size_t k = 0; k < fields.size() && k < kMaxFields; ++k) {
    const OptionField& field = fields[k];
    if (!stored || (field.kind == kCheck && field.bits == 0)) {
      values[k] = field.absent;
    } else if (field.kind == kCheck) {
      values[k] = (*stored & field.bits) != 0 ? 1 : 0;
    } else if (field.kind == kRadioGroup) {
      values[k] = DecodeRadio(field, *stored);
    } else {
      // Taken as stored, without a range check: a factor of 250 shows as 250.
      values[k] = static_cast<int>(*stored);
    }
  }
  return values;
}

std::uint32_t EncodeFields(std::span<const OptionField> fields, const FieldValues& values) noexcept {
  std::uint32_t bits = 0;
  for (std::size_t k = 0; k < fields.size() && k < kMaxFields; ++k) {
    const OptionField& field = fields[k];
    if (field.kind == kCheck) {
      if (values[k] == 1) bits |= field.bits;
    } else if (field.kind == kRadioGroup) {
      bits |= EncodeRadio(field, values[k]);
    } else {
      bits |= static_cast<std::uint32_t>(values[k]);
    }
  }
  return bits;
}

std::span<const FormatTable> Formats() noexcept { return kFormats; }

const FormatTable* FindFormat(std::string_view extension) noexcept {
  for (const FormatTable& format : kFormats) {
    for (std::string_view known : format.extensions) {
      if (!known.empty() && EqualsIgnoringCase(extension, known)) return &format;
    }
  }
  return nullptr;
}

const FormatTable& WavefrontPage() noexcept { return kWavefrontPage; }

bool IsStorableJpegFactor(int factor) noexcept { return factor >= 0 && factor < kJpegFactorLimit; }

int JpegArrowDelta(int position, int delta) noexcept {
  constexpr int kStep = 5;
  // The position is 0 to 100 in practice; a floored remainder keeps the rule defined beyond it.
  const int r = ((position % kStep) + kStep) % kStep;
  const int step = r == 0 ? kStep : delta > 0 ? kStep - r : r;
  const std::int64_t scaled = static_cast<std::int64_t>(delta) * step;
  if (scaled > INT32_MAX) return INT32_MAX;
  if (scaled < INT32_MIN) return INT32_MIN;
  return static_cast<int>(scaled);
}

}  // namespace commonq
