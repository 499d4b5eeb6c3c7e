#pragma once
// The rules of the Add a Favorite dialog that need no window: which names the name box accepts,
// how the shortcut's path is put together, where a new folder goes in the folder list, how the
// options panel moves, and which "OptGlb" bits are stored.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/logic/path_text.h"

namespace commonq {

// Tells whether a byte starts a double-byte character of the system code page (the Win32 tier
// passes IsDBCSLeadByte; the tests pass their own).
using LeadBytePredicate = bool (*)(unsigned char byte);

// The nine characters a file name may not hold.
inline constexpr std::string_view kForbiddenNameCharacters = "\\/:*?\"<>|";

// Every path the dialog builds or lists must fit the platform's 260-byte buffers.
inline constexpr std::size_t kFavoritePathBytes = kPathBytes;
inline constexpr std::string_view kShortcutExtension = ".lnk";

// Whether a character typed with these modifier keys is tested at all: with neither Ctrl nor Alt,
// or with both (AltGr); control characters and every code from 128 up are never tested.
bool IsTypedCharacterTested(unsigned char character, bool ctrlDown, bool altDown);
// Whether a character is one of the nine a file name may not hold.
bool IsForbiddenNameCharacter(unsigned char character);
// Whether a whole text holds none of the nine. Double-byte characters are walked whole, so their
// trail bytes never count. A null text is accepted.
bool IsNameTextAllowed(const char* text, LeadBytePredicate isLeadByte);

// Removes leading and trailing white space (space, tab, line feed, vertical tab, form feed,
// carriage return), walking character by character so a double-byte character stays whole.
std::string TrimName(std::string_view name, LeadBytePredicate isLeadByte);

// `folder`, a backslash unless the folder ends in one, the name, with the name's extension (from
// its last dot, unless a space or backslash follows that dot) replaced by ".lnk". Nothing when
// the result would not fit a 260-byte buffer with its NUL.
std::optional<std::string> ComposeShortcutPath(std::string_view folder, std::string_view name,
                                               LeadBytePredicate isLeadByte);

// Whether a folder's search pattern (the folder, a backslash unless it ends in one, and "*")
// fits a 260-byte buffer.
bool SearchPatternFits(std::string_view folder, LeadBytePredicate isLeadByte);

// Case-insensitive comparison of whole path texts, byte order with ASCII letters folded to lower
// case, double-byte characters compared as units. Negative, zero or positive.
int ComparePathsIgnoringCase(std::string_view left, std::string_view right, LeadBytePredicate isLeadByte);

// The index at which a new path goes: the first entry that compares greater than it, or the end.
std::size_t InsertionIndex(const std::vector<std::string_view>& paths, std::string_view path,
                           LeadBytePredicate isLeadByte);

// The depth of a chosen folder below the root: the backslashes after the root's length.
int DepthBelowRoot(std::string_view path, std::size_t rootLength);

// The question "%s\nalready exists. Overwrite ?" with the name put in for its first "%s"
// ("%%" gives "%"; any other "%" stays as it is, so a language file can never make it read
// arguments). The text always fits `capacity` bytes with its NUL, so a path that fits is never
// refused over its question: a name too long for it is cut at a whole character and ends in
// "...", and a pattern too long even without the name is cut at its end.
std::string FormatOverwriteQuestion(std::string_view pattern, std::string_view name, LeadBytePredicate isLeadByte,
                                    std::size_t capacity = kFavoritePathBytes);

// The "OptGlb" value to store after an Add: bit 0x20 from the restore option, every other bit as
// read (missing counts as 0). Nothing when it equals what was read, so nothing is written.
inline constexpr std::uint32_t kRestoreLastFolderBit = 0x20;
std::optional<std::uint32_t> OptionBitsToWrite(std::optional<std::uint32_t> read, bool restoreLastFolder);

// The options panel's travel between the dialog's closed and open heights.
struct DisclosureTravel {
  enum class Motion { kShrinking, kGrowing };
  int span = 39;     // pixels between the closed and the open height
  int grownBy = 39;  // how far the dialog is above its closed height now
  Motion motion = Motion::kGrowing;

  // One movement of at most `distance` pixels in the current motion, never beyond the closed or
  // the open height. Returns the change of the dialog's height (negative when it shrinks), 0 when
  // it cannot move.
  int Move(int distance);
};

// The distance of one animation tick: a tenth of the span, rounded (4 pixels for 39).
int TickDistance(int span);

}  // namespace commonq
