// The task dialog's logic tier where it has gone wrong before: the width rule, wrapping, the
// button row and its default, both expanded states, heights that keep descenders and focus
// rectangles, the bold weight, the high-contrast palette, link markup in double-byte text. The
// fuzz targets cover the text rules and the template writer.
#include <gtest/gtest.h>

#include "taskdialog/logic/dialog_units.h"
#include "taskdialog/logic/task_dialog_layout.h"
#include "taskdialog/logic/task_dialog_metrics.h"
#include "taskdialog/logic/task_dialog_values.h"

namespace commonq {
namespace {

using namespace td;

// Characters are 7 pixels wide in the body font and 8 in the main font, lines 15 and 18 pixels
// high; a text wraps into lines of whole characters.
class FixedMeasurer : public TextMeasurer {
 public:
  TextSize Measure(std::string_view text, TextFont font, unsigned, int width) override {
    const int cw = font == TextFont::kMain ? 8 : 7, perLine = std::max(1, width / cw);
    const int length = static_cast<int>(text.size()), lines = (length + perLine - 1) / perLine;
    return {std::min(length, perLine) * cw, lines * (font == TextFont::kMain ? 18 : 15)};
  }
};

struct Laid : TaskDialogLayout {
  const LayoutItem& operator[](int id) const {
    for (const LayoutItem& item : items) {
      if (item.id == id) return item;
    }
    throw std::out_of_range("no such control");
  }
  int Height(int id) const { return (*this)[id].rect.bottom - (*this)[id].rect.top; }
};

Laid Lay(TaskDialogLayoutInput in, uint32_t cxWidth = 0, bool expanded = true) {
  if (in.baseUnitY == 0) in.baseUnitX = 7, in.baseUnitY = 15;
  in.metrics = MakeTaskDialogMetrics(in.baseUnitX, in.baseUnitY, SystemSizes{13, 13, 16, 32});
  in.commonButtonTexts = {"&OK", "&Yes", "&No", "&Retry", "&Cancel", "&Close"};
  in.mainInstruction = "Hi";
  FixedMeasurer measurer;
  return {LayOutTaskDialog(in, measurer, cxWidth, expanded)};
}

TEST(TaskDialogLayout, WidthRuleWrappingAndMinimumHeights) {
  TaskDialogLayoutInput in;
  in.commonButtons = kOkButton;
  in.radioButtons = {{1, "First"}};
  EXPECT_EQ(Lay(in).width, 60 * 7);   // at least sixty units
  in.footer = std::string(200, 'f');  // wraps at the full width of cxWidth 201: 351.75 pixels
  const Laid laid = Lay(in, 201);
  EXPECT_EQ(laid.width, 352);
  EXPECT_LE(laid[IDC_TD_FOOTER].rect.right, laid.width - in.metrics.margin);
  EXPECT_EQ(laid.Height(IDC_TD_FOOTER), 5 * 15);
  EXPECT_EQ(laid.Height(IDC_TD_MAIN_INSTRUCTION), 32);  // the large icon's height
  EXPECT_EQ(laid.Height(IDC_TD_FIRST_RADIO), 17);       // a line and the focus rectangle's pixels
  EXPECT_EQ(laid.Height(kIdOk), 26);                    // 14 dialog units
  EXPECT_EQ(laid[kIdOk].rect.right % 7, 0);
}

TEST(TaskDialogLayout, ButtonRowOrderAndDefault) {
  TaskDialogLayoutInput in;
  in.buttons = {{101, "One"}, {102, "Two"}};
  in.commonButtons = kYesButton | kNoButton;
  const int cases[][2] = {{102, IDC_TD_FIRST_BUTTON + 1}, {kIdNo, kIdNo}, {999, IDC_TD_FIRST_BUTTON}};
  for (const auto& c : cases) {
    in.defaultButton = c[0];
    const Laid laid = Lay(in);
    EXPECT_EQ(laid.state.defaultControlId, static_cast<uint32_t>(c[1])) << c[0];
    EXPECT_LT(laid[IDC_TD_FIRST_BUTTON + 1].rect.right, laid[kIdYes].rect.left);
    EXPECT_LT(laid[kIdYes].rect.right, laid[kIdNo].rect.left);
  }
}

TEST(TaskDialogLayout, CommandLinksAreOwnerDrawnUnlessModernOnWindows6) {
  TaskDialogLayoutInput in;
  in.flags = kUseCommandLinks;
  in.buttons = {{101, "Go\nA note"}, {102, "Stay"}};
  in.defaultButton = 102;
  Laid laid = Lay(in);
  EXPECT_TRUE(laid.state.ownerDrawnLinks);
  EXPECT_EQ(laid.state.defaultControlId, static_cast<uint32_t>(IDC_TD_FIRST_BUTTON + 1));
  EXPECT_LE(laid[IDC_TD_FIRST_BUTTON].rect.bottom, laid[IDC_TD_FIRST_BUTTON + 1].rect.top);
  EXPECT_GE(laid.width, MakeTaskDialogMetrics(7, 15, {}).leastLinkWidth);
  in.modernControls = in.windows6 = true;
  laid = Lay(in);
  EXPECT_EQ(laid.state.defaultControlId, kNativeDefault);
  EXPECT_EQ(laid[IDC_TD_FIRST_BUTTON + 1].style & 0xF, kDefCommandLinkKind);
}

// Collapsing hides the details in either area. In the content area everything below them moves up
// by the height the dialog manager gives their control (whole dialog units of 14/8 pixels) plus
// the band gap; in the footer area nothing moves and the dialog ends above the etched line over them.
TEST(TaskDialogLayout, CollapsedDetailsHideAndTheContentAreaClosesUp) {
  TaskDialogLayoutInput in;
  in.baseUnitX = 7, in.baseUnitY = 14;  // a line is one pixel taller than the base unit, as in DrawText
  in.content = "Body";
  in.expandedInformation = std::string(130, 'd');  // 3 lines, 45 pixels from y 76: 26 units, shown 46 high
  in.collapsedLabel = "More", in.expandedLabel = "Less";
  in.radioButtons = {{1, "One"}};
  in.buttons = {{2, "Go\nA note"}};  // a command link, which starts and ends on the line grid
  in.verification = "Always", in.footer = "Foot";
  in.commonButtons = kOkButton;
  const int bandGap = MakeTaskDialogMetrics(7, 14, SystemSizes{13, 13, 16, 32}).bandGap;
  for (const uint32_t area : {0u, kExpandFooterArea}) {
    in.flags = kShowProgressBar | kUseCommandLinks | area;
    const Laid open = Lay(in, 200, true), shut = Lay(in, 200, false);
    const LayoutRect details = open[IDC_TD_EXPANDED_INFORMATION].rect;
    const int shift =
        area ? 0 : RoundingMulDiv(PixelsToDialogUnits(0, details.top, 0, details.bottom, 7, 14).cy, 14, 8) + bandGap;
    EXPECT_EQ(shut.width, open.width);
    ASSERT_EQ(shut.items.size(), open.items.size());
    for (size_t i = 0; i < open.items.size(); ++i) {
      const LayoutItem &before = open.items[i], &after = shut.items[i];
      const int up = before.rect.top > details.top ? shift : 0;
      const LayoutRect &was = before.rect, &is = after.rect;
      EXPECT_EQ(after.id, before.id);
      EXPECT_TRUE(is.left == was.left && is.right == was.right && is.top == was.top - up &&
                  is.bottom == was.bottom - up)
          << before.id;
      EXPECT_TRUE(before.visible) << before.id;
      EXPECT_EQ(after.visible, before.id != IDC_TD_EXPANDED_INFORMATION) << before.id;
    }
    EXPECT_EQ(shut.state.bandLine, open.state.bandLine - shift);
    EXPECT_EQ(shut.state.footerSeparator, open.state.footerSeparator - shift);
    EXPECT_EQ(shut.height, area ? open.state.expandedFooterSeparator - 1 : open.height - shift);
    EXPECT_EQ(open[IDC_TD_EXPANDO_LABEL].text + shut[IDC_TD_EXPANDO_LABEL].text, "LessMore");
  }
}

TEST(TaskDialogMetrics, BoldWeightAndVersionClasses) {
  // 400 + 700 would be 1100, beyond FW_HEAVY, which draws regular.
  EXPECT_EQ(MainInstructionWeight(400, false), 700);
  EXPECT_EQ(MainInstructionWeight(800, false), 800);
  EXPECT_EQ(MainInstructionWeight(400, true), 400);
  // Forwarding starts at class 6 (Windows 6.0); XP and an unknown version are emulated.
  const int versions[][4] = {{1, 4, 10, 3}, {1, 5, 0, 4}, {1, 5, 1, 5}, {0, 10, 0, 5}, {1, 6, 0, 6}, {1, 10, 0, 7}};
  for (const auto& v : versions) EXPECT_EQ(ClassifyWindowsVersion(v[0] != 0, v[1], v[2]), v[3]) << v[1] << v[2];
  EXPECT_EQ(RoundingMulDiv(-3, 1, 2), -2);          // halves away from zero
  EXPECT_EQ(RoundingMulDiv(0x40000000, 4, 2), -1);  // the 64-bit product fits, the result does not
}

// That no colour but the system's is drawn in high contrast, and the emulated modern look's blue
// instruction, are checked on the screen by high_contrast_test.cpp; text in the band drawn in the
// band's own colour would pass there unseen.
TEST(TaskDialogMetrics, HighContrastBandTextDiffersFromTheBand) {
  SystemColors system;
  system.buttonText = 1, system.buttonShadow = 2, system.buttonHighlight = 3, system.buttonFace = 4;
  system.window = 5, system.windowText = 6, system.selection = 7;
  for (bool modern : {false, true}) {
    const TaskDialogPalette p = MakeTaskDialogPalette(system, 0x808080, modern, true);
    EXPECT_NE(p.bandText, p.band) << modern;
  }
}

TEST(TaskDialogText, LinkMarkupIsStrippedButNotDbcsTrailBytes) {
  const auto shiftJisLead = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
  // 0x81 0x3C is one Shift-JIS character whose trail byte happens to be '<'.
  const std::pair<LeadBytePredicate, const char*> cases[] = {{shiftJisLead, "\x81<xy"}, {nullptr, "\x81y"}};
  for (const auto& [lead, stripped] : cases) {
    std::string text = "\x81<x<a>y</a>";
    StripLinkMarkup(text, lead);
    EXPECT_EQ(text, stripped);
  }
}

}  // namespace
}  // namespace commonq
