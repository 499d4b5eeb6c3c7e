#pragma once
// The "Name" box of Add a Favorite: keeps out the characters a file name may not hold. A refused
// keystroke, text or paste beeps and leaves the text as it was.
#include <windows.h>

#include <string_view>

#include "favorites/bound_control.h"
#include "favorites/favorite_rules.h"

namespace commonq {

class NameFilterEdit : public BoundControl {
 public:
  // Binds the edit and clears both character sets and the modes.
  bool Attach(HWND edit);
  // Forbidden-set mode with these characters (at most 64).
  void ForbidCharacters(std::string_view characters) { sets_.Forbid(characters); }
  bool IsTextAllowed(const char* text) const;
  const NameFilterSets& Sets() const noexcept { return sets_; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool OnChar(WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnKeyDown(WPARAM wParam, LRESULT& result);
  bool OnSetText(WPARAM wParam, LPARAM lParam, LRESULT& result);
  LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
  bool CaretAtLimit() const;
  void AdvanceFocus() const;

  NameFilterSets sets_;
};

}  // namespace commonq
