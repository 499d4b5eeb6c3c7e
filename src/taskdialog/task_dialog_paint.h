#pragma once
// What the emulated task dialog paints itself: the background, the colours of its controls, its
// icon statics and the owner-drawn command links.
#include <windows.h>

#include "taskdialog/task_dialog_model.h"
#include "taskdialog/task_dialog_state.h"

namespace commonq {

class TaskDialogPainter {
 public:
  TaskDialogPainter(const TaskDialogModel& model, const TaskDialogState& state) : model_(model), state_(state) {}

  // The bands and the lines of the dialog's client area into `dc`.
  void PaintContent(HWND dialog, HDC dc) const;
  // The answer to WM_CTLCOLORSTATIC and WM_CTLCOLORBTN for the control `id`.
  HBRUSH ControlColors(HDC dc, int id) const;
  // WM_DRAWITEM; false for a control the dialog does not draw.
  bool OnDrawItem(const DRAWITEMSTRUCT& item) const;

 private:
  void DrawCommandLink(const DRAWITEMSTRUCT& item) const;
  void DrawCommandLinkText(HDC dc, const RECT& rect, HWND link) const;

  const TaskDialogModel& model_;
  const TaskDialogState& state_;
};

}  // namespace commonq
