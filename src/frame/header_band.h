#pragma once
// The header band of Add a Favorite and file information: a band in the window colour across the
// top of the dialog with an etched line below it, the face colour under it, and a bold title.
#include <windows.h>

#include "frame/unique_handle.h"

namespace commonq {

// Paints the band from the top of `dialog`'s client area down to `bandBottom`, and the face below.
void EraseHeaderBand(HWND dialog, HDC dc, int bandBottom) noexcept;

// The dialog's own font made bold (a paint DC starts with the system font, which would set the
// title apart from every other text of the dialog); empty when it cannot be made.
UniqueFont BoldDialogFont(HWND dialog, HDC dc) noexcept;

}  // namespace commonq
