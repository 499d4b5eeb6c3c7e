#pragma once
// The file dialogs' filter list: pairs of NUL-terminated strings (description, pattern), the list
// ended by an empty string.
#include <cstddef>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

namespace commonq {

// The pattern of filter `index` (1-based) without its first character, cut at the first ";";
// none for index 0 or an index beyond the list. `Size` is the platform's size type: the string
// number 2 * index is formed only once it is known to fit, so a huge index cannot wrap on 32 bits
// into a small one.
template <typename Size>
std::optional<std::string_view> FindFilterPattern(std::string_view list, unsigned index) {
  if (index == 0 || list.empty()) return std::nullopt;
  if (index > std::numeric_limits<Size>::max() / 2) return std::nullopt;
  const Size wanted = static_cast<Size>(2 * static_cast<Size>(index));
  Size at = 0;
  for (Size number = 1;; ++number) {
    if (at >= list.size() || list[at] == '\0') return std::nullopt;
    std::size_t end = list.find('\0', at);
    if (end == std::string_view::npos) end = list.size();
    if (number == wanted) {
      std::string_view pattern = list.substr(at, end - at);
      pattern.remove_prefix(1);
      return pattern.substr(0, pattern.find(';'));
    }
    at = static_cast<Size>(end + 1);
  }
}

// The list's bytes up to (not including) its terminating empty string; empty for a null list.
std::string_view FilterListExtent(const char* list) noexcept;

// A filter as the modern dialog takes it: its description and its pattern list.
struct FilterPair {
  std::string_view description;
  std::string_view pattern;
};
// Every complete pair of the list, in order; a description left without its pattern is dropped.
std::vector<FilterPair> FilterPairs(const char* list);

// The extension of filter `index` (1-based), with its dot, into a caller's buffer (zero-filled
// by the caller; the text is cut to fit): the pattern without its first character, cut at the
// first ";" (so "*.car;*.cbr" gives ".car"). Returns whether there is an extension: not for index
// 0, for an index past the end of the list, or for the pattern "*.*" (which the buffer keeps).
bool GetFilterExtension(const char* list, unsigned index, char* buffer, std::size_t capacity) noexcept;

}  // namespace commonq
