#include "fileinfo/file_info_dialog.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstddef>
#include <new>

#include "fileinfo/logic/file_info_text.h"
#include "frame/export_call.h"
#include "frame/header_band.h"
#include "frame/high_contrast.h"
#include "frame/paint_session.h"
#include "frame/text_conversion.h"
#include "frame/unique_handle.h"
#include "resources/fileinfo_ids.h"

namespace commonq {

// The logic tier walks the caller's list through its own view of the public layout.
static_assert(sizeof(InfoNodeView) == sizeof(FileInfoNode));
static_assert(offsetof(InfoNodeView, type) == offsetof(FileInfoNode, type));
static_assert(offsetof(InfoNodeView, data) == offsetof(FileInfoNode, pData));
static_assert(offsetof(InfoNodeView, next) == offsetof(FileInfoNode, pNext));
static_assert(sizeof(ImageInfoView) == sizeof(ImageInfo));
static_assert(offsetof(ImageInfoView, width) == offsetof(ImageInfo, width));
static_assert(offsetof(ImageInfoView, bitsPerPixel) == offsetof(ImageInfo, bitsPerPixel));
static_assert(offsetof(ImageInfoView, alpha) == offsetof(ImageInfo, hasAlpha));
static_assert(kImageInfoNodeType == FILEINFO_NODE_IMAGE);
static_assert(IDCLOSE == 8);
static_assert(sizeof(void*) != 4 || sizeof(SHELLEXECUTEINFOA) == 60, "the shell's 32-bit record");

namespace {

constexpr int kBandBelowName = 32;
constexpr int kIconPixels = 32;
constexpr int kDateTimeChars = 128;
constexpr UINT kFileNameFormat = DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS;
static_assert(kFileNameFormat == 0x8920);

}  // namespace

FileInfoRequest ReadFileInfoRequest(const DlgFileInfoParams& params) noexcept {
  FileInfoRequest request;
  if (params.pszPath != nullptr) ::lstrcpynA(request.path, params.pszPath, static_cast<int>(sizeof request.path));
  request.modified = params.ftModified;
  request.fileSize = params.nFileSize;
  request.infoList = params.pInfoList;
  // A shorter record ends before these fields: they may lie in memory that is not the caller's.
  if (params.cbSize >= sizeof(DlgFileInfoParams)) request.previewDib = params.pPreviewDib;
  return request;
}

bool FileInfoDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      result = TRUE;
      return true;
    case WM_ERASEBKGND:
      OnEraseBackground(reinterpret_cast<HDC>(wParam));
      result = 1;
      return true;
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), result);
    case WM_PAINT:
      OnPaint();
      result = 0;
      return true;
    case WM_PRINTCLIENT:
      if (lParam & PRF_ERASEBKGND) OnEraseBackground(reinterpret_cast<HDC>(wParam));
      if (lParam & PRF_CLIENT) PaintContent(reinterpret_cast<HDC>(wParam));
      result = 0;
      return true;
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      if (IsColourChange(message, wParam)) RepaintForNewColours(Window(), message, wParam, lParam);
      return false;
    default:
      return false;
  }
}

void FileInfoDialog::OnInitDialog() {
  HWND dialog = Window();
  CenterDialog(dialog);
  if (translator_.LoadLanguage(kDialogTranslationBase)) {
    translator_.TranslateDialog(dialog, IDD_FILE_INFO);
    translator_.TranslateControl(dialog, IDCLOSE);
  }

  char name[kPathBytes] = {};
  ::lstrcpynA(name, request_.path, static_cast<int>(sizeof name));
  StripToFileName(name, sizeof name);
  ::SetDlgItemTextA(dialog, IDC_FILE_INFO_NAME, name);

  SHFILEINFOA info{};
  const bool typed = ::SHGetFileInfoA(request_.path, FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                                      SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES) != 0;
  ::SetDlgItemTextA(dialog, IDC_FILE_INFO_TYPE, typed ? info.szTypeName : "");

  // PathAddBackslashA would write its terminator past the buffer when the folder fills it.
  char folder[kPathBytes] = {};
  ::lstrcpynA(folder, request_.path, static_cast<int>(sizeof folder));
  ::PathRemoveFileSpecA(folder);
  ::SetDlgItemTextA(dialog, IDC_FILE_INFO_FOLDER, FolderWithBackslash(folder, &IsSystemLeadByte).c_str());

  PutModificationTime();

  const ImageGroupText image =
      BuildImageGroup(CollectImageInfo(reinterpret_cast<const InfoNodeView*>(request_.infoList)));
  if (!image.values.empty()) {
    ::SetDlgItemTextA(dialog, IDC_FILE_INFO_IMAGE_LABELS, image.labels.c_str());
    ::SetDlgItemTextA(dialog, IDC_FILE_INFO_IMAGE_VALUES, image.values.c_str());
  }

  PutSize(IDC_FILE_INFO_DISK_SIZE, DiskSizeKb(request_.fileSize), true);
  PutSize(IDC_FILE_INFO_RAM_SIZE, image.memoryKb, image.memoryKb > 0);
  if (!::PathFileExistsA(request_.path)) ::EnableWindow(::GetDlgItem(dialog, IDC_FILE_INFO_PROPERTIES), FALSE);

  // The caller's bitmap is read here, before the dialog shows, and never again.
  if (request_.previewDib != nullptr) {
    preview_ = std::make_unique<PreviewDib>();
    if (!preview_->CopyFrom(request_.previewDib)) preview_.reset();
  }
}

void FileInfoDialog::PutModificationTime() {
  std::string text;
  FILETIME local{};
  SYSTEMTIME time{};
  if (::FileTimeToLocalFileTime(&request_.modified, &local) && ::FileTimeToSystemTime(&local, &time)) {
    char date[kDateTimeChars] = {};
    char clock[kDateTimeChars] = {};
    ::GetDateFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, date, kDateTimeChars);
    ::GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, kDateTimeChars);
    text = std::string(date) + " " + clock + " ";
  }
  ::SetDlgItemTextA(Window(), IDC_FILE_INFO_MODIFIED, text.c_str());
}

void FileInfoDialog::PutSize(int controlId, std::int32_t kb, bool shown) {
  // The control's text, perhaps translated, is the format.
  const std::string text =
      shown ? FormatKb(DialogItemText(Window(), controlId, kPathBytes), static_cast<std::uint32_t>(kb)) : "";
  ::SetDlgItemTextA(Window(), controlId, text.c_str());
}

RECT FileInfoDialog::ControlRect(int controlId) const {
  RECT rect{};
  HWND control = ::GetDlgItem(Window(), controlId);
  if (control == nullptr) return rect;
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void FileInfoDialog::OnEraseBackground(HDC dc) {
  EraseHeaderBand(Window(), dc, ControlRect(IDC_FILE_INFO_NAME).bottom + kBandBelowName);
}

bool FileInfoDialog::OnCtlColorStatic(HDC dc, HWND control, LRESULT& result) {
  const int id = ::GetDlgCtrlID(control);
  if (id != IDC_FILE_INFO_NAME && id != IDC_FILE_INFO_TYPE) return false;
  if (HighContrastOn()) {
    ::SetTextColor(dc, HighContrastColour(NamedColour::kBandText));
    ::SetBkColor(dc, HighContrastColour(NamedColour::kBand));
  }
  result = reinterpret_cast<LRESULT>(BandBrush());
  return true;
}

void FileInfoDialog::OnPaint() {
  const PaintSession paint(Window());
  if (paint) PaintContent(paint.get());
}

void FileInfoDialog::PaintContent(HDC dc) {
  if (dc == nullptr) return;
  const SavedDcState keep(dc);
  SHFILEINFOA info{};
  if (::SHGetFileInfoA(request_.path, FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_ICON | SHGFI_USEFILEATTRIBUTES)) {
    const UniqueIcon icon(info.hIcon);
    const RECT at = ControlRect(IDC_FILE_INFO_ICON);
    if (icon) ::DrawIconEx(dc, at.left, at.top, icon.get(), kIconPixels, kIconPixels, 0, nullptr, DI_NORMAL);
  }
  PaintFileName(dc);
  if (preview_ != nullptr) {
    const RECT box = ControlRect(IDC_FILE_INFO_PREVIEW);
    preview_->DrawPreview(dc, box.left, box.top);
  }
}

void FileInfoDialog::PaintFileName(HDC dc) {
  const UniqueFont bold = BoldDialogFont(Window(), dc);
  const std::string name = DialogItemText(Window(), IDC_FILE_INFO_NAME, kPathBytes);
  RECT rect = ControlRect(IDC_FILE_INFO_NAME);
  const SelectedObject selected(dc, bold ? static_cast<HGDIOBJ>(bold.get()) : ::GetCurrentObject(dc, OBJ_FONT));
  if (HighContrastOn()) {
    ::SetTextColor(dc, HighContrastColour(NamedColour::kBandText));
    ::SetBkColor(dc, HighContrastColour(NamedColour::kBand));
  }
  ::DrawTextA(dc, name.c_str(), static_cast<int>(name.size()), &rect, kFileNameFormat);
}

bool FileInfoDialog::OnCommand(int id) {
  switch (id) {
    case IDC_FILE_INFO_PROPERTIES: {
      SHELLEXECUTEINFOA execute{};
      execute.cbSize = sizeof execute;
      execute.fMask = SEE_MASK_INVOKEIDLIST;
      execute.hwnd = Window();
      execute.lpVerb = "properties";
      execute.lpFile = request_.path;
      ::ShellExecuteExA(&execute);
      return true;
    }
    case IDCLOSE:
    case IDCANCEL:
      ::EndDialog(Window(), id);
      return true;
    default:
      return false;
  }
}

int RunFileInfoDialog(const DlgFileInfoParams& params) {
  std::unique_ptr<FileInfoDialog> dialog(new (std::nothrow) FileInfoDialog(ReadFileInfoRequest(params)));
  if (dialog == nullptr) return static_cast<int>(kDialogFailed);
  return static_cast<int>(dialog->RunModal(IDD_FILE_INFO, ::GetActiveWindow()));
}

}  // namespace commonq

extern "C" int __cdecl DlgFileInfoDoModal(const DlgFileInfoParams* params) noexcept {
  try {
    if (params == nullptr) return 0;
    commonq::ExportCall call;
    if (!call.Started()) return 0;
    return commonq::RunFileInfoDialog(*params);
  } catch (const std::bad_alloc&) {
    return static_cast<int>(commonq::kDialogFailed);
  } catch (...) {
    return 0;
  }
}
