#include "taskdialog/logic/task_dialog_metrics.h"

#include <algorithm>

#include "taskdialog/logic/dialog_units.h"
#include "taskdialog/logic/task_dialog_values.h"

namespace commonq {
namespace {

constexpr uint32_t kBaseStyle = 0x86C00081;  // WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION ...
constexpr uint32_t kMinimizeBox = 0x20000;
constexpr uint32_t kSystemMenu = 0x80000;
constexpr uint32_t kCenter = 0x800;
constexpr uint32_t kRtlExStyle = 0x401000;

int Channel(ColorValue color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

// The separator between the bands, after the luma step: near-white goes a little darker so the
// line stays visible, anything else a tenth lighter.
ColorValue LightenSeparator(ColorValue color) {
  const int r = Channel(color, 0);
  const int g = Channel(color, 8);
  const int b = Channel(color, 16);
  if (r > 240 && g > 240 && b > 240) return MakeColor(r - 8, g - 8, b - 8);
  const auto lighten = [](int c) { return c < 232 ? c + c / 10 : 255; };
  return MakeColor(lighten(r), lighten(g), lighten(b));
}

}  // namespace

TaskDialogMetrics MakeTaskDialogMetrics(int x, int y, const SystemSizes& sizes) {
  TaskDialogMetrics m;
  m.margin = 3 * x / 2;
  m.topMargin = 2 * y / 3;
  m.buttonInsetX = 3 * x;
  m.buttonInsetY = 3 * y / 10;
  m.linkInsetX = 2 * x;
  m.linkInsetY = y / 2;
  m.checkWidth = sizes.menuCheckWidth + 6;
  m.checkHeight = sizes.menuCheckHeight;
  m.indent = 3 * x / 2;
  m.buttonGap = x;
  m.rowGap = 40;
  m.smallIcon = sizes.smallIcon;
  m.largeIcon = sizes.largeIcon;
  m.glyph = 20;
  m.expando = 20;
  m.iconGap = 3 * x / 2;
  m.glyphGap = 3 * x / 2;
  m.instructionGap = 3 * y / 4;
  m.sectionGap = 3 * y / 2;
  m.radioGap = y / 2;
  m.checkGap = y / 3;
  m.bandGap = 2 * y / 3;
  m.progressHeight = y;
  m.leastButtonWidth = 4 * x;
  m.leastLinkWidth = 60 * x;
  m.labelWidth = 70 * x;
  m.naturalInstructionWidth = 60 * x;
  m.naturalContentWidth = 50 * x;
  m.naturalRadioWidth = 60 * x;
  m.naturalLinkWidth = 70 * x;
  m.naturalProgressWidth = 45 * x;
  return m;
}

TaskDialogPalette MakeTaskDialogPalette(const SystemColors& colors, ColorValue adjustedShadow, bool modernControls,
                                        bool highContrast) {
  TaskDialogPalette p;
  p.instruction = modernControls ? MakeColor(0, 51, 153) : colors.buttonText;
  p.shadow = colors.buttonShadow;
  p.highlight = colors.buttonHighlight;
  p.separator = LightenSeparator(adjustedShadow);
  p.band = modernControls ? colors.window : colors.buttonFace;
  p.face = colors.buttonFace;
  p.defaultLinkFrame = modernControls ? MakeColor(140, 232, 255) : MakeColor(140, 140, 140);
  if (highContrast) {
    // The system's own text on the band, its shadow for the line, its selection for the frame.
    p.instruction = modernControls ? colors.windowText : colors.buttonText;
    p.separator = colors.buttonShadow;
    p.defaultLinkFrame = colors.selection;
    p.highContrast = true;
    p.bandText = p.instruction;
    p.faceText = colors.buttonText;
  }
  return p;
}

DialogFrame MakeDialogFrame(uint32_t flags, int width, int height, int bx, int by, const ReferenceRect& reference) {
  DialogFrame frame;
  frame.style = kBaseStyle;
  if (flags & td::kCanBeMinimized) frame.style |= kMinimizeBox;
  if (flags & td::kAllowDialogCancellation) frame.style |= kSystemMenu;
  if (!(flags & td::kPositionRelativeToWindow)) frame.style |= kCenter;
  frame.exStyle = (flags & td::kRtlLayout) ? kRtlExStyle : 0;
  frame.cx = RoundingMulDiv(width, 4, bx);
  frame.cy = RoundingMulDiv(height, 8, by);
  const int l = RoundingMulDiv(reference.left, 4, bx);
  const int r = RoundingMulDiv(reference.right, 4, bx);
  const int t = RoundingMulDiv(reference.top, 8, by);
  const int b = RoundingMulDiv(reference.bottom, 8, by);
  frame.x = l + ((r - l) / 2 - frame.cx / 2);
  frame.y = t + ((b - t) / 2 - frame.cy / 2);
  return frame;
}

int ClassifyWindowsVersion(bool known, unsigned major, unsigned minor) {
  if (!known) return 5;
  if (major < 5) return 3;
  if (major == 5) return minor == 0 ? 4 : 5;
  if (major == 6 && minor == 0) return 6;
  return 7;
}

int TemplatePointSize(int fontHeight, int pixelsPerInch) {
  return fontHeight < 0 ? -RoundingMulDiv(fontHeight, 72, pixelsPerInch) : fontHeight;
}

int MainInstructionHeight(int bodyHeight, bool modernControls) {
  const int step = modernControls ? 4 : 2;
  return bodyHeight < 0 ? bodyHeight - step : bodyHeight + step;
}

int MainInstructionWeight(int bodyWeight, bool modernControls) {
  constexpr int kBold = 700;
  if (modernControls) return bodyWeight;
  return std::max(bodyWeight, kBold);
}

}  // namespace commonq
