#pragma once
// The library's text is ANSI in the system code page; UTF-16 only where the platform asks for it.
#include <windows.h>

#include <string>

namespace commonq {

// A UTF-16 copy of ANSI text; empty when the text is empty or cannot be converted.
inline std::wstring WidenAnsi(const std::string& text) {
  if (text.empty()) return {};
  // An ANSI character never becomes more than one UTF-16 unit.
  std::wstring wide(text.size() + 1, L'\0');
  const int written = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(written > 0 ? static_cast<size_t>(written - 1) : 0);
  return wide;
}

}  // namespace commonq
