// Painting of the emulated task dialog: the two bands, the separator and etched lines, control
// colours, icon statics and the owner-drawn command links used before Windows 6.
#include <windows.h>

#include "taskdialog/task_dialog_run.h"
#include "taskdialog/task_dialog_values.h"

namespace commonq {
namespace {

constexpr int kGlyphSize = 20;
constexpr int kGlyphTop = 2;
constexpr int kHotInset = 2;
constexpr int kFrameCorner = 6;
constexpr int kLinkTextSize = 300;

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  ::SetBkColor(dc, color);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void EtchedLine(HDC dc, int y, int width, COLORREF shadow, COLORREF highlight) {
  Fill(dc, RECT{0, y, width, y + 1}, shadow);
  Fill(dc, RECT{0, y + 1, width, y + 2}, highlight);
}

}  // namespace

void TaskDialogRun::PaintBackground() const {
  const WindowDc dc(Window());
  if (!dc) return;
  RECT client{};
  ::GetClientRect(Window(), &client);
  const int w = client.right;
  const int band = layout_.bandLine;
  Fill(dc.get(), RECT{0, 0, w, band}, palette_.band);
  Fill(dc.get(), RECT{0, band, w, client.bottom}, palette_.face);
  Fill(dc.get(), RECT{0, band, w, band + 1}, palette_.separator);
  if (layout_.footerSeparator > 0)
    EtchedLine(dc.get(), layout_.footerSeparator, w, palette_.shadow, palette_.highlight);
  if (layout_.expandedFooterSeparator > 0) {
    EtchedLine(dc.get(), layout_.expandedFooterSeparator, w, palette_.shadow, palette_.highlight);
  }
}

HBRUSH TaskDialogRun::ControlColors(HDC dc, int id) const {
  const bool links = (config_.dwFlags & (TDF_USE_COMMAND_LINKS | TDF_USE_COMMAND_LINKS_NO_ICON)) != 0;
  bool onBand = id == td::kMainInstructionId || id == td::kMainIconId || id == td::kContentId ||
                (id >= td::kFirstRadioButtonId && id <= td::kLastRadioButtonId);
  if (links && id >= td::kFirstCustomButtonId && id <= td::kLastCustomButtonId) onBand = true;
  if (id == td::kExpandedInformationId && !(config_.dwFlags & TDF_EXPAND_FOOTER_AREA)) onBand = true;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBkColor(dc, onBand ? palette_.band : palette_.face);
  if (id == td::kMainInstructionId) ::SetTextColor(dc, palette_.instruction);
  const bool linkControl =
      platform_.modernControls && (id == td::kContentId || id == td::kExpandedInformationId || id == td::kFooterId);
  if (linkControl) {
    // Some SysLink implementations (Wine's) delete the brush they are handed after one paint; a
    // system colour brush of the same colour survives that, where the run's own would be lost
    // and every later fill with it would leave the control unpainted.
    return ::GetSysColorBrush(onBand && platform_.modernControls ? COLOR_WINDOW : COLOR_BTNFACE);
  }
  return onBand ? bandBrush_.get() : faceBrush_.get();
}

void TaskDialogRun::DrawIconStatic(const DRAWITEMSTRUCT& item, COLORREF color, HICON icon, int size) const {
  Fill(item.hDC, item.rcItem, color);
  if (icon != nullptr) {
    ::DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, icon, size, size, 0, nullptr, DI_NORMAL);
  }
}

void TaskDialogRun::DrawCommandLink(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  const SelectedObject keepPen(dc, ::GetStockObject(BLACK_PEN));
  const SelectedObject keepBrush(dc, ::GetStockObject(NULL_BRUSH));
  const SelectedObject keepFont(dc, bodyFont_.get());
  const int id = static_cast<int>(item.CtlID);
  const bool hot = id == hotLinkId_;
  RECT rect = item.rcItem;
  if (hot) {
    ::DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH);
    RECT inner = rect;
    ::InflateRect(&inner, -kHotInset, -kHotInset);
    Fill(dc, inner, palette_.band);
  } else if (item.itemAction & ODA_DRAWENTIRE) {
    Fill(dc, rect, palette_.band);
  }
  COLORREF frameColor = CLR_INVALID;
  if (item.itemState & ODS_SELECTED) {
    frameColor = ::GetSysColor(COLOR_BTNSHADOW);
  } else if (static_cast<uint32_t>(id) == layout_.defaultControlId) {
    frameColor = palette_.defaultLinkFrame;
  }
  if (frameColor != CLR_INVALID) {
    const UniquePen pen(::CreatePen(PS_SOLID, 1, frameColor));
    const SelectedObject usePen(dc, pen.get());
    ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, kFrameCorner, kFrameCorner);
  }
  ::InflateRect(&rect, -metrics_.linkInsetX, -metrics_.linkInsetY);
  if (!(config_.dwFlags & TDF_USE_COMMAND_LINKS_NO_ICON)) {
    HICON glyph = hot ? hotLinkGlyph_.get() : linkGlyph_.get();
    if (glyph != nullptr) {
      ::DrawIconEx(dc, rect.left, rect.top + kGlyphTop, glyph, kGlyphSize, kGlyphSize, 0, nullptr, DI_NORMAL);
    }
    rect.left += metrics_.glyph + metrics_.glyphGap;
  }
  char text[kLinkTextSize] = {};
  ::GetWindowTextA(item.hwndItem, text, kLinkTextSize);
  const CommandLinkText parts = SplitCommandLinkText(text);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, palette_.instruction);
  int titleHeight = 0;
  {
    const SelectedObject mainFont(dc, mainFont_.get());
    RECT measure{0, 0, rect.right - rect.left, 9999};
    if (!parts.title.empty()) {
      ::DrawTextA(dc, parts.title.c_str(), -1, &measure, DT_WORDBREAK | DT_CALCRECT);
      titleHeight = measure.bottom - measure.top + 1;
    }
    RECT titleRect = rect;
    ::DrawTextA(dc, parts.title.c_str(), -1, &titleRect, DT_WORDBREAK);
  }
  RECT noteRect = rect;
  noteRect.top = rect.top + titleHeight + 1;
  ::DrawTextA(dc, parts.note.c_str(), -1, &noteRect, DT_WORDBREAK | DT_NOPREFIX);
}

bool TaskDialogRun::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const int id = static_cast<int>(item.CtlID);
  if (id >= td::kFirstCustomButtonId && id <= td::kLastCustomButtonId) {
    if (!layout_.ownerDrawnLinks) return false;
    DrawCommandLink(item);
    return true;
  }
  switch (id) {
    case td::kMainIconId:
      DrawIconStatic(item, palette_.band, mainIcon_.get(), metrics_.largeIcon);
      return true;
    case td::kFooterIconId:
      DrawIconStatic(item, palette_.face, footerIcon_.get(), metrics_.smallIcon);
      return true;
    case td::kExpandoButtonId:
      DrawIconStatic(item, palette_.face, expanded_ ? expandedGlyph_.get() : collapsedGlyph_.get(), kGlyphSize);
      return true;
    default:
      return false;
  }
}

}  // namespace commonq
