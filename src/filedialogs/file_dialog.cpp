// DlgFileOpenDoModal and DlgFileSaveasDoModal: the system's Explorer-style Open and Save As
// dialogs with a hook of the library's, and in Save As the format options panel.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlwapi.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "CommonQ.h"
#include "filedialogs/format_dialog.h"
#include "filedialogs/logic/file_dialog_rules.h"
#include "filedialogs/logic/filter_list.h"
#include "filedialogs/modern_file_dialog.h"
#include "frame/dialog_base.h"
#include "frame/dialog_translator.h"
#include "frame/export_call.h"
#include "frame/logic/path_text.h"
#include "frame/platform_version.h"
#include "frame/settings_store.h"
#include "resources/filedialogs_ids.h"

namespace commonq {
namespace {

constexpr int kPanelTemplate = IDD_SAVEAS_PANEL;
constexpr const char* kCheckValue = "Check";
constexpr int kFileTitleChars = 256;
constexpr LRESULT kAcceptFile = 0;
constexpr LRESULT kRefuseFile = 1;

#ifndef _WIN64
static_assert(offsetof(DlgFileParams, nPromptMode) + sizeof(LONG) == kFileParamsFullSize);
static_assert(offsetof(DlgFileParams, nPromptMode) == kFileParamsShortSize);
#endif

// The structure up to lpTemplateName, as before Windows 2000 (OPENFILENAME_SIZE_VERSION_400A).
constexpr DWORD kOldStructureSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
#ifndef _WIN64
static_assert(sizeof(OPENFILENAMEA) == kOpenFileNameSize);
static_assert(kOldStructureSize == kOpenFileNameSizeOld);
#endif

DWORD StructureSize() {
  unsigned major = 0, minor = 0;
  if (!ReadWindowsVersion(major, minor)) return kOldStructureSize;
  const WindowsVersion version{major, minor};
  return UsesFullOpenFileName(&version) ? sizeof(OPENFILENAMEA) : kOldStructureSize;
}

class FileDialog : public DialogWindow {
 public:
  FileDialog(const DlgFileParams& params, bool open);
  int Run();
  const char* FileName() const noexcept { return file_; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool OnNotify(const NMHDR& header, LRESULT& result);
  void InitPanel();
  void OnTypeChange();
  void OnOptions();
  LRESULT OnFileOk();
  bool SelectedExtension(char (&extension)[kPathBytes]) const;
  bool HasPanel() const noexcept { return (ofn_.Flags & OFN_ENABLETEMPLATE) != 0; }

  OPENFILENAMEA ofn_{};
  bool open_;
  char fileTitle_[kFileTitleChars] = {};
  char file_[kPathBytes] = {};
  DialogTranslator translator_;
  int promptMode_ = 0;
  int promptValue_ = 0;
};

FileDialog::FileDialog(const DlgFileParams& params, bool open) : open_(open) {
  ofn_.lStructSize = StructureSize();
  ofn_.hwndOwner = params.hwndOwner;
  ofn_.hInstance = LibraryInstance();
  ofn_.lpstrFilter = params.pszFilter;
  ofn_.nFilterIndex = params.nFilterIndex;
  if (params.pszFile != nullptr) ::lstrcpynA(file_, params.pszFile, sizeof file_);
  ofn_.lpstrFile = file_;
  ofn_.nMaxFile = sizeof file_;
  ofn_.lpstrFileTitle = fileTitle_;
  ofn_.nMaxFileTitle = sizeof fileTitle_;
  ofn_.lpstrDefExt = params.pszDefExt;
  ofn_.Flags = FileDialogFlags(params.dwFlags, open);
  ofn_.lpfnHook = FileDialogHook();
  ofn_.lCustData = BindingParam();
  if (!open) {
    ofn_.lpTemplateName = MAKEINTRESOURCEA(kPanelTemplate);
    // A record too short for the prompt mode (28 bytes, or a bad size) has none; it is not read.
    promptMode_ = HasPromptField(params.cbSize) ? params.nPromptMode : 0;
  }
}

int FileDialog::Run() {
  if (ofn_.hwndOwner == nullptr) ofn_.hwndOwner = ::GetActiveWindow();
  const BOOL chosen = open_ ? ::GetOpenFileNameA(&ofn_) : ::GetSaveFileNameA(&ofn_);
  SetWindow(nullptr);
  // A panel handler that failed closed the dialog: the call did not do its work.
  if (AbandonedBy() != Abandoned::kNo) return 0;
  return chosen ? IDOK : IDCANCEL;
}

bool FileDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      if (open_) {
        CenterDialog(Window());
      } else {
        InitPanel();
      }
      result = TRUE;
      return true;
    case WM_COMMAND:
      if (open_ || LOWORD(wParam) != IDC_PANEL_OPTIONS) return false;
      OnOptions();
      result = 0;
      return true;
    case WM_NOTIFY:
      return lParam != 0 && OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
    default:
      return false;
  }
}

bool FileDialog::OnNotify(const NMHDR& header, LRESULT& result) {
  result = 0;
  switch (header.code) {
    case CDN_FILEOK:
      if (!open_) result = OnFileOk();
      return true;
    case CDN_TYPECHANGE:
      OnTypeChange();
      return true;
    case CDN_INCLUDEITEM:
      result = 1;
      return true;
    default:
      return false;
  }
}

void FileDialog::InitPanel() {
  HWND panel = Window();
  const LONG style = ::GetWindowLongA(panel, GWL_STYLE);
  if ((style & WS_CLIPCHILDREN) == 0) ::SetWindowLongA(panel, GWL_STYLE, style | WS_CLIPCHILDREN);

  if (promptMode_ != 0 && HasPanel()) {
    HWND check = ::GetDlgItem(panel, IDC_PANEL_PROMPT);
    ::ShowWindow(check, SW_SHOW);
    if (promptMode_ > 0) {
      ::EnableWindow(check, TRUE);
      const std::optional<std::uint32_t> stored = FormatKey::ReadNumber(kCheckValue);
      if (PromptValueFromCheck(stored.has_value(), stored.value_or(0)) == 1) promptValue_ = 1;
    }
  }
  ::SendDlgItemMessageA(panel, IDC_PANEL_PROMPT, BM_SETCHECK, static_cast<WPARAM>(promptValue_), 0);
  CenterDialog(panel);

  if (translator_.LoadLanguage(kDialogTranslationBase)) {
    translator_.TranslateDialog(panel, kPanelTemplate);
    translator_.SetExplicitStringId(IDS_PANEL_RECENT_FOLDERS);
    translator_.TranslateControl(panel, IDC_PANEL_RECENT_LABEL);
    translator_.SetExplicitStringId(IDS_PANEL_OPTIONS);
    translator_.TranslateControl(panel, IDC_PANEL_OPTIONS);
  }
  // The recent-folders label and combo box are kept in the panel but have no function.
  for (int id : {IDC_PANEL_RECENT_LABEL, IDC_PANEL_RECENT_FOLDERS}) {
    HWND control = ::GetDlgItem(panel, id);
    ::EnableWindow(control, FALSE);
    ::ShowWindow(control, SW_HIDE);
  }
}

bool FileDialog::SelectedExtension(char (&extension)[kPathBytes]) const {
  std::memset(extension, 0, sizeof extension);
  return GetFilterExtension(ofn_.lpstrFilter, ofn_.nFilterIndex, extension, sizeof extension);
}

void FileDialog::OnTypeChange() {
  char extension[kPathBytes];
  HWND options = ::GetDlgItem(Window(), IDC_PANEL_OPTIONS);
  if (!SelectedExtension(extension)) {
    ::EnableWindow(options, FALSE);
    return;
  }
  HWND dialog = ::GetParent(Window());
  char path[kPathBytes] = {};
  if (::SendMessageA(dialog, CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path)) > 0) {
    StripToFileName(path, sizeof path);
    ::PathRenameExtensionA(path, extension);
    // Windows maps edt1 to its file name box; a dialog without that control (Wine's) names the
    // box cmb13, which is then set directly.
    const int nameBox = ::GetDlgItem(dialog, edt1) == nullptr && ::GetDlgItem(dialog, cmb13) != nullptr ? cmb13 : edt1;
    ::SendMessageA(dialog, CDM_SETCONTROLTEXT, nameBox, reinterpret_cast<LPARAM>(path));
  }
  ::SendMessageA(dialog, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(extension + 1));
  if (options != nullptr && !::IsWindowEnabled(options)) ::EnableWindow(options, TRUE);
}

void FileDialog::OnOptions() {
  char extension[kPathBytes];
  if (SelectedExtension(extension)) RunFormatOptionsDialog(extension);
}

LRESULT FileDialog::OnFileOk() {
  promptValue_ = static_cast<int>(::SendDlgItemMessageA(Window(), IDC_PANEL_PROMPT, BM_GETCHECK, 0, 0));
  if (promptMode_ <= 0) return kAcceptFile;
  if (HasPanel()) FormatKey().Write(kCheckValue, promptValue_ == 1 ? 1 : 0);
  char extension[kPathBytes];
  if (!HasPanel() || promptValue_ == 0 || !SelectedExtension(extension)) return kAcceptFile;
  return RunFormatOptionsDialog(extension) == IDCANCEL ? kRefuseFile : kAcceptFile;
}

int RunFileDialog(DlgFileParams* params, bool open) {
  ExportCall call;
  if (!call.Started()) return 0;
  // Windows 6 and later show the modern dialog; the classic one runs when that is asked for, and
  // when the modern one cannot be created.
  if (ShowsModernFileDialog(*params)) {
    if (const std::optional<int> result = RunModernFileDialog(*params, open)) return *result;
  }
  auto dialog = std::make_unique<FileDialog>(*params, open);
  const int result = dialog->Run();
  if (result == IDOK && params->pszFile != nullptr) {
    std::memset(params->pszFile, 0, kPathBytes);
    ::lstrcpynA(params->pszFile, dialog->FileName(), static_cast<int>(kPathBytes));
  }
  return result;
}

}  // namespace
}  // namespace commonq

extern "C" int __cdecl DlgFileOpenDoModal(DlgFileParams* params) noexcept {
  try {
    if (params == nullptr) return 0;
    return commonq::RunFileDialog(params, true);
  } catch (...) {
    return 0;
  }
}

extern "C" int __cdecl DlgFileSaveasDoModal(DlgFileParams* params) noexcept {
  try {
    if (params == nullptr) return 0;
    return commonq::RunFileDialog(params, false);
  } catch (...) {
    return 0;
  }
}
