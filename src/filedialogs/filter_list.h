#pragma once
// The file dialogs' filter list: pairs of NUL-terminated strings (description, pattern), the list
// ended by an empty string.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace commonq {

// The list's bytes up to (not including) its terminating empty string; empty for a null list.
std::string_view FilterListExtent(const char* list) noexcept;

// The extension of filter `index` (1-based), with its dot: the pattern without its first
// character, cut at the first ";" (so "*.car;*.cbr" gives ".car"). None for index 0, for an index
// past the end of the list, and for the pattern "*.*".
std::optional<std::string> FilterExtension(std::string_view list, unsigned index);

// The same into a caller's buffer (zero-filled by the caller; the text is cut to fit). Returns
// whether there is an extension. The buffer keeps what was found even when that is ".*".
bool GetFilterExtension(const char* list, unsigned index, char* buffer, std::size_t capacity) noexcept;

}  // namespace commonq
