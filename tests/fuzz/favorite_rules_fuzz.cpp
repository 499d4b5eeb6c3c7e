// Fuzzes the Add a Favorite rules on outside text: the name a person types or pastes, the folder
// names read from the disk and the registry, and the overwrite question of a language file. The
// first byte picks the options (double-byte code page, filter modes); the rest, cut at byte 0x1F,
// gives the folder, the name, the question and a second path.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "favorites/favorite_rules.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsShiftJisLead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

bool IsWhiteSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace commonq;
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const LeadBytePredicate isLeadByte = (options & 1) != 0 ? &IsShiftJisLead : nullptr;
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = 0; at <= input.size(); ++at) {
    if (at == input.size() || input[at] == '\x1F') {
      parts.push_back(input.substr(start, at - start));
      start = at + 1;
    }
  }
  parts.resize(std::max<std::size_t>(parts.size(), 4));
  const std::string& folder = parts[0];
  const std::string& name = parts[1];
  const std::string& pattern = parts[2];
  const std::string& other = parts[3];

  // The name box: a trimmed name is a piece of the name, never longer, and trimming it again
  // changes nothing; without a double-byte code page no white space is left at either end.
  const std::string trimmed = TrimName(name, isLeadByte);
  Check(trimmed.size() <= name.size());
  Check(name.find(trimmed) != std::string::npos);
  Check(TrimName(trimmed, isLeadByte) == trimmed);
  if (!trimmed.empty()) {
    Check(!IsWhiteSpace(static_cast<unsigned char>(trimmed.front())));
    if (isLeadByte == nullptr) Check(!IsWhiteSpace(static_cast<unsigned char>(trimmed.back())));
  }

  NameFilterSets sets;
  sets.Forbid(other);
  Check(sets.forbidden.size() < kNameFilterSetBytes);
  if ((options & 2) != 0) {
    sets.modes |= NameFilterSets::kAllowedSet;
    sets.allowed = pattern.substr(0, kNameFilterSetBytes - 1);
  }
  const bool allowed = IsTextAllowed(sets, name.c_str(), isLeadByte);
  // A text passes only when none of its single characters is refused as typed.
  if (isLeadByte == nullptr) {
    bool refused = false;
    for (const char c : std::string_view(name.c_str()))
      refused = refused || IsCharacterRefused(sets, static_cast<unsigned char>(c));
    Check(allowed == !refused);
  }
  NameFilterSets fileNames;
  fileNames.Forbid(kForbiddenNameCharacters);
  if (isLeadByte == nullptr) {
    Check(IsTextAllowed(fileNames, name.c_str(), nullptr) ==
          (std::string_view(name.c_str()).find_first_of(kForbiddenNameCharacters) == std::string_view::npos));
  }

  // The shortcut's path: never 260 bytes or more, always the folder, a backslash, and ".lnk" at
  // the end; refused only when it cannot fit.
  // Without a double-byte code page a folder that ends in a backslash gets no second one; with
  // one, that backslash may be the trail byte of a character and then one is added.
  const bool endsInBackslash = !folder.empty() && folder.back() == '\\';
  const std::size_t separator = isLeadByte == nullptr && endsInBackslash ? 0 : 1;
  const std::optional<std::string> path = ComposeShortcutPath(folder, trimmed, isLeadByte);
  const std::size_t longest = folder.size() + separator + trimmed.size() + kShortcutExtension.size();
  if (isLeadByte == nullptr) Check(path.has_value() || longest >= kFavoritePathBytes);
  if (longest < kFavoritePathBytes) Check(path.has_value());
  if (path) {
    Check(path->size() < kFavoritePathBytes);
    Check(path->compare(0, folder.size(), folder) == 0);
    if (separator == 1 && isLeadByte == nullptr) Check((*path)[folder.size()] == '\\');
    Check(path->size() >= folder.size() + (isLeadByte == nullptr ? separator : 0) + kShortcutExtension.size());
    Check(path->size() <= folder.size() + 1 + trimmed.size() + kShortcutExtension.size());
    Check(path->compare(path->size() - kShortcutExtension.size(), kShortcutExtension.size(), kShortcutExtension) == 0);
  }

  const bool fits = SearchPatternFits(folder, isLeadByte);
  if (isLeadByte == nullptr) Check(fits == (folder.size() + separator + 1 < kFavoritePathBytes));
  if (folder.size() + 2 < kFavoritePathBytes) Check(fits);
  if (fits) Check(folder.size() + 1 < kFavoritePathBytes);

  // The folder list's order: a total order that agrees with itself both ways round.
  const int forward = ComparePathsIgnoringCase(folder, other, isLeadByte);
  const int backward = ComparePathsIgnoringCase(other, folder, isLeadByte);
  Check(forward >= -1 && forward <= 1 && forward == -backward);
  Check(ComparePathsIgnoringCase(folder, folder, isLeadByte) == 0);
  const std::vector<std::string_view> list = {folder, name, pattern};
  Check(InsertionIndex(list, other, isLeadByte) <= list.size());
  Check(DepthBelowRoot(folder, options) >= 0);

  // The overwrite question: bounded by its capacity, and a pattern without "%" comes back as is.
  const std::size_t capacity = options & 0x80 ? kFavoritePathBytes : static_cast<std::size_t>(options >> 2);
  const std::optional<std::string> question = FormatOverwriteQuestion(pattern, name, capacity);
  if (question) {
    Check(question->size() < capacity);
    Check(question->size() <= pattern.size() + name.size());
  }
  if (pattern.find('%') == std::string::npos) {
    Check(question.has_value() == (pattern.size() < capacity));
    if (question) Check(*question == pattern);
  }
  return 0;
}
