#include "frame/logic/translation_rules.h"

#include <algorithm>
#include <iterator>

#include "frame/logic/text_compare.h"
#include "frame/platform_values.h"
#include "resources/common_ids.h"

namespace commonq {

std::uint32_t TranslationStringId(int controlId, std::uint32_t explicitStringId, int offset) {
  const long long key = explicitStringId != 0 ? static_cast<long long>(explicitStringId) : controlId;
  switch (key) {
    case platform::kIdOk:
      return IDS_LANG_OK;
    case platform::kIdCancel:
      return IDS_LANG_CANCEL;
    case platform::kIdAbort:
      return IDS_LANG_ABORT;
    case platform::kIdClose:
      return IDS_LANG_CLOSE;
    default:
      break;
  }
  if (explicitStringId != 0) return explicitStringId;
  if (std::find(std::begin(kUntranslatedControls), std::end(kUntranslatedControls), controlId) !=
      std::end(kUntranslatedControls)) {
    return 0;
  }
  return static_cast<std::uint32_t>(offset + controlId);
}

std::uint32_t DialogOverrideStringId(int templateId, int controlId) {
  constexpr int kFirstId = 1000;
  constexpr int kLastTemplate = 1499;
  constexpr int kLastControl = 1099;
  constexpr int kOverrideBase = 10000;
  constexpr int kControlsPerDialog = 100;
  if (templateId < kFirstId || templateId > kLastTemplate || controlId < kFirstId || controlId > kLastControl) {
    return 0;
  }
  return static_cast<std::uint32_t>(kOverrideBase + (templateId - kFirstId) * kControlsPerDialog +
                                    (controlId - kFirstId));
}

bool IsTranslatedClass(std::string_view className) {
  return EqualsIgnoringCase(className, "Button") || EqualsIgnoringCase(className, "Static");
}

bool ShouldReplaceText(std::string_view current, std::string_view loaded) {
  return !loaded.empty() && !EqualsIgnoringCase(current, loaded);
}

bool IsLanguageExtension(std::string_view language) { return language.find_first_of("\\/:") == std::string_view::npos; }

}  // namespace commonq
