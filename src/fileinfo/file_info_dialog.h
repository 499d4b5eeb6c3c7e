#pragma once
// DlgFileInfoDoModal: the "Current File Information" dialog about one file.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "CommonQ.h"
#include "fileinfo/preview_dib.h"
#include "frame/dialog_base.h"
#include "frame/dialog_translator.h"
#include "frame/logic/path_text.h"

namespace commonq {

// What the dialog takes from the caller's record, read field by field so that nothing beyond
// cbSize is touched; the path is cut to the platform's 259 characters.
struct FileInfoRequest {
  char path[kPathBytes] = {};
  FILETIME modified{};
  LONG fileSize = 0;
  const FileInfoNode* infoList = nullptr;
  const BITMAPINFOHEADER* previewDib = nullptr;
};

FileInfoRequest ReadFileInfoRequest(const DlgFileInfoParams& params) noexcept;

class FileInfoDialog : public DialogWindow {
 public:
  explicit FileInfoDialog(const FileInfoRequest& request) : request_(request) {}

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void OnInitDialog();
  void OnEraseBackground(HDC dc);
  void OnPaint();
  // What WM_PAINT and WM_PRINTCLIENT paint (icon, file name, preview), into the DC they bring.
  void PaintContent(HDC dc);
  bool OnCtlColorStatic(HDC dc, HWND control, LRESULT& result);
  bool OnCommand(int id);

  void PutModificationTime();
  void PutSize(int controlId, std::int32_t kb, bool shown);
  RECT ControlRect(int controlId) const;
  void PaintFileName(HDC dc);

  DialogTranslator translator_;
  FileInfoRequest request_;
  std::unique_ptr<PreviewDib> preview_;
};

// Runs the dialog over the active window; the end code, or -1 when it cannot be shown.
int RunFileInfoDialog(const DlgFileInfoParams& params);

}  // namespace commonq
