#include "fileinfo/preview_dib.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "frame/high_contrast.h"

namespace commonq {

static_assert(sizeof(BITMAPINFOHEADER) == kDibHeaderBytes);

namespace {

constexpr int kFittedBitCount = 32;

// The caller's header as the layout read it, followed by its colour table: GDI is given no
// compression, header size or table length other than those the layout was computed for.
struct SourceInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

BITMAPINFOHEADER BottomUpHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                                std::uint32_t colorEntries) noexcept {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bitCount;
  header.biCompression = BI_RGB;
  header.biClrUsed = colorEntries;
  return header;
}

}  // namespace

bool PreviewDib::CopyFrom(const BITMAPINFOHEADER* source) noexcept {
  fitted_.reset();
  fittedBits_ = nullptr;
  if (source == nullptr) return false;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(source);
  const std::optional<DibLayout> layout = DibLayoutFor(ReadDibHeader(bytes));
  if (!layout) return false;
  SourceInfo sourceInfo{};
  sourceInfo.header = BottomUpHeader(layout->width, layout->height, layout->bitCount, layout->colorEntries);
  static_assert(sizeof sourceInfo.colors == 4u << 8, "the largest table, of 8 bits per pixel");
  std::memcpy(sourceInfo.colors, bytes + kDibHeaderBytes, layout->colorTableBytes);

  // Only the fitted size is allocated, whatever the size of the source: a texture the host can
  // hold always has room for its preview.
  const Rect picture = FitPreview(0, 0, layout->width, layout->height);
  const BITMAPINFOHEADER fittedHeader = BottomUpHeader(picture.Width(), picture.Height(), kFittedBitCount, 0);
  void* fittedBits = nullptr;
  UniqueBitmap fitted(::CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&fittedHeader), DIB_RGB_COLORS,
                                         &fittedBits, nullptr, 0));
  const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!fitted || fittedBits == nullptr || !dc) return false;
  {
    const SelectedObject selected(dc.get(), fitted.get());
    ::SetStretchBltMode(dc.get(), COLORONCOLOR);
    const int lines = ::StretchDIBits(dc.get(), 0, 0, picture.Width(), picture.Height(), 0, 0, layout->width,
                                      layout->height, bytes + layout->bitsOffset,
                                      reinterpret_cast<const BITMAPINFO*>(&sourceInfo), DIB_RGB_COLORS, SRCCOPY);
    if (lines <= 0) return false;  // 0, or GDI_ERROR (-1)
  }
  // The stretch is finished before the caller may take its bitmap back.
  ::GdiFlush();
  fitted_ = std::move(fitted);
  fittedBits_ = fittedBits;
  fittedHeader_ = fittedHeader;
  picture_ = picture;
  return true;
}

void PreviewDib::DrawPreview(HDC dc, int left, int top) const noexcept {
  if (Empty()) return;
  const Rect picture{left + picture_.left, top + picture_.top, left + picture_.right, top + picture_.bottom};
  ::SetDIBitsToDevice(dc, picture.left, picture.top, static_cast<DWORD>(picture.Width()),
                      static_cast<DWORD>(picture.Height()), 0, 0, 0, static_cast<UINT>(picture.Height()), fittedBits_,
                      reinterpret_cast<const BITMAPINFO*>(&fittedHeader_), DIB_RGB_COLORS);
  // In high contrast the shadow is solid: a fade between two of the user's colours is neither.
  const bool contrast = HighContrastOn();
  const COLORREF dark = contrast ? HighContrastColour(NamedColour::kShadow) : ::GetSysColor(COLOR_3DDKSHADOW);
  const COLORREF face = contrast ? dark : ::GetSysColor(COLOR_3DFACE);
  for (const ShadowPiece& piece : ShadowPieces(picture)) {
    GradientRect(dc, piece.rect, dark, face, piece.direction, piece.corner);
  }
}

void PreviewDib::GradientRect(HDC dc, const Rect& rect, COLORREF color1, COLORREF color2, int direction,
                              int corner) noexcept {
  const GradientMesh mesh = GradientVertices(rect, color1, color2, direction, corner);
  if (mesh.mode == GradientMode::kNone) return;
  TRIVERTEX vertices[4] = {};
  for (int k = 0; k < mesh.vertexCount; ++k) {
    const GradientVertex& v = mesh.vertices[static_cast<std::size_t>(k)];
    vertices[k] = TRIVERTEX{v.x, v.y, v.red, v.green, v.blue, 0};
  }
  if (mesh.mode == GradientMode::kTriangles) {
    GRADIENT_TRIANGLE triangles[2] = {{0, 1, 2}, {0, 1, 3}};
    ::GradientFill(dc, vertices, 4, triangles, 2, GRADIENT_FILL_TRIANGLE);
    return;
  }
  GRADIENT_RECT rectangle{0, 1};
  ::GradientFill(dc, vertices, 2, &rectangle, 1,
                 mesh.mode == GradientMode::kRectHorizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

}  // namespace commonq
