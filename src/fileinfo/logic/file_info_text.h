#pragma once
// The texts of the file information dialog that come from the caller's record: sizes in Kb, the
// "Image" group built from the caller's information list, and the size formats, which come from
// the dialog's controls and so from a language file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frame/logic/path_text.h"

namespace commonq {

inline constexpr std::uint32_t kImageInfoNodeType = 1;
// A list longer than this is cut: a caller's list with a cycle, or a million nodes, must not
// hang the dialog.
inline constexpr std::size_t kMaxInfoNodes = 256;
inline constexpr const char* kDefaultKbFormat = "%u Kb";
inline constexpr std::size_t kKbTextChars = 259;

// The caller's list node and image record, with the layout of FileInfoNode and ImageInfo of the
// public header (the Win32 tier checks both).
struct InfoNodeView {
  std::uint32_t type;
  const void* data;
  const InfoNodeView* next;
};

struct ImageInfoView {
  std::uint32_t reserved0;
  std::uint32_t width;
  std::uint32_t height;
  std::uint32_t bitsPerPixel;
  std::uint32_t reserved4;
  std::uint32_t reserved5;
  std::uint32_t alpha;
};

// The image records of the type 1 nodes among the first `maxNodes` nodes, in list order. Nodes
// of other types, and type 1 nodes without data, are skipped.
std::vector<ImageInfoView> CollectImageInfo(const InfoNodeView* head, std::size_t maxNodes = kMaxInfoNodes);

struct ImageGroupText {
  std::string labels;         // "Dimension\nColor Depth\nAlpha" per image, joined by "\n"
  std::string values;         // "W x H (pixels)\nDEPTH\nYes|No" per image
  std::int32_t memoryKb = 0;  // of the last image; 0 when there is none
};

ImageGroupText BuildImageGroup(const std::vector<ImageInfoView>& images);

// Tells whether a byte starts a double-byte character of the system code page (the Win32 tier
// passes IsDBCSLeadByte).
using LeadBytePredicate = bool (*)(unsigned char byte);

// The folder as the dialog shows it: `folder` (the path without its file name) ending in a
// backslash, as PathAddBackslashA makes it, but within `capacity` bytes with its NUL. A folder that
// already fills them (a cut path that ends in ":") is shown without the backslash; an empty one
// stays empty.
std::string FolderWithBackslash(std::string_view folder, LeadBytePredicate isLeadByte,
                                std::size_t capacity = kPathBytes);

// Size on disk: bytes / 1024 + 1, so 1023 bytes show 1 Kb, 1024 bytes 2 Kb and 0 bytes 1 Kb.
std::int32_t DiskSizeKb(std::int32_t bytes) noexcept;

// (depth / 8 * height * width) / 1024 with the fields read as signed 32-bit values, each
// division rounding toward zero; saturated instead of wrapping for absurd sizes.
std::int32_t MemorySizeKb(std::int32_t bitsPerPixel, std::int32_t height, std::int32_t width) noexcept;

// Whether `format` is safe to hand to printf with one unsigned value: literal text, "%%", and at
// most one conversion "%u", "%d" or "%i" with flags, a width below 100 and an optional "l".
bool IsKbFormat(const std::string& format);

// `kb` in `format` (the control's text, perhaps a translation) when it is a safe format, else in
// kDefaultKbFormat; at most kKbTextChars characters.
std::string FormatKb(const std::string& format, std::uint32_t kb);

}  // namespace commonq
