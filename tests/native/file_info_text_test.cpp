#include "fileinfo/logic/file_info_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace commonq {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

ImageInfoView Image(std::uint32_t width, std::uint32_t height, std::uint32_t depth, std::uint32_t alpha) {
  return ImageInfoView{0xDEAD, width, height, depth, 0xBEEF, 0xF00D, alpha};
}

TEST(ImageInfoList, TakesTypeOneNodesWithDataAndStopsAfterTheLimitOnCyclesAndLongLists) {
  const ImageInfoView first = Image(200, 100, 24, 0), second = Image(64, 32, 32, 7), image = Image(8, 8, 32, 0);
  InfoNodeView n4{1, &second, nullptr}, n3{1, nullptr, &n4}, n2{7, &first, &n3}, n1{1, &first, &n2};
  const ImageGroupText text = BuildImageGroup(CollectImageInfo(&n1));
  EXPECT_EQ(text.values, "200 x 100 (pixels)\n24\nNo\n64 x 32 (pixels)\n32\nYes");
  EXPECT_EQ(text.memoryKb, 8) << "the last image's 4 * 32 * 64 bytes";
  InfoNodeView a{1, &image, nullptr}, b{1, &image, &a};
  a.next = &b;
  EXPECT_EQ(CollectImageInfo(&a).size(), kMaxInfoNodes);
  std::vector<InfoNodeView> million(1000000, InfoNodeView{3, nullptr, nullptr});
  for (std::size_t k = 0; k + 1 < million.size(); ++k) million[k].next = &million[k + 1];
  million[kMaxInfoNodes - 1].type = million[kMaxInfoNodes].type = 1;
  million[kMaxInfoNodes - 1].data = million[kMaxInfoNodes].data = &image;
  EXPECT_EQ(CollectImageInfo(million.data()).size(), 1u) << "the 256th node is the last one read";
}

TEST(SizesInKb, DiskIsWholeKilobytesPlusOneAndMemoryDividesTheDepthFirstAndSaturates) {
  EXPECT_TRUE(DiskSizeKb(0) == 1 && DiskSizeKb(1023) == 1 && DiskSizeKb(1024) == 2 && DiskSizeKb(kMax) == 2097152);
  EXPECT_EQ(MemorySizeKb(24, 100, 200), 58);
  EXPECT_TRUE(MemorySizeKb(4, 4096, 4096) == 0 && MemorySizeKb(15, 1000, 1000) == 976) << "4 / 8 is 0, 15 / 8 is 1";
  EXPECT_TRUE(MemorySizeKb(kMax, kMax, kMax) == kMax && MemorySizeKb(-32, kMax, kMax) == -kMax - 1) << "saturated";
}

TEST(KbFormat, OneIntegerConversionOrTheBuiltInFormat) {
  for (const char* good : {"%u Kb", "%d Kb", "%lu Ko", "%5u Kb", "100%% %u", "n/a", ""}) EXPECT_TRUE(IsKbFormat(good));
  for (const char* bad : {"%s Kb", "%u %u", "%n", "%", "%u%", "%999u", "%.3u", "%*u", "%llu", "%x"})
    EXPECT_FALSE(IsKbFormat(bad)) << bad;
  EXPECT_EQ(FormatKb("%u Kb-tst", 58), "58 Kb-tst");
  EXPECT_EQ(FormatKb("%s Kb", 58), "58 Kb") << "a translation printf would misread";
  EXPECT_EQ(FormatKb(std::string(400, 'x') + "%u", 1).size(), kKbTextChars);
  EXPECT_EQ(FormatKb("%u", 4294967295u), "4294967295");
}

// The folder gets its backslash only within the 260-byte buffer; a trail byte 0x5C is no backslash.
TEST(FolderText, EndsInOneBackslashWithinTheBuffer) {
  const auto sjis = [](unsigned char byte) { return byte >= 0x81 && byte <= 0x9F; };
  EXPECT_TRUE(FolderWithBackslash("C:\\Models", nullptr) == "C:\\Models\\" &&
              FolderWithBackslash("C:", nullptr) == "C:\\");
  EXPECT_TRUE(FolderWithBackslash("C:\\", nullptr) == "C:\\" && FolderWithBackslash("", nullptr).empty());
  EXPECT_EQ(FolderWithBackslash("C:\\\x83\x5C", sjis), "C:\\\x83\x5C\\");
  const std::string cut = "C:\\" + std::string(255, 'x') + ":";  // 259 characters: a full buffer
  EXPECT_EQ(FolderWithBackslash(cut, nullptr), cut);
  EXPECT_EQ(FolderWithBackslash(cut.substr(1), nullptr), cut.substr(1) + "\\");
  EXPECT_EQ(FolderWithBackslash(cut + "yz", nullptr), cut) << "never beyond the buffer";
}

}  // namespace
}  // namespace commonq
