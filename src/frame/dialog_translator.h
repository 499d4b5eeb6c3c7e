#pragma once
// Replaces a dialog's English texts with the host's language file, which lies beside the host's
// executable as "Languages\QelmLang<language>" and is chosen by the "Language" setting.
#include <windows.h>

#include <cstdint>
#include <string>

#include "frame/logic/translation_rules.h"
#include "frame/unique_handle.h"

namespace commonq {

inline constexpr int kTranslationTextChars = 256;

// The full path of the language file for `language`, or empty when it does not fit in MAX_PATH.
std::string LanguageFilePath(const std::string& language);

class DialogTranslator {
 public:
  // Sets the string id offset (base - 1000), reads the language and loads its file. Returns
  // whether a language module is held; the translate calls do nothing otherwise.
  bool LoadLanguage(int dialogBase = kDialogTranslationBase);

  // Every direct child "Button" or "Static" with a non-zero id, then the caption (string
  // offset + template id). From here on, a control's own string in this dialog
  // (DialogOverrideStringId) is tried before the shared one.
  void TranslateDialog(HWND dialog, int templateId);
  void TranslateControl(HWND dialog, int controlId);
  // The string id the next TranslateControl uses instead of the numbering rule.
  void SetExplicitStringId(std::uint32_t id) noexcept { explicitStringId_ = id; }

  // A string of the language file; empty when there is no module or no such string.
  std::string LoadText(std::uint32_t stringId);
  // The language file's string `stringId`, else the library's own string `ownId`.
  std::string LoadTextOr(std::uint32_t stringId, UINT ownId);

 private:
  UniqueModule module_;
  int offset_ = TranslationOffset(kDialogTranslationBase);
  std::uint32_t explicitStringId_ = 0;
  int templateId_ = 0;
};

}  // namespace commonq
