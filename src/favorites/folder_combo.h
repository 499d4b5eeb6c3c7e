#pragma once
// The "Create in" box of Add a Favorite: an owner-drawn drop-down list of the whole folder tree
// below the favorites root, indented by depth, each folder with the shell's small folder icon.
// Beside each item it keeps the folder's full path and depth; the index links the two.
#include <windows.h>

#include <string>
#include <vector>

#include "favorites/bound_control.h"

namespace commonq {

struct FolderEntry {
  std::string path;  // full path, at most 259 characters
  int depth = 0;     // 0 for the root
};

class FolderCombo : public BoundControl {
 public:
  // Texts of this length or more are not drawn: the entry shows its icon only.
  static constexpr LRESULT kLongestDrawnText = 63;

  // Binds the combo of `dialog` and sets its item height, dropped width and visible items.
  bool Setup(HWND combo, WindowBinding& dialog);
  // The root, then every folder below it, depth first in the order the file system returns them.
  void FillTree(const std::string& root);
  // Inserts before the first entry whose path sorts after it (case-insensitive), or appends.
  int InsertEntry(const std::string& path, int depth);
  // Selects the first entry whose path equals `path` exactly; -1 (and no change) when none does.
  int SelectPath(const std::string& path);
  // The full path of the selected entry, or empty.
  std::string SelectedPath() const;
  int SelectedIndex() const;

  const std::vector<FolderEntry>& Entries() const noexcept { return entries_; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // The item text of `path`, its last component: a pointer into the path itself, or `buffer`
  // holding a reduced copy.
  static const char* DisplayText(const std::string& path, char (&buffer)[MAX_PATH]);
  void AddEntry(const std::string& path, int depth);
  void Enumerate(char (&folder)[MAX_PATH], std::size_t length, int depth);
  void DrawItem(const DRAWITEMSTRUCT& item) const;

  std::vector<FolderEntry> entries_;
  int itemHeight_ = 17;
};

// "New Folder": the shell's folder browser rooted at `root`, starting at the combo's selected
// folder; the chosen folder is inserted (even when it is listed already) and selected.
void BrowseForNewFolder(HWND dialog, FolderCombo& combo, const std::string& root, const std::string& title);

}  // namespace commonq
