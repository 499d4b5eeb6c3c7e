#include "favorites/options_toggle.h"

#include <algorithm>

#include "frame/dialog_base.h"
#include "frame/high_contrast.h"

namespace commonq {

bool OptionsToggle::Attach(HWND checkBox, WindowBinding& dialog) {
  if (!Bind(checkBox, dialog)) return false;
  ::SetWindowLongA(checkBox, GWL_STYLE, ::GetWindowLongA(checkBox, GWL_STYLE) | BS_OWNERDRAW);
  ::InvalidateRect(checkBox, nullptr, TRUE);
  return true;
}

bool OptionsToggle::CutImages(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof info, &info) == 0 || info.bmWidth < 2) return false;
  WindowDc screen(Window());
  UniqueMemoryDc source(::CreateCompatibleDC(screen.get()));
  UniqueMemoryDc target(::CreateCompatibleDC(screen.get()));
  if (!screen || !source || !target) return false;
  const int width = info.bmWidth / 2;
  SelectedObject sourceBitmap(source.get(), bitmap);
  for (int index = 0; index < 2; ++index) {
    images_[index].reset(::CreateCompatibleBitmap(screen.get(), width, info.bmHeight));
    if (!images_[index]) return false;
    SelectedObject targetBitmap(target.get(), images_[index].get());
    ::BitBlt(target.get(), 0, 0, width, info.bmHeight, source.get(), width * index, 0, SRCCOPY);
  }
  imageWidth_ = width;
  imageHeight_ = info.bmHeight;
  return true;
}

void OptionsToggle::StartClosed(const std::string& openText, const std::string& closedText, int travel) {
  openText_ = openText;
  closedText_ = closedText;
  travel_.span = travel;
  travel_.grownBy = travel;
  closed_ = true;
  ShowState();
  HWND dialog = ::GetParent(Window());
  RECT frame{};
  if (dialog == nullptr || !::GetWindowRect(dialog, &frame)) return;
  const int change = travel_.Move(travel_.span);
  if (change != 0) {
    ::SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + change,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
  }
  HideCutOffControls();
}

// A control below the dialog's visible part would still take the focus from Tab (the dialog
// manager only skips hidden and disabled ones), so it is hidden until the panel shows it again.
void OptionsToggle::HideCutOffControls() {
  HWND dialog = ::GetParent(Window());
  RECT client{};
  if (dialog == nullptr || !::GetClientRect(dialog, &client)) return;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    const auto known = std::find(cutOff_.begin(), cutOff_.end(), child);
    // The style, not IsWindowVisible: while the dialog starts, it is not shown yet itself.
    const bool shown = (::GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0;
    if (rect.top >= client.bottom && known == cutOff_.end() && shown) {
      if (child == ::GetFocus()) ::SetFocus(Window());
      ::ShowWindow(child, SW_HIDE);
      cutOff_.push_back(child);
    } else if (rect.top < client.bottom && known != cutOff_.end()) {
      ::ShowWindow(child, SW_SHOWNA);
      cutOff_.erase(known);
    }
  }
}

// The text of the state the toggle now shows, and the motion towards it: a toggle that closes
// shrinks the dialog, one that opens grows it.
void OptionsToggle::ShowState() {
  const std::string& text = closed_ ? closedText_ : openText_;
  if (!text.empty()) ::SetWindowTextA(Window(), text.c_str());
  travel_.motion = closed_ ? DisclosureTravel::Motion::kShrinking : DisclosureTravel::Motion::kGrowing;
}

bool OptionsToggle::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case Reflected(WM_COMMAND):
      if (HIWORD(wParam) != BN_CLICKED) return false;
      OnClick();
      result = 0;
      return true;
    case Reflected(WM_DRAWITEM):
      if (lParam == 0) return false;
      Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      result = TRUE;
      return true;
    case WM_TIMER:
      if (!timer_ || wParam != kTimerId) return false;
      OnTimer();
      result = 0;
      return true;
    case WM_GETDLGCODE:
      // Enter toggles the panel as Space does, instead of pressing the default button.
      result = CallPrevious(message, wParam, lParam);
      if (lParam != 0 && IsEnterKey(*reinterpret_cast<const MSG*>(lParam))) result |= DLGC_WANTMESSAGE;
      return true;
    case WM_KEYDOWN:
      if (wParam != VK_RETURN) return false;
      ::SendMessageA(Window(), BM_CLICK, 0, 0);
      result = 0;
      return true;
    case WM_LBUTTONDBLCLK:
      // A fast second click toggles again instead of being a double click.
      result = CallPrevious(WM_LBUTTONDOWN, wParam, lParam);
      return true;
    default:
      return false;
  }
}

void OptionsToggle::OnClick() {
  closed_ = !closed_;
  ::InvalidateRect(Window(), nullptr, TRUE);
  ShowState();
  StopTimer();
  endTime_ = ::GetTickCount() + kDurationMilliseconds;
  if (endTime_ == 0) endTime_ = 1;  // 0 means "no animation"
  timer_ = UniqueTimer(Window(), kTimerId, kTickMilliseconds);
  ::SendMessageA(Window(), WM_TIMER, kTimerId, 0);
  ::InvalidateRect(Window(), nullptr, TRUE);
}

void OptionsToggle::OnTimer() {
  if (endTime_ != 0) {
    if (static_cast<LONG>(::GetTickCount() - endTime_) >= 0) {
      endTime_ = 0;
      Step(travel_.span);
    } else if (Step(TickDistance(travel_.span))) {
      return;
    }
  }
  StopTimer();
}

bool OptionsToggle::Step(int distance) {
  HWND dialog = ::GetParent(Window());
  RECT frame{};
  if (dialog == nullptr || !::GetWindowRect(dialog, &frame)) return false;
  const int change = travel_.Move(distance);
  if (change == 0) return false;
  ::SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + change,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  HideCutOffControls();
  return true;
}

void OptionsToggle::StopTimer() {
  timer_.reset();
  endTime_ = 0;
}

void OptionsToggle::DrawPicture(HDC dc, HBITMAP picture) const {
  UniqueMemoryDc source(::CreateCompatibleDC(dc));
  UniqueMemoryDc maskDc(::CreateCompatibleDC(dc));
  UniqueBitmap mask(::CreateBitmap(imageWidth_, imageHeight_, 1, 1, nullptr));
  if (!source || !maskDc || !mask) return;
  SelectedObject sourcePicture(source.get(), picture);
  SelectedObject maskPicture(maskDc.get(), mask.get());
  // The transparent colour becomes white in the mask, everything else black.
  const COLORREF oldSourceBack = ::SetBkColor(source.get(), kTransparent);
  ::BitBlt(maskDc.get(), 0, 0, imageWidth_, imageHeight_, source.get(), 0, 0, SRCCOPY);
  ::SetBkColor(source.get(), oldSourceBack);
  const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
  ::BitBlt(dc, 0, 0, imageWidth_, imageHeight_, source.get(), 0, 0, SRCINVERT);
  ::BitBlt(dc, 0, 0, imageWidth_, imageHeight_, maskDc.get(), 0, 0, SRCAND);
  ::BitBlt(dc, 0, 0, imageWidth_, imageHeight_, source.get(), 0, 0, SRCINVERT);
  ::SetBkColor(dc, oldBack);
  ::SetTextColor(dc, oldText);
}

void OptionsToggle::Draw(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  // The text changes length between "Show" and "Hide"; the face is cleared so no letters linger.
  ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
  HBITMAP picture = images_[closed_ ? 1 : 0].get();
  if (picture != nullptr && imageWidth_ > 0) {
    // The bitmap's greys and white are ours, not the user's: high contrast draws the same shape.
    if (HighContrastOn()) {
      DrawHighContrastDisclosure(dc, RECT{0, 0, imageWidth_, imageHeight_}, !closed_);
    } else {
      DrawPicture(dc, picture);
    }
  }

  char text[127] = {};
  ::GetWindowTextA(Window(), text, sizeof text);
  if (text[0] == '\0') return;
  RECT textRect = item.rcItem;
  textRect.left = imageWidth_ + item.rcItem.left + 4;
  UINT format = DT_SINGLELINE | DT_VCENTER;
  if ((item.itemState & ODS_NOACCEL) != 0) format |= DT_HIDEPREFIX;
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(Window(), WM_GETFONT, 0, 0));
  SelectedObject selectedFont(dc, font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
  const COLORREF oldText = ::GetTextColor(dc);
  if ((item.itemState & ODS_DISABLED) != 0) {
    RECT shadow = textRect;
    ::OffsetRect(&shadow, 1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::DrawTextA(dc, text, -1, &shadow, format);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
  } else {
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  }
  ::DrawTextA(dc, text, -1, &textRect, format);
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    RECT focus = textRect;
    ::DrawTextA(dc, text, -1, &focus, format | DT_CALCRECT);
    // DT_CALCRECT keeps the top; centre the measured line as DT_VCENTER drew it.
    const int height = focus.bottom - focus.top;
    focus.top = textRect.top + (textRect.bottom - textRect.top - height) / 2;
    focus.bottom = focus.top + height;
    focus.left -= 1;
    focus.right += 1;
    focus.bottom += 1;
    ::DrawFocusRect(dc, &focus);
  }
  ::SetTextColor(dc, oldText);
  ::SetBkMode(dc, oldMode);
}

}  // namespace commonq
