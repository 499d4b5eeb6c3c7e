#include "favorites/logic/favorite_rules.h"

#include <algorithm>

namespace commonq {
namespace {

bool IsWhiteSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The length of the character at `at`: two bytes for a lead byte followed by a trail byte.
std::size_t CharacterLength(std::string_view text, std::size_t at, LeadBytePredicate isLeadByte) {
  if (isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() &&
      text[at + 1] != '\0') {
    return 2;
  }
  return 1;
}

// The offset of the last character of the text, walking from its start.
std::optional<std::size_t> LastCharacter(std::string_view text, LeadBytePredicate isLeadByte) {
  std::optional<std::size_t> last;
  for (std::size_t at = 0; at < text.size(); at += CharacterLength(text, at, isLeadByte)) last = at;
  return last;
}

// The mark of a name cut to fit its text.
constexpr std::string_view kCutMark = "...";

// The longest start of `text` of at most `limit` bytes that ends at a whole character.
std::string CutToWholeCharacters(std::string_view text, std::size_t limit, LeadBytePredicate isLeadByte) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = end + CharacterLength(text, end, isLeadByte);
    if (next > limit) break;
    end = next;
  }
  return std::string(text.substr(0, end));
}

unsigned char FoldCase(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

}  // namespace

bool IsTypedCharacterTested(unsigned char character, bool ctrlDown, bool altDown) {
  if (ctrlDown != altDown) return false;
  return static_cast<signed char>(character) >= 32;
}

bool IsForbiddenNameCharacter(unsigned char character) {
  return character != 0 && kForbiddenNameCharacters.find(static_cast<char>(character)) != std::string_view::npos;
}

bool IsNameTextAllowed(const char* text, LeadBytePredicate isLeadByte) {
  if (text == nullptr) return true;
  const std::string_view view(text);
  for (std::size_t at = 0; at < view.size();) {
    const std::size_t length = CharacterLength(view, at, isLeadByte);
    if (length == 1 && IsForbiddenNameCharacter(static_cast<unsigned char>(view[at]))) return false;
    at += length;
  }
  return true;
}

std::string TrimName(std::string_view name, LeadBytePredicate isLeadByte) {
  std::size_t begin = 0;
  while (begin < name.size() && IsWhiteSpace(static_cast<unsigned char>(name[begin]))) ++begin;
  std::size_t end = begin;
  // The end of the last character that is not white space, walked from the front so that a
  // trail byte that happens to be a white-space code is never cut off its lead byte.
  for (std::size_t at = begin; at < name.size();) {
    const std::size_t length = CharacterLength(name, at, isLeadByte);
    if (length == 2 || !IsWhiteSpace(static_cast<unsigned char>(name[at]))) end = at + length;
    at += length;
  }
  return std::string(name.substr(begin, end - begin));
}

std::optional<std::string> ComposeShortcutPath(std::string_view folder, std::string_view name,
                                               LeadBytePredicate isLeadByte) {
  std::string path(folder);
  const std::optional<std::size_t> last = LastCharacter(path, isLeadByte);
  if (!last || path[*last] != '\\' || path.size() - *last != 1) path += '\\';
  const std::size_t nameStart = path.size();
  path += name;
  // The extension as the shell finds it: the last dot of the last component, forgotten again at
  // a later space or backslash.
  std::size_t dot = std::string::npos;
  for (std::size_t at = nameStart; at < path.size(); at += CharacterLength(path, at, isLeadByte)) {
    const char c = path[at];
    if (c == '\\' || c == ' ') {
      dot = std::string::npos;
    } else if (c == '.') {
      dot = at;
    }
  }
  if (dot != std::string::npos) path.resize(dot);
  path += kShortcutExtension;
  if (path.size() >= kFavoritePathBytes) return std::nullopt;
  return path;
}

bool SearchPatternFits(std::string_view folder, LeadBytePredicate isLeadByte) {
  const std::optional<std::size_t> last = LastCharacter(folder, isLeadByte);
  const bool hasBackslash = last && folder[*last] == '\\' && folder.size() - *last == 1;
  return folder.size() + (hasBackslash ? 0 : 1) + 1 < kFavoritePathBytes;
}

int ComparePathsIgnoringCase(std::string_view left, std::string_view right, LeadBytePredicate isLeadByte) {
  std::size_t l = 0;
  std::size_t r = 0;
  while (l < left.size() && r < right.size()) {
    const std::size_t leftLength = CharacterLength(left, l, isLeadByte);
    const std::size_t rightLength = CharacterLength(right, r, isLeadByte);
    unsigned int a = FoldCase(static_cast<unsigned char>(left[l]));
    unsigned int b = FoldCase(static_cast<unsigned char>(right[r]));
    if (leftLength == 2) a = (static_cast<unsigned char>(left[l]) << 8) | static_cast<unsigned char>(left[l + 1]);
    if (rightLength == 2) b = (static_cast<unsigned char>(right[r]) << 8) | static_cast<unsigned char>(right[r + 1]);
    if (a != b) return a < b ? -1 : 1;
    l += leftLength;
    r += rightLength;
  }
  if (l < left.size()) return 1;
  if (r < right.size()) return -1;
  return 0;
}

std::size_t InsertionIndex(const std::vector<std::string_view>& paths, std::string_view path,
                           LeadBytePredicate isLeadByte) {
  for (std::size_t index = 0; index < paths.size(); ++index) {
    if (ComparePathsIgnoringCase(paths[index], path, isLeadByte) > 0) return index;
  }
  return paths.size();
}

int DepthBelowRoot(std::string_view path, std::size_t rootLength) {
  if (rootLength >= path.size()) return 0;
  return static_cast<int>(std::count(path.begin() + static_cast<std::ptrdiff_t>(rootLength), path.end(), '\\'));
}

std::string FormatOverwriteQuestion(std::string_view pattern, std::string_view name, LeadBytePredicate isLeadByte,
                                    std::size_t capacity) {
  // The text around the name: `before` until the name has its place, then `after`.
  std::string before;
  std::string after;
  bool nameUsed = false;
  for (std::size_t at = 0; at < pattern.size(); ++at) {
    std::string& text = nameUsed ? after : before;
    if (pattern[at] == '%' && at + 1 < pattern.size()) {
      if (pattern[at + 1] == '%') {
        text += '%';
        ++at;
        continue;
      }
      if (pattern[at + 1] == 's' && !nameUsed) {
        nameUsed = true;
        ++at;
        continue;
      }
    }
    text += pattern[at];
  }
  if (capacity == 0) return {};
  const std::size_t limit = capacity - 1;
  const std::size_t around = before.size() + after.size();
  if (!nameUsed || around + name.size() <= limit)
    return CutToWholeCharacters(before + std::string(name) + after, limit, isLeadByte);
  if (around + kCutMark.size() > limit) return CutToWholeCharacters(before + after, limit, isLeadByte);
  return before + CutToWholeCharacters(name, limit - around - kCutMark.size(), isLeadByte) + std::string(kCutMark) +
         after;
}

std::optional<std::uint32_t> OptionBitsToWrite(std::optional<std::uint32_t> read, bool restoreLastFolder) {
  const std::uint32_t before = read.value_or(0);
  const std::uint32_t after = restoreLastFolder ? (before | kRestoreLastFolderBit) : (before & ~kRestoreLastFolderBit);
  if (after == before) return std::nullopt;
  return after;
}

int DisclosureTravel::Move(int distance) {
  if (motion == Motion::kShrinking) {
    const int change = std::min(distance, grownBy);
    if (change < 1) return 0;
    grownBy -= change;
    return -change;
  }
  const int change = std::min(distance, span - grownBy);
  if (change < 1) return 0;
  grownBy += change;
  return change;
}

int TickDistance(int span) { return static_cast<int>(span * 0.1 + 0.5); }

}  // namespace commonq
