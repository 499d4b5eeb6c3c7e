#pragma once
// The "Name" box of Add a Favorite: keeps out the characters a file name may not hold. A refused
// keystroke, text or paste beeps and leaves the text as it was.
#include <windows.h>

#include "favorites/bound_control.h"

namespace commonq {

class NameFilterEdit : public BoundControl {
 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool OnSetText(LPARAM lParam, LRESULT& result);
  LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
};

}  // namespace commonq
