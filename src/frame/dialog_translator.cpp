#include "frame/dialog_translator.h"

#include <shlwapi.h>

#include <cstring>

#include "frame/export_call.h"
#include "frame/settings_store.h"
#include "frame/text_conversion.h"

namespace commonq {

std::string LanguageFilePath(const std::string& language) {
  if (!IsLanguageExtension(language)) return {};
  char path[kPathBytes] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, kPathBytes);
  if (length == 0 || length >= kPathBytes) return {};
  ::PathRemoveFileSpecA(path);
  if (::PathAddBackslashA(path) == nullptr) return {};
  const std::size_t used = std::strlen(path);
  if (used + kLanguageFileTail.size() >= kPathBytes) return {};
  std::memcpy(path + used, kLanguageFileTail.data(), kLanguageFileTail.size());
  path[used + kLanguageFileTail.size()] = '\0';
  if (!::PathRenameExtensionA(path, language.c_str())) return {};
  return path;
}

namespace {

// Reads "Language" (kept as ".enu" when absent or refused) and, unless it is English, loads the
// language file as a data file: no code in a file someone drops into Languages\ ever runs in the
// host. Null when no file was loaded.
UniqueModule LoadLanguageModule() {
  const std::string language = ReadStringSetting(kRootKey, "Language").value_or(std::string(kEnglishLanguage));
  if (language == kEnglishLanguage) return {};
  const std::string path = LanguageFilePath(language);
  if (path.empty() || !::PathFileExistsA(path.c_str())) return {};
  UniqueModule module(
      ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  // LOAD_LIBRARY_AS_IMAGE_RESOURCE came with Windows Vista; Windows XP may refuse the flag as an
  // invalid parameter. A data file alone still runs no code and serves LoadStringA.
  if (!module && ::GetLastError() == ERROR_INVALID_PARAMETER) {
    module.reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  }
  return module;
}

}  // namespace

bool DialogTranslator::LoadLanguage(int dialogBase) {
  offset_ = TranslationOffset(dialogBase);
  module_ = LoadLanguageModule();
  return static_cast<bool>(module_);
}

std::string DialogTranslator::LoadText(std::uint32_t stringId) {
  if (!module_ || stringId == 0) return {};
  char text[kTranslationTextChars] = {};
  if (::LoadStringA(module_.get(), stringId, text, kTranslationTextChars) <= 0) return {};
  return text;
}

std::string DialogTranslator::LoadTextOr(std::uint32_t stringId, UINT ownId) {
  std::string text = LoadText(stringId);
  if (!text.empty()) return text;
  char own[kTranslationTextChars] = {};
  ::LoadStringA(LibraryInstance(), ownId, own, kTranslationTextChars);
  return own;
}

void DialogTranslator::TranslateControl(HWND dialog, int controlId) {
  if (controlId == 0) return;
  const std::uint32_t stringId = TranslationStringId(controlId, explicitStringId_, offset_);
  const std::uint32_t overrideId = explicitStringId_ == 0 && stringId == static_cast<std::uint32_t>(offset_ + controlId)
                                       ? DialogOverrideStringId(templateId_, controlId)
                                       : 0;
  explicitStringId_ = 0;
  char current[kTranslationTextChars] = {};
  ::GetDlgItemTextA(dialog, controlId, current, kTranslationTextChars);
  if (current[0] == '\0') return;
  std::string loaded = LoadText(overrideId);
  if (loaded.empty()) loaded = LoadText(stringId);
  if (ShouldReplaceText(current, loaded) && ::lstrcmpiA(current, loaded.c_str()) != 0) {
    ::SetDlgItemTextA(dialog, controlId, loaded.c_str());
  }
}

void DialogTranslator::TranslateDialog(HWND dialog, int templateId) {
  if (!module_ || !::IsWindow(dialog)) return;
  templateId_ = templateId;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char className[MAX_PATH] = {};
    ::GetClassNameA(child, className, MAX_PATH);
    if (!IsTranslatedClass(className)) continue;
    const int controlId = ::GetDlgCtrlID(child);
    if (controlId != 0) TranslateControl(dialog, controlId);
  }
  const std::string caption = WindowText(dialog, kTranslationTextChars);
  if (caption.empty()) return;
  const std::string loaded = LoadText(static_cast<std::uint32_t>(offset_ + templateId));
  if (ShouldReplaceText(caption, loaded) && ::lstrcmpiA(caption.c_str(), loaded.c_str()) != 0) {
    ::SetWindowTextA(dialog, loaded.c_str());
  }
}

}  // namespace commonq
