#include "fileinfo/preview_dib.h"

#include <cstring>

namespace commonq {

static_assert(sizeof(BITMAPINFOHEADER) == kDibHeaderBytes);

bool PreviewDib::Create(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint32_t colorsUsed) {
  StopCopy();
  block_.reset();
  header_ = nullptr;
  bits_ = nullptr;
  const std::optional<DibLayout> layout = DibLayoutFor(width, height, bitCount, colorsUsed);
  if (!layout) return false;
  block_.reset(static_cast<std::uint8_t*>(::HeapAlloc(::GetProcessHeap(), 0, layout->blockBytes)));
  if (block_ == nullptr) return false;

  header_ = reinterpret_cast<BITMAPINFOHEADER*>(block_.get());
  *header_ = BITMAPINFOHEADER{};
  header_->biSize = sizeof(BITMAPINFOHEADER);
  header_->biWidth = width;
  header_->biHeight = height;
  header_->biPlanes = 1;
  header_->biBitCount = bitCount;
  header_->biCompression = BI_RGB;
  header_->biSizeImage = layout->imageBytes;
  header_->biClrUsed = layout->colorEntries;
  bits_ = block_.get() + layout->bitsOffset;
  return true;
}

bool PreviewDib::CopyFrom(const BITMAPINFOHEADER* source) {
  if (source == nullptr) {
    Create(0, 0, 0);
    return false;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(source);
  const DibHeaderFields fields = ReadDibHeader(bytes);
  const std::optional<DibLayout> layout = DibLayoutFor(fields);
  if (!layout || !Create(fields.width, fields.height, fields.bitCount, fields.colorsUsed)) return false;
  std::memcpy(block_.get() + kDibHeaderBytes, bytes + kDibHeaderBytes, layout->colorTableBytes);
  std::memcpy(bits_, bytes + layout->bitsOffset, layout->imageBytes);
  return true;
}

bool PreviewDib::CopyFromWhileShowing(const BITMAPINFOHEADER* source) {
  if (source == nullptr) return CopyFrom(source);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(source);
  const DibHeaderFields fields = ReadDibHeader(bytes);
  const std::optional<DibLayout> layout = DibLayoutFor(fields);
  if (!layout || layout->imageBytes < kWorkerCopyBytes) return CopyFrom(source);
  if (!Create(fields.width, fields.height, fields.bitCount, fields.colorsUsed)) return false;
  std::memcpy(block_.get() + kDibHeaderBytes, bytes + kDibHeaderBytes, layout->colorTableBytes);
  sourceBits_ = bytes + layout->bitsOffset;
  copyBytes_ = layout->imageBytes;
  copied_.store(false, std::memory_order_release);
  return true;
}

void PreviewDib::StartPendingCopy() noexcept {
  if (OwnsBits() || worker_) return;
  stop_.store(false, std::memory_order_relaxed);
  worker_.reset(::CreateThread(nullptr, 0, &PreviewDib::CopyBitsWorker, this, 0, nullptr));
  if (!worker_) {
    std::memcpy(bits_, sourceBits_, copyBytes_);
    copied_.store(true, std::memory_order_release);
  }
}

DWORD WINAPI PreviewDib::CopyBitsWorker(void* self) noexcept {
  auto* preview = static_cast<PreviewDib*>(self);
  // In slices, so that a dialog closed at once does not wait for the whole copy.
  constexpr std::uint32_t kSlice = 4u << 20;
  for (std::uint32_t done = 0; done < preview->copyBytes_; done += kSlice) {
    if (preview->stop_.load(std::memory_order_relaxed)) return 0;
    const std::uint32_t bytes = preview->copyBytes_ - done < kSlice ? preview->copyBytes_ - done : kSlice;
    std::memcpy(preview->bits_ + done, preview->sourceBits_ + done, bytes);
  }
  preview->copied_.store(true, std::memory_order_release);
  return 0;
}

void PreviewDib::StopCopy() noexcept {
  if (worker_) {
    stop_.store(true, std::memory_order_relaxed);
    ::WaitForSingleObject(worker_.get(), INFINITE);
    worker_.reset();
  }
  sourceBits_ = nullptr;
  copied_.store(true, std::memory_order_release);
}

void PreviewDib::Draw(HDC dc, int x, int y, int width, int height, DWORD rasterOperation) const {
  if (Empty()) return;
  ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchDIBits(dc, x, y, width, height, 0, 0, header_->biWidth, header_->biHeight, Bits(),
                  reinterpret_cast<const BITMAPINFO*>(header_), DIB_RGB_COLORS, rasterOperation);
}

void PreviewDib::DrawPreview(HDC dc, int left, int top) const {
  if (Empty()) return;
  const Rect picture = FitPreview(left, top, header_->biWidth, header_->biHeight);
  Draw(dc, picture.left, picture.top, picture.Width(), picture.Height(), SRCCOPY);
  const COLORREF dark = ::GetSysColor(COLOR_3DDKSHADOW);
  const COLORREF face = ::GetSysColor(COLOR_3DFACE);
  for (const ShadowPiece& piece : ShadowPieces(picture)) {
    GradientRect(dc, piece.rect, dark, face, piece.direction, piece.corner);
  }
}

void PreviewDib::GradientRect(HDC dc, const Rect& rect, COLORREF color1, COLORREF color2, int direction, int corner) {
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
