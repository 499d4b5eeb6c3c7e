#pragma once
// DlgFavDoAddTo: "Add a Favorite". The user names a favorite and picks, or makes,
// a folder of the host's favorites tree; "Add" returns the path of the shortcut to create.
#include <windows.h>

#include <string>

#include "CommonQ.h"
#include "favorites/folder_combo.h"
#include "favorites/name_filter_edit.h"
#include "favorites/options_toggle.h"
#include "frame/dialog_base.h"
#include "frame/dialog_translator.h"

namespace commonq {

class AddFavoriteDialog : public DialogWindow {
 public:
  // How far the options panel grows the dialog, in pixels.
  static constexpr int kOptionsTravel = 39;

  explicit AddFavoriteDialog(DlgFavParams& params);

  // Runs the dialog over the active window; 1 (Add), 2 (Cancel) or -1.
  int Run();

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // Reads the restore option from "OptGlb" and the remembered folder.
  void LoadFavoriteSettings();
  void SaveFavoriteSettings();
  void OnInitDialog();
  void OnAdd();
  void OnNewFolder();
  void EraseBand(HDC dc) const;
  // What WM_PAINT and WM_PRINTCLIENT paint, into the DC they bring.
  void PaintContent(HDC dc) const;
  int BandBottom() const;
  RECT ControlRect(int id) const;
  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const;
  // A text of the language file, else the library's own.
  std::string Text(UINT id);
  void RefuseTooLong();

  DlgFavParams& params_;
  COLORREF titleColour_;
  DialogTranslator translator_;
  NameFilterEdit nameEdit_;
  std::string name_;
  FolderCombo folders_;
  OptionsToggle toggle_;
  int restoreLastFolder_ = 0;
};

}  // namespace commonq
