#include "filedialogs/logic/format_encodings.h"

#include <cstdint>

namespace commonq {
namespace {

bool Has(std::uint32_t bits, std::uint32_t bit) { return (bits & bit) != 0; }

}  // namespace

int CheckStateToPut(int state) noexcept { return state >= 0 && state <= 2 ? state : 0; }

BitmapOptions DecodeBitmapOptions(std::optional<std::uint32_t> stored) noexcept {
  BitmapOptions options;
  if (!stored) return options;
  const std::uint32_t bits = *stored;
  // The order decides what a value with several depth bits opens as: 24 bits wins.
  if (Has(bits, kDepth24Bits)) {
    options.depthIndex = 5;
  } else if (Has(bits, kDepth16Bits)) {
    options.depthIndex = 4;
  } else if (Has(bits, kDepth8Bits)) {
    options.depthIndex = 3;
  } else if (Has(bits, kDepth4Bits)) {
    options.depthIndex = 2;
  } else if (Has(bits, kDepth2BitsGray)) {
    options.depthIndex = 1;
  } else if (Has(bits, kDepth1Bit)) {
    options.depthIndex = 0;
  } else {
    options.depthIndex = 6;
  }
  options.sameAsSource = Has(bits, kSameAsSourceBit) ? 1 : 0;
  return options;
}

std::uint32_t EncodeBitmapOptions(const BitmapOptions& options) noexcept {
  std::uint32_t bits = 0;
  switch (options.depthIndex) {
    case 0:
      bits = kDepth1Bit;
      break;
    case 1:
      bits = kDepth2BitsGray;
      break;
    case 2:
      bits = kDepth4Bits;
      break;
    case 3:
      bits = kDepth8Bits;
      break;
    case 4:
      bits = kDepth16Bits;
      break;
    case 5:
      bits = kDepth24Bits;
      break;
    default:
      bits = kDepth32Bits;
      break;
  }
  if (options.sameAsSource != 0) bits |= kSameAsSourceBit;
  return bits;
}

PngOptions DecodePngOptions(std::optional<std::uint32_t> stored) noexcept {
  PngOptions options;
  if (!stored) return options;
  const std::uint32_t bits = *stored;
  options.depthIndex = Has(bits, kDepth24Bits) ? 1 : Has(bits, kDepth8Bits) ? 0 : 2;
  options.interlaceIndex = Has(bits, kInterlacedBit) ? 0 : 1;
  return options;
}

std::uint32_t EncodePngOptions(const PngOptions& options) noexcept {
  std::uint32_t bits = options.depthIndex == 1 ? kDepth24Bits : options.depthIndex == 0 ? kDepth8Bits : kDepth32Bits;
  if (options.interlaceIndex == 0) bits |= kInterlacedBit;
  return bits;
}

RsrOptions DecodeRsrOptions(std::optional<std::uint32_t> stored) noexcept {
  RsrOptions options;
  if (!stored) return options;
  options.opacityIndex = Has(*stored, kDepth24Bits) ? 0 : 1;
  options.sameAsSource = Has(*stored, kSameAsSourceBit) ? 1 : 0;
  return options;
}

std::uint32_t EncodeRsrOptions(const RsrOptions& options) noexcept {
  std::uint32_t bits = options.opacityIndex == 0 ? kDepth24Bits : kDepth32Bits;
  if (options.sameAsSource != 0) bits |= kSameAsSourceBit;
  return bits;
}

int DecodeCarraraIndex(std::optional<std::uint32_t> stored) noexcept {
  if (!stored) return kCarraraDefaultIndex;
  const std::uint32_t low = *stored & 0xFF;
  if (Has(low, 0x01)) return 0;
  if (Has(low, 0x02)) return 1;
  return 2;
}

std::uint32_t EncodeCarraraIndex(int index) noexcept {
  if (index == 0) return 1;
  if (index == 1) return 2;
  return 0;
}

int DecodeJpegFactor(std::optional<std::uint32_t> stored) noexcept {
  return stored ? static_cast<int>(*stored) : kJpegDefaultFactor;
}

bool IsStorableJpegFactor(bool isNumber, unsigned factor) noexcept {
  return isNumber && factor < static_cast<unsigned>(kJpegFactorLimit);
}

int JpegArrowDelta(int position, int delta) noexcept {
  // The position is 0 to 100 in practice; a floored remainder keeps the rule defined beyond it.
  const int r = ((position % kJpegStep) + kJpegStep) % kJpegStep;
  const int step = r == 0 ? kJpegStep : delta > 0 ? kJpegStep - r : r;
  const std::int64_t scaled = static_cast<std::int64_t>(delta) * step;
  if (scaled > INT32_MAX) return INT32_MAX;
  if (scaled < INT32_MIN) return INT32_MIN;
  return static_cast<int>(scaled);
}

ObjPlacement DecodeObjPlacement(std::optional<std::uint32_t> stored) noexcept {
  ObjPlacement placement;
  if (!stored) return placement;
  // A clear bit leaves the default, which is unchecked for all three.
  if (Has(*stored, kCenteredBit)) placement.centered = 1;
  if (Has(*stored, kPlaceOnFloorBit)) placement.placeOnFloor = 1;
  if (Has(*stored, kScaleEnabledBit)) placement.scaleEnabled = 1;
  return placement;
}

std::uint32_t EncodeObjPlacement(const ObjPlacement& placement) noexcept {
  std::uint32_t bits = 0;
  if (placement.centered == 1) bits |= kCenteredBit;
  if (placement.placeOnFloor == 1) bits |= kPlaceOnFloorBit;
  if (placement.scaleEnabled == 1) bits |= kScaleEnabledBit;
  return bits;
}

WavefrontOptions DecodeWavefrontOptions(std::optional<std::uint32_t> stored) noexcept {
  WavefrontOptions options;
  if (!stored) return options;
  const std::uint32_t bits = *stored;
  options.visibleGroups = 1;
  if (!Has(bits, kNormalsBit)) options.normals = 0;
  if (!Has(bits, kUvsBit)) options.uvs = 0;
  if (Has(bits, kActiveMaterialsBit)) options.activeMaterials = 1;
  if (!Has(bits, kMaterialFileBit)) options.materialFile = 0;
  options.groupsIndex = Has(bits, kGroupsUseMaterialsBit) ? 1 : Has(bits, kGroupsAppendMaterialBit) ? 2 : 0;
  if (Has(bits, kTextureAbsoluteBit)) {
    options.texturePathIndex = 0;
  } else if (Has(bits, kTextureInObjDirectoryBit)) {
    options.texturePathIndex = 2;
  } else if (Has(bits, kTextureNoneBit)) {
    options.texturePathIndex = 3;
  } else {
    options.texturePathIndex = 1;
  }
  return options;
}

std::uint32_t EncodeWavefrontOptions(const WavefrontOptions& options) noexcept {
  std::uint32_t bits = 0;
  if (options.normals == 1) bits |= kNormalsBit;
  if (options.uvs == 1) bits |= kUvsBit;
  if (options.activeMaterials == 1) bits |= kActiveMaterialsBit;
  if (options.materialFile == 1) bits |= kMaterialFileBit;
  if (options.groupsIndex == 1) bits |= kGroupsUseMaterialsBit;
  if (options.groupsIndex == 2) bits |= kGroupsAppendMaterialBit;
  if (options.texturePathIndex == 0) bits |= kTextureAbsoluteBit;
  if (options.texturePathIndex == 2) bits |= kTextureInObjDirectoryBit;
  if (options.texturePathIndex == 3) bits |= kTextureNoneBit;
  return bits;
}

}  // namespace commonq
