// Ctrl+C in the emulated task dialog copies its texts as plain text, as the native dialog does.
#include <windows.h>

#include <cstring>

#include "taskdialog/logic/task_dialog_values.h"
#include "taskdialog/task_dialog_run.h"

namespace commonq {
namespace {

// The run whose dialog is up; calls never overlap, so there is at most one.
TaskDialogRun* g_copySource = nullptr;
HWND g_copyDialog = nullptr;

std::string ControlText(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  if (control == nullptr) return {};
  char text[kTextBufferSize] = {};
  ::GetWindowTextA(control, text, static_cast<int>(sizeof text));
  return text;
}

// The texts as the dialog shows them now; the details only while they are expanded.
std::string ClipboardText(HWND dialog, const TASKDIALOGCONFIG& config, bool expanded) {
  TaskDialogTexts texts;
  char title[kTextBufferSize] = {};
  ::GetWindowTextA(dialog, title, static_cast<int>(sizeof title));
  texts.windowTitle = title;
  texts.mainInstruction = ControlText(dialog, IDC_TD_MAIN_INSTRUCTION);
  texts.content = ControlText(dialog, IDC_TD_CONTENT);
  if (expanded) texts.expandedInformation = ControlText(dialog, IDC_TD_EXPANDED_INFORMATION);
  texts.verification = ControlText(dialog, IDC_TD_VERIFICATION);
  texts.verificationChecked = ::IsDlgButtonChecked(dialog, IDC_TD_VERIFICATION) == BST_CHECKED;
  texts.footer = ControlText(dialog, IDC_TD_FOOTER);
  for (UINT i = 0; i < config.cButtons; ++i) {
    texts.buttons.push_back(ControlText(dialog, IDC_TD_FIRST_BUTTON + static_cast<int>(i)));
  }
  for (const td::CommonButton& common : td::kCommonButtons) {
    if (config.dwCommonButtons & common.flag) texts.buttons.push_back(ControlText(dialog, common.id));
  }
  return TaskDialogClipboardText(texts);
}

void CopyToClipboard(HWND dialog, const std::string& text) {
  const OpenedClipboard clipboard(dialog);
  if (!clipboard) return;
  ::EmptyClipboard();
  UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
  {
    const LockedGlobal locked(memory.get());
    if (locked.get() == nullptr) return;
    std::memcpy(locked.get(), text.c_str(), text.size() + 1);
  }
  // The clipboard owns the memory once it has taken it.
  if (::SetClipboardData(CF_TEXT, memory.get()) != nullptr) memory.release();
}

}  // namespace

// Ctrl+C pressed in the dialog or one of its controls, while its modal loop runs.
TaskDialogRun* TaskDialogRun::LocateCopyKey(int code, const HookedMessage& hooked) noexcept {
  if (code != MSGF_DIALOGBOX || g_copySource == nullptr || hooked.message != WM_KEYDOWN || hooked.wParam != 'C' ||
      ::GetKeyState(VK_CONTROL) >= 0) {
    return nullptr;
  }
  return hooked.window == g_copyDialog || ::IsChild(g_copyDialog, hooked.window) ? g_copySource : nullptr;
}

bool TaskDialogRun::OnCopyKey(const HookedMessage&) {
  CopyToClipboard(Window(), ClipboardText(Window(), model_.config, state_.Expanded()));
  return true;
}

void TaskDialogRun::InstallCopyHook() {
  g_copySource = this;
  g_copyDialog = Window();
  copyHook_.reset(::SetWindowsHookExA(
      WH_MSGFILTER,
      &GuardedHookProcedure<WH_MSGFILTER, TaskDialogRun, &TaskDialogRun::LocateCopyKey, &TaskDialogRun::OnCopyKey>,
      nullptr, ::GetCurrentThreadId()));
}

void TaskDialogRun::RemoveCopyHook() {
  copyHook_.reset();
  if (g_copySource == this) {
    g_copySource = nullptr;
    g_copyDialog = nullptr;
  }
}

}  // namespace commonq
