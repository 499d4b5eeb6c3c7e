#pragma once
// The arithmetic of the file information dialog's image preview: what a caller's bitmap header
// may describe, where its colour table and bits lie, how it is fitted into the preview box and the
// gradient pieces of its drop shadow. No platform calls; the Win32 tier turns the results into
// CreateDIBSection, StretchDIBits and GradientFill.
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

#include "frame/logic/placement.h"

namespace commonq {

inline constexpr std::size_t kDibHeaderBytes = 40;
// The largest object this platform can address (pointer differences within it stay defined): a
// bitmap said to be larger cannot lie in the caller's memory.
inline constexpr std::uint64_t kAddressableBytes = std::numeric_limits<std::ptrdiff_t>::max();
inline constexpr int kPreviewBoxPixels = 64;
inline constexpr int kShadowDepth = 5;

// The fields of a BITMAPINFOHEADER the preview reads, at their published offsets.
struct DibHeaderFields {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t colorsUsed = 0;
};

// Reads the fields from the first 40 bytes of a packed bitmap (little-endian, as Windows lays
// them out). `bytes` must hold at least kDibHeaderBytes.
DibHeaderFields ReadDibHeader(const std::uint8_t* bytes) noexcept;

// Where everything of one packed bitmap lies, in bytes. Bitmaps below 16 bits per pixel carry
// their colour table between header and bits, as every packed DIB does.
struct DibLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t colorEntries = 0;  // 0 from 16 bits per pixel on
  std::uint64_t stride = 0;        // one row, padded to 4 bytes
  std::uint64_t imageBytes = 0;    // stride * height
  std::uint32_t colorTableBytes = 0;
  std::uint32_t bitsOffset = 0;  // from the start of the header
  std::uint64_t totalBytes = 0;  // header, colour table and bits
};

// The layout of a bitmap of that shape, or none when the preview refuses it: a width or height
// of zero or below (top-down bitmaps included), a bit count other than 1, 4, 8, 16, 24 or 32, or
// more than `addressableBytes` in all, which no caller can hold. `colorsUsed` is the header's
// biClrUsed: a value from 1 to the bit count's full table shortens the table, anything else means
// the full table.
std::optional<DibLayout> DibLayoutFor(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                                      std::uint32_t colorsUsed = 0,
                                      std::uint64_t addressableBytes = kAddressableBytes) noexcept;
std::optional<DibLayout> DibLayoutFor(const DibHeaderFields& header,
                                      std::uint64_t addressableBytes = kAddressableBytes) noexcept;

// The part of the 64 x 64 box (top-left corner given) that a w x h bitmap fills with its
// proportions kept: the shorter side shrinks symmetrically, the margin truncated toward zero.
Rect FitPreview(int boxLeft, int boxTop, std::int32_t width, std::int32_t height) noexcept;

// Direction codes of a gradient piece: 0 left to right, 90 top to bottom, 45 from the top-left
// corner, 135 from the top-right corner, 225 from the bottom-left corner.
struct ShadowPiece {
  Rect rect;
  int direction = 0;
  int corner = -1;  // the vertex that takes the mean colour, or -1
};

// The five pieces around the drawn picture, in drawing order: upper end of the right edge, right
// edge, bottom-right corner, bottom edge, left end of the bottom edge.
std::array<ShadowPiece, 5> ShadowPieces(const Rect& picture, int depth = kShadowDepth) noexcept;

// A colour as COLORREF (0x00BBGGRR).
struct GradientVertex {
  int x = 0;
  int y = 0;
  std::uint16_t red = 0;  // COLOR16: the 8-bit channel * 256
  std::uint16_t green = 0;
  std::uint16_t blue = 0;
};

enum class GradientMode { kNone, kRectHorizontal, kRectVertical, kTriangles };

// What GradientFill receives for one piece: vertices 0 and 1 as one rectangle, or the four
// vertices as the triangles (0, 1, 2) and (0, 1, 3).
struct GradientMesh {
  GradientMode mode = GradientMode::kNone;
  std::array<GradientVertex, 4> vertices{};
  int vertexCount = 0;
};

// An empty or inverted rectangle gives no mesh (GradientMode::kNone).
GradientMesh GradientVertices(const Rect& rect, std::uint32_t color1, std::uint32_t color2, int direction,
                              int corner) noexcept;

}  // namespace commonq
