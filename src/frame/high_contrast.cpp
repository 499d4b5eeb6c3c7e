#include "frame/high_contrast.h"

#include "frame/paint_session.h"
#include "frame/platform_checks.h"
#include "frame/unique_handle.h"

namespace commonq {

bool HighContrastOn() noexcept {
  HIGHCONTRASTA state{};
  state.cbSize = sizeof state;
  return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof state, &state, 0) &&
         (state.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

COLORREF HighContrastColour(NamedColour colour) noexcept { return ::GetSysColor(HighContrastSystemColour(colour)); }

HBRUSH HighContrastBrush(NamedColour colour) noexcept { return ::GetSysColorBrush(HighContrastSystemColour(colour)); }

HBRUSH BandBrush() noexcept {
  return HighContrastOn() ? HighContrastBrush(NamedColour::kBand) : static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
}

bool IsColourChange(UINT message, WPARAM wParam) noexcept {
  return message == WM_SYSCOLORCHANGE || (message == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST);
}

void RepaintForNewColours(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ::SendMessageA(child, message, wParam, lParam);
  }
  ::RedrawWindow(dialog, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void DrawHighContrastDisclosure(HDC dc, const RECT& rect, bool open) noexcept {
  const SavedDcState keep(dc);
  const int size = rect.right - rect.left < rect.bottom - rect.top ? rect.right - rect.left : rect.bottom - rect.top;
  if (size < 8) return;
  const UniquePen line(::CreatePen(PS_SOLID, size >= 16 ? 2 : 1, HighContrastColour(NamedColour::kGlyphLine)));
  const SelectedObject usePen(dc, line.get());
  const SelectedObject useBrush(dc, HighContrastBrush(NamedColour::kGlyphFill));
  ::Ellipse(dc, rect.left + 1, rect.top + 1, rect.left + size - 1, rect.top + size - 1);
  // The chevron points where the details go: up to fold them away, down to open them.
  const int cx = rect.left + size / 2, cy = rect.top + size / 2, arm = size / 5, d = open ? -1 : 1;
  const POINT chevron[] = {
      {cx - arm, cy - arm * d / 2 - d}, {cx, cy + arm * d / 2 + d}, {cx + arm, cy - arm * d / 2 - d}};
  ::Polyline(dc, chevron, 3);
}

}  // namespace commonq
