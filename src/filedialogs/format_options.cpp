#include "filedialogs/format_options.h"

#include <commctrl.h>

#include <climits>
#include <cstring>
#include <string>

#include "resources/filedialogs_ids.h"

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

bool IsShown(HWND control) { return (::GetWindowLongA(control, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE; }

void ExchangeRadioGroup(HWND dialog, int firstId, int& index, bool read) {
  if (read) index = -1;
  HWND firstShown = nullptr;
  bool reachable = false;
  ForEachRadio(dialog, firstId, [&](HWND button, int number) {
    if (!read) {
      ::SendMessageA(button, BM_SETCHECK, number == index ? BST_CHECKED : BST_UNCHECKED, 0);
    } else if (index < 0 && ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      index = number;
    }
    if (firstShown == nullptr && IsShown(button)) firstShown = button;
    reachable = reachable || (IsShown(button) && (::GetWindowLongA(button, GWL_STYLE) & WS_TABSTOP) != 0);
  });
  // A checked button takes the group's tab stop; when that one is never shown (a stored 16-bit
  // bitmap) or none is checked, Tab enters the group at its first shown button instead.
  if (!read && !reachable && firstShown != nullptr) {
    ::SetWindowLongA(firstShown, GWL_STYLE, ::GetWindowLongA(firstShown, GWL_STYLE) | WS_TABSTOP);
  }
}

void ExchangeNumber(HWND dialog, int id, int& value, bool read) {
  if (!read) {
    ::SetDlgItemInt(dialog, id, static_cast<UINT>(value), FALSE);
    return;
  }
  BOOL isNumber = FALSE;
  const UINT number = ::GetDlgItemInt(dialog, id, &isNumber, FALSE);
  value = isNumber && number <= INT_MAX ? static_cast<int>(number) : kNotANumber;
}

// The one routine between a table's fields and the controls: puts `values` or reads them back.
void ExchangeFields(HWND dialog, const FormatTable& format, FieldValues& values, bool read) {
  for (std::size_t k = 0; k < format.fields.size() && k < values.size(); ++k) {
    const OptionField& field = format.fields[k];
    switch (field.kind) {
      case FieldKind::kRadioGroup:
        ExchangeRadioGroup(dialog, field.control, values[k], read);
        break;
      case FieldKind::kCheck:
        if (read) {
          values[k] = static_cast<int>(::SendDlgItemMessageA(dialog, field.control, BM_GETCHECK, 0, 0));
        } else {
          ::SendDlgItemMessageA(dialog, field.control, BM_SETCHECK, static_cast<WPARAM>(values[k]), 0);
        }
        break;
      case FieldKind::kNumber:
        ExchangeNumber(dialog, field.control, values[k], read);
        break;
    }
  }
}

}  // namespace

bool LoadFields(HWND dialog, const FormatTable& format, FieldValues& values) {
  const std::optional<std::uint32_t> stored =
      format.value != nullptr ? FormatKey::ReadNumber(format.value) : std::nullopt;
  values = DecodeFields(format.fields, stored);
  ExchangeFields(dialog, format, values, false);
  return stored.has_value();
}

std::uint32_t ReadFields(HWND dialog, const FormatTable& format, FieldValues& values) noexcept {
  ExchangeFields(dialog, format, values, true);
  return EncodeFields(format.fields, values);
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

void FormatOptionsDialog::OnInitDialog() {
  LoadFields(Window(), format_, values_);
  CenterDialog(Window());
  if (!format_.translated || !translator_.LoadLanguage(kDialogTranslationBase)) return;
  translator_.TranslateDialog(Window(), format_.templateId);
  translator_.TranslateControl(Window(), IDOK);
  translator_.TranslateControl(Window(), IDCANCEL);
}

void FormatOptionsDialog::OnOk() {
  const std::uint32_t bits = ReadFields(Window(), format_, values_);
  if (format_.value != nullptr) FormatKey().Write(format_.value, bits);
  ::EndDialog(Window(), IDOK);
}

int RunTableFormatOptionsDialog(const FormatTable& format, HWND parent) {
  return FormatOptionsDialog(format).Run(parent);
}

}  // namespace commonq
