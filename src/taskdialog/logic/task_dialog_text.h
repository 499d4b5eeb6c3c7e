#pragma once
// Text rules of the emulated task dialog: hyperlink markup, command-link title and note, and the
// plain-text copy of the dialog that Ctrl+C puts on the clipboard.
#include <string>
#include <string_view>
#include <vector>

namespace commonq {

// Whether a byte starts a two-byte character of the system code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// Removes every run from "<" up to and including the next ">" (an unclosed "<" removes the rest).
// Steps by characters, so the trail byte of a DBCS character is never taken for a "<".
void StripLinkMarkup(std::string& text, LeadBytePredicate isLeadByte = nullptr);

struct CommandLinkText {
  std::string title;
  std::string note;
};
// Splits at the first line break: the title before it, the note after it.
CommandLinkText SplitCommandLinkText(std::string_view text);

// The visible texts of a dialog as the clipboard copy lays them out.
struct TaskDialogTexts {
  std::string windowTitle;
  std::string mainInstruction;
  std::string content;
  std::string expandedInformation;
  std::string verification;
  std::string footer;
  bool verificationChecked = false;
  // Command links first, then the push buttons of the row, in their order on the dialog.
  std::vector<std::string> buttons;
};

// "[Window Title]\r\n<text>\r\n\r\n" and so on for each present section (the verification as
// "[ ] <text>" or "[X] <text>" with its state), then the buttons as
// "[OK] [Cancel]" with their "&" removed (a doubled "&&" stays one "&"). A command link
// contributes its title only.
std::string TaskDialogClipboardText(const TaskDialogTexts& texts);

// A button text without its mnemonic markers.
std::string RemoveMnemonics(std::string_view text);

}  // namespace commonq
