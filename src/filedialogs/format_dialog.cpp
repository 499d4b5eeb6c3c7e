#include "filedialogs/format_dialog.h"

#include "filedialogs/format_dialogs.h"
#include "filedialogs/logic/file_dialog_rules.h"
#include "filedialogs/logic/format_encodings.h"
#include "frame/settings_store.h"

namespace commonq {
namespace {

bool IsRadioButton(HWND control) { return (::SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0; }

bool StartsGroup(HWND control) { return (::GetWindowLongA(control, GWL_STYLE) & WS_GROUP) != 0; }

// Calls `visit(button, number)` for each radio button of the group starting at `firstId`.
template <typename Visit>
void ForEachRadio(HWND dialog, int firstId, Visit visit) {
  HWND control = ::GetDlgItem(dialog, firstId);
  int number = 0;
  for (bool first = true; control != nullptr; control = ::GetWindow(control, GW_HWNDNEXT), first = false) {
    if (!first && StartsGroup(control)) break;
    if (IsRadioButton(control)) visit(control, number++);
  }
}

template <typename Dialog>
int Run(HWND parent) {
  Dialog dialog;
  return static_cast<int>(dialog.RunModal(dialog.TemplateId(), parent));
}

}  // namespace

void PutRadioGroup(HWND dialog, int firstId, int index) noexcept {
  ForEachRadio(dialog, firstId, [index](HWND button, int number) {
    ::SendMessageA(button, BM_SETCHECK, number == index ? BST_CHECKED : BST_UNCHECKED, 0);
  });
}

int ReadRadioGroup(HWND dialog, int firstId) noexcept {
  int checked = -1;
  ForEachRadio(dialog, firstId, [&checked](HWND button, int number) {
    if (checked < 0 && ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) checked = number;
  });
  return checked;
}

void PutCheck(HWND dialog, int id, int state) noexcept {
  ::SendDlgItemMessageA(dialog, id, BM_SETCHECK, static_cast<WPARAM>(CheckStateToPut(state)), 0);
}

int ReadCheck(HWND dialog, int id) noexcept {
  return static_cast<int>(::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

std::optional<std::uint32_t> ReadFormatValue(const char* name) {
  const std::optional<DWORD> value = ReadDwordSetting(kFormatKey, name);
  if (!value) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

void WriteFormatValue(const char* name, std::uint32_t value) noexcept {
  WriteDwordSetting(kFormatKey, name, static_cast<DWORD>(value));
}

bool FormatOptionsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      result = TRUE;
      return true;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK) {
        OnOk();
        return true;
      }
      if (id == IDCANCEL) {
        ::EndDialog(Window(), IDCANCEL);
        return true;
      }
      return OnCommand(id, HIWORD(wParam));
    }
    case WM_NOTIFY:
      return lParam != 0 && OnNotify(*reinterpret_cast<NMHDR*>(lParam), result);
    default:
      return false;
  }
}

void FormatOptionsDialog::CenterAndTranslate(bool translated) {
  CenterDialog(Window());
  if (!translated || !translator_.LoadLanguage(kDialogTranslationBase)) return;
  translator_.TranslateDialog(Window(), templateId_);
  translator_.TranslateControl(Window(), IDOK);
  translator_.TranslateControl(Window(), IDCANCEL);
}

int RunFormatOptionsDialog(const char* extension) {
  if (extension == nullptr) return IDOK;
  const FormatDialog kind = FindFormatDialog(extension);
  HWND parent = ::GetActiveWindow();
  switch (kind) {
    case FormatDialog::kBitmap:
      return Run<BitmapOptionsDialog>(parent);
    case FormatDialog::kGif:
      return Run<GifOptionsDialog>(parent);
    case FormatDialog::kJpeg:
      return Run<JpegOptionsDialog>(parent);
    case FormatDialog::kPng:
      return Run<PngOptionsDialog>(parent);
    case FormatDialog::kRsr:
      return Run<RsrOptionsDialog>(parent);
    case FormatDialog::kObj:
      return Run<ObjOptionsDialog>(parent);
    case FormatDialog::kCarrara:
      return Run<CarraraOptionsDialog>(parent);
    case FormatDialog::kNone:
      break;
  }
  return IDOK;
}

}  // namespace commonq
