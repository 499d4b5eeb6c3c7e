#pragma once
// Comparing the library's texts without regard to case. Only A to Z fold: the texts are in the
// system's ANSI code page, whose other letters this tier cannot know (the lstrcmpi of the Win32
// tier is the one that folds them).
#include <string_view>

namespace commonq {

constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace commonq
