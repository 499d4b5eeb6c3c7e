#include "fileinfo/logic/file_info_text.h"

#include <cstdio>
#include <limits>
#include <string_view>

namespace commonq {
namespace {

constexpr std::size_t kMaxWidthDigits = 2;

std::string Printf(const char* format, auto... values) {
  char buffer[kKbTextChars + 1] = {};
  std::snprintf(buffer, sizeof buffer, format, values...);
  return buffer;
}

// One printf conversion of a Kb format, after its '%': flags, width, 'l', and u, d or i.
// Returns the position after it, or npos when it is none of those.
std::size_t ParseConversion(const std::string& format, std::size_t at, std::string& directive) {
  directive.clear();
  directive.push_back('%');
  while (at < format.size() && std::string_view("-+ 0#").find(format[at]) != std::string_view::npos) {
    directive += format[at++];
  }
  std::size_t digits = 0;
  while (at < format.size() && format[at] >= '0' && format[at] <= '9') {
    if (++digits > kMaxWidthDigits) return std::string::npos;
    directive += format[at++];
  }
  if (at < format.size() && format[at] == 'l') ++at;
  if (at >= format.size()) return std::string::npos;
  const char conversion = format[at];
  if (conversion != 'u' && conversion != 'd' && conversion != 'i') return std::string::npos;
  directive += conversion;
  return at + 1;
}

}  // namespace

std::vector<ImageInfoView> CollectImageInfo(const InfoNodeView* head, std::size_t maxNodes) {
  std::vector<ImageInfoView> images;
  std::size_t visited = 0;
  for (const InfoNodeView* node = head; node != nullptr && visited < maxNodes; node = node->next, ++visited) {
    if (node->type != kImageInfoNodeType || node->data == nullptr) continue;
    images.push_back(*static_cast<const ImageInfoView*>(node->data));
  }
  return images;
}

ImageGroupText BuildImageGroup(const std::vector<ImageInfoView>& images) {
  ImageGroupText text;
  for (const ImageInfoView& image : images) {
    if (!text.labels.empty()) text.labels += '\n';
    text.labels += Printf("%s\n%s\n%s", "Dimension", "Color Depth", "Alpha");
    if (!text.values.empty()) text.values += '\n';
    text.values += Printf("%u x %u (pixels)\n%u\n%s", image.width, image.height, image.bitsPerPixel,
                          image.alpha != 0 ? "Yes" : "No");
    text.memoryKb = MemorySizeKb(static_cast<std::int32_t>(image.bitsPerPixel), static_cast<std::int32_t>(image.height),
                                 static_cast<std::int32_t>(image.width));
  }
  return text;
}

std::string FolderWithBackslash(std::string_view folder, LeadBytePredicate isLeadByte, std::size_t capacity) {
  if (capacity == 0) return {};
  std::string text(folder.substr(0, capacity - 1));
  // The last character, walked from the front: a double-byte character's trail byte may be 0x5C.
  std::size_t last = 0;
  for (std::size_t at = 0; at < text.size();) {
    last = at;
    const bool pair = isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size();
    at += pair ? 2 : 1;
  }
  const bool endsInBackslash = !text.empty() && text[last] == '\\' && last + 1 == text.size();
  if (!text.empty() && !endsInBackslash && text.size() + 1 < capacity) text += '\\';
  return text;
}

std::int32_t DiskSizeKb(std::int32_t bytes) noexcept { return bytes / 1024 + 1; }

std::int32_t MemorySizeKb(std::int32_t bitsPerPixel, std::int32_t height, std::int32_t width) noexcept {
  // |depth / 8 * height| stays below 2^59; only the last product can leave 64 bits.
  const std::int64_t row = static_cast<std::int64_t>(bitsPerPixel / 8) * height;
  std::int64_t bytes = 0;
  if (__builtin_mul_overflow(row, static_cast<std::int64_t>(width), &bytes)) {
    bytes =
        (row < 0) != (width < 0) ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
  }
  const std::int64_t kb = bytes / 1024;
  if (kb > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (kb < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(kb);
}

bool IsKbFormat(const std::string& format) {
  int conversions = 0;
  std::string directive;
  for (std::size_t at = 0; at < format.size();) {
    if (format[at] != '%') {
      ++at;
      continue;
    }
    if (at + 1 < format.size() && format[at + 1] == '%') {
      at += 2;
      continue;
    }
    at = ParseConversion(format, at + 1, directive);
    if (at == std::string::npos || ++conversions > 1) return false;
  }
  return true;
}

std::string FormatKb(const std::string& format, std::uint32_t kb) {
  const std::string& safe = IsKbFormat(format) ? format : std::string(kDefaultKbFormat);
  // Rebuilt piece by piece, so printf only ever sees one conversion that matches its argument.
  std::string text;
  std::string directive;
  for (std::size_t at = 0; at < safe.size() && text.size() < kKbTextChars;) {
    if (safe[at] != '%') {
      text += safe[at++];
      continue;
    }
    if (at + 1 < safe.size() && safe[at + 1] == '%') {
      text += '%';
      at += 2;
      continue;
    }
    at = ParseConversion(safe, at + 1, directive);
    text += directive.back() == 'u' ? Printf(directive.c_str(), kb) : Printf(directive.c_str(), static_cast<int>(kb));
  }
  if (text.size() > kKbTextChars) text.resize(kKbTextChars);
  return text;
}

}  // namespace commonq
