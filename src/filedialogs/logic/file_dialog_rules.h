#pragma once
// The rules of the Open and Save As dialogs that need no platform: the structure size, the flags
// and the prompt mode.
#include <cstdint>

namespace commonq {

// OPENFILENAMEA with and without the three members added in Windows 2000, in the 32-bit build.
inline constexpr std::uint32_t kOpenFileNameSize = 88;
inline constexpr std::uint32_t kOpenFileNameSizeOld = 76;

// The published OFN_* values the dialogs combine.
inline constexpr std::uint32_t kOfnOverwritePrompt = 0x2;
inline constexpr std::uint32_t kOfnHideReadOnly = 0x4;
inline constexpr std::uint32_t kOfnEnableHook = 0x20;
inline constexpr std::uint32_t kOfnEnableTemplate = 0x40;
inline constexpr std::uint32_t kOfnEnableSizing = 0x800000;
inline constexpr std::uint32_t kOfnExplorer = 0x80000;
inline constexpr std::uint32_t kOfnPathMustExist = 0x800;
inline constexpr std::uint32_t kOfnFileMustExist = 0x1000;

// The caller's record without and with its prompt mode, in the published 32-bit layout; the
// sizes mark the record's version on every build.
inline constexpr std::uint32_t kFileParamsShortSize = 28;
inline constexpr std::uint32_t kFileParamsFullSize = 32;

struct WindowsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

// The full structure on Windows 2000 and later and on Windows Me (4.90); the one without the
// Windows 2000 members when the version is unknown or older.
bool UsesFullOpenFileName(const WindowsVersion* version) noexcept;

std::uint32_t FileDialogFlags(std::uint32_t callerFlags, bool open) noexcept;

// Whether a caller's record of cbSize bytes holds the Save As prompt field: any size short of the
// full record (28, but also 0 or 4) has none, and the field must then not be read.
bool HasPromptField(std::uint32_t cbSize) noexcept;

// "Check" as the panel reads it: bit 0 checks "Prompt for format options".
int PromptValueFromCheck(bool isDword, std::uint32_t stored) noexcept;

}  // namespace commonq
