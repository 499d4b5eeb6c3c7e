#pragma once
// The in-memory dialog template of an emulated task dialog, written from its layout.
#include <windows.h>

#include <optional>

#include "frame/unique_handle.h"
#include "taskdialog/logic/template_writer.h"
#include "taskdialog/task_dialog_model.h"

namespace commonq {

// Global memory under the template, locked while it exists.
class GlobalTemplateBlock : public TemplateBlock {
 public:
  bool Resize(size_t size) override;
  uint8_t* Data() override { return lock_ ? static_cast<uint8_t*>(lock_->get()) : nullptr; }

 private:
  UniqueGlobal memory_;
  std::optional<LockedGlobal> lock_;
};

// The template of the laid-out dialog: its frame centred on the owner or the work area, one item
// per control in dialog units. False when the block could not grow.
bool WriteTaskDialogTemplate(const TaskDialogModel& model, const TaskDialogLayout& layout, TemplateBlock& block);

// The client rectangle that the dialog manager gives the control of a layout item: the item's
// dialog units in the template, its position and its size each turned into pixels by the dialog's
// own base units.
RECT CreatedControlRect(HWND dialog, const TaskDialogModel& model, const LayoutItem& item);

}  // namespace commonq
