// The file information dialog's copy of a large preview is made by a worker (the dialog tests see
// the copy made); here: the worker never outlives the bitmap, which would read the caller's bits
// after the call.
#include <gtest/gtest.h>

#include <memory>

#include "fileinfo/preview_dib.h"

namespace commonq {
namespace {

TEST(PreviewCopyTest, ReplacingOrDestroyingTheBitmapStopsTheWorkerBeforeTheSourceGoes) {
  for (int round = 0; round < 12; ++round) {
    // The caller's bitmap in pages of its own, released afterwards: a worker still reading it
    // would fault.
    auto* source = static_cast<BITMAPINFOHEADER*>(
        ::VirtualAlloc(nullptr, sizeof(BITMAPINFOHEADER) + 4096 * 2048 * 4, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(source, nullptr);
    *source = {sizeof(BITMAPINFOHEADER), 4096, 2048, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    auto preview = std::make_unique<PreviewDib>();
    ASSERT_TRUE(preview->CopyFromWhileShowing(source));
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
