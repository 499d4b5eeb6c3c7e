#include "taskdialog/logic/dialog_units.h"

#include <climits>
#include <utility>

namespace commonq {

int RoundingMulDiv(int number, int numerator, int denominator) noexcept {
  if (denominator == 0) return -1;
  const int64_t product = static_cast<int64_t>(number) * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  const uint64_t magnitude = product < 0 ? static_cast<uint64_t>(-product) : static_cast<uint64_t>(product);
  const uint64_t divisor =
      denominator < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(denominator)) : static_cast<uint64_t>(denominator);
  const uint64_t quotient = (magnitude + divisor / 2) / divisor;
  if (quotient > static_cast<uint64_t>(INT_MAX)) return -1;
  return negative ? -static_cast<int>(quotient) : static_cast<int>(quotient);
}

DialogUnitRect PixelsToDialogUnits(int left, int top, int right, int bottom, int bx, int by) noexcept {
  DialogUnitRect units;
  units.x = RoundingMulDiv(left, 4, bx);
  units.y = RoundingMulDiv(top, 8, by);
  units.cx = RoundingMulDiv(right, 4, bx) - units.x;
  units.cy = RoundingMulDiv(bottom, 8, by) - units.y;
  return units;
}

TemplateItem LaidOutTemplateItem(const LayoutItem& item, int bx, int by, std::u16string className,
                                 std::u16string text) {
  const DialogUnitRect units =
      PixelsToDialogUnits(item.rect.left, item.rect.top, item.rect.right, item.rect.bottom, bx, by);
  TemplateItem out;
  out.windowClass = TemplateName::Text(std::move(className));
  out.id = static_cast<uint32_t>(item.id);
  out.x = static_cast<int16_t>(units.x);
  out.y = static_cast<int16_t>(units.y);
  out.cx = static_cast<int16_t>(units.cx);
  out.cy = static_cast<int16_t>(units.cy);
  out.style = item.style | kItemBaseStyle;
  if (!item.visible) out.style &= ~kItemVisible;
  out.text = TemplateName::Text(std::move(text));
  return out;
}

}  // namespace commonq
