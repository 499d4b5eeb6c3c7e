#pragma once
// What changes while an emulated task dialog is up, and the step that lays the dialog out again
// when its details open or close and puts the result on the window.
#include <windows.h>

#include "taskdialog/logic/task_dialog_layout.h"
#include "taskdialog/task_dialog_model.h"

namespace commonq {

struct TaskDialogResults {
  int button = IDCANCEL;
  int radio = 0;
  BOOL verification = FALSE;
};

class TaskDialogState {
 public:
  explicit TaskDialogState(const TaskDialogModel& model) : model_(model) {}

  // Lays the dialog out expanded, the state its template is written in (the details are open
  // when the dialog opens and close during its initialisation unless they open by default).
  const TaskDialogLayout& LayOutTemplate();
  // Back to the template's state as the dialog window starts: expanded, no hot link, the button
  // result IDCANCEL and no radio button (the verification result is read as the window goes).
  void Restart();

  bool Expanded() const { return expanded_; }
  void ToggleExpanded() { expanded_ = !expanded_; }
  // Lays the dialog out in the current expanded state and applies it: every control to its place
  // (where the template put it, moved as far as the layout moves it), the details shown or hidden,
  // the lines the painting draws, the dialog's client height at its width, the expando's label.
  void ApplyLayout(HWND dialog);
  // The layout on the window: the lines, the default control, the owner-drawn command links.
  const TaskDialogLayout& Layout() const { return layout_; }

  TaskDialogResults results;
  // The command link under the mouse (owner-drawn links only), 0 when none is.
  int hotLinkId = 0;

 private:
  void MoveControls(HWND dialog, const TaskDialogLayout& next) const;

  const TaskDialogModel& model_;
  TaskDialogLayout template_;
  TaskDialogLayout layout_;
  bool expanded_ = true;
};

}  // namespace commonq
