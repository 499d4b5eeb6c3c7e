#pragma once
// How each format's save options are kept in its registry value: the stored bits to the dialog's
// radio indexes and check box states, and back. The host reads the same bits when it writes a
// file, so every rule here is exact, including what odd stored values open as.
#include <cstdint>
#include <optional>

namespace commonq {

// Bits shared by the values that store a colour depth ("bmp", "png", "rsr").
inline constexpr std::uint32_t kDepth32Bits = 0x02;
inline constexpr std::uint32_t kDepth24Bits = 0x04;
inline constexpr std::uint32_t kDepth16Bits = 0x08;
inline constexpr std::uint32_t kDepth8Bits = 0x10;
inline constexpr std::uint32_t kDepth4Bits = 0x20;
inline constexpr std::uint32_t kDepth1Bit = 0x40;
inline constexpr std::uint32_t kSameAsSourceBit = 0x80;
inline constexpr std::uint32_t kDepth2BitsGray = 0x100;
inline constexpr std::uint32_t kInterlacedBit = 0x400;

// A check box state as BM_SETCHECK takes it: 0, 1 and 2 stay, anything else is put as 0.
int CheckStateToPut(int state) noexcept;

// "bmp": depth index 0 = 1 bit, 1 = 2 bits, 2 = 4 bits, 3 = 8 bits, 4 = 16 bits (a button the
// dialog never shows), 5 = 24 bits, 6 = 32 bits.
struct BitmapOptions {
  int depthIndex = 5;
  int sameAsSource = 1;
};
BitmapOptions DecodeBitmapOptions(std::optional<std::uint32_t> stored) noexcept;
std::uint32_t EncodeBitmapOptions(const BitmapOptions& options) noexcept;

// "png": depth index 0 = 8 bits, 1 = 24 bits, 2 = 32 bits; interlace index 0 = interlaced.
struct PngOptions {
  int depthIndex = 1;
  int interlaceIndex = 0;
};
PngOptions DecodePngOptions(std::optional<std::uint32_t> stored) noexcept;
std::uint32_t EncodePngOptions(const PngOptions& options) noexcept;

// "rsr": opacity index 0 = opaque, 1 = transparent.
struct RsrOptions {
  int opacityIndex = 1;
  int sameAsSource = 1;
};
RsrOptions DecodeRsrOptions(std::optional<std::uint32_t> stored) noexcept;
std::uint32_t EncodeRsrOptions(const RsrOptions& options) noexcept;

// "carr": format index 0 = compressed, 1 = uncompressed, 2 = same as source.
inline constexpr int kCarraraDefaultIndex = 2;
int DecodeCarraraIndex(std::optional<std::uint32_t> stored) noexcept;
std::uint32_t EncodeCarraraIndex(int index) noexcept;

// "jpegComp": the compression factor, taken as stored; only 0 to 99 is ever written.
inline constexpr int kJpegDefaultFactor = 25;
inline constexpr int kJpegFactorLimit = 100;
inline constexpr int kJpegStep = 5;
int DecodeJpegFactor(std::optional<std::uint32_t> stored) noexcept;
bool IsStorableJpegFactor(bool isNumber, unsigned factor) noexcept;
// The up-down control's delta after the step rule: the arrows land on the neighbouring multiple
// of 5, whatever the current position.
int JpegArrowDelta(int position, int delta) noexcept;

// "3dCheck": placement and scale switches of the 3D dialog.
inline constexpr std::uint32_t kCenteredBit = 0x1;
inline constexpr std::uint32_t kPlaceOnFloorBit = 0x2;
inline constexpr std::uint32_t kScaleEnabledBit = 0x4;
struct ObjPlacement {
  int centered = 0;
  int placeOnFloor = 0;
  int scaleEnabled = 0;
};
ObjPlacement DecodeObjPlacement(std::optional<std::uint32_t> stored) noexcept;
std::uint32_t EncodeObjPlacement(const ObjPlacement& placement) noexcept;

// "obj": the Wavefront page. Groups index 0 = same, 1 = use materials, 2 = append material name;
// texture-path index 0 = absolute, 1 = relative to OBJ, 2 = in OBJ directory, 3 = none.
inline constexpr std::uint32_t kMaterialFileBit = 0x1;
inline constexpr std::uint32_t kNormalsBit = 0x2;
inline constexpr std::uint32_t kUvsBit = 0x4;
inline constexpr std::uint32_t kActiveMaterialsBit = 0x8;
inline constexpr std::uint32_t kTextureAbsoluteBit = 0x10;
inline constexpr std::uint32_t kTextureInObjDirectoryBit = 0x20;
inline constexpr std::uint32_t kTextureNoneBit = 0x40;
inline constexpr std::uint32_t kGroupsUseMaterialsBit = 0x100;
inline constexpr std::uint32_t kGroupsAppendMaterialBit = 0x200;
struct WavefrontOptions {
  int normals = 1;
  int uvs = 1;
  int visibleGroups = 1;
  int activeMaterials = 0;
  int groupsIndex = 0;
  int materialFile = 1;
  int texturePathIndex = 1;
};
WavefrontOptions DecodeWavefrontOptions(std::optional<std::uint32_t> stored) noexcept;
std::uint32_t EncodeWavefrontOptions(const WavefrontOptions& options) noexcept;

}  // namespace commonq
