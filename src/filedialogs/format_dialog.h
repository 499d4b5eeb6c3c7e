#pragma once
// What every format's save options dialog shares: the run, OK and Cancel, the registry access,
// radio groups and check boxes, centring and translation.
#include <windows.h>

#include <cstdint>
#include <optional>

#include "frame/dialog_base.h"
#include "frame/dialog_translator.h"

namespace commonq {

// Shows the options dialog of `extension` (with its dot) over the active window. Returns 1 (OK)
// or 2 (Cancel) as the dialog ended, -1 when it could not run, and 1 for an extension that has
// no dialog.
int RunFormatOptionsDialog(const char* extension);

// The radio group that starts at `firstId`: the following controls in template order up to the
// next WS_GROUP control; only those that call themselves radio buttons count.
void PutRadioGroup(HWND dialog, int firstId, int index) noexcept;
int ReadRadioGroup(HWND dialog, int firstId) noexcept;
void PutCheck(HWND dialog, int id, int state) noexcept;
int ReadCheck(HWND dialog, int id) noexcept;

// A REG_DWORD of the format key; none when the key, the value or its type is missing.
std::optional<std::uint32_t> ReadFormatValue(const char* name);
// Dropped silently when the key cannot be created.
void WriteFormatValue(const char* name, std::uint32_t value) noexcept;

class FormatOptionsDialog : public DialogWindow {
 public:
  explicit FormatOptionsDialog(int templateId) : templateId_(templateId) {}
  int TemplateId() const noexcept { return templateId_; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  // Reads the settings and puts them into the controls.
  virtual void OnInitDialog() = 0;
  // Reads the controls, stores the settings and ends the dialog with IDOK (or keeps it open).
  virtual void OnOk() = 0;
  // Commands and notifications of the format's own controls.
  virtual bool OnCommand(int, int) { return false; }
  virtual bool OnNotify(NMHDR&, LRESULT&) { return false; }

  // Centres the dialog and, unless `translated` is false, translates its texts.
  void CenterAndTranslate(bool translated = true);

 private:
  int templateId_;
  DialogTranslator translator_;
};

}  // namespace commonq
