#include "fileinfo/logic/preview_rules.h"

#include <cmath>

namespace commonq {
namespace {

std::uint32_t Little32(const std::uint8_t* bytes) noexcept {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool IsPreviewBitCount(std::uint16_t bitCount) noexcept {
  switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

// The margin by which the shorter side of the box shrinks, or 0 when it would swallow the box.
int Margin(std::int32_t shorter, std::int32_t longer) noexcept {
  const double ratio = static_cast<double>(shorter) / static_cast<double>(longer);
  const int margin = static_cast<int>(std::trunc((kPreviewBoxPixels - ratio * kPreviewBoxPixels) * 0.5));
  return 2 * margin < kPreviewBoxPixels ? margin : 0;
}

GradientVertex Vertex(int x, int y, std::uint32_t color) noexcept {
  return GradientVertex{x, y, static_cast<std::uint16_t>((color & 0xFF) << 8),
                        static_cast<std::uint16_t>(((color >> 8) & 0xFF) << 8),
                        static_cast<std::uint16_t>(((color >> 16) & 0xFF) << 8)};
}

std::uint32_t MeanColor(std::uint32_t color1, std::uint32_t color2) noexcept {
  std::uint32_t mean = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t channel = (((color1 >> shift) & 0xFF) + ((color2 >> shift) & 0xFF)) >> 1;
    mean |= channel << shift;
  }
  return mean;
}

}  // namespace

DibHeaderFields ReadDibHeader(const std::uint8_t* bytes) noexcept {
  DibHeaderFields fields;
  fields.width = static_cast<std::int32_t>(Little32(bytes + 4));
  fields.height = static_cast<std::int32_t>(Little32(bytes + 8));
  fields.bitCount = static_cast<std::uint16_t>(bytes[14] | bytes[15] << 8);
  fields.colorsUsed = Little32(bytes + 32);
  return fields;
}

std::optional<DibLayout> DibLayoutFor(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                                      std::uint32_t colorsUsed, std::uint64_t addressableBytes) noexcept {
  if (width <= 0 || height <= 0 || !IsPreviewBitCount(bitCount)) return std::nullopt;
  DibLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bitCount = bitCount;
  if (bitCount < 16) {
    const std::uint32_t fullTable = 1u << bitCount;
    layout.colorEntries = colorsUsed >= 1 && colorsUsed <= fullTable ? colorsUsed : fullTable;
  }
  layout.colorTableBytes = layout.colorEntries * 4;
  layout.bitsOffset = static_cast<std::uint32_t>(kDibHeaderBytes) + layout.colorTableBytes;
  // 64-bit throughout: a caller's width times height wraps 32 bits long before it reaches what
  // cannot be addressed, while in 64 bits a stride (below 2^33) times a height (below 2^31) cannot.
  layout.stride = (static_cast<std::uint64_t>(bitCount) * static_cast<std::uint64_t>(width) + 31) / 32 * 4;
  layout.imageBytes = layout.stride * static_cast<std::uint64_t>(height);
  layout.totalBytes = layout.bitsOffset + layout.imageBytes;
  if (layout.totalBytes > addressableBytes) return std::nullopt;
  return layout;
}

std::optional<DibLayout> DibLayoutFor(const DibHeaderFields& header, std::uint64_t addressableBytes) noexcept {
  return DibLayoutFor(header.width, header.height, header.bitCount, header.colorsUsed, addressableBytes);
}

Rect FitPreview(int boxLeft, int boxTop, std::int32_t width, std::int32_t height) noexcept {
  Rect box{boxLeft, boxTop, boxLeft + kPreviewBoxPixels, boxTop + kPreviewBoxPixels};
  if (width <= 0 || height <= 0) return box;
  if (width > height) {
    const int margin = Margin(height, width);
    box.top += margin;
    box.bottom -= margin;
  } else if (width < height) {
    const int margin = Margin(width, height);
    box.left += margin;
    box.right -= margin;
  }
  return box;
}

std::array<ShadowPiece, 5> ShadowPieces(const Rect& p, int d) noexcept {
  return {{
      {Rect{p.right, p.top + d - 1, p.right + d, p.top + 2 * d - 1}, 225, 2},
      {Rect{p.right, p.top + 2 * d - 1, p.right + d, p.bottom}, 0, -1},
      {Rect{p.right, p.bottom, p.right + d, p.bottom + d}, 45, -1},
      {Rect{p.left + 2 * d, p.bottom, p.right, p.bottom + d}, 90, -1},
      {Rect{p.left + d - 1, p.bottom, p.left + 2 * d, p.bottom + d}, 135, 3},
  }};
}

GradientMesh GradientVertices(const Rect& r, std::uint32_t color1, std::uint32_t color2, int direction,
                              int corner) noexcept {
  GradientMesh mesh;
  // Around a picture narrower or lower than two shadow depths, the edge pieces come out inverted;
  // drawn, they would spill past the corner.
  if (r.left >= r.right || r.top >= r.bottom) return mesh;
  std::array<std::uint32_t, 4> colors{color1, color2, color2, color2};
  if (corner >= 0 && corner <= 3) colors[static_cast<std::size_t>(corner)] = MeanColor(color1, color2);

  int left = r.left;
  int right = r.right;
  int top = r.top;
  int bottom = r.bottom;
  // Mirroring moves the vertices, not their colours: the corner's mean colour follows its vertex.
  std::array<int, 4> xs{left, right, left, right};
  std::array<int, 4> ys{top, bottom, bottom, top};
  switch (direction) {
    case 0:
      mesh.mode = GradientMode::kRectHorizontal;
      mesh.vertexCount = 2;
      break;
    case 90:
      mesh.mode = GradientMode::kRectVertical;
      mesh.vertexCount = 2;
      break;
    case 45:
      mesh.mode = GradientMode::kTriangles;
      mesh.vertexCount = 4;
      break;
    case 135:
      xs = {right, left, right, left};
      mesh.mode = GradientMode::kTriangles;
      mesh.vertexCount = 4;
      break;
    case 225:
      ys = {bottom, top, top, bottom};
      mesh.mode = GradientMode::kTriangles;
      mesh.vertexCount = 4;
      break;
    default:
      return mesh;
  }
  for (std::size_t k = 0; k < 4; ++k) mesh.vertices[k] = Vertex(xs[k], ys[k], colors[k]);
  return mesh;
}

}  // namespace commonq
