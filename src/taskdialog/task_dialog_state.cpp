// The emulated task dialog's live state and the step that puts a layout on its window.
#include "taskdialog/task_dialog_state.h"

#include <string>
#include <utility>

#include "resources/taskdialog_ids.h"
#include "taskdialog/task_dialog_template.h"

namespace commonq {
namespace {

// The item of `id` in `layout`, where both expanded states list it: at the same index.
const LayoutItem* ItemAt(const TaskDialogLayout& layout, size_t index, int id) {
  if (index >= layout.items.size() || layout.items[index].id != id) return nullptr;
  return &layout.items[index];
}

// Shows or hides each control whose visibility the layouts differ in: the details.
void ShowControls(HWND dialog, const TaskDialogLayout& previous, const TaskDialogLayout& next) {
  for (size_t i = 0; i < next.items.size(); ++i) {
    const LayoutItem& item = next.items[i];
    const LayoutItem* before = ItemAt(previous, i, item.id);
    if (before != nullptr && before->visible != item.visible) {
      ::ShowWindow(::GetDlgItem(dialog, item.id), item.visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
  }
}

// Gives each control whose text the layouts differ in its new one: the expando's label. Texts the
// caller changed since (TDM_SET_ELEMENT_TEXT) are the same in both layouts and stay.
void RelabelControls(HWND dialog, const TaskDialogLayout& previous, const TaskDialogLayout& next) {
  for (size_t i = 0; i < next.items.size(); ++i) {
    const LayoutItem& item = next.items[i];
    const LayoutItem* before = ItemAt(previous, i, item.id);
    if (before != nullptr && before->text != item.text) ::SetDlgItemTextA(dialog, item.id, item.text.c_str());
  }
}

// The client height changes; the client width stays.
void ResizeClient(HWND dialog, int clientHeight) {
  RECT client{};
  ::GetClientRect(dialog, &client);
  RECT frame{0, 0, client.right, clientHeight};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(dialog, GWL_STYLE)), ::GetMenu(dialog) != nullptr,
                       static_cast<DWORD>(::GetWindowLongA(dialog, GWL_EXSTYLE)));
  ::SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
}

}  // namespace

const TaskDialogLayout& TaskDialogState::LayOutTemplate() {
  template_ = LayOutTaskDialog(model_, true);
  layout_ = template_;
  expanded_ = true;
  return template_;
}

void TaskDialogState::Restart() {
  results.button = IDCANCEL;
  results.radio = 0;
  hotLinkId = 0;
  expanded_ = true;
  layout_ = template_;
}

// The dialog manager placed each control on the grid of the template's dialog units; a control
// the layout moves goes as far from that place as the layout moves it, so that in both states it
// stands where a template of that state would have put it.
void TaskDialogState::MoveControls(HWND dialog, const TaskDialogLayout& next) const {
  for (size_t i = 0; i < next.items.size(); ++i) {
    const LayoutItem& item = next.items[i];
    const LayoutItem* now = ItemAt(layout_, i, item.id);
    const LayoutItem* created = ItemAt(template_, i, item.id);
    if (now == nullptr || created == nullptr) continue;
    if (now->rect.left == item.rect.left && now->rect.top == item.rect.top) continue;
    const RECT place = CreatedControlRect(dialog, model_, *created);
    ::MoveWindow(::GetDlgItem(dialog, item.id), place.left + item.rect.left - created->rect.left,
                 place.top + item.rect.top - created->rect.top, place.right - place.left, place.bottom - place.top,
                 TRUE);
  }
}

void TaskDialogState::ApplyLayout(HWND dialog) {
  TaskDialogLayout next = LayOutTaskDialog(model_, expanded_);
  MoveControls(dialog, next);
  ShowControls(dialog, layout_, next);
  TaskDialogLayout previous = std::exchange(layout_, std::move(next));
  ResizeClient(dialog, layout_.height);
  RelabelControls(dialog, previous, layout_);
  ::InvalidateRect(::GetDlgItem(dialog, IDC_TD_EXPANDO_BUTTON), nullptr, TRUE);
  ::InvalidateRect(::GetDlgItem(dialog, IDC_TD_EXPANDO_LABEL), nullptr, TRUE);
  ::InvalidateRect(dialog, nullptr, TRUE);
}

}  // namespace commonq
