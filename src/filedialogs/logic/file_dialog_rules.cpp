#include "filedialogs/logic/file_dialog_rules.h"

#include <array>
#include <utility>

namespace commonq {
namespace {

constexpr std::uint32_t kWindowsMeMinor = 90;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

constexpr std::array<std::pair<std::string_view, FormatDialog>, 8> kExtensionTable{{
    {".bmp", FormatDialog::kBitmap},
    {".gif", FormatDialog::kGif},
    {".jpg", FormatDialog::kJpeg},
    {".png", FormatDialog::kPng},
    {".rsr", FormatDialog::kRsr},
    {".obj", FormatDialog::kObj},
    {".car", FormatDialog::kCarrara},
    {".cbr", FormatDialog::kCarrara},
}};

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

FormatDialog FindFormatDialog(std::string_view extension) noexcept {
  for (const auto& [text, dialog] : kExtensionTable) {
    if (EqualsIgnoringCase(extension, text)) return dialog;
  }
  return FormatDialog::kNone;
}

int FormatDialogTemplate(FormatDialog dialog) noexcept {
  switch (dialog) {
    case FormatDialog::kBitmap:
      return 1010;
    case FormatDialog::kGif:
      return 1040;
    case FormatDialog::kJpeg:
      return 1019;
    case FormatDialog::kPng:
      return 1030;
    case FormatDialog::kRsr:
      return 1060;
    case FormatDialog::kObj:
      return 1063;
    case FormatDialog::kCarrara:
      return 1160;
    case FormatDialog::kNone:
      break;
  }
  return 0;
}

}  // namespace commonq
