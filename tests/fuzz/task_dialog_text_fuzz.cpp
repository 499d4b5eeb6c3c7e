// Fuzzes the task dialog's text rules on caller text: link markup stripping (with and without a
// double-byte code page), mnemonic removal, the command-link split and the Ctrl+C copy.
#include <string>

#include "fuzz_check.h"
#include "taskdialog/logic/task_dialog_text.h"

using namespace commonq;
using namespace commonq::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
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
  // The Ctrl+C copy of a dialog whose every text is the input is bounded by its texts.
  const TaskDialogTexts texts{input, input, input, input, input, input, size % 2 == 0, {input, input}};
  Check(TaskDialogClipboardText(texts).size() <= 8 * (input.size() + 26));
  return 0;
}
