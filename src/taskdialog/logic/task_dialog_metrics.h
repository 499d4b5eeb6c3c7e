#pragma once
// The measures and colours of the emulated task dialog that follow from the body font's base
// units and the system's colours, and the frame of its template.
#include <cstdint>

namespace commonq {

struct SystemSizes {
  int menuCheckWidth = 13;   // SM_CXMENUCHECK
  int menuCheckHeight = 13;  // SM_CYMENUCHECK
  int smallIcon = 16;        // SM_CYSMICON
  int largeIcon = 32;        // SM_CYICON
};

struct TaskDialogMetrics {
  int margin = 0;
  int topMargin = 0;
  int buttonInsetX = 0;
  int buttonInsetY = 0;
  int linkInsetX = 0;
  int linkInsetY = 0;
  int checkWidth = 0;
  int checkHeight = 0;
  int indent = 0;
  int buttonGap = 0;
  int rowGap = 0;
  int smallIcon = 0;
  int largeIcon = 0;
  int glyph = 0;
  int expando = 0;
  int iconGap = 0;
  int glyphGap = 0;
  int instructionGap = 0;
  int sectionGap = 0;
  int radioGap = 0;
  int checkGap = 0;
  int bandGap = 0;
  int progressHeight = 0;
  int leastButtonWidth = 0;
  int leastLinkWidth = 0;
  int labelWidth = 0;
  int naturalInstructionWidth = 0;
  int naturalContentWidth = 0;
  int naturalRadioWidth = 0;
  int naturalLinkWidth = 0;
  int naturalProgressWidth = 0;
};

TaskDialogMetrics MakeTaskDialogMetrics(int x, int y, const SystemSizes& sizes);

// A colour as COLORREF stores it: 0x00BBGGRR.
using ColorValue = uint32_t;
inline constexpr ColorValue MakeColor(int r, int g, int b) {
  return static_cast<ColorValue>(r) | (static_cast<ColorValue>(g) << 8) | (static_cast<ColorValue>(b) << 16);
}

struct SystemColors {
  ColorValue buttonText = 0;
  ColorValue buttonShadow = 0;
  ColorValue buttonHighlight = 0;
  ColorValue buttonFace = 0;
  ColorValue window = 0;
  ColorValue windowText = 0;
  ColorValue selection = 0;  // COLOR_HIGHLIGHT
};

struct TaskDialogPalette {
  ColorValue instruction = 0;
  ColorValue shadow = 0;
  ColorValue highlight = 0;
  ColorValue separator = 0;
  ColorValue band = 0;
  ColorValue face = 0;
  ColorValue defaultLinkFrame = 0;
  // High contrast only: the texts of the controls, which otherwise keep the system's default.
  bool highContrast = false;
  ColorValue bandText = 0;
  ColorValue faceText = 0;
};

// `adjustedShadow` is the shadow colour after the system's luma step (500 on Windows 6 and
// later, 300 before). In high contrast every colour is one of `colors`.
TaskDialogPalette MakeTaskDialogPalette(const SystemColors& colors, ColorValue adjustedShadow, bool modernControls,
                                        bool highContrast);
inline int SeparatorLumaStep(bool windows6) { return windows6 ? 500 : 300; }

struct DialogFrame {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
};

struct ReferenceRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Style, extended style, size and centred position in dialog units of a dialog of width x height
// pixels with base units bx, by, inside `reference` (pixels).
DialogFrame MakeDialogFrame(uint32_t flags, int width, int height, int bx, int by, const ReferenceRect& reference);

// The Windows version class of the task dialog: 3 before 5, 4 for 5.0, 5 for other 5.x and when
// the version cannot be read, 6 for 6.0, 7 for everything later.
int ClassifyWindowsVersion(bool known, unsigned major, unsigned minor);

// The template's point size for a font height in logical units at `pixelsPerInch`.
int TemplatePointSize(int fontHeight, int pixelsPerInch);

// The main instruction font's height: larger in magnitude by 4 (modern) or 2 (classic).
int MainInstructionHeight(int bodyHeight, bool modernControls);

// The main instruction font's weight: the body weight (modern), or bold (classic), kept when the
// body font is already heavier.
int MainInstructionWeight(int bodyWeight, bool modernControls);

}  // namespace commonq
