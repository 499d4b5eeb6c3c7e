// TaskDialogIndirect98: the platform's task dialog where there is one, the library's own before.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <new>

#include "CommonQ.h"
#include "frame/export_call.h"
#include "frame/platform_version.h"
#include "taskdialog/logic/task_dialog_metrics.h"
#include "taskdialog/logic/task_dialog_values.h"
#include "taskdialog/task_dialog_run.h"
#include "taskdialog/windows_version.h"

namespace commonq {

static_assert(td::kEnableHyperlinks == TDF_ENABLE_HYPERLINKS && td::kCanBeMinimized == TDF_CAN_BE_MINIMIZED);
static_assert(td::kExpandFooterArea == TDF_EXPAND_FOOTER_AREA && td::kCallbackTimer == TDF_CALLBACK_TIMER);
static_assert(td::kNoDefaultRadioButton == TDF_NO_DEFAULT_RADIO_BUTTON && td::kRtlLayout == TDF_RTL_LAYOUT);
static_assert(td::kRetryButton == TDCBF_RETRY_BUTTON && td::kCloseButton == TDCBF_CLOSE_BUTTON);
static_assert(td::kCancelButton == TDCBF_CANCEL_BUTTON && td::kNoButton == TDCBF_NO_BUTTON);
static_assert(td::kWordBreak == DT_WORDBREAK && td::kNoPrefix == DT_NOPREFIX);
#if !defined(_WIN64)
static_assert(sizeof(TASKDIALOGCONFIG) == 96, "the caller's record is read in its published 32-bit layout");
#endif
static_assert(td::kIdClose == IDCLOSE && td::kIdRetry == IDRETRY && td::kIdYes == IDYES);

namespace {

// Written without a lock: every writer writes the same value.
int g_versionClass = 0;
#if COMMONQ_TEST_SEAMS
const TaskDialogPlatform* g_platformOverride = nullptr;
#else
constexpr const TaskDialogPlatform* g_platformOverride = nullptr;
#endif

int ComputeVersionClass() {
  unsigned major = 0, minor = 0;
  const bool known = ReadWindowsVersion(major, minor);
  return ClassifyWindowsVersion(known, major, minor);
}

bool IsDialogCountValid(const TASKDIALOGCONFIG& config) {
  if (config.cButtons > td::kMaxButtons || config.cRadioButtons > td::kMaxButtons) return false;
  const bool links = (config.dwFlags & (TDF_USE_COMMAND_LINKS | TDF_USE_COMMAND_LINKS_NO_ICON)) != 0;
  return !(links && config.cButtons == 0);
}

// A configuration that lists buttons must also give them: a null list with a count is refused
// instead of being read.
bool AreListsPresent(const TASKDIALOGCONFIG& config) {
  return (config.cButtons == 0 || config.pButtons != nullptr) &&
         (config.cRadioButtons == 0 || config.pRadioButtons != nullptr);
}

}  // namespace

int WindowsVersionClass() noexcept {
  if (g_platformOverride != nullptr) return g_platformOverride->versionClass;
  if (g_versionClass == 0) g_versionClass = ComputeVersionClass();
  return g_versionClass;
}

namespace {

bool HasModernCommonControls() noexcept {
  if (g_platformOverride != nullptr) return g_platformOverride->modernControls;
  return CommonControlsMajorVersion() >= 6;
}

bool IsWindows6OrLater() noexcept {
  if (g_platformOverride != nullptr) return g_platformOverride->windows6;
  return WindowsVersionClass() >= 6;
}

// The platform's TaskDialogIndirect, found at run time; E_FAIL when comctl32.dll lacks it. The
// call's activation context makes this the version 6 comctl32 on Windows 6 and later even in a
// host without a manifest, so there only a context that could not be made leads to the emulation.
HRESULT ForwardToNativeTaskDialog(const TASKDIALOGCONFIG* config, int* button, int* radioButton,
                                  BOOL* verificationChecked) noexcept {
  using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
  const UniqueModule comctl(::LoadLibraryA("comctl32.dll"));
  if (!comctl) return E_FAIL;
  const auto native = reinterpret_cast<TaskDialogIndirectFn>(
      reinterpret_cast<void*>(::GetProcAddress(comctl.get(), "TaskDialogIndirect")));
  if (native == nullptr) return E_FAIL;
  return native(config, button, radioButton, verificationChecked);
}

// Destroys the HICONs that the caller handed over with TDF_USE_HICON_MAIN and
// TDF_USE_HICON_FOOTER after the system's own dialog ran, each handle once, as the emulation does.
void DestroyCallerIcons(const TASKDIALOGCONFIG& config) noexcept {
  const UniqueIcon main((config.dwFlags & TDF_USE_HICON_MAIN) ? config.hMainIcon : nullptr);
  const bool footerGiven = (config.dwFlags & TDF_USE_HICON_FOOTER) && config.hFooterIcon != main.get();
  const UniqueIcon footer(footerGiven ? config.hFooterIcon : nullptr);
}

}  // namespace

#if COMMONQ_TEST_SEAMS
void OverrideTaskDialogPlatformForTesting(const TaskDialogPlatform* facts) noexcept { g_platformOverride = facts; }
#endif

HRESULT RunTaskDialog(const TASKDIALOGCONFIG* config, int* button, int* radioButton, BOOL* verificationChecked) {
  if (button != nullptr) *button = 0;
  if (config == nullptr) return E_INVALIDARG;
  if (WindowsVersionClass() >= 6 && ForwardToNativeTaskDialog(config, button, radioButton, verificationChecked) >= 0) {
    DestroyCallerIcons(*config);
    return S_OK;
  }
  if (!IsDialogCountValid(*config) || !AreListsPresent(*config)) return E_FAIL;
  TaskDialogPlatform platform;
  platform.versionClass = WindowsVersionClass();
  platform.modernControls = HasModernCommonControls();
  platform.windows6 = IsWindows6OrLater();
  TaskDialogRun run(*config, platform);
  const HRESULT shown = run.Show();
  if (FAILED(shown)) return shown;
  if (button != nullptr) *button = run.ButtonResult();
  if (radioButton != nullptr) *radioButton = run.RadioResult();
  if (verificationChecked != nullptr) *verificationChecked = run.VerificationResult();
  return S_OK;
}

}  // namespace commonq

extern "C" HRESULT __cdecl TaskDialogIndirect98(const TASKDIALOGCONFIG* config, int* button, int* radioButton,
                                                BOOL* verificationChecked) noexcept {
  try {
    commonq::ExportCall call;
    if (!call.Started()) return E_FAIL;
    return commonq::RunTaskDialog(config, button, radioButton, verificationChecked);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}
