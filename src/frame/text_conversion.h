#pragma once
// The library's text is ANSI in the system code page; UTF-16 only where the platform asks for it.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <string>

namespace commonq {

// Whether `byte` starts a double-byte character in the system's ANSI code page: the predicate the
// logic tier's text rules are handed.
inline bool IsSystemLeadByte(unsigned char byte) noexcept { return ::IsDBCSLeadByte(byte) != FALSE; }

// A UTF-16 copy of ANSI text; empty when the text is empty or cannot be converted.
inline std::wstring WidenAnsi(const std::string& text) {
  if (text.empty()) return {};
  // An ANSI character never becomes more than one UTF-16 unit.
  std::wstring wide(text.size() + 1, L'\0');
  const int written = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(written > 0 ? static_cast<size_t>(written - 1) : 0);
  return wide;
}

inline constexpr std::size_t kWholeText = INT_MAX;

// A window's text: all of it, or as much as a buffer of `maxBytes` (with its NUL) holds.
inline std::string WindowText(HWND window, std::size_t maxBytes = kWholeText) {
  if (window == nullptr || maxBytes == 0) return {};
  const int length = ::GetWindowTextLengthA(window);
  std::string text(std::min(static_cast<std::size_t>(length > 0 ? length : 0) + 1, maxBytes), '\0');
  ::GetWindowTextA(window, text.data(), static_cast<int>(std::min(text.size(), kWholeText)));
  text.resize(std::strlen(text.c_str()));
  return text;
}

// The text of the dialog's control `id`, as WindowText reads it; empty when there is no such control.
inline std::string DialogItemText(HWND dialog, int id, std::size_t maxBytes = kWholeText) {
  return WindowText(::GetDlgItem(dialog, id), maxBytes);
}

}  // namespace commonq
