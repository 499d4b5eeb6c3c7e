// DlgFileOpenDoModal and DlgFileSaveasDoModal on Windows 6 and later: the system's item dialogs,
// with the Save As panel's controls added through IFileDialogCustomize.
#include "filedialogs/modern_file_dialog.h"

#include <commdlg.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "filedialogs/format_dialog.h"
#include "filedialogs/logic/file_dialog_rules.h"
#include "filedialogs/logic/filter_list.h"
#include "filedialogs/logic/format_table.h"
#include "frame/com_ptr.h"
#include "frame/dialog_translator.h"
#include "frame/logic/path_text.h"
#include "frame/settings_store.h"
#include "frame/text_conversion.h"
#include "resources/filedialogs_ids.h"
#include "taskdialog/windows_version.h"

namespace commonq {
namespace {

static_assert(kOfnOverwritePrompt == FOS_OVERWRITEPROMPT && OFN_NOCHANGEDIR == FOS_NOCHANGEDIR);
static_assert(OFN_NOVALIDATE == FOS_NOVALIDATE && kOfnPathMustExist == FOS_PATHMUSTEXIST);
static_assert(kOfnFileMustExist == FOS_FILEMUSTEXIST && OFN_CREATEPROMPT == FOS_CREATEPROMPT);
static_assert(OFN_SHAREAWARE == FOS_SHAREAWARE && OFN_NOREADONLYRETURN == FOS_NOREADONLYRETURN);
static_assert(OFN_NOTESTFILECREATE == FOS_NOTESTFILECREATE && OFN_NODEREFERENCELINKS == FOS_NODEREFERENCELINKS);
static_assert(OFN_DONTADDTORECENT == FOS_DONTADDTORECENT && OFN_FORCESHOWHIDDEN == FOS_FORCESHOWHIDDEN);
static_assert(kFosSharedWithOfn ==
              (FOS_OVERWRITEPROMPT | FOS_NOCHANGEDIR | FOS_NOVALIDATE | FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST |
               FOS_CREATEPROMPT | FOS_SHAREAWARE | FOS_NOREADONLYRETURN | FOS_NOTESTFILECREATE |
               FOS_NODEREFERENCELINKS | FOS_DONTADDTORECENT | FOS_FORCESHOWHIDDEN));
static_assert(kFosForceFileSystem == FOS_FORCEFILESYSTEM && kOfnAllowMultiSelect == OFN_ALLOWMULTISELECT);

constexpr const char* kClassicValue = "ClassicFileDialogs";
constexpr const char* kCheckValue = "Check";
// The panel's controls keep the classic panel's ids, so they translate under the same numbers.
constexpr DWORD kOptionsButton = IDC_PANEL_OPTIONS;
constexpr DWORD kPromptBox = IDC_PANEL_PROMPT;
constexpr const char* kOptionsText = "Options...";
constexpr const char* kPromptText = "Prompt for format options";
constexpr const char* kPathRefusedText =
    "This path cannot be used: it is longer than 259 characters or holds characters that the "
    "system's code page cannot show.\nPlease choose a shorter path or another name.";
constexpr const char* kPathRefusedCaption = "Qelm Explorer pro";

// The exact ANSI form of a UTF-16 text; none when a character has no ANSI form (a best fit such
// as "a" for "ā" would name another file).
std::optional<std::string> NarrowExactly(PCWSTR text) {
  const bool utf8 = ::GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultSlot = utf8 ? nullptr : &usedDefault;
  const int bytes = ::WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, nullptr, usedDefaultSlot);
  if (bytes <= 0 || usedDefault) return std::nullopt;
  std::string narrow(static_cast<std::size_t>(bytes), '\0');
  if (::WideCharToMultiByte(CP_ACP, flags, text, -1, narrow.data(), bytes, nullptr, usedDefaultSlot) != bytes ||
      usedDefault) {
    return std::nullopt;
  }
  narrow.resize(static_cast<std::size_t>(bytes) - 1);
  return narrow;
}

// A shell item for a folder path. SHCreateItemFromParsingName came with Windows 6, so it is looked
// up here: imported, it would keep the library from loading on Windows XP.
ComPtr<IShellItem> FolderItem(const std::string& folder) {
  using CreateItemFn = HRESULT(WINAPI*)(PCWSTR, IBindCtx*, REFIID, void**);
  ComPtr<IShellItem> item;
  const auto create = reinterpret_cast<CreateItemFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("shell32.dll"), "SHCreateItemFromParsingName")));
  const std::wstring wide = WidenAnsi(folder);
  if (create != nullptr && !wide.empty()) create(wide.c_str(), nullptr, __uuidof(IShellItem), item.put_void());
  return item;
}

class ModernFileDialog;

// The dialog's events, forwarded to the run while it is attached. No exception leaves a method: a
// handler that fails abandons the run, which closes the dialog.
class DialogEvents final : public IFileDialogEvents, public IFileDialogControlEvents {
 public:
  explicit DialogEvents(ModernFileDialog* run) noexcept : run_(run) {}
  void Detach() noexcept { run_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IFileDialogEvents)) {
      *out = static_cast<IFileDialogEvents*>(this);
    } else if (iid == __uuidof(IFileDialogControlEvents)) {
      *out = static_cast<IFileDialogControlEvents*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
  }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog*) noexcept override;
  HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog*) noexcept override;
  HRESULT STDMETHODCALLTYPE OnButtonClicked(IFileDialogCustomize*, DWORD control) noexcept override;
  HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog*) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*,
                                             FDE_SHAREVIOLATION_RESPONSE*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*, FDE_OVERWRITE_RESPONSE*) noexcept override {
    return E_NOTIMPL;
  }
  // "Prompt for format options" is read when the user saves, as in the classic panel.
  HRESULT STDMETHODCALLTYPE OnCheckButtonToggled(IFileDialogCustomize*, DWORD, BOOL) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnItemSelected(IFileDialogCustomize*, DWORD, DWORD) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnControlActivating(IFileDialogCustomize*, DWORD) noexcept override { return S_OK; }

 private:
  ~DialogEvents() = default;
  template <typename Handler>
  HRESULT Guarded(Handler handler) noexcept;

  LONG references_ = 1;
  ModernFileDialog* run_;
};

class ModernFileDialog {
 public:
  ModernFileDialog(const DlgFileParams& params, bool open);
  ~ModernFileDialog() { StopEvents(); }
  ModernFileDialog(const ModernFileDialog&) = delete;
  ModernFileDialog& operator=(const ModernFileDialog&) = delete;

  // Creates and prepares the dialog object; false when there is none to show.
  bool Create();
  // Shows the dialog and copies the chosen path into the caller's buffer; the export's result.
  int Show();

  HRESULT OnFileOk();
  void OnTypeChange();
  void OnButtonClicked(DWORD control);
  void Abandon() noexcept;

 private:
  bool HasPanel() const noexcept { return !open_ && (params_.dwFlags & OFN_ENABLETEMPLATE) != 0; }
  void SetFileTypes();
  void SetInitialPath();
  void AddPanel();
  std::wstring PanelText(std::uint32_t overrideId, std::uint32_t stringId, const char* english);
  void UpdateOptionsButton(const char* extension, bool hasExtension);
  bool SelectedExtension(char (&extension)[kPathBytes]) const;
  void RenameToExtension(const char* extension);
  // The chosen file's path as the caller's buffer takes it; none when it does not fit or has no
  // ANSI form.
  std::optional<std::string> ChosenPath() const;
  HWND Window() const;
  void StopEvents() noexcept;

  const DlgFileParams& params_;
  const bool open_;
  int promptMode_ = 0;
  int promptValue_ = 0;
  UINT typeIndex_ = 0;
  bool abandoned_ = false;
  std::optional<bool> optionsEnabled_;
  std::vector<std::wstring> filterTexts_;
  std::vector<COMDLG_FILTERSPEC> filters_;
  DialogTranslator translator_;
  ComPtr<IFileDialog> dialog_;
  ComPtr<IFileDialogCustomize> customize_;
  ComPtr<DialogEvents> events_;
  DWORD cookie_ = 0;
};

template <typename Handler>
HRESULT DialogEvents::Guarded(Handler handler) noexcept {
  if (run_ == nullptr) return E_NOTIMPL;
  try {
    return handler(*run_);
  } catch (...) {
    run_->Abandon();
    return E_FAIL;
  }
}

HRESULT DialogEvents::OnFileOk(IFileDialog*) noexcept {
  return Guarded([](ModernFileDialog& run) { return run.OnFileOk(); });
}

HRESULT DialogEvents::OnTypeChange(IFileDialog*) noexcept {
  return Guarded([](ModernFileDialog& run) {
    run.OnTypeChange();
    return S_OK;
  });
}

HRESULT DialogEvents::OnButtonClicked(IFileDialogCustomize*, DWORD control) noexcept {
  return Guarded([control](ModernFileDialog& run) {
    run.OnButtonClicked(control);
    return S_OK;
  });
}

ModernFileDialog::ModernFileDialog(const DlgFileParams& params, bool open) : params_(params), open_(open) {
  // A record too short for the prompt mode (28 bytes, or a bad size) has none; it is not read.
  if (!open) promptMode_ = HasPromptField(params.cbSize) ? params.nPromptMode : 0;
}

bool ModernFileDialog::Create() {
  const CLSID& kind = open_ ? __uuidof(FileOpenDialog) : __uuidof(FileSaveDialog);
  if (FAILED(::CoCreateInstance(kind, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IFileDialog), dialog_.put_void())) ||
      !dialog_) {
    return false;
  }
  SetFileTypes();
  dialog_->SetOptions(ModernDialogOptions(params_.dwFlags, open_));
  if (params_.pszDefExt != nullptr) dialog_->SetDefaultExtension(WidenAnsi(params_.pszDefExt).c_str());
  SetInitialPath();
  if (HasPanel()) AddPanel();
  events_ = ComPtr<DialogEvents>(new DialogEvents(this));
  return SUCCEEDED(dialog_->Advise(events_.get(), &cookie_));
}

void ModernFileDialog::SetFileTypes() {
  for (const FilterPair& pair : FilterPairs(params_.pszFilter)) {
    filterTexts_.push_back(WidenAnsi(std::string(pair.description)));
    filterTexts_.push_back(WidenAnsi(std::string(pair.pattern)));
  }
  for (std::size_t k = 0; k + 1 < filterTexts_.size(); k += 2) {
    filters_.push_back({filterTexts_[k].c_str(), filterTexts_[k + 1].c_str()});
  }
  if (filters_.empty()) return;
  dialog_->SetFileTypes(static_cast<UINT>(filters_.size()), filters_.data());
  dialog_->SetFileTypeIndex(params_.nFilterIndex);
  // The dialog brings an index outside the list into it; a type change is measured from there.
  if (FAILED(dialog_->GetFileTypeIndex(&typeIndex_))) typeIndex_ = params_.nFilterIndex;
}

void ModernFileDialog::SetInitialPath() {
  if (params_.pszFile == nullptr) return;
  const std::string initial(params_.pszFile, ::strnlen(params_.pszFile, kPathBytes - 1));
  const InitialPath split = SplitInitialPath(initial);
  // A folder that cannot be found leaves the whole text in the name box, as the classic dialog
  // shows it.
  std::string name = initial;
  if (!split.folder.empty()) {
    if (const ComPtr<IShellItem> folder = FolderItem(std::string(split.folder))) {
      dialog_->SetFolder(folder.get());
      name = std::string(split.name);
    }
  }
  if (!name.empty()) dialog_->SetFileName(WidenAnsi(name).c_str());
}

std::wstring ModernFileDialog::PanelText(std::uint32_t overrideId, std::uint32_t stringId, const char* english) {
  std::string text = translator_.LoadText(overrideId);
  if (text.empty()) text = translator_.LoadText(stringId);
  return WidenAnsi(ShouldReplaceText(english, text) ? text : english);
}

void ModernFileDialog::AddPanel() {
  customize_ = dialog_.As<IFileDialogCustomize>();
  if (!customize_) return;
  translator_.LoadLanguage(kDialogTranslationBase);
  customize_->AddPushButton(kOptionsButton, PanelText(0, IDS_PANEL_OPTIONS, kOptionsText).c_str());
  char extension[kPathBytes];
  const bool hasExtension = SelectedExtension(extension);
  UpdateOptionsButton(extension, hasExtension);
  if (promptMode_ == 0) return;
  if (promptMode_ > 0) {
    const std::optional<std::uint32_t> stored = FormatKey::ReadNumber(kCheckValue);
    promptValue_ = PromptValueFromCheck(stored.has_value(), stored.value_or(0));
  }
  const std::uint32_t promptString =
      TranslationStringId(IDC_PANEL_PROMPT, 0, TranslationOffset(kDialogTranslationBase));
  const std::wstring prompt =
      PanelText(DialogOverrideStringId(IDD_SAVEAS_PANEL, IDC_PANEL_PROMPT), promptString, kPromptText);
  customize_->AddCheckButton(kPromptBox, prompt.c_str(), promptValue_ == 1);
  if (promptMode_ < 0) customize_->SetControlState(kPromptBox, CDCS_VISIBLE);
}

// Unlike the classic panel's button, which stays enabled until the first type change, this one
// follows the type from the start: it is enabled only for a type whose format has options.
void ModernFileDialog::UpdateOptionsButton(const char* extension, bool hasExtension) {
  if (!customize_) return;
  const bool enabled = hasExtension && FindFormat(extension) != nullptr;
  // A state set while the dialog is up lays its controls out again: only a change is passed on
  // (the dialog reports the type it opens with, which changes nothing).
  if (optionsEnabled_ == enabled) return;
  optionsEnabled_ = enabled;
  customize_->SetControlState(kOptionsButton, enabled ? CDCS_VISIBLE | CDCS_ENABLED : CDCS_VISIBLE);
}

bool ModernFileDialog::SelectedExtension(char (&extension)[kPathBytes]) const {
  std::memset(extension, 0, sizeof extension);
  UINT index = typeIndex_;
  if (dialog_) dialog_->GetFileTypeIndex(&index);
  return GetFilterExtension(params_.pszFilter, index, extension, sizeof extension);
}

void ModernFileDialog::OnTypeChange() {
  UINT index = 0;
  if (FAILED(dialog_->GetFileTypeIndex(&index))) return;
  // The dialog also reports the type it opens with; only a new type renames the file.
  const bool changed = index != typeIndex_;
  typeIndex_ = index;
  char extension[kPathBytes];
  const bool hasExtension = SelectedExtension(extension);
  UpdateOptionsButton(extension, hasExtension);
  if (!changed || !hasExtension) return;
  RenameToExtension(extension);
  dialog_->SetDefaultExtension(WidenAnsi(extension + 1).c_str());
}

// The name box shows the bare name with the type's extension, by the classic dialog's rules. A
// name without an ANSI form is left as the dialog has it.
void ModernFileDialog::RenameToExtension(const char* extension) {
  UniqueCoTaskString name;
  if (FAILED(dialog_->GetFileName(name.put())) || !name) return;
  const std::optional<std::string> narrow = NarrowExactly(name.get());
  if (!narrow || narrow->empty() || narrow->size() >= kPathBytes) return;
  char path[kPathBytes] = {};
  std::memcpy(path, narrow->data(), narrow->size());
  StripToFileName(path, sizeof path);
  ::PathRenameExtensionA(path, extension);
  dialog_->SetFileName(WidenAnsi(path).c_str());
}

void ModernFileDialog::OnButtonClicked(DWORD control) {
  char extension[kPathBytes];
  if (control == kOptionsButton && SelectedExtension(extension)) RunFormatOptionsDialog(extension, Window());
}

HRESULT ModernFileDialog::OnFileOk() {
  if (!ChosenPath()) {
    ::MessageBoxA(Window(), kPathRefusedText, kPathRefusedCaption, MB_OK | MB_ICONWARNING);
    return S_FALSE;
  }
  if (promptMode_ <= 0 || !HasPanel() || !customize_) return S_OK;
  BOOL checked = FALSE;
  customize_->GetCheckButtonState(kPromptBox, &checked);
  promptValue_ = checked ? 1 : 0;
  FormatKey().Write(kCheckValue, static_cast<std::uint32_t>(promptValue_));
  char extension[kPathBytes];
  if (promptValue_ == 0 || !SelectedExtension(extension)) return S_OK;
  // Cancel in the options keeps the Save As dialog open.
  return RunFormatOptionsDialog(extension, Window()) == IDCANCEL ? S_FALSE : S_OK;
}

std::optional<std::string> ModernFileDialog::ChosenPath() const {
  ComPtr<IShellItem> item;
  if (FAILED(dialog_->GetResult(item.put())) || !item) return std::nullopt;
  UniqueCoTaskString path;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, path.put())) || !path) return std::nullopt;
  std::optional<std::string> narrow = NarrowExactly(path.get());
  if (!narrow || narrow->empty() || narrow->size() >= kPathBytes) return std::nullopt;
  return narrow;
}

HWND ModernFileDialog::Window() const {
  HWND window = nullptr;
  if (const ComPtr<IOleWindow> ole = dialog_.As<IOleWindow>()) ole->GetWindow(&window);
  return window;
}

void ModernFileDialog::Abandon() noexcept {
  abandoned_ = true;
  if (dialog_) dialog_->Close(HRESULT_FROM_WIN32(ERROR_CANCELLED));
}

void ModernFileDialog::StopEvents() noexcept {
  if (dialog_ && cookie_ != 0) dialog_->Unadvise(cookie_);
  cookie_ = 0;
  if (events_) events_->Detach();
}

int ModernFileDialog::Show() {
  HWND owner = params_.hwndOwner != nullptr ? params_.hwndOwner : ::GetActiveWindow();
  const HRESULT shown = dialog_->Show(owner);
  StopEvents();
  // A handler of the library that failed closed the dialog: the call did not do its work.
  if (abandoned_) return 0;
  if (FAILED(shown)) return IDCANCEL;
  const std::optional<std::string> path = ChosenPath();
  if (!path) return IDCANCEL;
  if (params_.pszFile != nullptr) {
    std::memset(params_.pszFile, 0, kPathBytes);
    std::memcpy(params_.pszFile, path->data(), path->size());
  }
  return IDOK;
}

}  // namespace

bool ShowsModernFileDialog(const DlgFileParams& params) {
  return !UsesClassicFileDialog(WindowsVersionClass(), ReadDwordSetting(kOptionKey, kClassicValue), params.dwFlags);
}

std::optional<int> RunModernFileDialog(const DlgFileParams& params, bool open) {
  ModernFileDialog dialog(params, open);
  if (!dialog.Create()) return std::nullopt;
  return dialog.Show();
}

}  // namespace commonq
