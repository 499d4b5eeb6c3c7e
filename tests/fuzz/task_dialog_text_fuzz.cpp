// Fuzzes the task dialog's text rules on caller text: link markup stripping (with and without a
// double-byte code page), mnemonic removal, the command-link split and the Ctrl+C copy. The first
// byte picks the options; the rest, cut at byte 0x1F, gives the texts of the dialog.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "taskdialog/task_dialog_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Shift-JIS lead bytes, as the system code page 932 reports them.
bool IsShiftJisLead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

bool IsSubsequence(std::string_view part, std::string_view whole) {
  std::size_t at = 0;
  for (const char c : whole) {
    if (at < part.size() && part[at] == c) ++at;
  }
  return at == part.size();
}

void CheckStrip(const std::string& input, commonq::LeadBytePredicate isLeadByte) {
  std::string stripped = input;
  commonq::StripLinkMarkup(stripped, isLeadByte);
  Check(stripped.size() <= input.size());
  Check(IsSubsequence(stripped, input));
  Check(stripped.find('\0') == std::string::npos);
  const std::string_view visible(input.c_str());  // the text as the window sees it, up to its NUL
  if (visible.find('<') == std::string_view::npos) Check(stripped == visible);
  if (isLeadByte == nullptr) Check(stripped.find('<') == std::string::npos);
  // What is left holds no markup, so stripping again changes nothing.
  std::string again = stripped;
  commonq::StripLinkMarkup(again, isLeadByte);
  Check(again == stripped);
}

void CheckMnemonics(const std::string& text) {
  const std::string plain = commonq::RemoveMnemonics(text);
  Check(plain.size() <= text.size());
  // Doubling every "&" is the way to show one, so it reads back unchanged.
  std::string escaped;
  for (const char c : text) {
    escaped += c;
    if (c == '&') escaped += '&';
  }
  Check(commonq::RemoveMnemonics(escaped) == text);
}

void CheckSplit(const std::string& text) {
  const commonq::CommandLinkText link = commonq::SplitCommandLinkText(text);
  Check(link.title.size() + link.note.size() <= text.size());
  Check(link.title.find('\n') == std::string::npos);
  const std::size_t lineBreak = text.find('\n');
  if (lineBreak == std::string::npos) {
    Check(link.title == text && link.note.empty());
    return;
  }
  const bool carriageReturn = lineBreak > 0 && text[lineBreak - 1] == '\r';
  Check(link.title + (carriageReturn ? "\r\n" : "\n") + link.note == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);

  CheckStrip(input, nullptr);
  CheckStrip(input, &IsShiftJisLead);
  CheckMnemonics(input);
  CheckSplit(input);

  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = 0; at <= input.size(); ++at) {
    if (at == input.size() || input[at] == '\x1F') {
      parts.push_back(input.substr(start, at - start));
      start = at + 1;
    }
  }
  parts.resize(std::max<std::size_t>(parts.size(), 6));
  commonq::TaskDialogTexts texts;
  texts.windowTitle = parts[0];
  texts.mainInstruction = parts[1];
  texts.content = parts[2];
  texts.expandedInformation = parts[3];
  texts.verification = parts[4];
  texts.footer = parts[5];
  texts.verificationChecked = (options & 1) != 0;
  texts.buttons.assign(parts.begin() + 6, parts.end());
  const std::string copy = commonq::TaskDialogClipboardText(texts);

  // Each present section adds its heading and line breaks, at most 26 bytes; each button 3.
  std::size_t bound = 0;
  for (const std::string& part : parts) bound += part.size() + 26;
  Check(copy.size() <= bound);
  Check(texts.windowTitle.empty() == (copy.rfind("[Window Title]\r\n", 0) != 0));
  if (!texts.windowTitle.empty()) Check(copy.compare(16, texts.windowTitle.size(), texts.windowTitle) == 0);
  if (!texts.verification.empty()) {
    Check(copy.find(texts.verificationChecked ? "[X] " : "[ ] ") != std::string::npos);
  }
  if (texts.buttons.empty()) {
    Check(copy.empty() || (copy.size() >= 4 && copy.compare(copy.size() - 4, 4, "\r\n\r\n") == 0));
  } else {
    Check(!copy.empty() && copy.back() == ']');
  }
  return 0;
}
