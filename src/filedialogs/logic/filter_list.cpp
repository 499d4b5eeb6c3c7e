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
