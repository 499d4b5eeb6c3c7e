// Fuzzes what the file information dialog does with outside data: the caller's packed bitmap
// header (layout, refusal and fitting) and the size format a language file may supply.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fileinfo/logic/file_info_text.h"
#include "fileinfo/logic/preview_rules.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace commonq;
  using namespace commonq::fuzz;
  Check(FormatKb(std::string(data, data + size), size > 4 ? data[4] * 65599u : 0).size() <= kKbTextChars);
  if (size < kDibHeaderBytes) return 0;
  // The address space of i686 as well as this platform's: the larger one never refuses more.
  const auto in32Bits = DibLayoutFor(ReadDibHeader(data), 0x7FFFFFFF);
  const auto layout = DibLayoutFor(ReadDibHeader(data));
  Check(!in32Bits || (layout && in32Bits->totalBytes == layout->totalBytes));
  if (!layout) return 0;
  Check(layout->width > 0 && layout->height > 0 && layout->totalBytes <= kAddressableBytes);
  Check(layout->stride % 4 == 0 && layout->stride * 8 >= std::uint64_t{layout->bitCount} * layout->width &&
        layout->stride * 8 < std::uint64_t{layout->bitCount} * layout->width + 32);
  // The product checked by division: it must not have wrapped.
  Check(layout->imageBytes / layout->stride == static_cast<std::uint64_t>(layout->height) &&
        layout->imageBytes % layout->stride == 0 && layout->totalBytes == layout->bitsOffset + layout->imageBytes &&
        layout->bitsOffset == kDibHeaderBytes + 4 * layout->colorEntries);
  const Rect picture = FitPreview(data[0], data[1], layout->width, layout->height);
  Check(picture.left >= data[0] && picture.top >= data[1] && picture.Width() >= 1 && picture.Height() >= 1);
  Check(std::max(picture.Width(), picture.Height()) == kPreviewBoxPixels);
  return 0;
}
