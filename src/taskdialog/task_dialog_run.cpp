// One emulated task dialog run from its model to its results: the template is written from the
// expanded layout and the dialog runs modally on it.
#include "taskdialog/task_dialog_run.h"

namespace commonq {

TaskDialogRun::TaskDialogRun(const TASKDIALOGCONFIG& config, const TaskDialogPlatform& platform) {
  BuildTaskDialogModel(model_, config, platform);
}

HRESULT TaskDialogRun::Show() {
  if (!WriteTaskDialogTemplate(model_, state_.LayOutTemplate(), block_)) return E_OUTOFMEMORY;
  RunModalIndirect(reinterpret_cast<const DLGTEMPLATE*>(block_.Data()), model_.config.hwndParent);
  switch (AbandonedBy()) {
    case Abandoned::kOutOfMemory:
      return E_OUTOFMEMORY;
    case Abandoned::kOther:
      return E_FAIL;
    default:
      return S_OK;
  }
}

}  // namespace commonq
