#pragma once
// The "Show options" / "Hide options" disclosure of Add a Favorite: an owner-drawn check box with
// a small picture that grows or shrinks the dialog in a short animation.
#include <windows.h>

#include <string>
#include <vector>

#include "favorites/bound_control.h"
#include "favorites/logic/favorite_rules.h"
#include "frame/unique_handle.h"

namespace commonq {

class OptionsToggle : public BoundControl {
 public:
  static constexpr UINT_PTR kTimerId = 1;
  static constexpr UINT kTickMilliseconds = 33;
  static constexpr DWORD kDurationMilliseconds = 200;
  // The colour of the pictures that lets the face show through.
  static constexpr COLORREF kTransparent = RGB(255, 0, 255);

  // Binds the check box of `dialog` and makes it owner-drawn (no other style bit changes).
  bool Attach(HWND checkBox, WindowBinding& dialog);
  // Cuts the two pictures, side by side in `bitmap`, into images of their own.
  bool CutImages(HBITMAP bitmap);
  // Stores the texts and the travel and closes the toggle at once, without an animation: the
  // dialog shrinks by `travel` pixels.
  void StartClosed(const std::string& openText, const std::string& closedText, int travel);

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnUnbind() override { StopTimer(); }

 private:
  void ShowState();
  void OnClick();
  void OnTimer();
  bool Step(int distance);
  void HideCutOffControls();
  void StopTimer();
  void Draw(const DRAWITEMSTRUCT& item) const;
  void DrawPicture(HDC dc, HBITMAP picture) const;

  UniqueBitmap images_[2];
  int imageWidth_ = 0;
  int imageHeight_ = 0;
  bool closed_ = false;
  UniqueTimer timer_;
  DWORD endTime_ = 0;
  DisclosureTravel travel_;
  std::string openText_;
  std::string closedText_;
  // The dialog's controls that the closed panel cuts off, hidden so the keyboard cannot reach them.
  std::vector<HWND> cutOff_;
};

}  // namespace commonq
