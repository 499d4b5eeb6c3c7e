#pragma once
// What the emulated task dialog shows, resolved once from the caller's configuration.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "frame/unique_handle.h"
#include "taskdialog/logic/task_dialog_layout.h"
#include "taskdialog/logic/task_dialog_metrics.h"

namespace commonq {

// Facts about the platform that choose between forwarding, the modern and the classic look.
struct TaskDialogPlatform {
  int versionClass = 0;
  bool modernControls = false;
  bool windows6 = false;
};

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

// The configuration with its defaults, the texts and measures the layout reads, the fonts, the
// colours and the icons. The icons are loaded when the dialog is up (see LoadShownIcons), because
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

// The edge of the expando's glyphs and of the command links' arrow, in pixels.
inline constexpr int kGlyphSize = 20;

// Everything but the icons, before the window exists.
void BuildTaskDialogModel(TaskDialogModel& model, const TASKDIALOGCONFIG& config, const TaskDialogPlatform& platform);

// The model's colours and brushes from the system's colours and its high-contrast state, at
// the start and again whenever the system announces new colours.
void RefreshTaskDialogPalette(TaskDialogModel& model);

// The run owns every icon it shows, the caller's HICONs included, from the moment the dialog is up;
// a dialog that never came up leaves them to the caller. A handle given as both main and footer
// icon is destroyed once.
void LoadShownIcons(TaskDialogModel& model);

// The layout of the model's dialog in either expanded state, measured with the owner's DC.
TaskDialogLayout LayOutTaskDialog(const TaskDialogModel& model, bool expanded);

}  // namespace commonq
