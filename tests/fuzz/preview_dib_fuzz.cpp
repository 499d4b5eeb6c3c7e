// Fuzzes what the file information dialog does with outside data: the caller's packed bitmap
// header (layout, refusal and fitting) and the size format a language file may supply.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fileinfo/logic/file_info_text.h"
#include "fileinfo/logic/preview_rules.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace commonq;
  Check(FormatKb(std::string(data, data + size), size > 4 ? data[4] * 65599u : 0).size() <= kKbTextChars);
  const auto layout = size < kDibHeaderBytes ? std::nullopt : DibLayoutFor(ReadDibHeader(data));
  if (!layout) return 0;
  Check(layout->width > 0 && layout->height > 0 && layout->imageBytes <= kMaxPreviewImageBytes);
  Check(layout->stride % 4 == 0 &&
        layout->stride * std::uint64_t{8} >= std::uint64_t{layout->bitCount} * layout->width);
  Check(layout->blockBytes ==
        kDibHeaderBytes + 4 * layout->colorEntries + std::uint64_t{layout->stride} * layout->height);
  const Rect picture = FitPreview(data[0], data[1], layout->width, layout->height);
  Check(picture.left >= data[0] && picture.top >= data[1] && picture.Width() >= 1 && picture.Height() >= 1);
  Check(std::max(picture.Width(), picture.Height()) == kPreviewBoxPixels);
  return 0;
}
