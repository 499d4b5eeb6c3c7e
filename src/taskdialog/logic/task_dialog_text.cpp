#include "taskdialog/logic/task_dialog_text.h"

namespace commonq {

void StripLinkMarkup(std::string& text, LeadBytePredicate isLeadByte) {
  std::string kept;
  kept.reserve(text.size());
  bool inside = false;
  for (size_t i = 0; i < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte == 0) break;
    const size_t width = (isLeadByte != nullptr && isLeadByte(byte) && i + 1 < text.size() && text[i + 1] != 0) ? 2 : 1;
    if (inside) {
      if (width == 1 && byte == '>') inside = false;
    } else if (width == 1 && byte == '<') {
      inside = true;
    } else {
      kept.append(text, i, width);
    }
    i += width;
  }
  text = std::move(kept);
}

CommandLinkText SplitCommandLinkText(std::string_view text) {
  const size_t lineBreak = text.find('\n');
  if (lineBreak == std::string_view::npos) return {std::string(text), {}};
  std::string_view title = text.substr(0, lineBreak);
  if (!title.empty() && title.back() == '\r') title.remove_suffix(1);
  return {std::string(title), std::string(text.substr(lineBreak + 1))};
}

std::string RemoveMnemonics(std::string_view text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        plain += '&';
        ++i;
      }
      continue;
    }
    plain += text[i];
  }
  return plain;
}

std::string TaskDialogClipboardText(const TaskDialogTexts& texts) {
  std::string out;
  const auto section = [&out](const char* heading, const std::string& text) {
    if (text.empty()) return;
    out += heading;
    out += "\r\n";
    out += text;
    out += "\r\n\r\n";
  };
  section("[Window Title]", texts.windowTitle);
  section("[Main Instruction]", texts.mainInstruction);
  section("[Content]", texts.content);
  section("[Expanded Information]", texts.expandedInformation);
  if (!texts.verification.empty()) {
    out += texts.verificationChecked ? "[X] " : "[ ] ";
    out += RemoveMnemonics(texts.verification);
    out += "\r\n\r\n";
  }
  section("[Footer]", texts.footer);
  for (size_t i = 0; i < texts.buttons.size(); ++i) {
    if (i > 0) out += ' ';
    out += '[';
    out += RemoveMnemonics(SplitCommandLinkText(texts.buttons[i]).title);
    out += ']';
  }
  return out;
}

}  // namespace commonq
