// CommonQModernShots --gallery DIR: the gallery's shots of the library's own task dialog with the
// look of common controls 6 before Windows 6 (<file>_emulated_modern.png). Wine's comctl32 reports
// 5.81, so no export ever shows that look here; this program links the DLL's objects instead of
// the DLL, to inject that platform. Everything else in the gallery goes through the DLL.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "frame/export_call.h"
#include "task_dialog_samples.h"
#include "taskdialog/task_dialog_run.h"
#include "window_capture.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 || lstrcmpW(argv[1], L"--gallery") != 0) return 2;
  char folder[MAX_PATH] = {};
  WideCharToMultiByte(CP_ACP, 0, argv[2], -1, folder, MAX_PATH, nullptr, nullptr);
  // The library's resources (templates, icons) come from CommonQ.dll beside this program.
  HMODULE library = LoadLibraryA("CommonQ.dll");
  if (library == nullptr) return 2;
  commonq::SetLibraryInstance(library);
  const commonq::TaskDialogPlatform modern{5, true, false};
  commonq::OverrideTaskDialogPlatformForTesting(&modern);
  int failures = 0;
  for (demo::TaskDialogSample& sample : demo::TaskDialogSamples()) {
    const std::string path = std::string(folder) + "\\" + sample.file + "_emulated_modern.png";
    failures += !demo::CaptureDialog(path, sample.caption, [&] {
      commonq::ExportCall call;
      if (call.Started()) commonq::RunTaskDialog(&sample.config, nullptr, nullptr, nullptr);
    });
  }
  commonq::OverrideTaskDialogPlatformForTesting(nullptr);
  commonq::SetLibraryInstance(nullptr);
  FreeLibrary(library);
  return failures == 0 ? 0 : 1;
}
