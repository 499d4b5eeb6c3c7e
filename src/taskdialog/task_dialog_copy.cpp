// Ctrl+C in the emulated task dialog copies its texts as plain text, as the native dialog does.
#include <windows.h>

#include <cstring>

#include "frame/text_conversion.h"
#include "taskdialog/logic/task_dialog_values.h"
#include "taskdialog/task_dialog_run.h"

namespace commonq {
namespace {

// The run whose dialog is up; calls never overlap, so there is at most one.
TaskDialogRun* g_copySource = nullptr;
HWND g_copyDialog = nullptr;

// The texts as the dialog shows them now; the details only while they are expanded.
std::string ClipboardText(HWND dialog, const TASKDIALOGCONFIG& config, bool expanded) {
  TaskDialogTexts texts;
  texts.windowTitle = WindowText(dialog, kTextBufferSize);
  texts.mainInstruction = DialogItemText(dialog, IDC_TD_MAIN_INSTRUCTION, kTextBufferSize);
  texts.content = DialogItemText(dialog, IDC_TD_CONTENT, kTextBufferSize);
  if (expanded) texts.expandedInformation = DialogItemText(dialog, IDC_TD_EXPANDED_INFORMATION, kTextBufferSize);
  texts.verification = DialogItemText(dialog, IDC_TD_VERIFICATION, kTextBufferSize);
  texts.verificationChecked = ::IsDlgButtonChecked(dialog, IDC_TD_VERIFICATION) == BST_CHECKED;
  texts.footer = DialogItemText(dialog, IDC_TD_FOOTER, kTextBufferSize);
  for (UINT i = 0; i < config.cButtons; ++i) {
    texts.buttons.push_back(DialogItemText(dialog, IDC_TD_FIRST_BUTTON + static_cast<int>(i), kTextBufferSize));
  }
  for (const td::CommonButton& common : td::kCommonButtons) {
    if (config.dwCommonButtons & common.flag) {
      texts.buttons.push_back(DialogItemText(dialog, common.id, kTextBufferSize));
    }
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

// Ctrl+C pressed in the dialog or one of its controls, or Enter on an owner-drawn command link,
// while its modal loop runs. The dialog manager would turn Enter into a click of the default
// button: an owner-drawn button is no push button to it.
TaskDialogRun* TaskDialogRun::LocateCopyKey(int code, const HookedMessage& hooked) noexcept {
  if (code != MSGF_DIALOGBOX || g_copySource == nullptr || hooked.message != WM_KEYDOWN) return nullptr;
  const bool copy = hooked.wParam == 'C' && ::GetKeyState(VK_CONTROL) < 0;
  const int id = ::GetDlgCtrlID(hooked.window);
  const bool link = hooked.wParam == VK_RETURN && ::GetParent(hooked.window) == g_copyDialog &&
                    id >= IDC_TD_FIRST_BUTTON && id <= IDC_TD_LAST_BUTTON &&
                    (::GetWindowLongA(hooked.window, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
  if (!copy && !link) return nullptr;
  return hooked.window == g_copyDialog || ::IsChild(g_copyDialog, hooked.window) ? g_copySource : nullptr;
}

bool TaskDialogRun::OnCopyKey(const HookedMessage& hooked) {
  if (hooked.wParam == VK_RETURN) {
    ::SendMessageA(hooked.window, BM_CLICK, 0, 0);
  } else {
    CopyToClipboard(Window(), ClipboardText(Window(), model_.config, state_.Expanded()));
  }
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
