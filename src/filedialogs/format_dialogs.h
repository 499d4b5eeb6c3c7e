#pragma once
// The save options dialog of each format. Each reads its registry values when it opens and
// writes them back on OK; the host reads the same values when it writes a file.
#include <windows.h>

#include <memory>
#include <vector>

#include "filedialogs/format_dialog.h"
#include "filedialogs/logic/format_encodings.h"

namespace commonq {

class BitmapOptionsDialog : public FormatOptionsDialog {
 public:
  BitmapOptionsDialog() : FormatOptionsDialog(1010) {}

 private:
  void OnInitDialog() override;
  void OnOk() override;
  BitmapOptions options_;
};

class JpegOptionsDialog : public FormatOptionsDialog {
 public:
  JpegOptionsDialog() : FormatOptionsDialog(1019) {}

 private:
  void OnInitDialog() override;
  void OnOk() override;
  bool OnNotify(NMHDR& header, LRESULT& result) override;
  int encodingIndex_ = 0;
  int factor_ = kJpegDefaultFactor;
};

class PngOptionsDialog : public FormatOptionsDialog {
 public:
  PngOptionsDialog() : FormatOptionsDialog(1030) {}

 private:
  void OnInitDialog() override;
  void OnOk() override;
  PngOptions options_;
};

class RsrOptionsDialog : public FormatOptionsDialog {
 public:
  RsrOptionsDialog() : FormatOptionsDialog(1060) {}

 private:
  void OnInitDialog() override;
  void OnOk() override;
  RsrOptions options_;
};

class CarraraOptionsDialog : public FormatOptionsDialog {
 public:
  CarraraOptionsDialog() : FormatOptionsDialog(1160) {}

 private:
  void OnInitDialog() override;
  void OnOk() override;
  int formatIndex_ = kCarraraDefaultIndex;
};

// Shows only OK and Cancel: its interlacing buttons are hidden, and it keeps no setting.
class GifOptionsDialog : public FormatOptionsDialog {
 public:
  GifOptionsDialog() : FormatOptionsDialog(1040) {}

 private:
  void OnInitDialog() override;
  void OnOk() override;
  int interlaceIndex_ = 1;
};

// The Wavefront page shown inside the 3D dialog; it keeps its settings for the dialog's OK.
class WavefrontOptionsPage : public DialogWindow {
 public:
  // Creates the page window as a child of `parent`; null when that fails.
  HWND Create(HWND parent);
  // Reads the page's controls into its settings.
  void ReadControls();
  const WavefrontOptions& Options() const noexcept { return options_; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void OnInitDialog();
  void EnableTextureControls();
  WavefrontOptions options_;
};

// A control taken over to hold pages: it shows one page at a time over its client area.
class PageHost {
 public:
  PageHost() = default;
  PageHost(const PageHost&) = delete;
  PageHost& operator=(const PageHost&) = delete;
  ~PageHost();

  bool Attach(HWND control);
  HWND Window() const noexcept { return window_; }
  void AddPage(HWND page);
  bool SelectPage(int index);

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self) noexcept;
  void FitPage() const;
  void Notify(UINT code, LRESULT* answer) const;

  HWND window_ = nullptr;
  std::vector<HWND> pages_;
  int selected_ = -1;
  HWND selectedPage_ = nullptr;
};

class ObjOptionsDialog : public FormatOptionsDialog {
 public:
  ObjOptionsDialog() : FormatOptionsDialog(1063) {}

 private:
  void OnInitDialog() override;
  void OnOk() override;
  bool OnCommand(int id, int code) override;
  // Reads the scale box; false (after the message or the beep) when it holds no valid scale.
  bool ReadScale();
  void ShowScaleError();

  ObjPlacement placement_;
  float scale_ = 100.0f;
  PageHost host_;
  WavefrontOptionsPage page_;
};

}  // namespace commonq
