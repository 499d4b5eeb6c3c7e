#include "taskdialog/task_dialog_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "taskdialog/task_dialog_values.h"

namespace commonq {
namespace {

// Every character is 7 pixels wide in the body font and 8 in the main font; lines are 15 and 18
// pixels high. Words wrap greedily at spaces, and "\n" breaks a line.
class FixedMeasurer : public TextMeasurer {
 public:
  TextSize Measure(std::string_view text, TextFont font, unsigned format, int width) override {
    calls.push_back({std::string(text), font, format, width});
    const int cw = font == TextFont::kMain ? 8 : 7;
    const int lh = font == TextFont::kMain ? 18 : 15;
    int lines = 0;
    int widest = 0;
    std::istringstream paragraphs{std::string(text)};
    std::string paragraph;
    while (std::getline(paragraphs, paragraph)) {
      std::istringstream words(paragraph);
      std::string word;
      int line = 0;
      ++lines;
      while (words >> word) {
        const int w = static_cast<int>(word.size()) * cw;
        if (line > 0 && line + cw + w > width) {
          widest = std::max(widest, line);
          ++lines;
          line = w;
        } else {
          line += (line > 0 ? cw : 0) + w;
        }
      }
      widest = std::max(widest, line);
    }
    return {widest, lines * lh};
  }
  struct Call {
    std::string text;
    TextFont font;
    unsigned format;
    int width;
  };
  std::vector<Call> calls;
};

constexpr int kX = 7;
constexpr int kY = 15;

TaskDialogLayoutInput BaseInput() {
  TaskDialogLayoutInput in;
  in.x = kX;
  in.y = kY;
  in.metrics = MakeTaskDialogMetrics(kX, kY, SystemSizes{13, 13, 16, 32});
  in.commonButtonTexts = {"&OK", "&Yes", "&No", "&Retry", "&Cancel", "&Close"};
  in.commonButtons = td::kOkButton;
  return in;
}

struct Laid {
  TaskDialogSize size;
  TaskDialogLayoutState state;
  std::vector<LayoutItem> items;
  TextSize emitted;
  const LayoutItem* Find(int id) const {
    for (const LayoutItem& item : items) {
      if (item.id == id) return &item;
    }
    return nullptr;
  }
};

Laid Lay(const TaskDialogLayoutInput& in, uint32_t cxWidth = 0) {
  FixedMeasurer measurer;
  Laid laid;
  laid.size = MeasureTaskDialog(in, measurer, laid.state, cxWidth);
  laid.emitted = LayoutTaskDialog(in, measurer, laid.state, laid.size.width, &laid.items);
  return laid;
}

TEST(TaskDialogLayout, WidthIsAtLeastSixtyUnitsOrTheGivenWidth) {
  TaskDialogLayoutInput in = BaseInput();
  in.mainInstruction = "Hi";
  EXPECT_EQ(Lay(in).size.width, 60 * kX);
  // cxWidth 200 at x = 7 is 350 pixels even though the text needs less.
  EXPECT_EQ(Lay(in, 200).size.width, 350);
  // An odd product rounds: 201 * 7 / 4 = 351.75.
  EXPECT_EQ(Lay(in, 201).size.width, 352);
}

TEST(TaskDialogLayout, LoneOkIsRightAlignedDefaultAndInstructionAsTallAsTheIcon) {
  TaskDialogLayoutInput in = BaseInput();
  in.mainInstruction = "Hi";
  const Laid laid = Lay(in);
  const LayoutItem* ok = laid.Find(td::kIdOk);
  ASSERT_NE(ok, nullptr);
  const int rightMargin = laid.size.width - in.metrics.margin;
  EXPECT_GE(ok->rect.right, rightMargin - kX);
  EXPECT_LT(ok->rect.right, rightMargin + kX);
  EXPECT_EQ(ok->rect.right % kX, 0);
  EXPECT_EQ(ok->text, "&OK");
  EXPECT_EQ(laid.state.defaultControlId, static_cast<uint32_t>(td::kIdOk));
  // One line of 18 pixels in the main font, but as tall as the 32-pixel icon, with or without one.
  const LayoutItem* main = laid.Find(td::kMainInstructionId);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->rect.bottom - main->rect.top, 32);
  EXPECT_EQ(main->rect.left, in.metrics.margin);
  in.hasMainIcon = true;
  const Laid withIcon = Lay(in);
  EXPECT_EQ(withIcon.Find(td::kMainInstructionId)->rect.left, in.metrics.margin + 32 + in.metrics.iconGap);
  EXPECT_EQ(withIcon.Find(td::kMainInstructionId)->rect.bottom - withIcon.Find(td::kMainInstructionId)->rect.top, 32);
  // The push button is 14 dialog units high (26 pixels at y = 15), more than its text and insets
  // (15 + 2 * 4), so the focus rectangle stays clear of the mnemonic's underline.
  EXPECT_EQ(ok->rect.bottom - ok->rect.top, 26);
}

TEST(TaskDialogLayout, ItemOrderIsTheTabOrder) {
  TaskDialogLayoutInput in = BaseInput();
  in.flags = td::kUseCommandLinks | td::kShowProgressBar;
  in.hasMainIcon = true;
  in.hasFooterIcon = true;
  in.mainInstruction = "Main";
  in.content = "Content";
  in.expandedInformation = "Details";
  in.expandedLabel = "Hide details";
  in.collapsedLabel = "Show details";
  in.verification = "Check";
  in.footer = "Foot";
  in.commonButtons = td::kOkButton | td::kCancelButton;
  in.buttons = {{101, "Link"}};
  in.radioButtons = {{201, "A"}, {202, "B"}};
  const Laid laid = Lay(in);
  std::vector<int> ids;
  for (const LayoutItem& item : laid.items) ids.push_back(item.id);
  const std::vector<int> expected = {td::kMainIconId,
                                     td::kMainInstructionId,
                                     td::kContentId,
                                     td::kExpandedInformationId,
                                     td::kProgressBarId,
                                     td::kFirstRadioButtonId,
                                     td::kFirstRadioButtonId + 1,
                                     td::kFirstCustomButtonId,
                                     td::kExpandoButtonId,
                                     td::kExpandoLabelId,
                                     td::kVerificationId,
                                     td::kIdOk,
                                     td::kIdCancel,
                                     td::kFooterIconId,
                                     td::kFooterId};
  EXPECT_EQ(ids, expected);
  // Radio buttons and command links are indented from the instruction; footer and row are not.
  const int textLeft = laid.Find(td::kMainInstructionId)->rect.left;
  EXPECT_EQ(laid.Find(td::kFirstRadioButtonId)->rect.left, textLeft + in.metrics.indent);
  EXPECT_EQ(laid.Find(td::kFirstCustomButtonId)->rect.left, textLeft + in.metrics.indent);
  EXPECT_EQ(laid.Find(td::kFooterIconId)->rect.left, in.metrics.margin);
  EXPECT_EQ(laid.Find(td::kExpandoButtonId)->rect.left, in.metrics.margin);
  // Only the first radio button starts a group; the links reach the right margin.
  EXPECT_EQ(laid.Find(td::kFirstRadioButtonId)->style, 0x50032409u);
  EXPECT_EQ(laid.Find(td::kFirstRadioButtonId + 1)->style, 0x50012409u);
  EXPECT_EQ(laid.Find(td::kFirstCustomButtonId)->rect.right, laid.size.width - in.metrics.margin);
  // The band line lies between the choices and the lower band; the footer separator above the footer.
  EXPECT_GT(laid.state.bandLine, laid.Find(td::kFirstCustomButtonId)->rect.bottom - 1);
  EXPECT_LT(laid.state.bandLine, laid.Find(td::kExpandoButtonId)->rect.top);
  EXPECT_EQ(laid.state.footerSeparator + 2 * in.metrics.bandGap - in.metrics.bandGap,
            laid.Find(td::kFooterIconId)->rect.top);
  EXPECT_EQ(laid.emitted.cy, laid.size.height);
}

TEST(TaskDialogLayout, CommandLinksSitOnTheLineGridWithTitleAndNote) {
  TaskDialogLayoutInput in = BaseInput();
  in.flags = td::kUseCommandLinks;
  in.mainInstruction = "Pick one";
  in.commonButtons = td::kCancelButton;
  in.buttons = {{101, "Title\nThe note"}, {102, "Only a title"}};
  in.defaultButton = 102;
  FixedMeasurer measurer;
  TaskDialogLayoutState state;
  const TaskDialogSize size = MeasureTaskDialog(in, measurer, state, 0);
  std::vector<LayoutItem> items;
  measurer.calls.clear();
  LayoutTaskDialog(in, measurer, state, size.width, &items);
  const auto find = [&items](int id) {
    return *std::find_if(items.begin(), items.end(), [id](const LayoutItem& i) { return i.id == id; });
  };
  const LayoutItem first = find(td::kFirstCustomButtonId);
  const LayoutItem second = find(td::kFirstCustomButtonId + 1);
  EXPECT_EQ(first.rect.top % kY, 0);
  // 18 (title) + 2 * 7 (inset) + 15 (note) = 47 below the top, lifted to the next line.
  EXPECT_EQ(first.rect.bottom, first.rect.top + 60);
  EXPECT_EQ(second.rect.top, first.rect.bottom);
  // 18 + 14 = 32 lifts to 45.
  EXPECT_EQ(second.rect.bottom, second.rect.top + 45);
  EXPECT_EQ(first.text, "Title\nThe note");
  // Before Windows 6 the links are owner-drawn and the default link is the default control.
  EXPECT_EQ(first.style, 0x5003240Bu);
  EXPECT_EQ(second.style, 0x5001240Bu);
  EXPECT_TRUE(state.ownerDrawnLinks);
  EXPECT_EQ(state.defaultControlId, static_cast<uint32_t>(td::kFirstCustomButtonId + 1));
  // The title is measured in the main font, the note in the body font without prefixes.
  bool titleMeasured = false, noteMeasured = false;
  for (const auto& call : measurer.calls) {
    if (call.text == "Title") titleMeasured = call.font == TextFont::kMain && call.format == td::kWordBreak;
    if (call.text == "The note") {
      noteMeasured = call.font == TextFont::kBody && call.format == (td::kWordBreak | td::kNoPrefix);
    }
  }
  EXPECT_TRUE(titleMeasured);
  EXPECT_TRUE(noteMeasured);
  // The custom buttons are links only; the row holds the common Cancel.
  EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const LayoutItem& i) { return i.id == td::kIdCancel; }), 1);

  // With common controls 6 on Windows 6 the native default style marks the default link and the
  // id is left to it.
  in.modernControls = true;
  in.windows6 = true;
  const Laid native = Lay(in);
  EXPECT_EQ(native.Find(td::kFirstCustomButtonId + 1)->style, 0x5001240Fu);
  EXPECT_EQ(native.Find(td::kFirstCustomButtonId)->style, 0x5003240Eu);
  EXPECT_FALSE(native.state.ownerDrawnLinks);
  EXPECT_EQ(native.state.defaultControlId, td::kNativeDefault);

  // Windows 6 with the old common controls (no manifest): the old button class cannot draw
  // BS_COMMANDLINK, so the links stay owner-drawn.
  in.modernControls = false;
  in.windows6 = true;
  const Laid oldControls = Lay(in);
  EXPECT_EQ(oldControls.Find(td::kFirstCustomButtonId + 1)->style, 0x5001240Bu);
  EXPECT_TRUE(oldControls.state.ownerDrawnLinks);
  EXPECT_EQ(oldControls.state.defaultControlId, static_cast<uint32_t>(td::kFirstCustomButtonId + 1));

  // Without the arrow the text column starts at the inset.
  in.windows6 = false;
  in.flags = td::kUseCommandLinksNoIcon;
  in.buttons = {{101, std::string(100, 'w')}};
  const Laid noIcon = Lay(in);
  // Left edge M + indent, 800 pixels of title, the two insets, the right margin.
  EXPECT_EQ(noIcon.size.width, 20 + 800 + 2 * in.metrics.linkInsetX + 10);
  in.flags = td::kUseCommandLinks;
  EXPECT_EQ(Lay(in).size.width, noIcon.size.width + in.metrics.glyphGap + 20);
}

TEST(TaskDialogLayout, DefaultButtonChoice) {
  TaskDialogLayoutInput in = BaseInput();
  in.mainInstruction = "Q";
  in.buttons = {{101, "One"}, {102, "Two"}};
  in.commonButtons = td::kYesButton | td::kNoButton;
  in.defaultButton = 102;
  EXPECT_EQ(Lay(in).state.defaultControlId, static_cast<uint32_t>(td::kFirstCustomButtonId + 1));
  in.defaultButton = td::kIdNo;
  EXPECT_EQ(Lay(in).state.defaultControlId, static_cast<uint32_t>(td::kIdNo));
  in.defaultButton = 999;  // matches nothing: the first button of the row
  const Laid laid = Lay(in);
  EXPECT_EQ(laid.state.defaultControlId, static_cast<uint32_t>(td::kFirstCustomButtonId));
  // Custom push buttons come before the common ones, left to right.
  EXPECT_LT(laid.Find(td::kFirstCustomButtonId + 1)->rect.right, laid.Find(td::kIdYes)->rect.left);
  EXPECT_LT(laid.Find(td::kIdYes)->rect.right, laid.Find(td::kIdNo)->rect.left);
  in.buttons.clear();
  in.commonButtons = 0;
  EXPECT_EQ(Lay(in).state.defaultControlId, 0u);
}

TEST(TaskDialogLayout, FooterAndFooterAreaDetailsWrapAtTheFullWidth) {
  TaskDialogLayoutInput in = BaseInput();
  in.mainInstruction = "Hi";
  std::string sentence;
  for (int i = 0; i < 50; ++i) sentence += "ab ";
  sentence.pop_back();  // 149 characters: 1043 pixels on one line
  in.footer = sentence;
  const Laid laid = Lay(in);
  EXPECT_EQ(laid.size.width, in.metrics.margin + 149 * 7 + in.metrics.margin);
  const LayoutItem* footer = laid.Find(td::kFooterId);
  ASSERT_NE(footer, nullptr);
  EXPECT_EQ(footer->rect.left, in.metrics.margin);
  // One line, but as tall as the small icon.
  EXPECT_EQ(footer->rect.bottom - footer->rect.top, 16);
  // Etched line two thirds of y above the footer row.
  EXPECT_EQ(footer->rect.top - laid.state.footerSeparator, in.metrics.bandGap);
  // At a given narrower width it wraps instead.
  const Laid narrow = Lay(in, 200);
  EXPECT_EQ(narrow.Find(td::kFooterId)->rect.bottom - narrow.Find(td::kFooterId)->rect.top, 4 * 15);

  in.expandedInformation = sentence;
  in.flags = td::kExpandFooterArea;
  const Laid details = Lay(in, 200);
  const LayoutItem* info = details.Find(td::kExpandedInformationId);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->rect.left, in.metrics.margin);
  EXPECT_LE(info->rect.right, 350 - in.metrics.margin);
  EXPECT_GT(details.state.expandedFooterSeparator, details.Find(td::kFooterId)->rect.bottom - 1);
  EXPECT_EQ(details.items.back().id, td::kExpandedInformationId);
}

TEST(TaskDialogLayout, HyperlinkMarkupIsMeasuredWithoutTags) {
  TaskDialogLayoutInput in = BaseInput();
  in.content = "<a href=\"x\">word</a>";
  const Laid withoutFlag = Lay(in);
  EXPECT_EQ(withoutFlag.Find(td::kContentId)->rect.right - withoutFlag.Find(td::kContentId)->rect.left, 20 * 7);
  in.flags = td::kEnableHyperlinks;
  const Laid classic = Lay(in);
  const LayoutItem* content = classic.Find(td::kContentId);
  EXPECT_EQ(content->rect.right - content->rect.left, 4 * 7);
  EXPECT_EQ(content->className, "STATIC");
  EXPECT_EQ(content->text, "word");
  in.modernControls = true;
  const Laid modern = Lay(in);
  EXPECT_EQ(modern.Find(td::kContentId)->className, "SysLink");
  EXPECT_EQ(modern.Find(td::kContentId)->text, "<a href=\"x\">word</a>");
  EXPECT_EQ(modern.Find(td::kContentId)->rect.right - modern.Find(td::kContentId)->rect.left, 4 * 7);
}

TEST(TaskDialogLayout, VerificationAloneIsCentredOnTheButtonRow) {
  TaskDialogLayoutInput in = BaseInput();
  in.mainInstruction = "Hi";
  in.verification = "Do not ask";
  const Laid laid = Lay(in);
  const LayoutItem* check = laid.Find(td::kVerificationId);
  const LayoutItem* ok = laid.Find(td::kIdOk);
  ASSERT_NE(check, nullptr);
  // Row 26 high (14 dialog units), check 15 high: 26/2 - 15/2 = 6 below the row's top.
  EXPECT_EQ(check->rect.top, ok->rect.top + 6);
  EXPECT_EQ(check->rect.left, in.metrics.margin + 2);
  EXPECT_EQ(check->rect.right - check->rect.left, 10 * 7 + in.metrics.checkWidth);
}

TEST(TaskDialogLayout, ExpandoLabelIsCentredOnTheButtonAndSizedForBothLabels) {
  TaskDialogLayoutInput in = BaseInput();
  in.mainInstruction = "Hi";
  in.expandedInformation = "More";
  in.expandedLabel = "Hide";
  in.collapsedLabel = "Show all details";
  in.verification = "Check";
  const Laid laid = Lay(in);
  const LayoutItem* button = laid.Find(td::kExpandoButtonId);
  const LayoutItem* label = laid.Find(td::kExpandoLabelId);
  const int g = 20 + in.metrics.glyphGap;
  EXPECT_EQ(button->rect.right - button->rect.left, 20);
  EXPECT_EQ(label->rect.left, in.metrics.margin + g);
  EXPECT_EQ(label->rect.right, in.metrics.margin + 2 * g + 16 * 7);
  EXPECT_EQ(label->rect.top, button->rect.top + 10 - 7);
  EXPECT_EQ(label->text, "Hide");
  // The check box follows below the expando row.
  EXPECT_EQ(laid.Find(td::kVerificationId)->rect.top, button->rect.top + 15 + 2 * 3 + in.metrics.checkGap);
  // Details in the content area sit under the content column and push the band line down.
  const LayoutItem* info = laid.Find(td::kExpandedInformationId);
  EXPECT_EQ(info->rect.left, in.metrics.margin);
  EXPECT_EQ(laid.state.bandLine % kY, 0);
}

TEST(TaskDialogLayout, RadioButtonsWrapNextToTheirCheckColumn) {
  TaskDialogLayoutInput in = BaseInput();
  in.mainInstruction = "Hi";
  in.radioButtons = {{1, "First"}, {2, "Second"}};
  const Laid laid = Lay(in);
  const LayoutItem* a = laid.Find(td::kFirstRadioButtonId);
  const LayoutItem* b = laid.Find(td::kFirstRadioButtonId + 1);
  EXPECT_EQ(a->rect.right - a->rect.left, 5 * 7 + in.metrics.checkWidth);
  EXPECT_EQ(b->rect.top, a->rect.bottom + in.metrics.radioGap);
  // One 15-pixel line and the focus rectangle's pixel above and below, so descenders show.
  EXPECT_EQ(a->rect.bottom - a->rect.top, 17);
}

TEST(TaskDialogMetrics, SeparatorColours) {
  EXPECT_EQ(LightenSeparator(MakeColor(245, 245, 245)), MakeColor(237, 237, 237));
  EXPECT_EQ(LightenSeparator(MakeColor(100, 200, 240)), MakeColor(110, 220, 255));
  // 241 in two channels is not enough to darken.
  EXPECT_EQ(LightenSeparator(MakeColor(241, 241, 240)), MakeColor(255, 255, 255));
  EXPECT_EQ(LightenSeparator(MakeColor(0, 9, 231)), MakeColor(0, 9, 254));
}

TEST(TaskDialogMetrics, PaletteFollowsTheControlsVersion) {
  SystemColors colors;
  colors.buttonText = MakeColor(1, 2, 3);
  colors.buttonFace = MakeColor(212, 208, 200);
  colors.window = MakeColor(255, 255, 255);
  const TaskDialogPalette modern = MakeTaskDialogPalette(colors, MakeColor(100, 100, 100), true);
  EXPECT_EQ(modern.instruction, MakeColor(0, 51, 153));
  EXPECT_EQ(modern.band, colors.window);
  EXPECT_EQ(modern.defaultLinkFrame, MakeColor(140, 232, 255));
  EXPECT_EQ(modern.separator, MakeColor(110, 110, 110));
  const TaskDialogPalette classic = MakeTaskDialogPalette(colors, MakeColor(100, 100, 100), false);
  EXPECT_EQ(classic.instruction, colors.buttonText);
  EXPECT_EQ(classic.band, colors.buttonFace);
  EXPECT_EQ(classic.defaultLinkFrame, MakeColor(140, 140, 140));
  EXPECT_EQ(SeparatorLumaStep(true), 500);
  EXPECT_EQ(SeparatorLumaStep(false), 300);
}

TEST(TaskDialogMetrics, FrameStyleAndCentring) {
  const ReferenceRect area{0, 0, 1280, 1000};
  const DialogFrame plain = MakeDialogFrame(0, 350, 150, 7, 15, area);
  EXPECT_EQ(plain.style, 0x86C00881u);
  EXPECT_EQ(plain.exStyle, 0u);
  EXPECT_EQ(plain.cx, 200);
  EXPECT_EQ(plain.cy, 80);
  EXPECT_EQ(plain.x, 731 / 2 - 100);  // MulDiv(1280, 4, 7) = 731
  EXPECT_EQ(plain.y, 533 / 2 - 40);   // MulDiv(1000, 8, 15) = 533
  const DialogFrame all = MakeDialogFrame(0x8 | 0x1000 | 0x2000 | 0x8000, 350, 150, 7, 15, area);
  EXPECT_EQ(all.style, 0x86C00081u | 0x20000 | 0x80000);
  EXPECT_EQ(all.exStyle, 0x401000u);
  EXPECT_EQ(TemplatePointSize(-11, 96), 8);
  EXPECT_EQ(TemplatePointSize(13, 96), 13);
  EXPECT_EQ(MainInstructionHeight(-11, true), -15);
  EXPECT_EQ(MainInstructionHeight(-11, false), -13);
  EXPECT_EQ(MainInstructionHeight(12, false), 14);
}

TEST(TaskDialogMetrics, ClassicInstructionIsBoldWithinTheWeightRange) {
  // 400 + 700 would be 1100, beyond FW_HEAVY, which draws regular.
  EXPECT_EQ(MainInstructionWeight(400, false), 700);
  EXPECT_EQ(MainInstructionWeight(0, false), 700);
  EXPECT_EQ(MainInstructionWeight(800, false), 800);
  EXPECT_EQ(MainInstructionWeight(400, true), 400);
}

TEST(TaskDialogMetrics, WindowsVersionClasses) {
  EXPECT_EQ(ClassifyWindowsVersion(true, 4, 10), 3);
  EXPECT_EQ(ClassifyWindowsVersion(true, 5, 0), 4);  // Windows 2000
  EXPECT_EQ(ClassifyWindowsVersion(true, 5, 1), 5);  // XP
  EXPECT_EQ(ClassifyWindowsVersion(true, 5, 2), 5);
  EXPECT_EQ(ClassifyWindowsVersion(false, 10, 0), 5);
  EXPECT_EQ(ClassifyWindowsVersion(true, 6, 0), 6);  // Vista
  EXPECT_EQ(ClassifyWindowsVersion(true, 6, 1), 7);
  EXPECT_EQ(ClassifyWindowsVersion(true, 10, 0), 7);
}

TEST(TaskDialogMetrics, DerivedFromTheBaseUnits) {
  const TaskDialogMetrics m = MakeTaskDialogMetrics(7, 13, SystemSizes{15, 15, 16, 32});
  EXPECT_EQ(m.margin, 10);
  EXPECT_EQ(m.topMargin, 8);
  EXPECT_EQ(m.buttonInsetY, 3);
  EXPECT_EQ(m.checkWidth, 21);
  EXPECT_EQ(m.instructionGap, 9);
  EXPECT_EQ(m.checkGap, 4);
  EXPECT_EQ(m.leastLinkWidth, 420);
  EXPECT_EQ(m.labelWidth, 490);
}

}  // namespace
}  // namespace commonq
