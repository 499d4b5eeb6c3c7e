#include "filedialogs/logic/file_dialog_rules.h"

namespace commonq {
namespace {

constexpr std::uint32_t kWindowsMeMinor = 90;

}  // namespace

bool UsesFullOpenFileName(const WindowsVersion* version) noexcept {
  if (version == nullptr) return false;
  return version->major >= 5 || (version->major == 4 && version->minor >= kWindowsMeMinor);
}

std::uint32_t FileDialogFlags(std::uint32_t callerFlags, bool open) noexcept {
  std::uint32_t flags = callerFlags | kOfnExplorer | kOfnEnableSizing | kOfnEnableHook;
  if (open) return flags | kOfnFileMustExist | kOfnPathMustExist | kOfnHideReadOnly;
  return flags | kOfnOverwritePrompt | kOfnHideReadOnly;
}

bool HasPromptField(std::uint32_t cbSize) noexcept { return cbSize >= kFileParamsFullSize; }

int PromptValueFromCheck(bool isDword, std::uint32_t stored) noexcept { return isDword && (stored & 1) != 0 ? 1 : 0; }

bool UsesClassicFileDialog(int versionClass, std::optional<std::uint32_t> classicSetting,
                           std::uint32_t callerFlags) noexcept {
  constexpr int kWindows6Class = 6;
  return versionClass < kWindows6Class || classicSetting == 1u || (callerFlags & kOfnAllowMultiSelect) != 0;
}

std::uint32_t ModernDialogOptions(std::uint32_t callerFlags, bool open) noexcept {
  return (FileDialogFlags(callerFlags, open) & kFosSharedWithOfn) | kFosForceFileSystem;
}

InitialPath SplitInitialPath(std::string_view path) noexcept {
  const std::size_t at = path.find_last_of("\\/:");
  if (at == std::string_view::npos) return {{}, path};
  const bool root = at == 0 || path[at] == ':' || path[at - 1] == ':';
  return {path.substr(0, root ? at + 1 : at), path.substr(at + 1)};
}

}  // namespace commonq
