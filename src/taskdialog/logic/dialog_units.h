#pragma once
// Pixel and dialog-unit conversions of the in-memory template.
#include <cstdint>
#include <string>

#include "taskdialog/logic/task_dialog_layout.h"
#include "taskdialog/logic/template_writer.h"

namespace commonq {

// number * numerator / denominator on 64 bits, rounded to the nearest integer with halves away
// from zero, as the system's MulDiv does; -1 for a zero denominator or a result that overflows.
int RoundingMulDiv(int number, int numerator, int denominator) noexcept;

struct DialogUnitRect {
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
};

// A client rectangle in pixels as dialog units for base units bx (horizontal) and by (vertical).
// The size is the difference of the converted edges, so adjacent controls stay adjacent.
DialogUnitRect PixelsToDialogUnits(int left, int top, int right, int bottom, int bx, int by) noexcept;

// The template item of one laid-out control for base units bx and by. The texts come converted,
// since that conversion needs the system's code page.
TemplateItem LaidOutTemplateItem(const LayoutItem& item, int bx, int by, std::u16string className, std::u16string text);

}  // namespace commonq
