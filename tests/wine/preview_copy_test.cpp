// The file information dialog's copy of a large preview: drawn from the caller's bits until a
// worker has copied them, and the worker never outlives the bitmap that reads the caller's bits.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "fileinfo/preview_dib.h"
#include "support/leak_tracer.h"

namespace commonq {
namespace {

std::vector<std::uint8_t> Dib(std::int32_t width, std::int32_t height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  std::vector<std::uint8_t> dib(sizeof header + static_cast<size_t>(width) * height * 4);
  std::memcpy(dib.data(), &header, sizeof header);
  for (size_t k = sizeof header; k < dib.size(); ++k) dib[k] = static_cast<std::uint8_t>(k * 13);
  return dib;
}

const BITMAPINFOHEADER* Header(const std::vector<std::uint8_t>& dib) {
  return reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
}

TEST(PreviewCopyTest, SmallBitmapsAreCopiedAtOnceLargeOnesByTheWorkerAfterShowing) {
  testing::LeakTracer tracer(::GetModuleHandleA(nullptr));
  tracer.Start();
  {
    const std::vector<std::uint8_t> small = Dib(64, 64), large = Dib(1024, 512);
    PreviewDib preview;
    ASSERT_TRUE(preview.CopyFromWhileShowing(Header(small)));
    EXPECT_TRUE(preview.OwnsBits());
    EXPECT_EQ(std::memcmp(preview.Bits(), small.data() + 40, small.size() - 40), 0);

    ASSERT_TRUE(preview.CopyFromWhileShowing(Header(large)));
    EXPECT_EQ(preview.Bits(), large.data() + 40) << "drawn from the caller's bits until copied";
    preview.StartPendingCopy();
    for (int wait = 0; wait < 500 && !preview.OwnsBits(); ++wait) ::Sleep(10);
    ASSERT_TRUE(preview.OwnsBits());
    EXPECT_NE(preview.Bits(), large.data() + 40);
    EXPECT_EQ(std::memcmp(preview.Bits(), large.data() + 40, large.size() - 40), 0);
  }
  EXPECT_EQ(tracer.Survivors(), std::vector<std::string>{});
}

TEST(PreviewCopyTest, ReplacingOrDestroyingTheBitmapStopsTheWorkerBeforeTheSourceGoes) {
  const std::vector<std::uint8_t> dib = Dib(4096, 2048);
  for (int round = 0; round < 12; ++round) {
    // The caller's bitmap in pages of its own, released afterwards: a worker still reading it
    // would fault.
    auto* source = static_cast<std::uint8_t*>(::VirtualAlloc(nullptr, dib.size(), MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(source, nullptr);
    std::memcpy(source, dib.data(), dib.size());
    auto preview = std::make_unique<PreviewDib>();
    ASSERT_TRUE(preview->CopyFromWhileShowing(reinterpret_cast<const BITMAPINFOHEADER*>(source)));
    preview->StartPendingCopy();
    ::Sleep(static_cast<DWORD>(round % 4));  // caught at different points of the copy
    if (round % 2 == 0) {
      ASSERT_TRUE(preview->Create(8, 8, 32));
      EXPECT_TRUE(preview->OwnsBits());
    } else {
      preview.reset();
    }
    ::VirtualFree(source, 0, MEM_RELEASE);
  }
}

}  // namespace
}  // namespace commonq
