#include "taskdialog/logic/task_dialog_layout.h"

#include <algorithm>

#include "taskdialog/logic/dialog_units.h"
#include "taskdialog/logic/task_dialog_values.h"

namespace commonq {
namespace {

constexpr int kButtonMeasureWidth = 9999;
constexpr int kFocusInset = 1;
constexpr int kPushButtonUnits = 14;
constexpr int kNaturalWidth = 99999;

class LayoutPass {
 public:
  LayoutPass(const TaskDialogLayoutInput& input, TextMeasurer& measurer, bool expanded, TaskDialogLayoutState& state,
             int width, std::vector<LayoutItem>* items)
      : in_(input),
        m_(input.metrics),
        measurer_(measurer),
        expanded_(expanded),
        state_(state),
        width_(width),
        items_(items) {}

  TextSize Run();

 private:
  bool Natural() const { return width_ == kNaturalWidth; }
  int Wrap(int available, int natural) const { return Natural() ? natural : available; }
  int LiftToLine(int y) const { return in_.baseUnitY > 0 ? y + in_.baseUnitY - y % in_.baseUnitY : y; }
  int LiftToColumn(int x) const { return in_.baseUnitX > 0 ? x + in_.baseUnitX - x % in_.baseUnitX : x; }
  bool Hyperlinks() const { return (in_.flags & td::kEnableHyperlinks) != 0; }
  const char* LinkClass() const { return in_.modernControls ? "SysLink" : "STATIC"; }

  TextSize Measure(std::string_view text, TextFont font, unsigned format, int width) {
    if (text.empty()) return {};
    return measurer_.Measure(text, font, format, width);
  }
  // Link-capable texts are measured without markup; the template gets the markup only when the
  // control is a link control that understands it.
  TextSize MeasureLinkText(const std::string& text, int width) {
    if (!Hyperlinks()) return Measure(text, TextFont::kBody, td::kNoPrefix | td::kWordBreak, width);
    std::string plain = text;
    StripLinkMarkup(plain, in_.isLeadByte);
    return Measure(plain, TextFont::kBody, td::kNoPrefix | td::kWordBreak, width);
  }
  std::string LinkTemplateText(const std::string& text) const {
    if (in_.modernControls || !Hyperlinks()) return text;
    std::string plain = text;
    StripLinkMarkup(plain, in_.isLeadByte);
    return plain;
  }
  // A link control that holds links is a tab stop: Tab visits each link, Enter follows it.
  uint32_t LinkStyle(const std::string& text) const {
    const bool links = in_.modernControls && Hyperlinks() &&
                       (text.find("<a") != std::string::npos || text.find("<A") != std::string::npos);
    return td::kStaticTextStyle | (links ? td::kTabStopStyle : 0);
  }
  void Emit(const char* className, int id, LayoutRect rect, uint32_t style, std::string text, bool visible = true) {
    rect.top -= collapsedShift_;
    rect.bottom -= collapsedShift_;
    if (items_ != nullptr) items_->push_back({className, id, rect, style, std::move(text), visible});
  }
  // The height of a control of this rectangle as the dialog manager creates it from the template.
  int TemplateHeight(const LayoutRect& rect) const {
    const DialogUnitRect units =
        PixelsToDialogUnits(rect.left, rect.top, rect.right, rect.bottom, in_.baseUnitX, in_.baseUnitY);
    return RoundingMulDiv(units.cy, in_.baseUnitY, 8);
  }

  void MainBand();
  void ContentAreaDetails();
  void Choices();
  void CommandLinks();
  void LowerBand();
  void ButtonRow(int leftColumn, int columnHeight);
  void Footer();

  const TaskDialogLayoutInput& in_;
  const TaskDialogMetrics& m_;
  TextMeasurer& measurer_;
  bool expanded_;
  TaskDialogLayoutState& state_;
  int width_;
  std::vector<LayoutItem>* items_;
  int left_ = 0;
  // The cursor runs as in the expanded dialog, so that the line grid stays where it is; what is
  // placed below collapsed details is moved up by collapsedShift_.
  int top_ = 0;
  int right_ = 0;
  int collapsedShift_ = 0;
};

TextSize LayoutPass::Run() {
  state_.defaultControlId = 0;
  left_ = m_.margin;
  top_ = m_.topMargin;
  right_ = 0;
  collapsedShift_ = 0;
  MainBand();
  Choices();
  CommandLinks();
  LowerBand();
  Footer();
  const bool footerCutOff = !expanded_ && state_.expandedFooterSeparator != 0;
  return {right_ + m_.margin,
          footerCutOff ? state_.expandedFooterSeparator - 1 : top_ - collapsedShift_ + m_.topMargin};
}

void LayoutPass::MainBand() {
  const int margin = m_.margin;
  int iconHeight = 0;
  if (in_.hasMainIcon) {
    Emit("STATIC", IDC_TD_MAIN_ICON, {margin, top_, margin + m_.largeIcon, top_ + m_.largeIcon}, td::kIconStaticStyle,
         {});
    left_ = margin + m_.largeIcon + m_.iconGap;
    iconHeight = m_.largeIcon;
  }
  if (in_.mainInstruction) {
    const TextSize text = Measure(*in_.mainInstruction, TextFont::kMain, td::kNoPrefix | td::kWordBreak,
                                  Wrap(width_ - margin - left_, m_.naturalInstructionWidth));
    const int h = std::max(text.cy, m_.largeIcon);
    Emit("STATIC", IDC_TD_MAIN_INSTRUCTION, {left_, top_, left_ + text.cx, top_ + h}, td::kStaticTextStyle,
         *in_.mainInstruction);
    right_ = left_ + text.cx;
    top_ += h + m_.instructionGap;
  }
  if (in_.content) {
    const TextSize text = MeasureLinkText(*in_.content, Wrap(width_ - margin - left_, m_.naturalContentWidth));
    Emit(LinkClass(), IDC_TD_CONTENT, {left_, top_, left_ + text.cx, top_ + text.cy}, LinkStyle(*in_.content),
         LinkTemplateText(*in_.content));
    const bool iconAlone = in_.hasMainIcon && !in_.mainInstruction;
    top_ += iconAlone ? std::max(text.cy, iconHeight) : text.cy;
    right_ = std::max(right_, left_ + text.cx);
  }
  top_ += m_.sectionGap / 2;
  ContentAreaDetails();
  if (in_.flags & (td::kShowProgressBar | td::kShowMarqueeProgressBar)) {
    const int w = Wrap(width_ - margin - left_, m_.naturalProgressWidth);
    Emit("msctls_progress32", IDC_TD_PROGRESS_BAR, {left_, top_, left_ + w, top_ + m_.progressHeight},
         td::kProgressBarStyle, {});
    right_ = std::max(right_, left_ + w);
    top_ += m_.progressHeight + m_.instructionGap;
  }
  left_ += m_.indent;
}

// Collapsed, the details keep their place but give up their room: the controls below move up by
// the height of the details' control plus the band gap, and the lines and the dialog follow.
void LayoutPass::ContentAreaDetails() {
  if (!in_.expandedInformation || (in_.flags & td::kExpandFooterArea)) return;
  const TextSize text = MeasureLinkText(*in_.expandedInformation, width_ - m_.margin - left_);
  const LayoutRect rect{left_, top_, left_ + text.cx, top_ + text.cy};
  Emit(LinkClass(), IDC_TD_EXPANDED_INFORMATION, rect, LinkStyle(*in_.expandedInformation),
       LinkTemplateText(*in_.expandedInformation), expanded_);
  right_ = std::max(right_, rect.right);
  top_ = LiftToLine(top_ + text.cy + m_.bandGap);
  if (!expanded_) collapsedShift_ = TemplateHeight(rect) + m_.bandGap;
}

void LayoutPass::Choices() {
  const int count = static_cast<int>(in_.radioButtons.size());
  for (int i = 0; i < count; ++i) {
    const LayoutButton& radio = in_.radioButtons[i];
    const TextSize text = Measure(radio.text, TextFont::kBody, td::kWordBreak,
                                  Wrap(width_ - m_.margin - left_ - m_.checkWidth, m_.naturalRadioWidth));
    // The button draws its text inside a focus rectangle one pixel in from each edge, so a box
    // exactly one text line high would cut the descenders off.
    const int h = std::max(text.cy + 2 * kFocusInset, m_.checkHeight);
    // Tab enters the group at one button (the checked one: a radio button takes the tab stop
    // when it is checked) and the arrow keys move within it.
    const uint32_t style =
        (td::kRadioButtonStyle & ~td::kTabStopStyle) | (i == 0 ? td::kGroupStyle | td::kTabStopStyle : 0);
    const LayoutRect rect{left_, top_, left_ + text.cx + m_.checkWidth, top_ + h};
    Emit("BUTTON", IDC_TD_FIRST_RADIO + i, rect, style, radio.text);
    right_ = std::max(right_, rect.right);
    top_ += h + m_.radioGap;
  }
  if (count > 0) top_ += m_.sectionGap / 2 - m_.radioGap;
}

void LayoutPass::CommandLinks() {
  state_.ownerDrawnLinks = false;
  const bool links = (in_.flags & (td::kUseCommandLinks | td::kUseCommandLinksNoIcon)) != 0;
  if (in_.buttons.empty() || !links) return;
  top_ = LiftToLine(top_);
  if (!in_.radioButtons.empty()) top_ += m_.sectionGap / 2;
  int glyph = 2 * m_.linkInsetX;
  if (!(in_.flags & td::kUseCommandLinksNoIcon)) glyph += m_.glyphGap + m_.glyph;
  const int wrap = Wrap(width_ - m_.margin - glyph - left_, m_.naturalLinkWidth - glyph);
  for (size_t i = 0; i < in_.buttons.size(); ++i) {
    const LayoutButton& button = in_.buttons[i];
    const CommandLinkText parts = SplitCommandLinkText(button.text);
    const TextSize title = Measure(parts.title, TextFont::kMain, td::kWordBreak, wrap);
    const TextSize note = Measure(parts.note, TextFont::kBody, td::kNoPrefix | td::kWordBreak, wrap);
    const int blockWidth = std::max(std::max(title.cx, note.cx) + glyph, m_.leastLinkWidth);
    const int bottom = LiftToLine(top_ + title.cy + 2 * m_.linkInsetY + note.cy);
    const int id = IDC_TD_FIRST_BUTTON + static_cast<int>(i);
    const bool isDefault = button.id == in_.defaultButton;
    uint32_t style = td::kCommandLinkStyle | (i == 0 ? td::kGroupStyle : 0);
    // The command-link button styles need the button class of common controls 6 on Windows 6 or
    // later; the old class (a process without the manifest) would draw plain buttons, so the
    // Windows version alone does not decide.
    if (in_.modernControls && in_.windows6) {
      style |= isDefault ? td::kDefCommandLinkKind : td::kCommandLinkKind;
      if (isDefault) state_.defaultControlId = td::kNativeDefault;
    } else {
      style |= td::kOwnerDrawKind;
      state_.ownerDrawnLinks = true;
      if (isDefault) state_.defaultControlId = static_cast<uint32_t>(id);
    }
    Emit("BUTTON", id, {left_, top_, width_ - m_.margin, bottom}, style, button.text);
    right_ = std::max(right_, left_ + blockWidth);
    top_ = bottom;
  }
  top_ += m_.sectionGap / 2;
}

void LayoutPass::LowerBand() {
  const int margin = m_.margin;
  state_.bandLine = top_ - collapsedShift_;
  top_ += m_.bandGap;
  left_ = margin;
  int column = 0;
  int columnHeight = 0;
  const bool expando = in_.expandedInformation.has_value();
  if (expando) {
    // A tab stop, which Space and Enter toggle; each section of the lower band starts a group, so
    // the arrow keys of the radio buttons above stay within them.
    Emit("STATIC", IDC_TD_EXPANDO_BUTTON, {margin, top_, margin + m_.expando, top_ + m_.expando},
         td::kExpandoButtonStyle | td::kTabStopStyle | td::kGroupStyle, {});
    // The label starts one glyph step right of the button and leaves one more after its text.
    const int glyphStep = m_.expando + m_.glyphGap;
    const TextSize collapsed = Measure(in_.collapsedLabel, TextFont::kBody, td::kWordBreak, m_.labelWidth);
    const TextSize expanded = Measure(in_.expandedLabel, TextFont::kBody, td::kWordBreak, m_.labelWidth);
    const int labelWidth = std::max(collapsed.cx, expanded.cx);
    const int labelHeight = std::max(collapsed.cy, expanded.cy);
    const int offset = labelHeight < m_.expando ? m_.expando / 2 - labelHeight / 2 : 0;
    const int labelLeft = margin + glyphStep;
    Emit("STATIC", IDC_TD_EXPANDO_LABEL,
         {labelLeft, top_ + offset, labelLeft + glyphStep + labelWidth, top_ + offset + labelHeight},
         td::kExpandoLabelStyle, expanded_ ? in_.expandedLabel : in_.collapsedLabel);
    column = labelLeft + glyphStep + labelWidth;
    columnHeight = labelHeight + 2 * offset + (in_.verification ? m_.checkGap : 0);
  }
  if (in_.verification) {
    const TextSize text = Measure(*in_.verification, TextFont::kBody, td::kWordBreak, m_.labelWidth);
    const int h = std::max(text.cy, m_.checkHeight);
    int offset = columnHeight;
    if (!expando && h < state_.rowHeight) offset = state_.rowHeight / 2 - h / 2;
    const LayoutRect rect{margin + 2, top_ + offset, margin + 2 + text.cx + m_.checkWidth, top_ + offset + h};
    Emit("BUTTON", IDC_TD_VERIFICATION, rect, td::kVerificationStyle | td::kGroupStyle, *in_.verification);
    column = std::max(column, rect.right);
    columnHeight = offset + h;
  }
  ButtonRow(column, columnHeight);
}

void LayoutPass::ButtonRow(int leftColumn, int columnHeight) {
  int left = state_.rowWidth > 0 ? width_ - m_.margin - state_.rowWidth : leftColumn + m_.rowGap;
  int rowWidth = 0;
  int rowHeight = 0;
  const auto place = [&](int controlId, int buttonId, const std::string& text) {
    const TextSize size = Measure(text, TextFont::kBody, td::kWordBreak, kButtonMeasureWidth);
    const int right = LiftToColumn(left + std::max(size.cx, m_.leastButtonWidth) + 2 * m_.buttonInsetX);
    // At least the system's push-button height of 14 dialog units, which grows with the font:
    // text plus the two insets alone leaves the focus rectangle on the mnemonic's underline.
    const int bottom =
        top_ + std::max(size.cy + 2 * m_.buttonInsetY, RoundingMulDiv(kPushButtonUnits, in_.baseUnitY, 8));
    Emit("BUTTON", controlId, {left, top_, right, bottom}, td::kPushButtonStyle | (rowWidth == 0 ? td::kGroupStyle : 0),
         text);
    rowWidth += (right - left) + m_.buttonGap;
    left = right + m_.buttonGap;
    rowHeight = std::max(rowHeight, bottom - top_);
    if (state_.defaultControlId == 0 || buttonId == in_.defaultButton) {
      state_.defaultControlId = static_cast<uint32_t>(controlId);
    }
  };
  const bool links = (in_.flags & (td::kUseCommandLinks | td::kUseCommandLinksNoIcon)) != 0;
  if (!links) {
    for (size_t i = 0; i < in_.buttons.size(); ++i) {
      place(IDC_TD_FIRST_BUTTON + static_cast<int>(i), in_.buttons[i].id, in_.buttons[i].text);
    }
  }
  for (size_t k = 0; k < std::size(td::kCommonButtons); ++k) {
    const td::CommonButton& common = td::kCommonButtons[k];
    if (!(in_.commonButtons & common.flag)) continue;
    const std::string text = k < in_.commonButtonTexts.size() ? in_.commonButtonTexts[k] : std::string();
    place(common.id, common.id, text);
  }
  if (rowWidth > 0) {
    rowWidth -= m_.buttonGap;
    left -= m_.buttonGap;
  }
  state_.rowWidth = rowWidth;
  state_.rowHeight = rowHeight;
  right_ = std::max(right_, left);
  top_ += std::max(columnHeight, rowHeight);
}

void LayoutPass::Footer() {
  const int margin = m_.margin;
  if (in_.footer) {
    state_.footerSeparator = top_ - collapsedShift_ + m_.bandGap;
    top_ += 2 * m_.bandGap;
    int left = margin;
    if (in_.hasFooterIcon) {
      Emit("STATIC", IDC_TD_FOOTER_ICON, {margin, top_, margin + m_.smallIcon, top_ + m_.smallIcon},
           td::kIconStaticStyle, {});
      left = margin + m_.smallIcon + m_.glyphGap;
    }
    const TextSize text = MeasureLinkText(*in_.footer, width_ - margin - left);
    const int h = std::max(text.cy, m_.smallIcon);
    Emit(LinkClass(), IDC_TD_FOOTER, {left, top_, left + text.cx, top_ + h}, LinkStyle(*in_.footer),
         LinkTemplateText(*in_.footer));
    right_ = std::max(right_, left + text.cx);
    top_ += h;
  }
  if (in_.expandedInformation && (in_.flags & td::kExpandFooterArea)) {
    state_.expandedFooterSeparator = top_ - collapsedShift_ + m_.bandGap;
    top_ += 2 * m_.bandGap;
    const TextSize text = MeasureLinkText(*in_.expandedInformation, width_ - 2 * margin);
    Emit(LinkClass(), IDC_TD_EXPANDED_INFORMATION, {margin, top_, margin + text.cx, top_ + text.cy},
         LinkStyle(*in_.expandedInformation), LinkTemplateText(*in_.expandedInformation), expanded_);
    right_ = std::max(right_, margin + text.cx);
    top_ += text.cy;
  }
}

}  // namespace

TaskDialogLayout LayOutTaskDialog(const TaskDialogLayoutInput& input, TextMeasurer& measurer, uint32_t cxWidth,
                                  bool expanded) {
  // Two measuring passes (the natural width, then the height at the chosen width), each leaving
  // the button row's width for the next, then the pass that lists the controls.
  TaskDialogLayout layout;
  const TextSize natural = LayoutPass(input, measurer, expanded, layout.state, kNaturalWidth, nullptr).Run();
  layout.width = std::max(natural.cx, input.metrics.naturalInstructionWidth);
  if (cxWidth != 0) layout.width = RoundingMulDiv(static_cast<int>(cxWidth), input.baseUnitX, 4);
  layout.height = LayoutPass(input, measurer, expanded, layout.state, layout.width, nullptr).Run().cy;
  LayoutPass(input, measurer, expanded, layout.state, layout.width, &layout.items).Run();
  return layout;
}

}  // namespace commonq
