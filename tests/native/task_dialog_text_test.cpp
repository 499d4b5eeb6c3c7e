#include "taskdialog/task_dialog_text.h"

#include <gtest/gtest.h>

namespace commonq {
namespace {

bool ShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(StripLinkMarkup, RemovesTagsAndKeepsTheLinkText) {
  std::string text = "Go <a href=\"http://x\">there</a> now";
  StripLinkMarkup(text);
  EXPECT_EQ(text, "Go there now");
  std::string unclosed = "Keep <a href=";
  StripLinkMarkup(unclosed);
  EXPECT_EQ(unclosed, "Keep ");
  std::string stray = "a > b";
  StripLinkMarkup(stray);
  EXPECT_EQ(stray, "a > b");
  std::string empty;
  StripLinkMarkup(empty);
  EXPECT_EQ(empty, "");
}

TEST(StripLinkMarkup, DbcsTrailBytesAreNotTakenForTags) {
  // 0x81 0x3C is one Shift-JIS character whose trail byte happens to be '<'.
  std::string text = "\x81<x<a>y</a>";
  StripLinkMarkup(text, &ShiftJisLead);
  EXPECT_EQ(text, "\x81<xy");
  // Without the code page's lead bytes the same bytes read as a tag.
  std::string single = "\x81<x<a>y</a>";
  StripLinkMarkup(single);
  EXPECT_EQ(single, "\x81y");
  // A lead byte at the very end is kept as it is.
  std::string lastLead = "ab\x81";
  StripLinkMarkup(lastLead, &ShiftJisLead);
  EXPECT_EQ(lastLead, "ab\x81");
}

TEST(CommandLinkText, SplitsAtTheFirstLineBreak) {
  const CommandLinkText both = SplitCommandLinkText("Save\nKeeps the file\nsecond");
  EXPECT_EQ(both.title, "Save");
  EXPECT_EQ(both.note, "Keeps the file\nsecond");
  const CommandLinkText crlf = SplitCommandLinkText("Save\r\nNote");
  EXPECT_EQ(crlf.title, "Save");
  EXPECT_EQ(crlf.note, "Note");
  const CommandLinkText title = SplitCommandLinkText("Only");
  EXPECT_EQ(title.title, "Only");
  EXPECT_EQ(title.note, "");
}

TEST(ClipboardText, LaysOutSectionsThenButtons) {
  TaskDialogTexts texts;
  texts.windowTitle = "Copy";
  texts.mainInstruction = "Replace the file?";
  texts.content = "It exists.";
  texts.buttons = {"&Yes", "&No", "Save && close\nNote"};
  EXPECT_EQ(TaskDialogClipboardText(texts),
            "[Window Title]\r\nCopy\r\n\r\n"
            "[Main Instruction]\r\nReplace the file?\r\n\r\n"
            "[Content]\r\nIt exists.\r\n\r\n"
            "[Yes] [No] [Save & close]");
}

TEST(ClipboardText, OptionalSectionsAppearOnlyWhenPresent) {
  TaskDialogTexts texts;
  texts.windowTitle = "T";
  texts.expandedInformation = "More";
  texts.verification = "&Do not ask";
  texts.verificationChecked = true;
  texts.footer = "Foot";
  texts.buttons = {"&OK"};
  EXPECT_EQ(TaskDialogClipboardText(texts),
            "[Window Title]\r\nT\r\n\r\n"
            "[Expanded Information]\r\nMore\r\n\r\n"
            "[X] Do not ask\r\n\r\n"
            "[Footer]\r\nFoot\r\n\r\n"
            "[OK]");
  texts.verificationChecked = false;
  EXPECT_NE(TaskDialogClipboardText(texts).find("[ ] Do not ask"), std::string::npos);
}

}  // namespace
}  // namespace commonq
