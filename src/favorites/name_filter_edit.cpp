#include "favorites/name_filter_edit.h"

#include <string>

#include "favorites/logic/favorite_rules.h"
#include "frame/text_conversion.h"

namespace commonq {
namespace {

bool KeyDown(int key) { return ::GetKeyState(key) < 0; }

void Refuse() { ::MessageBeep(0xFFFFFFFF); }

}  // namespace

bool NameFilterEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_CHAR:
      // A Unicode edit sees UTF-16 here; its codes from 128 up are never tested either, and below
      // 128 they are the same characters.
      if (wParam >= 0x100 || !IsForbiddenNameCharacter(static_cast<unsigned char>(wParam)) ||
          !IsTypedCharacterTested(static_cast<unsigned char>(wParam), KeyDown(VK_CONTROL), KeyDown(VK_MENU))) {
        return false;
      }
      Refuse();
      result = 0;
      return true;
    case WM_SETTEXT:
      return OnSetText(lParam, result);
    case WM_PASTE:
      result = OnPaste(wParam, lParam);
      return true;
    default:
      return false;
  }
}

bool NameFilterEdit::OnSetText(LPARAM lParam, LRESULT& result) {
  const char* text = reinterpret_cast<const char*>(lParam);
  std::string narrow;
  if (text != nullptr && ::IsWindowUnicode(Window())) {
    const auto* wide = reinterpret_cast<const wchar_t*>(lParam);
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    narrow.assign(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow.data(), static_cast<int>(narrow.size()), nullptr, nullptr);
    text = narrow.c_str();
  }
  if (IsNameTextAllowed(text, &IsSystemLeadByte)) return false;
  Refuse();
  result = FALSE;
  return true;
}

LRESULT NameFilterEdit::OnPaste(WPARAM wParam, LPARAM lParam) {
  const std::string before = WindowText(Window());
  const LRESULT result = CallPrevious(WM_PASTE, wParam, lParam);
  if (!IsNameTextAllowed(WindowText(Window()).c_str(), &IsSystemLeadByte)) {
    ::SetWindowTextA(Window(), before.c_str());
    ::SendMessageA(Window(), EM_SETSEL, 0, 0);
    ::SendMessageA(Window(), EM_SCROLLCARET, 0, 0);
    Refuse();
  }
  return result;
}

}  // namespace commonq
