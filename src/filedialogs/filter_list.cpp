#include "filedialogs/filter_list.h"

#include <algorithm>
#include <cstring>

namespace commonq {
namespace {

constexpr std::string_view kAllFilesExtension = ".*";

// The text found for filter `index`, before the ".*" test; none when the list has no such pattern.
std::optional<std::string_view> FoundExtension(std::string_view list, unsigned index) {
  if (index == 0 || list.empty()) return std::nullopt;
  const std::size_t wanted = 2 * static_cast<std::size_t>(index);
  std::size_t at = 0;
  for (std::size_t number = 1;; ++number) {
    if (at >= list.size() || list[at] == '\0') return std::nullopt;
    std::size_t end = list.find('\0', at);
    if (end == std::string_view::npos) end = list.size();
    if (number == wanted) {
      std::string_view pattern = list.substr(at, end - at);
      pattern.remove_prefix(1);
      return pattern.substr(0, pattern.find(';'));
    }
    at = end + 1;
  }
}

}  // namespace

std::string_view FilterListExtent(const char* list) noexcept {
  if (list == nullptr) return {};
  std::size_t length = 0;
  while (list[length] != '\0') length += std::strlen(list + length) + 1;
  return {list, length};
}

std::optional<std::string> FilterExtension(std::string_view list, unsigned index) {
  const std::optional<std::string_view> found = FoundExtension(list, index);
  if (!found || *found == kAllFilesExtension) return std::nullopt;
  return std::string(*found);
}

bool GetFilterExtension(const char* list, unsigned index, char* buffer, std::size_t capacity) noexcept {
  const std::optional<std::string_view> found = FoundExtension(FilterListExtent(list), index);
  if (!found) return false;
  if (capacity > 0) {
    const std::size_t length = std::min(found->size(), capacity - 1);
    std::memcpy(buffer, found->data(), length);
    buffer[length] = '\0';
  }
  return *found != kAllFilesExtension;
}

}  // namespace commonq
