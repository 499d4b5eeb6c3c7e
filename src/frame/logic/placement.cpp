#include "frame/logic/placement.h"

namespace commonq {
namespace {

int Clamp(int position, int size, int low, int high) {
  if (position < low) return low;
  if (position + size > high) return high - size;
  return position;
}

}  // namespace

Point CenteredPosition(int width, int height, const Rect& centre, const Rect& area) {
  const int x = (centre.left + centre.right) / 2 - width / 2;
  const int y = (centre.top + centre.bottom) / 2 - height / 2;
  return {Clamp(x, width, area.left, area.right), Clamp(y, height, area.top, area.bottom)};
}

}  // namespace commonq
