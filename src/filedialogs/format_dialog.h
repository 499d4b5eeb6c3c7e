#pragma once
// The format options dialogs: one dialog class run from the format table, the data exchange
// between a table's fields and a dialog's controls, and the one door to the Format key.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "filedialogs/logic/format_table.h"
#include "frame/dialog_base.h"
#include "frame/dialog_translator.h"
#include "frame/settings_store.h"

namespace commonq {

// Shows the options dialog of `extension` (with its dot) over `owner`, or over the active window
// when there is none. Returns 1 (OK) or 2 (Cancel) as the dialog ended, -1 when it could not run,
// and 1 for an extension that has no dialog.
int RunFormatOptionsDialog(const char* extension, HWND owner = nullptr);

// The one door to the Format key, where the file dialogs keep every setting. Each read opens and
// closes the key; an object holds it open for writing (created when missing), and its writes are
// dropped when that failed.
class FormatKey {
 public:
  FormatKey() noexcept : writer_(kFormatKey) {}
  // A REG_DWORD; none when the key, the value or its type is missing.
  static std::optional<std::uint32_t> ReadNumber(const char* name) { return ReadDwordSetting(kFormatKey, name); }
  static std::optional<std::string> ReadText(const char* name, std::size_t bufferBytes) {
    return ReadStringSetting(kFormatKey, name, bufferBytes);
  }
  void Write(const char* name, std::uint32_t value) const noexcept { writer_.WriteDword(name, value); }
  void Write(const char* name, const std::string& text) const noexcept { writer_.WriteString(name, text); }

 private:
  SettingsWriter writer_;
};

// The data exchange of a format's controls. A radio group is the first button's WS_GROUP run of
// controls up to the next WS_GROUP control; only the radio buttons in it count, hidden ones too.
// Load puts the stored value into the controls and returns whether one was stored; Read reads
// the controls into `values` and returns the value to store.
bool LoadFields(HWND dialog, const FormatTable& format, FieldValues& values);
std::uint32_t ReadFields(HWND dialog, const FormatTable& format, FieldValues& values) noexcept;

class FormatOptionsDialog : public DialogWindow {
 public:
  explicit FormatOptionsDialog(const FormatTable& format) noexcept : format_(format) {}
  int Run(HWND parent) { return static_cast<int>(RunModal(format_.templateId, parent)); }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  // Puts the stored settings into the controls, centres the dialog and translates it.
  virtual void OnInitDialog();
  // Stores the controls' settings and ends the dialog with IDOK (or keeps it open).
  virtual void OnOk();
  // Commands and notifications of the format's own controls.
  virtual bool OnCommand(int, int) { return false; }
  virtual bool OnNotify(NMHDR&, LRESULT&) { return false; }

  const FormatTable& format_;
  FieldValues values_{};

 private:
  DialogTranslator translator_;
};

// The 3D dialog, with its scale and its Wavefront page (obj_dialog.cpp).
int RunObjOptionsDialog(const FormatTable& format, HWND parent);

}  // namespace commonq
