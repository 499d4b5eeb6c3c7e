// Painting of the emulated task dialog: the two bands, the separator and etched lines, control
// colours, icon statics and the owner-drawn command links used before Windows 6.
#include <windows.h>

#include <iterator>

#include "frame/dialog_base.h"
#include "frame/high_contrast.h"
#include "frame/paint_session.h"
#include "taskdialog/logic/task_dialog_values.h"
#include "taskdialog/task_dialog_paint.h"

namespace commonq {
namespace {

constexpr int kGlyphTop = 2;
constexpr int kHotInset = 2;
constexpr int kFrameCorner = 6;
constexpr int kLinkTextSize = 300;
constexpr int kMeasureHeight = 9999;
// The focus rectangle of a command link lies inside its frame and its hot border.
constexpr int kFocusInset = 3;

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  ::SetBkColor(dc, color);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void EtchedLine(HDC dc, int y, int width, COLORREF shadow, COLORREF highlight) {
  Fill(dc, RECT{0, y, width, y + 1}, shadow);
  Fill(dc, RECT{0, y + 1, width, y + 2}, highlight);
}

void DrawIconStatic(const DRAWITEMSTRUCT& item, COLORREF color, HICON icon, int size) {
  Fill(item.hDC, item.rcItem, color);
  if (icon != nullptr) {
    ::DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, icon, size, size, 0, nullptr, DI_NORMAL);
  }
}

// The command link's arrow in the link's text colour: the picture's greens are not the user's.
void DrawHighContrastArrow(HDC dc, int left, int top, COLORREF colour) {
  const POINT arrow[] = {{left + 3, top + 8},   {left + 10, top + 8},  {left + 10, top + 4}, {left + 17, top + 10},
                         {left + 10, top + 16}, {left + 10, top + 12}, {left + 3, top + 12}};
  const UniqueBrush fill(::CreateSolidBrush(colour));
  const UniquePen outline(::CreatePen(PS_SOLID, 1, colour));
  const SelectedObject usePen(dc, outline.get());
  const SelectedObject useBrush(dc, fill.get());
  ::Polygon(dc, arrow, static_cast<int>(std::size(arrow)));
}

}  // namespace

// Everything the dialog paints itself is background: the same picture for the screen's erase and
// for a print into any DC the system or a host hands over.
void TaskDialogPainter::PaintContent(HWND dialog, HDC dc) const {
  if (dc == nullptr) return;
  const SavedDcState keep(dc);
  RECT client{};
  ::GetClientRect(dialog, &client);
  const int w = client.right;
  const TaskDialogLayoutState& lines = state_.Layout().state;
  const int band = lines.bandLine;
  Fill(dc, RECT{0, 0, w, band}, model_.palette.band);
  Fill(dc, RECT{0, band, w, client.bottom}, model_.palette.face);
  Fill(dc, RECT{0, band, w, band + 1}, model_.palette.separator);
  if (lines.footerSeparator > 0)
    EtchedLine(dc, lines.footerSeparator, w, model_.palette.shadow, model_.palette.highlight);
  if (lines.expandedFooterSeparator > 0) {
    EtchedLine(dc, lines.expandedFooterSeparator, w, model_.palette.shadow, model_.palette.highlight);
  }
}

HBRUSH TaskDialogPainter::ControlColors(HDC dc, int id) const {
  const bool links = model_.CommandLinks();
  bool onBand = id == IDC_TD_MAIN_INSTRUCTION || id == IDC_TD_MAIN_ICON || id == IDC_TD_CONTENT ||
                (id >= IDC_TD_FIRST_RADIO && id <= IDC_TD_LAST_RADIO);
  if (links && id >= IDC_TD_FIRST_BUTTON && id <= IDC_TD_LAST_BUTTON) onBand = true;
  if (id == IDC_TD_EXPANDED_INFORMATION && !(model_.config.dwFlags & TDF_EXPAND_FOOTER_AREA)) onBand = true;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBkColor(dc, onBand ? model_.palette.band : model_.palette.face);
  if (model_.palette.highContrast) ::SetTextColor(dc, onBand ? model_.palette.bandText : model_.palette.faceText);
  if (id == IDC_TD_MAIN_INSTRUCTION) ::SetTextColor(dc, model_.palette.instruction);
  const bool linkControl = model_.platform.modernControls &&
                           (id == IDC_TD_CONTENT || id == IDC_TD_EXPANDED_INFORMATION || id == IDC_TD_FOOTER);
  if (linkControl) {
    // Some SysLink implementations (Wine's) delete the brush they are handed after one paint; a
    // system colour brush of the same colour survives that, where the run's own would be lost
    // and every later fill with it would leave the control unpainted.
    return ::GetSysColorBrush(onBand && model_.platform.modernControls ? COLOR_WINDOW : COLOR_BTNFACE);
  }
  return onBand ? model_.bandBrush.get() : model_.faceBrush.get();
}

void TaskDialogPainter::DrawCommandLink(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  RECT focus = item.rcItem;
  ::InflateRect(&focus, -kFocusInset, -kFocusInset);
  // A change of focus alone toggles the (inverting) focus rectangle.
  if (item.itemAction == ODA_FOCUS) {
    if ((item.itemState & ODS_NOFOCUSRECT) == 0) ::DrawFocusRect(dc, &focus);
    return;
  }
  const bool focusShown = (item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0;
  const SelectedObject keepPen(dc, ::GetStockObject(BLACK_PEN));
  const SelectedObject keepBrush(dc, ::GetStockObject(NULL_BRUSH));
  const SelectedObject keepFont(dc, model_.bodyFont.get());
  const int id = static_cast<int>(item.CtlID);
  const bool hot = id == state_.hotLinkId;
  RECT rect = item.rcItem;
  if (hot) {
    ::DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH);
    RECT inner = rect;
    ::InflateRect(&inner, -kHotInset, -kHotInset);
    Fill(dc, inner, model_.palette.band);
  } else if (item.itemAction & ODA_DRAWENTIRE) {
    Fill(dc, rect, model_.palette.band);
  }
  COLORREF frameColor = CLR_INVALID;
  if (item.itemState & ODS_SELECTED) {
    frameColor = ::GetSysColor(COLOR_BTNSHADOW);
  } else if (static_cast<uint32_t>(id) == state_.Layout().state.defaultControlId) {
    frameColor = model_.palette.defaultLinkFrame;
  }
  if (frameColor != CLR_INVALID) {
    const UniquePen pen(::CreatePen(PS_SOLID, 1, frameColor));
    const SelectedObject usePen(dc, pen.get());
    ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, kFrameCorner, kFrameCorner);
  }
  ::InflateRect(&rect, -model_.Metrics().linkInsetX, -model_.Metrics().linkInsetY);
  if (!(model_.config.dwFlags & TDF_USE_COMMAND_LINKS_NO_ICON)) {
    HICON glyph = hot ? model_.hotLinkGlyph.get() : model_.linkGlyph.get();
    if (model_.palette.highContrast) {
      DrawHighContrastArrow(dc, rect.left, rect.top + kGlyphTop, model_.palette.instruction);
    } else if (glyph != nullptr) {
      ::DrawIconEx(dc, rect.left, rect.top + kGlyphTop, glyph, kGlyphSize, kGlyphSize, 0, nullptr, DI_NORMAL);
    }
    rect.left += model_.Metrics().glyph + model_.Metrics().glyphGap;
  }
  DrawCommandLinkText(dc, rect, item.hwndItem);
  // On a repainted background; a press alone leaves the one already there.
  if (focusShown && (hot || (item.itemAction & ODA_DRAWENTIRE) != 0)) ::DrawFocusRect(dc, &focus);
}

// The link's title in the main font over its note in the body font, both in the instruction colour.
void TaskDialogPainter::DrawCommandLinkText(HDC dc, const RECT& rect, HWND link) const {
  char text[kLinkTextSize] = {};
  ::GetWindowTextA(link, text, kLinkTextSize);
  const CommandLinkText parts = SplitCommandLinkText(text);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, model_.palette.instruction);
  int titleHeight = 0;
  {
    const SelectedObject mainFont(dc, model_.mainFont.get());
    RECT measure{0, 0, rect.right - rect.left, kMeasureHeight};
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

bool TaskDialogPainter::OnDrawItem(const DRAWITEMSTRUCT& item) const {
  const int id = static_cast<int>(item.CtlID);
  if (id >= IDC_TD_FIRST_BUTTON && id <= IDC_TD_LAST_BUTTON) {
    if (!state_.Layout().state.ownerDrawnLinks) return false;
    DrawCommandLink(item);
    return true;
  }
  switch (id) {
    case IDC_TD_MAIN_ICON:
      DrawIconStatic(item, model_.palette.band, model_.mainIcon.get(), model_.Metrics().largeIcon);
      return true;
    case IDC_TD_FOOTER_ICON:
      DrawIconStatic(item, model_.palette.face, model_.footerIcon.get(), model_.Metrics().smallIcon);
      return true;
    case IDC_TD_EXPANDO_BUTTON:
      if (model_.palette.highContrast) {
        DrawIconStatic(item, model_.palette.face, nullptr, kGlyphSize);
        const RECT glyph{item.rcItem.left, item.rcItem.top, item.rcItem.left + kGlyphSize,
                         item.rcItem.top + kGlyphSize};
        DrawHighContrastDisclosure(item.hDC, glyph, state_.Expanded());
        return true;
      }
      DrawIconStatic(item, model_.palette.face,
                     state_.Expanded() ? model_.expandedGlyph.get() : model_.collapsedGlyph.get(), kGlyphSize);
      // A static is told nothing of its focus: the button asks (and repaints when it changes).
      if (::GetFocus() == item.hwndItem && ShowsFocusRectangle(item.hwndItem)) ::DrawFocusRect(item.hDC, &item.rcItem);
      return true;
    default:
      return false;
  }
}

}  // namespace commonq
