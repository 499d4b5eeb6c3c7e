#include "favorites/add_favorite_dialog.h"

#include <shlwapi.h>

#include <cstring>

#include "favorites/logic/favorite_rules.h"
#include "frame/export_call.h"
#include "frame/header_band.h"
#include "frame/high_contrast.h"
#include "frame/paint_session.h"
#include "frame/settings_store.h"
#include "frame/text_conversion.h"
#include "resources/favorites_ids.h"
#include "taskdialog/task_message_box.h"

namespace commonq {
namespace {

constexpr const char* kFolderValue = "FavDoAddTo";
constexpr const char* kOptionValue = "OptGlb";
constexpr UINT kOverwriteQuestionType = MB_YESNO | MB_ICONEXCLAMATION;
constexpr UINT kTitleFormat = DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS;
// The band ends this far below the subtitle.
constexpr int kBandBelowSubtitle = 20;
// The title text is read with this limit, so up to 258 characters.
constexpr int kTitleTextBytes = 259;

void CopyField(char (&field)[kPathBytes], const std::string& text) {
  std::memset(field, 0, sizeof field);
  ::lstrcpynA(field, text.c_str(), sizeof field);
}

std::string FieldText(const char (&field)[kPathBytes]) { return std::string(field, ::strnlen(field, sizeof field)); }

}  // namespace

AddFavoriteDialog::AddFavoriteDialog(DlgFavParams& params)
    : params_(params), titleColour_(::GetSysColor(COLOR_BTNTEXT)), name_(FieldText(params.szName)) {}

int AddFavoriteDialog::Run() { return static_cast<int>(RunModal(IDD_ADD_FAVORITE, ::GetActiveWindow())); }

void AddFavoriteDialog::LoadFavoriteSettings() {
  if ((ReadDwordSetting(kOptionKey, kOptionValue).value_or(0) & kRestoreLastFolderBit) != 0) restoreLastFolder_ = 1;
  const std::optional<std::string> folder = ReadStringSetting(kFolderKey, kFolderValue);
  if (folder && ::PathFileExistsA(folder->c_str())) CopyField(params_.szFolder, *folder);
}

void AddFavoriteDialog::SaveFavoriteSettings() {
  WriteStringSetting(kFolderKey, kFolderValue, FieldText(params_.szFolder));
  const bool restore = restoreLastFolder_ == 1;
  UpdateDwordSetting(kOptionKey, kOptionValue, [restore](std::optional<DWORD> read) -> std::optional<DWORD> {
    return OptionBitsToWrite(read, restore);
  });
}

std::string AddFavoriteDialog::Text(UINT id) { return translator_.LoadTextOr(id, id); }

bool AddFavoriteDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      result = TRUE;
      return true;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          OnAdd();
          return true;
        case IDCANCEL:
          ::EndDialog(Window(), IDCANCEL);
          return true;
        case IDC_FAVORITE_NEW_FOLDER:
          OnNewFolder();
          return true;
        default:
          return lParam != 0 && Reflect(message, wParam, lParam, result);
      }
    case WM_ERASEBKGND:
      EraseBand(reinterpret_cast<HDC>(wParam));
      result = 1;
      return true;
    case WM_PAINT:
      if (wParam != 0) {
        PaintContent(reinterpret_cast<HDC>(wParam));
      } else {
        const PaintSession paint(Window());
        PaintContent(paint.get());
      }
      result = 0;
      return true;
    case WM_PRINTCLIENT:
      if (lParam & PRF_ERASEBKGND) EraseBand(reinterpret_cast<HDC>(wParam));
      if (lParam & PRF_CLIENT) PaintContent(reinterpret_cast<HDC>(wParam));
      result = 0;
      return true;
    case WM_CTLCOLORSTATIC: {
      const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (id == IDC_FAVORITE_ICON || id == IDC_FAVORITE_TITLE || id == IDC_FAVORITE_SUBTITLE) {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        if (HighContrastOn()) {
          ::SetTextColor(dc, HighContrastColour(NamedColour::kBandText));
          ::SetBkColor(dc, HighContrastColour(NamedColour::kBand));
          result = reinterpret_cast<LRESULT>(HighContrastBrush(NamedColour::kBand));
        } else {
          ::SetBkColor(dc, RGB(255, 255, 255));
          result = reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
        }
        return true;
      }
      return false;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      if (IsColourChange(message, wParam)) RepaintForNewColours(Window(), message, wParam, lParam);
      return false;
    default:
      return Reflect(message, wParam, lParam, result);
  }
}

// The messages the folder combo and the options toggle draw and act on go back to the control
// that sent them, as message + 0x2000.
bool AddFavoriteDialog::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
  HWND target = nullptr;
  switch (message) {
    case WM_COMMAND:
      target = reinterpret_cast<HWND>(lParam);
      break;
    case WM_DRAWITEM:
      if (lParam != 0) target = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
      // All three records start with the control type and id.
      if (wParam != 0 && lParam != 0) {
        target = ::GetDlgItem(Window(), static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID));
      }
      break;
    default:
      return false;
  }
  if (target == nullptr || !::IsWindow(target)) return false;
  result = ::SendMessageA(target, Reflected(message), wParam, lParam);
  return true;
}

void AddFavoriteDialog::OnInitDialog() {
  LoadFavoriteSettings();

  nameEdit_.Bind(::GetDlgItem(Window(), IDC_FAVORITE_NAME), *this);
  ::SetDlgItemTextA(Window(), IDC_FAVORITE_NAME, name_.c_str());

  folders_.Setup(::GetDlgItem(Window(), IDC_FAVORITE_FOLDER), *this);

  if (toggle_.Attach(::GetDlgItem(Window(), IDC_FAVORITE_OPTIONS), *this)) {
    UniqueBitmap art(static_cast<HBITMAP>(
        ::LoadImageA(LibraryInstance(), MAKEINTRESOURCEA(IDB_DISCLOSURE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (art) toggle_.CutImages(art.get());
  }

  ::CheckDlgButton(Window(), IDC_FAVORITE_RESTORE, static_cast<UINT>(restoreLastFolder_));

  CenterDialog(Window());
  if (translator_.LoadLanguage(kDialogTranslationBase)) {
    translator_.TranslateDialog(Window(), IDD_ADD_FAVORITE);
    translator_.SetExplicitStringId(IDS_LANGUAGE_FAVORITE_NAME);
    translator_.TranslateControl(Window(), IDC_FAVORITE_NAME_LABEL);
    translator_.SetExplicitStringId(IDS_NEW_FOLDER);
    translator_.TranslateControl(Window(), IDC_FAVORITE_NEW_FOLDER);
    translator_.SetExplicitStringId(IDS_LANGUAGE_ADD);
    translator_.TranslateControl(Window(), IDOK);
  }

  const std::string root = FieldText(params_.szRoot);
  folders_.FillTree(root);
  folders_.SelectPath(restoreLastFolder_ == 1 ? FieldText(params_.szFolder) : root);

  toggle_.StartClosed(Text(IDS_HIDE_OPTIONS), Text(IDS_SHOW_OPTIONS), kOptionsTravel);
}

void AddFavoriteDialog::RefuseTooLong() {
  const std::string title = Text(IDS_FAVORITE_TOO_LONG);
  const std::string text = Text(IDS_FAVORITE_TOO_LONG_TEXT);
  TaskMessageBox(Window(), title.c_str(), text.c_str(), MB_OK | MB_ICONEXCLAMATION);
  ::SetFocus(::GetDlgItem(Window(), IDC_FAVORITE_NAME));
}

void AddFavoriteDialog::OnAdd() {
  restoreLastFolder_ = static_cast<int>(::IsDlgButtonChecked(Window(), IDC_FAVORITE_RESTORE));
  name_ = TrimName(DialogItemText(Window(), IDC_FAVORITE_NAME), &IsSystemLeadByte);

  // With nothing selected (a remembered folder outside the tree), the root is used.
  if (folders_.SelectedIndex() < 0 && !folders_.Entries().empty())
    ::SendMessageA(folders_.Window(), CB_SETCURSEL, 0, 0);
  const std::string folder = folders_.SelectedPath();
  const std::optional<std::string> path = ComposeShortcutPath(folder, name_, &IsSystemLeadByte);
  if (!path) {
    RefuseTooLong();
    return;
  }
  CopyField(params_.szFolder, folder);
  CopyField(params_.szName, *path);

  if (::PathFileExistsA(path->c_str())) {
    const std::string question = FormatOverwriteQuestion(Text(IDS_OVERWRITE_QUESTION), name_, &IsSystemLeadByte);
    const std::string instruction = Text(IDS_CONFIRM_OVERWRITE);
    if (TaskMessageBox(Window(), instruction.c_str(), question.c_str(), kOverwriteQuestionType) != IDYES) return;
  }
  SaveFavoriteSettings();
  ::EndDialog(Window(), IDOK);
}

void AddFavoriteDialog::OnNewFolder() {
  BrowseForNewFolder(Window(), folders_, FieldText(params_.szRoot), Text(IDS_NEW_FOLDER));
}

RECT AddFavoriteDialog::ControlRect(int id) const {
  RECT rect{};
  HWND control = ::GetDlgItem(Window(), id);
  if (control == nullptr) return rect;
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int AddFavoriteDialog::BandBottom() const { return ControlRect(IDC_FAVORITE_SUBTITLE).bottom + kBandBelowSubtitle; }

void AddFavoriteDialog::EraseBand(HDC dc) const { EraseHeaderBand(Window(), dc, BandBottom()); }

// The title band's text; the icon is control 1181's own.
void AddFavoriteDialog::PaintContent(HDC dc) const {
  if (dc == nullptr) return;
  const SavedDcState keep(dc);
  char title[kTitleTextBytes] = {};
  ::GetDlgItemTextA(Window(), IDC_FAVORITE_TITLE, title, kTitleTextBytes);
  const UniqueFont bold = BoldDialogFont(Window(), dc);
  RECT rect = ControlRect(IDC_FAVORITE_TITLE);
  ::FillRect(dc, &rect, BandBrush());
  SelectedObject selected(dc, bold ? static_cast<HGDIOBJ>(bold.get()) : ::GetCurrentObject(dc, OBJ_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, HighContrastOn() ? HighContrastColour(NamedColour::kBandText) : titleColour_);
  ::DrawTextA(dc, title, -1, &rect, kTitleFormat);
}

}  // namespace commonq

extern "C" int __cdecl DlgFavDoAddTo(DlgFavParams* params) noexcept {
  try {
    if (params == nullptr) return 0;
    commonq::ExportCall call;
    if (!call.Started()) return 0;
    commonq::AddFavoriteDialog dialog(*params);
    return dialog.Run();
  } catch (...) {
    return 0;
  }
}
