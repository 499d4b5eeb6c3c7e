#pragma once
// The rules of the Open and Save As dialogs that need no platform: the structure size, the flags,
// the prompt mode, and the choice and options of the modern dialog.
#include <cstdint>
#include <optional>
#include <string_view>

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
inline constexpr std::uint32_t kOfnAllowMultiSelect = 0x200;

// FILEOPENDIALOGOPTIONS of the modern dialog. Every OFN_* flag that has a modern equivalent has it
// under the same bit (overwrite and create prompts, no directory change, no validation, path and
// file must exist, share aware, no read-only return, no test file, no link dereferencing, not in
// the recent list, hidden files shown), so those bits pass through as they are.
inline constexpr std::uint32_t kFosSharedWithOfn = 0x1211F90A;
inline constexpr std::uint32_t kFosForceFileSystem = 0x40;

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

// The dialog a call shows: the classic one before Windows 6 (version class below 6, see the task
// dialog's classification), when the "ClassicFileDialogs" setting is exactly 1, and for a caller
// that asks for several files, whose answer only the classic buffer format carries.
bool UsesClassicFileDialog(int versionClass, std::optional<std::uint32_t> classicSetting,
                           std::uint32_t callerFlags) noexcept;

// The modern dialog's options for the flags the classic dialog would get (FileDialogFlags):
// the shared bits, and always file system items only, since the caller receives a path.
std::uint32_t ModernDialogOptions(std::uint32_t callerFlags, bool open) noexcept;

// The caller's initial text as the folder the modern dialog opens in and the name it shows: the
// folder is everything before the last "\", "/" or ":", without that separator unless it ends a
// root ("C:\", "\"); a text without separator is a bare name.
struct InitialPath {
  std::string_view folder;
  std::string_view name;
};
InitialPath SplitInitialPath(std::string_view path) noexcept;

}  // namespace commonq
