#pragma once
// The state of one emulated task dialog run, which is also the object behind the dialog window.
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

#include "frame/dialog_base.h"
#include "frame/guarded_callback.h"
#include "frame/subclass.h"
#include "frame/unique_handle.h"
#include "taskdialog/logic/task_dialog_layout.h"
#include "taskdialog/logic/template_writer.h"

namespace commonq {

// Facts about the platform that choose between forwarding, the modern and the classic look.
struct TaskDialogPlatform {
  int versionClass = 0;
  bool modernControls = false;
  bool windows6 = false;
};

#if COMMONQ_TEST_SEAMS
// Replaces the platform's facts for white-box tests of the branches the test system cannot reach;
// null goes back to the real ones. Not reachable through the exports, and not in the Release DLL.
void OverrideTaskDialogPlatformForTesting(const TaskDialogPlatform* facts) noexcept;
#endif

// The task dialog inside an export that has already started the module.
HRESULT RunTaskDialog(const TASKDIALOGCONFIG* config, int* button, int* radioButton, BOOL* verificationChecked);

// The longest text the dialog takes from its configuration or its windows, with its NUL.
inline constexpr size_t kTextBufferSize = 2048;

// A configuration text field (UTF-16 string or a string id of the library) as ANSI, at most
// size - 1 bytes; empty for a null field or a failed conversion.
std::string ResolveTaskDialogString(PCWSTR field, size_t size);
// An icon the run shows. Shared system icons (loaded with LR_SHARED) belong to the system and are
// never destroyed, nor is a handle that another slot already owns; every other icon is destroyed
// with its holder.
class TaskDialogIcon {
 public:
  TaskDialogIcon() = default;
  static TaskDialogIcon Owned(HICON icon) noexcept {
    TaskDialogIcon result;
    result.owned_.reset(icon);
    return result;
  }
  static TaskDialogIcon Shared(HICON icon) noexcept {
    TaskDialogIcon result;
    result.shared_ = icon;
    return result;
  }
  HICON get() const noexcept { return owned_ ? owned_.get() : shared_; }
  bool IsOwned() const noexcept { return static_cast<bool>(owned_); }
  explicit operator bool() const noexcept { return get() != nullptr; }

 private:
  UniqueIcon owned_;
  HICON shared_ = nullptr;
};

// An icon of the configuration at size x size: owned when loaded from a module, shared for the
// system's icons (and the IDI_APPLICATION fallback).
TaskDialogIcon LoadTaskDialogIcon(HINSTANCE instance, PCWSTR field, int size);

// Global memory under the template, locked while it exists.
class GlobalTemplateBlock : public TemplateBlock {
 public:
  bool Resize(size_t size) override;
  uint8_t* Data() override { return lock_ ? static_cast<uint8_t*>(lock_->get()) : nullptr; }

 private:
  UniqueGlobal memory_;
  std::optional<LockedGlobal> lock_;
};

// What the emulated dialog shows, resolved once from the caller's configuration before the window
// exists: the configuration with its defaults, the texts and measures the layout reads, the fonts,
// the colours and the icons. The icons are loaded when the dialog is up (see FillIcons), because
// only then does the run own the caller's HICONs.
struct TaskDialogModel {
  TASKDIALOGCONFIG config{};
  TaskDialogPlatform platform;
  TaskDialogLayoutInput input;
  LOGFONTA messageFont{};
  UniqueFont bodyFont;
  UniqueFont mainFont;
  TaskDialogPalette palette;
  UniqueBrush bandBrush;
  UniqueBrush faceBrush;
  TaskDialogIcon mainIcon;
  TaskDialogIcon footerIcon;
  TaskDialogIcon linkGlyph;
  TaskDialogIcon hotLinkGlyph;
  TaskDialogIcon expandedGlyph;
  TaskDialogIcon collapsedGlyph;

  bool CommandLinks() const { return (config.dwFlags & (TDF_USE_COMMAND_LINKS | TDF_USE_COMMAND_LINKS_NO_ICON)) != 0; }
  const TaskDialogMetrics& Metrics() const { return input.metrics; }
};

// The model's colours and brushes from the system's colours and its high-contrast state, at
// the start and again whenever the system announces new colours.
void RefreshTaskDialogPalette(TaskDialogModel& model);

// The window of one emulated run: it reads the model and the layout, and holds only what changes
// while the dialog is up.
class TaskDialogRun : public DialogWindow {
 public:
  TaskDialogRun(const TASKDIALOGCONFIG& config, const TaskDialogPlatform& platform);
  ~TaskDialogRun() override = default;

  // Builds the model and template and shows the dialog. S_OK also when the window could not be
  // made (the results keep their starting values); E_OUTOFMEMORY when the template could not be
  // written, and then nothing is shown.
  HRESULT Show();

  int ButtonResult() const { return buttonResult_; }
  int RadioResult() const { return radioResult_; }
  BOOL VerificationResult() const { return verificationResult_; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool WriteTemplate();

  // Procedure (task_dialog_procedure.cpp).
  // The caller's callback, guarded: a failure in it ends the dialog and answers S_OK.
  HRESULT NotifyCallback(UINT notification, WPARAM wParam, LPARAM lParam) noexcept;
  void OnInitDialog();
  void ApplyFonts();
  void StartTimers();
  void SetInitialStates();
  void SelectDefaultRadio();
  void FocusDefaultControl();
  void ShowMainIcon();
  void OnDestroy();
  void OnCommand(int id, int code);
  void EndWith(int buttonId, int controlId);
  void OnTimer(UINT_PTR id);
  void OnHotTracking();
  bool OnTaskDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void RelayoutExpando();
  HWND FindButton(WPARAM buttonId, bool radio = false) const;

  // The keys of the dialog: Ctrl+C, Enter on an owner-drawn command link (task_dialog_copy.cpp).
  void InstallCopyHook();
  void RemoveCopyHook();
  static TaskDialogRun* LocateCopyKey(int code, const HookedMessage& hooked) noexcept;
  bool OnCopyKey(const HookedMessage& hooked);
  // The expando button as a tab stop: Space and Enter toggle it, and it shows the focus.
  LRESULT OnExpandoMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 public:
  WindowBinding* FailureOwner() noexcept { return this; }

 private:
  std::string ClipboardText() const;
  void CopyToClipboard() const;

  // Painting (task_dialog_paint.cpp).
  void PaintContent(HDC dc) const;
  HBRUSH ControlColors(HDC dc, int id) const;
  void DrawCommandLink(const DRAWITEMSTRUCT& item) const;
  bool OnDrawItem(const DRAWITEMSTRUCT& item);

  TaskDialogModel model_;
  TaskDialogLayout layout_;
  GlobalTemplateBlock block_;
  // Live state.
  int buttonResult_ = IDCANCEL;
  int radioResult_ = 0;
  BOOL verificationResult_ = FALSE;
  bool created_ = false;
  bool expanded_ = true;
  int hotLinkId_ = 0;
  DWORD timerBase_ = 0;
  UniqueTimer callbackTimer_;
  UniqueTimer hotTimer_;
  UniqueHook copyHook_;
  UniqueSubclass expandoKeys_;
};

}  // namespace commonq
