#include "favorites/folder_combo.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "favorites/logic/favorite_rules.h"
#include "frame/com_ptr.h"
#include "frame/guarded_callback.h"
#include "frame/logic/path_text.h"
#include "frame/platform_version.h"
#include "frame/text_conversion.h"
#include "frame/unique_handle.h"

namespace commonq {
namespace {

using ShellFolder = ComPtr<IShellFolder>;

ShellFolder Desktop() {
  ShellFolder desktop;
  if (FAILED(::SHGetDesktopFolder(desktop.put()))) return ShellFolder();
  return desktop;
}

// `path` (absolute, or relative to `folder`) as an id list relative to `folder`.
UniqueItemIdList ParseBelow(IShellFolder* folder, const std::string& path) {
  std::wstring wide = WidenAnsi(path);
  UniqueItemIdList parsed;
  if (folder == nullptr ||
      FAILED(folder->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, parsed.put(), nullptr))) {
    return UniqueItemIdList();
  }
  return parsed;
}

// The bytes of an id list before its terminator. Ids may start at any offset, so their sizes are
// read bytewise.
std::size_t IdListBytes(LPCITEMIDLIST list) {
  const auto* bytes = reinterpret_cast<const BYTE*>(list);
  std::size_t length = 0;
  for (USHORT size = 0;; length += size) {
    std::memcpy(&size, bytes + length, sizeof size);
    if (size == 0) break;
  }
  return length;
}

// One browse of "New Folder": the callback opens the browser at `initialPath`, a folder of the
// tree below `rootPath`.
struct FolderBrowser {
  BROWSEINFOA info{};
  std::string rootPath;
  std::string initialPath;
  char displayName[MAX_PATH] = {};
  char path[MAX_PATH] = {};
  UniqueItemIdList chosen;
  CarriedFailure failure;

  // The initial folder as the browser compares it. Wine's browser matches the leading ids of a
  // selection byte for byte against its root's, and an id carries the folder's times, access time
  // included: the same path parsed again after the browser has listed the tree can differ from
  // the root's ids, and the selection would be dropped. So the selection is the root's own id
  // list followed by the rest of the path, parsed below the root. Empty when there is none.
  std::vector<BYTE> InitialSelection() const {
    const auto* root = static_cast<LPCITEMIDLIST>(info.pidlRoot);
    const std::size_t rootLength = rootPath.size();
    if (initialPath.size() <= rootLength || initialPath.compare(0, rootLength, rootPath) != 0) return {};
    const ShellFolder desktop = Desktop();
    ShellFolder folder;
    if (!desktop ||
        FAILED(desktop.get()->BindToObject(root, nullptr, IID_IShellFolder, reinterpret_cast<void**>(folder.put())))) {
      return {};
    }
    const std::size_t below = rootLength + (initialPath[rootLength] == '\\' ? 1 : 0);
    const UniqueItemIdList relative = ParseBelow(folder.get(), initialPath.substr(below));
    if (!relative) return {};
    std::vector<BYTE> list;
    for (LPCITEMIDLIST part : {root, static_cast<LPCITEMIDLIST>(relative.get())}) {
      const auto* bytes = reinterpret_cast<const BYTE*>(part);
      list.insert(list.end(), bytes, bytes + IdListBytes(part));
    }
    list.insert(list.end(), sizeof(USHORT), 0);
    return list;
  }

  int OnBrowserMessage(HWND window, UINT message, LPARAM) {
    if (message == BFFM_VALIDATEFAILEDA) return 1;
    if (message != BFFM_INITIALIZED || initialPath.empty()) return 0;
    const std::vector<BYTE> selection = InitialSelection();
    if (!selection.empty()) {
      ::SendMessageA(window, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(selection.data()));
      ::SendMessageA(window, BFFM_SETEXPANDED, FALSE, reinterpret_cast<LPARAM>(selection.data()));
      return 0;
    }
    // A path the root does not start with (in another spelling) goes as a path.
    ::SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(initialPath.c_str()));
    const std::wstring wide = WidenAnsi(initialPath);
    ::SendMessageA(window, BFFM_SETEXPANDED, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
    return 0;
  }
};

}  // namespace

bool FolderCombo::Setup(HWND combo, WindowBinding& dialog) {
  if (!Bind(combo, dialog)) return false;
  const int icon = ::GetSystemMetrics(SM_CYSMICON);
  itemHeight_ = (icon != 0 ? icon : 16) + 1;
  ::InvalidateRect(combo, nullptr, TRUE);
  // The dialog binds the combo after the platform measured it, so the height is set outright.
  ::SendMessageA(combo, CB_SETITEMHEIGHT, 0, itemHeight_);
  ::SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
  RECT frame{};
  ::GetWindowRect(combo, &frame);
  ::SendMessageA(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(frame.right - frame.left + 64), 0);
  if (CommonControlsMajorVersion() >= 6) {
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ::SendMessageA(combo, CB_SETMINVISIBLE, static_cast<WPARAM>((work.bottom - work.top) / itemHeight_), 0);
  }
  return true;
}

const char* FolderCombo::DisplayText(const std::string& path, char (&buffer)[MAX_PATH]) {
  // The common case needs no copy: a path that does not end in a separator shows the text after
  // its last backslash.
  const std::size_t slash = path.rfind('\\');
  if (!path.empty() && path.back() != '\\' && path.back() != '/' && path.back() != ':' && slash != std::string::npos &&
      path.size() < MAX_PATH) {
    return path.c_str() + slash + 1;
  }
  ::lstrcpynA(buffer, path.c_str(), MAX_PATH);
  StripToFileName(buffer, MAX_PATH);
  return buffer;
}

void FolderCombo::AddEntry(const std::string& path, int depth) {
  entries_.push_back({path, depth});
  char buffer[MAX_PATH];
  ::SendMessageA(Window(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DisplayText(path, buffer)));
}

int FolderCombo::InsertEntry(const std::string& path, int depth) {
  std::vector<std::string_view> paths;
  paths.reserve(entries_.size());
  for (const FolderEntry& entry : entries_) paths.emplace_back(entry.path);
  const std::size_t index = InsertionIndex(paths, path, &IsSystemLeadByte);
  if (index == entries_.size()) {
    AddEntry(path, depth);
    return static_cast<int>(index);
  }
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), FolderEntry{path, depth});
  char buffer[MAX_PATH];
  ::SendMessageA(Window(), CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(DisplayText(path, buffer)));
  return static_cast<int>(index);
}

int FolderCombo::SelectPath(const std::string& path) {
  for (std::size_t index = 0; index < entries_.size(); ++index) {
    if (entries_[index].path == path) {
      return static_cast<int>(::SendMessageA(Window(), CB_SETCURSEL, index, 0));
    }
  }
  return -1;
}

int FolderCombo::SelectedIndex() const { return static_cast<int>(::SendMessageA(Window(), CB_GETCURSEL, 0, 0)); }

std::string FolderCombo::SelectedPath() const {
  const int index = SelectedIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return {};
  return entries_[static_cast<std::size_t>(index)].path;
}

void FolderCombo::FillTree(const std::string& root) {
  const std::size_t first = entries_.size();
  entries_.push_back({root, 0});
  char folder[MAX_PATH] = {};
  if (root.size() < MAX_PATH) {
    std::memcpy(folder, root.data(), root.size());
    Enumerate(folder, root.size(), 0);
  }
  // The walk fills the path list first; the list then gets its items in one go, its storage
  // reserved (the full paths bound the display texts) and without a redraw per item. The texts go
  // to the combo's list directly and in UTF-16, which spares every item a conversion on its way
  // through the combo.
  std::size_t pathBytes = 0;
  for (std::size_t index = first; index < entries_.size(); ++index) pathBytes += entries_[index].path.size() + 1;
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof parts;
  HWND list = ::GetComboBoxInfo(Window(), &parts) ? parts.hwndList : nullptr;
  ::SendMessageA(Window(), WM_SETREDRAW, FALSE, 0);
  if (list != nullptr) ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ::SendMessageA(Window(), CB_INITSTORAGE, entries_.size() - first, static_cast<LPARAM>(pathBytes));
  char buffer[MAX_PATH];
  wchar_t wide[MAX_PATH];
  for (std::size_t index = first; index < entries_.size(); ++index) {
    const char* text = DisplayText(entries_[index].path, buffer);
    if (list != nullptr && ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH) > 0) {
      ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide));
    } else {
      ::SendMessageA(Window(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
  }
  if (list != nullptr) ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::SendMessageA(Window(), WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(Window(), nullptr, TRUE);
}

// `folder` holds the folder's path (length bytes); the walk appends to it in place and puts it
// back before it returns, so the whole walk uses one path buffer.
void FolderCombo::Enumerate(char (&folder)[MAX_PATH], std::size_t length, int depth) {
  if (!SearchPatternFits(std::string_view(folder, length), &IsSystemLeadByte)) return;
  ::PathAddBackslashA(folder);
  const std::size_t base = std::strlen(folder);
  folder[base] = '*';
  folder[base + 1] = '\0';
  WIN32_FIND_DATAA found{};
  const UniqueFind search(::FindFirstFileA(folder, &found));
  folder[base] = '\0';
  if (!search) {
    folder[length] = '\0';
    return;
  }
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
    const char* name = found.cFileName;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    const std::size_t nameLength = std::strlen(name);
    // A folder whose full path cannot be held is left out, with everything below it.
    if (base + nameLength >= MAX_PATH) continue;
    std::memcpy(folder + base, name, nameLength + 1);
    entries_.push_back({std::string(folder, base + nameLength), depth + 1});
    // Junctions and symbolic links are listed but not followed: one that leads back into the
    // tree would make the walk endless.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) Enumerate(folder, base + nameLength, depth + 1);
    folder[base] = '\0';
  } while (::FindNextFileA(search.get(), &found));
  folder[length] = '\0';
}

bool FolderCombo::HandleMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case Reflected(WM_DRAWITEM):
      if (lParam == 0) return false;
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      result = TRUE;
      return true;
    case Reflected(WM_MEASUREITEM):
      if (lParam == 0) return false;
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(itemHeight_);
      result = TRUE;
      return true;
    case Reflected(WM_COMPAREITEM):
      result = 0;
      return true;
    case Reflected(WM_DELETEITEM):
      result = TRUE;
      return true;
    default:
      return false;
  }
}

void FolderCombo::DrawItem(const DRAWITEMSTRUCT& item) const {
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= entries_.size()) return;
  const FolderEntry& entry = entries_[item.itemID];
  HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0 && (item.itemState & ODS_DISABLED) == 0;
  ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

  const bool selectionField = (item.itemState & ODS_COMBOBOXEDIT) != 0;
  // The closed combo box shows that it has the focus around its selection field.
  if (selectionField && (item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0)
    ::DrawFocusRect(dc, &item.rcItem);
  int x = item.rcItem.left;
  x += selectionField ? 1 : entry.depth * (itemHeight_ + 1);
  SHFILEINFOA info{};
  if (::SHGetFileInfoA(entry.path.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES) != 0) {
    UniqueIcon icon(info.hIcon);
    if (icon) {
      // Centred in an item taller than the icon, as the selection field may be.
      const int top = item.rcItem.top + std::max(0, static_cast<int>(item.rcItem.bottom - item.rcItem.top) - 16) / 2;
      ::DrawIconEx(dc, x, top, icon.get(), 16, 16, 0, nullptr, DI_NORMAL);
    }
  }
  RECT textRect = item.rcItem;
  textRect.left = x + (item.rcItem.bottom - item.rcItem.top) + 2;

  const LRESULT length = ::SendMessageA(Window(), CB_GETLBTEXTLEN, item.itemID, 0);
  if (length < 0 || length > kLongestDrawnText) return;
  char text[64] = {};
  ::SendMessageA(Window(), CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(text));
  ::SetBkMode(dc, TRANSPARENT);
  const int colour = (item.itemState & ODS_DISABLED) != 0   ? COLOR_GRAYTEXT
                     : (item.itemState & ODS_SELECTED) != 0 ? COLOR_HIGHLIGHTTEXT
                                                            : COLOR_WINDOWTEXT;
  ::SetTextColor(dc, ::GetSysColor(colour));
  ::DrawTextA(dc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void BrowseForNewFolder(HWND dialog, FolderCombo& combo, const std::string& root, const std::string& title) {
  const UniqueItemIdList rootList = ParseBelow(Desktop().get(), root);
  if (!rootList) return;
  FolderBrowser browser;
  browser.rootPath = root;
  // The browser starts at its root by itself; Wine's, asked to select the root, selects the
  // root's first child instead.
  if (combo.SelectedPath() != root) browser.initialPath = combo.SelectedPath();
  browser.info.hwndOwner = dialog != nullptr ? dialog : ::GetActiveWindow();
  browser.info.pidlRoot = rootList.get();
  browser.info.pszDisplayName = browser.displayName;
  browser.info.lpszTitle = title.c_str();
  browser.info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  browser.info.lpfn = &GuardedFolderBrowserCallback<FolderBrowser, &FolderBrowser::OnBrowserMessage>;
  browser.info.lParam = reinterpret_cast<LPARAM>(&browser);
  browser.chosen.reset(::SHBrowseForFolderA(&browser.info));
  browser.failure.ThrowIfKept();
  if (!browser.chosen) return;
  if (!::SHGetPathFromIDListA(browser.chosen.get(), browser.path)) return;
  const std::string path = browser.path;
  combo.InsertEntry(path, DepthBelowRoot(path, root.size()));
  combo.SelectPath(path);
}

}  // namespace commonq
