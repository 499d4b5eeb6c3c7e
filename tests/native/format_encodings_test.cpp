// The stored bits of every format to the dialogs' indexes and states, and back.
#include "filedialogs/logic/format_encodings.h"

#include <gtest/gtest.h>

namespace commonq {
namespace {

TEST(BitmapEncoding, MissingValueOpensAs24BitsSameAsSourceAndStores0x84) {
  const BitmapOptions options = DecodeBitmapOptions(std::nullopt);
  EXPECT_EQ(options.depthIndex, 5);
  EXPECT_EQ(options.sameAsSource, 1);
  EXPECT_EQ(EncodeBitmapOptions(options), 0x84u);
}

TEST(BitmapEncoding, EachDepthBitRoundTrips) {
  const std::uint32_t bits[] = {0x40, 0x100, 0x20, 0x10, 0x08, 0x04, 0x02};
  for (int index = 0; index < 7; ++index) {
    EXPECT_EQ(DecodeBitmapOptions(bits[index]).depthIndex, index) << index;
    EXPECT_EQ(EncodeBitmapOptions({index, 0}), bits[index]) << index;
    EXPECT_EQ(EncodeBitmapOptions({index, 1}), bits[index] | 0x80) << index;
  }
}

TEST(BitmapEncoding, OddStoredValues) {
  // 0x08 checks the hidden 16-bit button and is stored again unchanged.
  EXPECT_EQ(DecodeBitmapOptions(0x08u).depthIndex, 4);
  EXPECT_EQ(DecodeBitmapOptions(0x08u).sameAsSource, 0);
  EXPECT_EQ(EncodeBitmapOptions(DecodeBitmapOptions(0x08u)), 0x08u);
  // 24 bits is tested first.
  EXPECT_EQ(DecodeBitmapOptions(0x06u).depthIndex, 5);
  EXPECT_EQ(DecodeBitmapOptions(0x140u).depthIndex, 1);
  // No depth bit at all is 32 bits; 0x80 alone keeps "Same as source".
  EXPECT_EQ(DecodeBitmapOptions(0x80u).depthIndex, 6);
  EXPECT_EQ(DecodeBitmapOptions(0x80u).sameAsSource, 1);
  EXPECT_EQ(DecodeBitmapOptions(0u).sameAsSource, 0);
}

TEST(BitmapEncoding, NoButtonCheckedAndAnyCheckStateAreEncodedSafely) {
  EXPECT_EQ(EncodeBitmapOptions({-1, 0}), 0x02u);
  EXPECT_EQ(EncodeBitmapOptions({6, 0}), 0x02u);
  // The indeterminate state is "not unchecked".
  EXPECT_EQ(EncodeBitmapOptions({5, 2}), 0x84u);
}

TEST(PngEncoding, DefaultsAndEveryDepth) {
  const PngOptions defaults = DecodePngOptions(std::nullopt);
  EXPECT_EQ(defaults.depthIndex, 1);
  EXPECT_EQ(defaults.interlaceIndex, 0);
  EXPECT_EQ(EncodePngOptions(defaults), 0x404u);
  EXPECT_EQ(DecodePngOptions(0x14u).depthIndex, 1);
  EXPECT_EQ(DecodePngOptions(0x10u).depthIndex, 0);
  EXPECT_EQ(DecodePngOptions(0x02u).depthIndex, 2);
  EXPECT_EQ(DecodePngOptions(0u).depthIndex, 2);
  EXPECT_EQ(DecodePngOptions(0x404u).interlaceIndex, 0);
  EXPECT_EQ(DecodePngOptions(0x04u).interlaceIndex, 1);
  EXPECT_EQ(EncodePngOptions({0, 1}), 0x10u);
  EXPECT_EQ(EncodePngOptions({2, 0}), 0x402u);
  EXPECT_EQ(EncodePngOptions({-1, -1}), 0x02u);
}

TEST(RsrEncoding, OpacityAndSameAsSource) {
  const RsrOptions defaults = DecodeRsrOptions(std::nullopt);
  EXPECT_EQ(defaults.opacityIndex, 1);
  EXPECT_EQ(defaults.sameAsSource, 1);
  EXPECT_EQ(EncodeRsrOptions(defaults), 0x82u);
  EXPECT_EQ(DecodeRsrOptions(0x04u).opacityIndex, 0);
  EXPECT_EQ(DecodeRsrOptions(0x04u).sameAsSource, 0);
  EXPECT_EQ(DecodeRsrOptions(0x82u).opacityIndex, 1);
  EXPECT_EQ(EncodeRsrOptions({0, 0}), 0x04u);
  EXPECT_EQ(EncodeRsrOptions({-1, 1}), 0x82u);
}

TEST(CarraraEncoding, LowByteDecidesAndIndexesMapTo1And2And0) {
  EXPECT_EQ(DecodeCarraraIndex(std::nullopt), 2);
  EXPECT_EQ(DecodeCarraraIndex(1u), 0);
  EXPECT_EQ(DecodeCarraraIndex(3u), 0);
  EXPECT_EQ(DecodeCarraraIndex(2u), 1);
  EXPECT_EQ(DecodeCarraraIndex(0u), 2);
  EXPECT_EQ(DecodeCarraraIndex(0x101u), 0);
  EXPECT_EQ(DecodeCarraraIndex(0x100u), 2);
  EXPECT_EQ(EncodeCarraraIndex(0), 1u);
  EXPECT_EQ(EncodeCarraraIndex(1), 2u);
  EXPECT_EQ(EncodeCarraraIndex(2), 0u);
  EXPECT_EQ(EncodeCarraraIndex(-1), 0u);
}

TEST(JpegEncoding, FactorIsTakenAsStoredAndOnlyBelow100IsStored) {
  EXPECT_EQ(DecodeJpegFactor(std::nullopt), 25);
  EXPECT_EQ(DecodeJpegFactor(250u), 250);
  EXPECT_TRUE(IsStorableJpegFactor(true, 0));
  EXPECT_TRUE(IsStorableJpegFactor(true, 99));
  EXPECT_FALSE(IsStorableJpegFactor(true, 100));
  EXPECT_FALSE(IsStorableJpegFactor(false, 5));
  EXPECT_FALSE(IsStorableJpegFactor(true, 0xFFFFFFFFu));
}

TEST(JpegEncoding, ArrowsLandOnTheNeighbouringMultipleOfFive) {
  EXPECT_EQ(23 + JpegArrowDelta(23, 1), 25);
  EXPECT_EQ(23 + JpegArrowDelta(23, -1), 20);
  EXPECT_EQ(25 + JpegArrowDelta(25, 1), 30);
  EXPECT_EQ(25 + JpegArrowDelta(25, -1), 20);
  EXPECT_EQ(21 + JpegArrowDelta(21, -1), 20);
  EXPECT_EQ(24 + JpegArrowDelta(24, 1), 25);
  EXPECT_EQ(95 + JpegArrowDelta(95, 1), 100);
  EXPECT_EQ(JpegArrowDelta(0, 2), 10);
  EXPECT_EQ(JpegArrowDelta(7, 0), 0);
  // Far outside the control's range the rule stays defined and saturates instead of overflowing.
  EXPECT_EQ(-3 + JpegArrowDelta(-3, 1), 0);
  EXPECT_EQ(JpegArrowDelta(0, INT32_MAX), INT32_MAX);
  EXPECT_EQ(JpegArrowDelta(0, INT32_MIN), INT32_MIN);
}

TEST(ObjEncoding, PlacementBits) {
  const ObjPlacement none = DecodeObjPlacement(std::nullopt);
  EXPECT_EQ(EncodeObjPlacement(none), 0u);
  const ObjPlacement all = DecodeObjPlacement(0xFFu);
  EXPECT_EQ(all.centered, 1);
  EXPECT_EQ(all.placeOnFloor, 1);
  EXPECT_EQ(all.scaleEnabled, 1);
  EXPECT_EQ(EncodeObjPlacement(all), 0x7u);
  EXPECT_EQ(DecodeObjPlacement(4u).scaleEnabled, 1);
  EXPECT_EQ(DecodeObjPlacement(4u).centered, 0);
  EXPECT_EQ(EncodeObjPlacement({1, 0, 1}), 0x5u);
  // Only state 1 sets a bit.
  EXPECT_EQ(EncodeObjPlacement({2, 2, 2}), 0u);
}

TEST(ObjEncoding, WavefrontDefaultsStore0x7) {
  const WavefrontOptions defaults = DecodeWavefrontOptions(std::nullopt);
  EXPECT_EQ(defaults.groupsIndex, 0);
  EXPECT_EQ(defaults.texturePathIndex, 1);
  EXPECT_EQ(EncodeWavefrontOptions(defaults), 0x7u);
}

TEST(ObjEncoding, WavefrontBitsDecodeInTheirOrder) {
  EXPECT_EQ(DecodeWavefrontOptions(0x300u).groupsIndex, 1);
  EXPECT_EQ(DecodeWavefrontOptions(0x200u).groupsIndex, 2);
  EXPECT_EQ(DecodeWavefrontOptions(0x70u).texturePathIndex, 0);
  EXPECT_EQ(DecodeWavefrontOptions(0x60u).texturePathIndex, 2);
  EXPECT_EQ(DecodeWavefrontOptions(0x40u).texturePathIndex, 3);
  const WavefrontOptions bare = DecodeWavefrontOptions(0u);
  EXPECT_EQ(bare.normals, 0);
  EXPECT_EQ(bare.uvs, 0);
  EXPECT_EQ(bare.materialFile, 0);
  EXPECT_EQ(bare.activeMaterials, 0);
  EXPECT_EQ(bare.visibleGroups, 1);
  EXPECT_EQ(DecodeWavefrontOptions(0x8u).activeMaterials, 1);
}

TEST(ObjEncoding, WavefrontRoundTripsEveryChoice) {
  for (int groups = 0; groups < 3; ++groups) {
    for (int paths = 0; paths < 4; ++paths) {
      for (std::uint32_t flags = 0; flags < 16; ++flags) {
        WavefrontOptions options;
        options.materialFile = (flags & 1) ? 1 : 0;
        options.normals = (flags & 2) ? 1 : 0;
        options.uvs = (flags & 4) ? 1 : 0;
        options.activeMaterials = (flags & 8) ? 1 : 0;
        options.groupsIndex = groups;
        options.texturePathIndex = paths;
        const std::uint32_t bits = EncodeWavefrontOptions(options);
        EXPECT_EQ(bits & 0xF, flags);
        const WavefrontOptions back = DecodeWavefrontOptions(bits);
        EXPECT_EQ(back.groupsIndex, groups);
        EXPECT_EQ(back.texturePathIndex, paths);
        EXPECT_EQ(EncodeWavefrontOptions(back), bits);
      }
    }
  }
  // Nothing checked in a group stores none of its bits.
  WavefrontOptions none;
  none.groupsIndex = -1;
  none.texturePathIndex = -1;
  EXPECT_EQ(EncodeWavefrontOptions(none) & 0x370u, 0u);
}

TEST(CheckState, OnlyTheThreeButtonStatesArePut) {
  EXPECT_EQ(CheckStateToPut(0), 0);
  EXPECT_EQ(CheckStateToPut(1), 1);
  EXPECT_EQ(CheckStateToPut(2), 2);
  EXPECT_EQ(CheckStateToPut(3), 0);
  EXPECT_EQ(CheckStateToPut(-1), 0);
}

}  // namespace
}  // namespace commonq
