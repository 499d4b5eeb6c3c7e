#include "frame/header_band.h"

#include "frame/high_contrast.h"

namespace commonq {

void EraseHeaderBand(HWND dialog, HDC dc, int bandBottom) noexcept {
  if (dc == nullptr) return;
  RECT client{};
  ::GetClientRect(dialog, &client);
  RECT band = client;
  band.bottom = bandBottom;
  ::FillRect(dc, &band, BandBrush());
  ::DrawEdge(dc, &band, EDGE_ETCHED, BF_BOTTOM);
  RECT face = client;
  face.top = band.bottom;
  if (face.top < face.bottom) ::FillRect(dc, &face, ::GetSysColorBrush(COLOR_BTNFACE));
}

UniqueFont BoldDialogFont(HWND dialog, HDC dc) noexcept {
  HGDIOBJ base = reinterpret_cast<HGDIOBJ>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
  if (base == nullptr) base = ::GetCurrentObject(dc, OBJ_FONT);
  LOGFONTA face{};
  if (base == nullptr || ::GetObjectA(base, sizeof face, &face) != sizeof face) {
    ::SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof face, &face, 0);
  }
  face.lfWeight = FW_BOLD;
  return UniqueFont(::CreateFontIndirectA(&face));
}

}  // namespace commonq
