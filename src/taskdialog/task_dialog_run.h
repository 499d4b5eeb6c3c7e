#pragma once
// One emulated task dialog run: the dialog window and the messages it handles.
#include <windows.h>
#include <commctrl.h>

#include "frame/dialog_base.h"
#include "frame/guarded_callback.h"
#include "frame/subclass.h"
#include "frame/unique_handle.h"
#include "taskdialog/task_dialog_model.h"
#include "taskdialog/task_dialog_paint.h"
#include "taskdialog/task_dialog_state.h"
#include "taskdialog/task_dialog_template.h"

namespace commonq {

#if COMMONQ_TEST_SEAMS
// Replaces the platform's facts for white-box tests of the branches the test system cannot reach;
// null goes back to the real ones. Not reachable through the exports, and not in the Release DLL.
void OverrideTaskDialogPlatformForTesting(const TaskDialogPlatform* facts) noexcept;
#endif

// The task dialog inside an export that has already started the module.
HRESULT RunTaskDialog(const TASKDIALOGCONFIG* config, int* button, int* radioButton, BOOL* verificationChecked);

// The window of one emulated run (task_dialog_run.cpp, task_dialog_procedure.cpp): it dispatches
// the dialog's messages to the live state, the painter and the caller's callback.
class TaskDialogRun : public DialogWindow {
 public:
  TaskDialogRun(const TASKDIALOGCONFIG& config, const TaskDialogPlatform& platform);
  ~TaskDialogRun() override = default;

  // Builds the template and shows the dialog. S_OK also when the window could not be made (the
  // results keep their starting values); E_OUTOFMEMORY when the template could not be written,
  // and then nothing is shown.
  HRESULT Show();

  int ButtonResult() const { return state_.results.button; }
  int RadioResult() const { return state_.results.radio; }
  BOOL VerificationResult() const { return state_.results.verification; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
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
  bool OnNotify(const NMHDR& header);
  void OnColourChange(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnPaintMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnTaskDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnProgressBarMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
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
  TaskDialogModel model_;
  TaskDialogState state_{model_};
  TaskDialogPainter painter_{model_, state_};
  GlobalTemplateBlock block_;
  // Clear until the initialisation has run, so that nothing it triggers reaches the callback.
  bool created_ = false;
  DWORD timerBase_ = 0;
  UniqueTimer callbackTimer_;
  UniqueTimer hotTimer_;
  UniqueHook copyHook_;
  UniqueSubclass expandoKeys_;
};

}  // namespace commonq
