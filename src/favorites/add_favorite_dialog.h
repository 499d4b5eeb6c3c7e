#pragma once
// DlgFavDoAddTo: "Add a Favorite" (template 1180). The user names a favorite and picks, or makes,
// a folder of the host's favorites tree; "Add" returns the path of the shortcut to create.
#include <windows.h>

#include <cstdint>
#include <string>

#include "CommonQ.h"
#include "favorites/folder_combo.h"
#include "favorites/name_filter_edit.h"
#include "favorites/options_toggle.h"
#include "frame/dialog_base.h"
#include "frame/dialog_translator.h"

namespace commonq {

inline constexpr int kAddFavoriteTemplate = 1180;

class AddFavoriteDialog : public DialogWindow {
 public:
  static constexpr int kIconControl = 1181;
  static constexpr int kTitleControl = 1182;
  static constexpr int kSubtitleControl = 1183;
  static constexpr int kNameLabel = 1184;
  static constexpr int kNameEdit = 1185;
  static constexpr int kFolderCombo = 1187;
  static constexpr int kNewFolderButton = 1188;
  static constexpr int kOptionsToggle = 1189;
  static constexpr int kRestoreCheck = 1190;
  static constexpr int kOptionsTravel = 39;

  explicit AddFavoriteDialog(DlgFavParams& params);

  // Runs the dialog over the active window; 1 (Add), 2 (Cancel) or -1.
  int Run();

  // Reads "OptGlb"; unless `optionOnly`, also the restore option and the remembered folder.
  std::uint32_t LoadFavoriteSettings(bool optionOnly);
  void SaveFavoriteSettings();

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void OnInitDialog();
  void OnAdd();
  void OnNewFolder();
  void EraseBand(HDC dc) const;
  void PaintTitle(HDC dc) const;
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
