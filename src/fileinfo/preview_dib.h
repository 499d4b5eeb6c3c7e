#pragma once
// The file information dialog's own copy of the caller's preview bitmap, and its drawing: fitted
// into a 64 x 64 box with a soft drop shadow of gradient fills.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "fileinfo/logic/preview_rules.h"

namespace commonq {

// What the dialog holds as its picture; the preview is the one kind there is.
class PreviewImage {
 public:
  virtual ~PreviewImage() = default;
};

class PreviewDib : public PreviewImage {
 public:
  PreviewDib() = default;
  PreviewDib(const PreviewDib&) = delete;
  PreviewDib& operator=(const PreviewDib&) = delete;

  // Replaces the bitmap by an uninitialised one of that shape (colour table included below 16 bits
  // per pixel). Returns false, and leaves the object empty, for a shape the preview refuses or
  // when the process heap has no room.
  bool Create(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint32_t colorsUsed = 0);
  // Copies a packed DIB: header, colour table (below 16 bits per pixel) and bits. Only the header
  // fields the layout needs are read before the copy; nothing beyond the layout is read.
  bool CopyFrom(const BITMAPINFOHEADER* source);

  bool Empty() const noexcept { return block_ == nullptr; }
  const BITMAPINFOHEADER* Header() const noexcept { return header_; }
  const std::uint8_t* Bits() const noexcept { return bits_; }

  // Stretches the whole bitmap into the rectangle.
  void Draw(HDC dc, int x, int y, int width, int height, DWORD rasterOperation) const;
  // The fitted picture and its shadow in the 64 x 64 box at (left, top).
  void DrawPreview(HDC dc, int left, int top) const;
  // One piece of the shadow (directions and corners of GradientVertices).
  static void GradientRect(HDC dc, const Rect& rect, COLORREF color1, COLORREF color2, int direction, int corner);

 private:
  struct HeapBlockFree {
    void operator()(std::uint8_t* block) const noexcept { ::HeapFree(::GetProcessHeap(), 0, block); }
  };

  std::unique_ptr<std::uint8_t, HeapBlockFree> block_;
  BITMAPINFOHEADER* header_ = nullptr;
  std::uint8_t* bits_ = nullptr;
};

}  // namespace commonq
