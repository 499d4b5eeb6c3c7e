#pragma once
// The file information dialog's preview: the caller's packed bitmap stretched once, as the dialog
// initialises, into a 32-bit copy of the dialog's own at its fitted size, drawn with a soft drop
// shadow of gradient fills in the 64 x 64 preview box.
#include <windows.h>

#include "fileinfo/logic/preview_rules.h"
#include "frame/unique_handle.h"

namespace commonq {

class PreviewDib {
 public:
  PreviewDib() = default;
  PreviewDib(const PreviewDib&) = delete;
  PreviewDib& operator=(const PreviewDib&) = delete;

  // Validates the packed DIB's header (the fields the layout needs, nothing beyond the layout is
  // read) and stretches its colour table and bits once into the fitted copy, the way the preview
  // was always drawn: COLORONCOLOR, proportions kept. The caller's memory is read here and never
  // again. Returns false, and leaves the preview empty, for a header the preview refuses or when
  // the copy cannot be made.
  bool CopyFrom(const BITMAPINFOHEADER* source) noexcept;
  bool Empty() const noexcept { return !fitted_; }

  // The fitted copy and its shadow in the 64 x 64 box at (left, top).
  void DrawPreview(HDC dc, int left, int top) const noexcept;
  // One piece of the shadow (directions and corners of GradientVertices).
  static void GradientRect(HDC dc, const Rect& rect, COLORREF color1, COLORREF color2, int direction,
                           int corner) noexcept;

 private:
  UniqueBitmap fitted_;  // a 32-bit DIB section
  const void* fittedBits_ = nullptr;
  BITMAPINFOHEADER fittedHeader_{};
  Rect picture_;  // where the copy lies in the box, from its top-left corner
};

}  // namespace commonq
