// Fuzzes what the file information dialog does with outside data: the caller's packed bitmap
// header (layout, refusal, the copy of its colour table and bits, fitting and shadow) and the size
// format that a language file may supply. The input is a packed DIB; its bytes after the header
// also serve as the format text and the gradient's direction and corner.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fileinfo/file_info_text.h"
#include "fileinfo/preview_rules.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace commonq;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string formatted = FormatKb(text, size > 4 ? data[size - 1] * 65599u : 0u);
  Check(formatted.size() <= kKbTextChars);

  if (size < kDibHeaderBytes) return 0;
  const DibHeaderFields fields = ReadDibHeader(data);
  const auto layout = DibLayoutFor(fields);
  if (!layout) return 0;

  Check(layout->width > 0 && layout->height > 0);
  Check(layout->imageBytes <= kMaxPreviewImageBytes);
  Check(layout->stride % 4 == 0);
  Check(static_cast<std::uint64_t>(layout->stride) * 8 >= static_cast<std::uint64_t>(layout->bitCount) * layout->width);
  Check(static_cast<std::uint64_t>(layout->stride) * layout->height == layout->imageBytes);
  Check(layout->bitsOffset == kDibHeaderBytes + layout->colorTableBytes);
  Check(layout->blockBytes == layout->bitsOffset + layout->imageBytes);
  Check(layout->colorTableBytes <= 4u << 8);

  // The copy as the preview makes it, when the input holds everything the header claims.
  if (layout->bitsOffset + static_cast<std::size_t>(layout->imageBytes) <= size && layout->blockBytes <= (1u << 20)) {
    std::vector<std::uint8_t> block(layout->blockBytes);
    std::memcpy(block.data(), data, kDibHeaderBytes);
    std::memcpy(block.data() + kDibHeaderBytes, data + kDibHeaderBytes, layout->colorTableBytes);
    std::memcpy(block.data() + layout->bitsOffset, data + layout->bitsOffset, layout->imageBytes);
  }

  const Rect picture = FitPreview(data[0], data[1], layout->width, layout->height);
  Check(picture.left >= data[0] && picture.top >= data[1]);
  Check(picture.Width() >= 1 && picture.Width() <= kPreviewBoxPixels);
  Check(picture.Height() >= 1 && picture.Height() <= kPreviewBoxPixels);
  Check(picture.Width() == kPreviewBoxPixels || picture.Height() == kPreviewBoxPixels);
  const int direction = data[2] % 4 == 0 ? 0 : data[2] % 4 == 1 ? 45 : data[2] % 4 == 2 ? 135 : data[3];
  for (const ShadowPiece& piece : ShadowPieces(picture)) {
    const bool drawable = piece.rect.left < piece.rect.right && piece.rect.top < piece.rect.bottom;
    const GradientMesh mesh = GradientVertices(piece.rect, fields.colorsUsed, fields.colorsUsed >> 8, direction,
                                               static_cast<int>(data[4] % 6) - 1);
    Check(mesh.vertexCount == 0 || mesh.vertexCount == 2 || mesh.vertexCount == 4);
    if (!drawable) Check(mesh.mode == GradientMode::kNone);
    for (int k = 0; k < mesh.vertexCount; ++k) {
      const GradientVertex& v = mesh.vertices[static_cast<std::size_t>(k)];
      Check(v.x >= piece.rect.left && v.x <= piece.rect.right && v.y >= piece.rect.top && v.y <= piece.rect.bottom);
    }
  }
  return 0;
}
