#include "favorites/name_filter_edit.h"

#include <string>
#include <vector>

namespace commonq {
namespace {

bool SystemLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

bool KeyDown(int key) { return ::GetKeyState(key) < 0; }

std::string WindowTextA(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  return text.data();
}

void Refuse() { ::MessageBeep(0xFFFFFFFF); }

}  // namespace

bool NameFilterEdit::Attach(HWND edit) {
  sets_ = NameFilterSets{};
  return Bind(edit);
}

bool NameFilterEdit::IsTextAllowed(const char* text) const {
  return commonq::IsTextAllowed(sets_, text, &SystemLeadByte);
}

bool NameFilterEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_CHAR:
      return OnChar(wParam, lParam, result);
    case WM_KEYDOWN:
      return OnKeyDown(wParam, result);
    case WM_SETTEXT:
      return OnSetText(wParam, lParam, result);
    case WM_PASTE:
      result = OnPaste(wParam, lParam);
      return true;
    case WM_CREATE:
      result = CallPrevious(message, wParam, lParam);
      sets_ = NameFilterSets{};
      return true;
    default:
      return false;
  }
}

bool NameFilterEdit::OnChar(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // A Unicode edit sees UTF-16 here; its codes from 128 up are never tested either, and below
  // 128 they are the same characters.
  const bool tested = wParam < 0x100 &&
                      IsTypedCharacterTested(static_cast<unsigned char>(wParam), KeyDown(VK_CONTROL), KeyDown(VK_MENU));
  if (tested && IsCharacterRefused(sets_, static_cast<unsigned char>(wParam))) {
    Refuse();
    result = 0;
    return true;
  }
  result = CallPrevious(WM_CHAR, wParam, lParam);
  if ((sets_.modes & NameFilterSets::kAutoAdvance) != 0 && CaretAtLimit()) AdvanceFocus();
  return true;
}

bool NameFilterEdit::OnKeyDown(WPARAM wParam, LRESULT& result) {
  if (wParam != VK_RIGHT || (sets_.modes & NameFilterSets::kAutoAdvance) == 0 || !CaretAtLimit()) return false;
  AdvanceFocus();
  result = 0;
  return true;
}

bool NameFilterEdit::OnSetText(WPARAM, LPARAM lParam, LRESULT& result) {
  const char* text = reinterpret_cast<const char*>(lParam);
  std::string narrow;
  if (text != nullptr && ::IsWindowUnicode(Window())) {
    const auto* wide = reinterpret_cast<const wchar_t*>(lParam);
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    narrow.assign(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow.data(), static_cast<int>(narrow.size()), nullptr, nullptr);
    text = narrow.c_str();
  }
  if (IsTextAllowed(text)) return false;
  Refuse();
  result = FALSE;
  return true;
}

LRESULT NameFilterEdit::OnPaste(WPARAM wParam, LPARAM lParam) {
  const std::string before = WindowTextA(Window());
  const LRESULT result = CallPrevious(WM_PASTE, wParam, lParam);
  const std::string after = WindowTextA(Window());
  if (!IsTextAllowed(after.c_str())) {
    ::SetWindowTextA(Window(), before.c_str());
    ::SendMessageA(Window(), EM_SETSEL, 0, 0);
    ::SendMessageA(Window(), EM_SCROLLCARET, 0, 0);
    Refuse();
  }
  return result;
}

bool NameFilterEdit::CaretAtLimit() const {
  POINT caret{};
  if (!::GetCaretPos(&caret)) return false;
  const LRESULT position = ::SendMessageA(Window(), EM_CHARFROMPOS, 0, MAKELPARAM(caret.x, caret.y));
  const LRESULT limit = ::SendMessageA(Window(), EM_GETLIMITTEXT, 0, 0);
  return LOWORD(position) == limit;
}

void NameFilterEdit::AdvanceFocus() const {
  HWND parent = ::GetParent(Window());
  if (HWND next = ::GetNextDlgTabItem(parent, Window(), FALSE)) ::SetFocus(next);
}

}  // namespace commonq
