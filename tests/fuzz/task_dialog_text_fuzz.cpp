// Fuzzes the task dialog's text rules on caller text: link markup stripping (with and without a
// double-byte code page), mnemonic removal, the command-link split and the Ctrl+C copy. The first
// byte picks the verification state; the rest, cut at byte 0x1F, gives the texts of the dialog.
#include <cstdlib>
#include <string>
#include <vector>

#include "taskdialog/logic/task_dialog_text.h"

namespace {

using namespace commonq;

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsShiftJisLead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

void CheckText(const std::string& input) {
  for (const LeadBytePredicate lead : {LeadBytePredicate{}, &IsShiftJisLead}) {
    std::string stripped = input;
    StripLinkMarkup(stripped, lead);
    // What is left is no longer and holds no markup, so stripping again changes nothing.
    Check(stripped.size() <= input.size() && (lead != nullptr || stripped.find('<') == std::string::npos));
    std::string again = stripped;
    StripLinkMarkup(again, lead);
    Check(again == stripped);
  }
  // Doubling every "&" is the way to show one, so it reads back unchanged.
  std::string escaped;
  for (const char c : input) escaped += c == '&' ? "&&" : std::string(1, c);
  Check(RemoveMnemonics(escaped) == input);
  const CommandLinkText link = SplitCommandLinkText(input);
  const size_t lineBreak = input.find('\n');
  const bool crlf = lineBreak != std::string::npos && lineBreak > 0 && input[lineBreak - 1] == '\r';
  Check(lineBreak == std::string::npos ? link.title == input && link.note.empty()
                                       : link.title + (crlf ? "\r\n" : "\n") + link.note == input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  CheckText(input);
  std::vector<std::string> parts(1);
  for (const char c : input) {
    if (c == '\x1F') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  parts.resize(std::max<size_t>(parts.size(), 6));
  const TaskDialogTexts texts{
      parts[0], parts[1], parts[2],           parts[3],
      parts[4], parts[5], (data[0] & 1) != 0, std::vector<std::string>(parts.begin() + 6, parts.end())};
  const std::string copy = TaskDialogClipboardText(texts);
  // Each present section adds its heading and line breaks, at most 26 bytes; each button 3.
  size_t bound = 0;
  for (const std::string& part : parts) bound += part.size() + 26;
  Check(copy.size() <= bound);
  Check(texts.windowTitle.empty() ? copy.rfind("[Window Title]", 0) != 0
                                  : copy.compare(16, texts.windowTitle.size(), texts.windowTitle) == 0);
  Check(texts.verification.empty() || copy.find(texts.verificationChecked ? "[X] " : "[ ] ") != std::string::npos);
  return 0;
}
