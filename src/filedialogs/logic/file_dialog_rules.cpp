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

}  // namespace commonq
