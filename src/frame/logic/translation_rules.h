#pragma once
// The numbering rules that map a dialog's controls to strings of the host's language file.
#include <cstdint>
#include <string_view>

namespace commonq {

// Every translated dialog passes this base; the string id offset is base - 1000.
inline constexpr int kDialogTranslationBase = 4000;
// The language text meaning "no translation", compared byte for byte.
inline constexpr std::string_view kEnglishLanguage = ".enu";
// The language file beside the host's executable; its extension is replaced by the language.
inline constexpr std::string_view kLanguageFileTail = "Languages\\QelmLang.enu";

inline constexpr int TranslationOffset(int dialogBase) { return dialogBase - 1000; }

// Controls that never translate: they ask for string 0, which no language file holds.
inline constexpr int kUntranslatedControls[] = {13, 15, 17, 19};

// The string id for one control: the standard buttons map to the host's shared strings, an
// explicit id wins over the offset rule, and kUntranslatedControls get 0.
std::uint32_t TranslationStringId(int controlId, std::uint32_t explicitStringId, int offset);

// A dialog's own string for one control, tried before the shared 3000 + control id: controls of
// different dialogs share ids but not always meanings ("32 bits" in one dialog, "Transparent" in
// another). The id is 10000 + (template id - 1000) * 100 + (control id - 1000), so template 1060
// and control 1012 read string 16012. 0 (none) outside templates 1000-1499 and controls
// 1000-1099, which the numbering cannot tell apart.
std::uint32_t DialogOverrideStringId(int templateId, int controlId);

// Only push buttons, check boxes, radio buttons, group boxes and static texts are translated.
bool IsTranslatedClass(std::string_view className);

// Whether a loaded text replaces the current one: it must be non-empty and differ other than in
// ASCII letter case.
bool ShouldReplaceText(std::string_view current, std::string_view loaded);

// Whether a "Language" value can name a file in Languages\ and nowhere else: it replaces the
// extension of the file name, so a separator or a drive colon in it would lead the path out of
// the folder ("..\..\x"). Such a value counts as a missing file.
bool IsLanguageExtension(std::string_view language);

}  // namespace commonq
