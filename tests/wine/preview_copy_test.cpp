// The file information dialog's copy of a large preview is made by a worker (the dialog tests see
// the copy made); here: the worker never outlives the bitmap, which would read the caller's bits
// after the call.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "fileinfo/preview_dib.h"

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
  return dib;
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
