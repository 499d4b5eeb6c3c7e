#pragma once
// Places every control of an emulated task dialog, band by band, in client pixels.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/logic/placement.h"
#include "taskdialog/logic/task_dialog_metrics.h"
#include "taskdialog/logic/task_dialog_text.h"

namespace commonq {

enum class TextFont { kBody, kMain };

struct TextSize {
  int cx = 0;
  int cy = 0;
};

// Measures wrapped text the way DrawText with DT_CALCRECT does on (0, 0, width, 9999); an empty
// text measures (0, 0).
class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual TextSize Measure(std::string_view text, TextFont font, unsigned format, int width) = 0;
};

struct LayoutButton {
  int id = 0;
  std::string text;
};

// The resolved configuration, in the ANSI texts that the window functions show. A text that the
// configuration leaves null is absent (nullopt); an empty one is present.
struct TaskDialogLayoutInput {
  uint32_t flags = 0;
  uint32_t commonButtons = 0;
  int defaultButton = 0;
  bool hasMainIcon = false;
  bool hasFooterIcon = false;
  std::optional<std::string> mainInstruction;
  std::optional<std::string> content;
  std::optional<std::string> expandedInformation;
  std::optional<std::string> verification;
  std::optional<std::string> footer;
  std::string collapsedLabel;
  std::string expandedLabel;
  std::vector<LayoutButton> buttons;
  std::vector<LayoutButton> radioButtons;
  // Texts of the common buttons in the order of td::kCommonButtons.
  std::vector<std::string> commonButtonTexts;
  bool modernControls = false;
  bool windows6 = false;
  // The dialog base units of the body font in pixels: its average character width and its line
  // height. The template's dialog units are quarters and eighths of them.
  int baseUnitX = 0;
  int baseUnitY = 0;
  TaskDialogMetrics metrics;
  LeadBytePredicate isLeadByte = nullptr;
};

// What one pass leaves for the next pass (the button row) and for the painting (the lines).
struct TaskDialogLayoutState {
  int bandLine = 0;
  int footerSeparator = 0;
  int expandedFooterSeparator = 0;
  int rowWidth = 0;
  int rowHeight = 0;
  uint32_t defaultControlId = 0;
  bool ownerDrawnLinks = false;
};

using LayoutRect = Rect;

struct LayoutItem {
  std::string className;
  int id = 0;
  LayoutRect rect;
  uint32_t style = 0;
  std::string text;
  // False only for the details while they are collapsed.
  bool visible = true;
};

// The laid-out dialog: its client size in pixels, the lines the painting draws, and one item per
// control in tab order. Both expanded states list the same controls in the same order.
struct TaskDialogLayout {
  int width = 0;
  int height = 0;
  TaskDialogLayoutState state;
  std::vector<LayoutItem> items;
};

// The width rule: the natural width (at least the instruction's natural width), or cxWidth in
// dialog units when given; then the height and the controls at that width. The width does not
// depend on `expanded`, so the dialog keeps its width when the details open or close.
//
// Collapsed details in the content area stay in place, hidden, and everything below them moves up
// by the height their control has on the template's dialog-unit grid plus the band gap. Collapsed
// details in the footer area are hidden too (a hidden control keeps no tab stop), and the dialog
// ends above the etched line over them.
TaskDialogLayout LayOutTaskDialog(const TaskDialogLayoutInput& input, TextMeasurer& measurer, uint32_t cxWidth,
                                  bool expanded);

}  // namespace commonq
