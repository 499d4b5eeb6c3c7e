#include "filedialogs/logic/filter_list.h"

#include <algorithm>
#include <cstring>

namespace commonq {
namespace {

constexpr std::string_view kAllFilesExtension = ".*";

}  // namespace

std::string_view FilterListExtent(const char* list) noexcept {
  if (list == nullptr) return {};
  std::size_t length = 0;
  while (list[length] != '\0') length += std::strlen(list + length) + 1;
  return {list, length};
}

std::vector<FilterPair> FilterPairs(const char* list) {
  std::vector<FilterPair> pairs;
  const std::string_view extent = FilterListExtent(list);
  std::size_t at = 0;
  while (at < extent.size()) {
    const std::size_t descriptionEnd = extent.find('\0', at);
    if (descriptionEnd == std::string_view::npos) break;
    const std::size_t patternEnd = std::min(extent.find('\0', descriptionEnd + 1), extent.size());
    if (descriptionEnd + 1 >= extent.size()) break;
    pairs.push_back(
        {extent.substr(at, descriptionEnd - at), extent.substr(descriptionEnd + 1, patternEnd - descriptionEnd - 1)});
    at = patternEnd + 1;
  }
  return pairs;
}

bool GetFilterExtension(const char* list, unsigned index, char* buffer, std::size_t capacity) noexcept {
  const std::optional<std::string_view> found = FindFilterPattern<std::size_t>(FilterListExtent(list), index);
  if (!found) return false;
  if (capacity > 0) {
    const std::size_t length = std::min(found->size(), capacity - 1);
    std::memcpy(buffer, found->data(), length);
    buffer[length] = '\0';
  }
  return *found != kAllFilesExtension;
}

}  // namespace commonq
