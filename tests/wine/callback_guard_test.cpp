// Every kind of function the system calls into the library, failing inside its guarded adapter
// while the real export runs in CommonQ.dll: the dialog ends, the export returns its failure
// result, nothing is left alive, and the next call works. The injection reaches the DLL through
// the process environment (frame/guarded_callback.h), so it exists in the test builds only.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frame/guarded_callback.h"
#include "resources/favorites_ids.h"
#include "resources/filedialogs_ids.h"
#include "wine/library_fixture.h"

#if COMMONQ_TEST_SEAMS
namespace commonq::testing {
namespace {

struct GuardCase {
  const char* name;
  CallbackKind kind;
  UINT message;         // the failing call's message (0: the first call of its kind)
  const char* caption;  // of the export's dialog, which IDCANCEL closes with 2
  // Makes the callback run once the dialog is up and the failure injected; null: the callback runs
  // before the dialog is shown, and the failure is injected before the call.
  std::function<void(DialogDriver&)> trigger;
  std::function<int()> call;
  int failed;  // what `call` returns after the failure
  bool emulatedTaskDialog = false;
};

HRESULT CALLBACK AnswerEverything(HWND, UINT, WPARAM, LPARAM, LONG_PTR) { return S_OK; }

int TaskDialog() {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
  config.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
  config.pszWindowTitle = L"Guarded task";
  config.pfCallback = &AnswerEverything;
  int button = 0;
  const HRESULT result = TaskDialogIndirect98(&config, &button, nullptr, nullptr);
  return result == S_OK ? button : static_cast<int>(result);
}

// An export called with a copy of its record.
template <auto Export, typename Record>
int Call(Record record) {
  return Export(&record);
}

char g_file[MAX_PATH] = "scene.png";
const DlgFileParams kSaveAs{sizeof kSaveAs, nullptr, g_file, "PNG\0*.png\0", 1, nullptr, OFN_ENABLETEMPLATE, 1};
const auto kObjOptions = [] { return Call<DlgFormatOptionDoModal>(DlgFormatOptionParams{0, 0, ".obj"}); };
const auto kAddFavorite = [] { return Call<DlgFavDoAddTo>(DlgFavParams{0, "C:\\windows\\Fonts", "", "Chair.obj"}); };

const auto kSuppressibleBox = [] { return MessageBoxDoModal(nullptr, "Text", "Guarded box", MB_OKCANCEL, 3031); };

// The Wavefront page is a child dialog of the 3D options.
const auto kClickPageBox = [](DialogDriver& d) {
  d.Read([](HWND dialog) {
    HWND page = ::FindWindowExA(::GetDlgItem(dialog, IDC_3D_PAGE_HOST), nullptr, "#32770", nullptr);
    ::SendDlgItemMessageA(page, IDC_OBJ_MATERIAL_FILE, BM_CLICK, 0, 0);
  });
};

// The emulated task dialog's own callbacks run under Windows XP only: a later Windows forwards the
// call to its own dialog.
std::vector<GuardCase> Callbacks() {
  using enum CallbackKind;
  return {
      {"dialog procedure of a page", kDialogProcedure, WM_COMMAND, "3D File save options", kClickPageBox, kObjOptions,
       -1},
      {"Save As hook", kFileDialogHook, WM_INITDIALOG, "", nullptr, [] { return Call<DlgFileSaveasDoModal>(kSaveAs); },
       0},
      {"bound control's subclass", kSubclassProcedure, WM_SETTEXT, "Add a Favorite",
       [](DialogDriver& d) { d.Read([](HWND dialog) { ::SetDlgItemTextA(dialog, IDC_FAVORITE_NAME, "Chair"); }); },
       kAddFavorite, -1},
      {"message box hook", kWindowsHook, HCBT_CREATEWND, "Guarded box", nullptr, kSuppressibleBox, 0},
      {"message box's window procedure", kWindowProcedure, WM_INITDIALOG, "Guarded box", nullptr, kSuppressibleBox, 0},
      {"folder browser", kFolderBrowser, BFFM_INITIALIZED, "Add a Favorite",
       [](DialogDriver& d) { d.Click(IDC_FAVORITE_NEW_FOLDER); }, kAddFavorite, -1},
      {"child window walk", kChildEnumeration, 0, "Guarded task", nullptr, TaskDialog, E_OUTOFMEMORY, true},
      {"host's callback", kHostCallback, TDN_BUTTON_CLICKED, "Guarded task", [](DialogDriver& d) { d.Command(IDOK); },
       TaskDialog, E_OUTOFMEMORY, true},
  };
}

// What a failed call leaves alive, the fixture's tracer reports at the end of the test.
void ExpectFailuresEndTheCallsCleanly(bool emulatedTaskDialog) {
  for (const GuardCase& guard : Callbacks()) {
    if (guard.emulatedTaskDialog != emulatedTaskDialog) continue;
    SCOPED_TRACE(guard.name);
    if (!guard.trigger) InjectCallbackFailureForTesting(guard.kind, guard.message);
    const auto fail = [&](DialogDriver& d) {
      if (!guard.trigger) return;
      d.WaitForDialog(guard.caption).Read([&](HWND) { InjectCallbackFailureForTesting(guard.kind, guard.message); });
      guard.trigger(d);
      d.WaitUntilGone();
    };
    EXPECT_EQ(Drive(fail, guard.call), guard.failed);
    EXPECT_FALSE(CallbackFailurePendingForTesting()) << "the failing call never came";
    ClearCallbackFailureForTesting();
    const auto cancel = [&](DialogDriver& d) { d.WaitForDialog(guard.caption).Command(IDCANCEL).WaitUntilGone(); };
    EXPECT_EQ(Drive(cancel, guard.call), IDCANCEL) << "the next call";
  }
}

class CallbackGuardTest : public LibraryTest {};

TEST_F(CallbackGuardTest, AFailureInEachCallbackEndsTheDialogWithTheExportsFailureResultAndLeavesNothing) {
  // The Save As hook is the classic dialog's.
  SetDword(Key("Option"), "ClassicFileDialogs", 1);
  ExpectFailuresEndTheCallsCleanly(false);
}

TEST_F(OnWindowsXp, AFailureInTheEmulatedTaskDialogsCallbacksEndsItWithOutOfMemory) {
  ExpectFailuresEndTheCallsCleanly(true);
}

}  // namespace
}  // namespace commonq::testing
#endif
