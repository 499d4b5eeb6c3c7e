#pragma once
// High contrast at paint time: whether the user has it on, and the colours of ours that give way
// to the system's while it is (the table is frame/logic/contrast_rules.h).
#include <windows.h>

#include "frame/logic/contrast_rules.h"

namespace commonq {

// Asked at every paint, so a dialog follows the user's switch while it is up.
bool HighContrastOn() noexcept;

// The system colour and brush that take `colour`'s part in high contrast.
COLORREF HighContrastColour(NamedColour colour) noexcept;
HBRUSH HighContrastBrush(NamedColour colour) noexcept;

// The white band under a dialog's title (Add a Favorite, file information), or the user's window
// colour in high contrast.
HBRUSH BandBrush() noexcept;

// True for the messages by which the system announces new colours or a high-contrast switch.
bool IsColourChange(UINT message, WPARAM wParam) noexcept;

// Repaints `dialog` with everything on it, and passes the colour change on to its children, as
// the common controls expect from their top-level window.
void RepaintForNewColours(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// The disclosure picture (a round button with a chevron pointing down when `open` is false, up
// when it is true) in `rect`, drawn with the high-contrast glyph colours instead of its bitmap.
void DrawHighContrastDisclosure(HDC dc, const RECT& rect, bool open) noexcept;

}  // namespace commonq
