#include "fileinfo/file_info_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace commonq {
namespace {

ImageInfoView Image(std::uint32_t width, std::uint32_t height, std::uint32_t depth, std::uint32_t alpha) {
  return ImageInfoView{0xDEAD, width, height, depth, 0xBEEF, 0xF00D, alpha};
}

TEST(ImageInfoList, TakesTypeOneNodesInOrderAndSkipsTheRest) {
  const ImageInfoView first = Image(200, 100, 24, 0);
  const ImageInfoView second = Image(64, 64, 32, 1);
  const ImageInfoView other = Image(1, 1, 1, 1);
  InfoNodeView n4{1, &second, nullptr};
  InfoNodeView n3{1, nullptr, &n4};  // an image node without data
  InfoNodeView n2{7, &other, &n3};
  InfoNodeView n1{1, &first, &n2};
  const std::vector<ImageInfoView> images = CollectImageInfo(&n1);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].width, 200u);
  EXPECT_EQ(images[1].alpha, 1u);
  EXPECT_TRUE(CollectImageInfo(nullptr).empty());
}

TEST(ImageInfoList, StopsAfterTheNodeLimitOnCyclesAndLongLists) {
  const ImageInfoView image = Image(10, 10, 32, 0);
  InfoNodeView a{1, &image, nullptr};
  InfoNodeView b{1, &image, &a};
  a.next = &b;
  EXPECT_EQ(CollectImageInfo(&a).size(), kMaxInfoNodes);

  std::vector<InfoNodeView> million(1000000, InfoNodeView{3, nullptr, nullptr});
  for (std::size_t k = 0; k + 1 < million.size(); ++k) million[k].next = &million[k + 1];
  million[kMaxInfoNodes - 1] = InfoNodeView{1, &image, &million[kMaxInfoNodes]};
  million[kMaxInfoNodes] = InfoNodeView{1, &image, &million[kMaxInfoNodes + 1]};
  EXPECT_EQ(CollectImageInfo(million.data()).size(), 1u) << "the 256th node is the last one read";
}

TEST(ImageGroupText, TwoImagesGiveSixLinesAndTheSecondImagesMemory) {
  const ImageGroupText text = BuildImageGroup({Image(200, 100, 24, 0), Image(64, 32, 32, 7)});
  EXPECT_EQ(text.labels, "Dimension\nColor Depth\nAlpha\nDimension\nColor Depth\nAlpha");
  EXPECT_EQ(text.values, "200 x 100 (pixels)\n24\nNo\n64 x 32 (pixels)\n32\nYes");
  EXPECT_EQ(text.memoryKb, 8) << "4 * 32 * 64 / 1024, the later node replaces the earlier";
  const ImageGroupText none = BuildImageGroup({});
  EXPECT_TRUE(none.labels.empty());
  EXPECT_TRUE(none.values.empty());
  EXPECT_EQ(none.memoryKb, 0);
}

TEST(SizesInKb, DiskSizeIsOneMoreThanTheWholeKilobytes) {
  EXPECT_EQ(DiskSizeKb(0), 1);
  EXPECT_EQ(DiskSizeKb(1023), 1);
  EXPECT_EQ(DiskSizeKb(1024), 2);
  EXPECT_EQ(DiskSizeKb(std::numeric_limits<std::int32_t>::max()), 2097152);
  EXPECT_EQ(DiskSizeKb(-1025), 0) << "signed division rounds toward zero";
}

TEST(SizesInKb, MemoryDividesTheDepthFirstAndSaturates) {
  EXPECT_EQ(MemorySizeKb(24, 100, 200), 58) << "3 * 100 * 200 = 60000 bytes";
  EXPECT_EQ(MemorySizeKb(1, 4096, 4096), 0) << "1 / 8 is 0";
  EXPECT_EQ(MemorySizeKb(4, 4096, 4096), 0);
  EXPECT_EQ(MemorySizeKb(15, 1000, 1000), 976) << "15 / 8 is 1";
  EXPECT_EQ(MemorySizeKb(32, 4096, 4096), 65536);
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(MemorySizeKb(kMax, kMax, kMax), kMax) << "an absurd record saturates instead of wrapping";
  EXPECT_EQ(MemorySizeKb(-32, kMax, kMax), std::numeric_limits<std::int32_t>::min());
  EXPECT_LT(MemorySizeKb(-32, 10, 100), 0) << "a depth above 2^31 read as signed is no size";
}

TEST(KbFormat, AcceptsOneIntegerConversionAndLiteralPercents) {
  for (const char* good : {"%u Kb", "%u KB", "%d Kb", "%lu Ko", "%5u Kb", "100%% %u", "n/a", ""}) {
    EXPECT_TRUE(IsKbFormat(good)) << good;
  }
  for (const char* bad : {"%s Kb", "%u %u", "%n", "%", "%u%", "%999u", "%.3u", "%*u", "%llu", "%x"}) {
    EXPECT_FALSE(IsKbFormat(bad)) << bad;
  }
}

TEST(KbFormat, FormatsWithTheControlsTextOrTheBuiltInOne) {
  EXPECT_EQ(FormatKb("%u Kb", 58), "58 Kb");
  EXPECT_EQ(FormatKb("%u Kb-tst", 58), "58 Kb-tst");
  EXPECT_EQ(FormatKb("%5u|", 58), "   58|");
  EXPECT_EQ(FormatKb("%-4d|%%", 7), "7   |%");
  EXPECT_EQ(FormatKb("%s Kb", 58), "58 Kb") << "a translation that printf would misread";
  EXPECT_EQ(FormatKb("%u %s", 1), "1 Kb");
  EXPECT_EQ(FormatKb(std::string(400, 'x') + "%u", 1).size(), kKbTextChars);
  EXPECT_EQ(FormatKb("%u", 4294967295u), "4294967295");
}

}  // namespace
}  // namespace commonq
