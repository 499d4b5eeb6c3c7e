#pragma once
// The centring rule shared by the library's dialogs, as plain arithmetic on rectangles.

namespace commonq {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

struct Point {
  int x = 0;
  int y = 0;
};

// Top-left corner for a window of the given size centred on `centre` and pulled back inside
// `area`. Each half is divided separately, rounding toward zero, and a window larger than the
// area ends at the area's right (bottom) edge.
Point CenteredPosition(int width, int height, const Rect& centre, const Rect& area);

}  // namespace commonq
