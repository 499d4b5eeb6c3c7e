#pragma once
// Which registry answers the settings store accepts. Kept apart from the registry calls so that
// every acceptance rule is unit-tested natively.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "frame/logic/path_text.h"

namespace commonq {

// Key paths under HKEY_CURRENT_USER, exactly as handed to the registry (the trailing backslash
// of three of them is part of the string).
inline constexpr const char* kRootKey = "Software\\Dravonix\\Qelm Explorer\\";
inline constexpr const char* kFormatKey = "Software\\Dravonix\\Qelm Explorer\\Format\\";
inline constexpr const char* kFolderKey = "Software\\Dravonix\\Qelm Explorer\\Folder\\";
inline constexpr const char* kOptionKey = "Software\\Dravonix\\Qelm Explorer\\Option";
inline constexpr const char* kCommonKey = "Software\\Dravonix\\Qelm Explorer\\Common";

// Buffer sizes the string values are queried into.
inline constexpr std::size_t kStringSettingBytes = kPathBytes;
inline constexpr std::size_t kScaleSettingBytes = 64;

// A REG_DWORD query is taken only when it succeeded, the type is REG_DWORD and four bytes came.
std::optional<std::uint32_t> AcceptDwordValue(long status, std::uint32_t type, const std::uint8_t* data,
                                              std::size_t size);

// A string query is taken when it succeeded and either REG_SZ / REG_EXPAND_SZ data ends in NUL,
// or REG_MULTI_SZ data of at least two bytes ends in two NULs. The text up to the first NUL is
// returned. Zero bytes of data count as absent: there is no terminator to check, and a caller
// with a default is better served by keeping it than by an empty text.
std::optional<std::string> AcceptStringValue(long status, std::uint32_t type, const char* data, std::size_t size);

// Bytes to hand to RegSetValueEx for a REG_SZ text: its length plus the terminating NUL.
inline std::size_t StringValueBytes(const std::string& text) { return text.size() + 1; }

}  // namespace commonq
