#include "wine/every_export.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlwapi.h>

#include "CommonQ.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

template <typename Function>
Function Find(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(LibraryModule(), name)));
}

}  // namespace

std::vector<ExportCall> EveryExport() {
  auto cancel = [](const char* caption) {
    return [caption](DialogDriver& driver, std::function<void(HWND)> whileUp) {
      driver.WaitForDialog(caption);
      if (whileUp) driver.Read(whileUp);
      driver.Command(IDCANCEL).WaitUntilGone();
    };
  };
  return {
      {"MessageBoxDoModal", cancel("Every export"),
       [] {
         return Find<MessageBoxDoModalFn>("MessageBoxDoModal")(nullptr, "Text", "Every export", MB_OKCANCEL, 3031);
       },
       IDCANCEL, 0},
      {"DlgColorDialogDoModal", cancel(""),
       [] {
         DlgColorParams params{};
         params.rgbInitial = RGB(1, 2, 3);
         return Find<DlgColorDialogDoModalFn>("DlgColorDialogDoModal")(&params);
       },
       2, 0},
      {"DlgFileOpenDoModal", cancel(""),
       [] {
         DlgFileParams params{};
         params.cbSize = sizeof params;
         char file[MAX_PATH] = {};
         params.pszFile = file;
         params.pszFilter = "PNG (*.png)\0*.png\0All files (*.*)\0*.*\0";
         params.nFilterIndex = 1;
         return Find<DlgFileDoModalFn>("DlgFileOpenDoModal")(&params);
       },
       2, 0},
      {"DlgFileSaveasDoModal", cancel(""),
       [] {
         DlgFileParams params{};
         params.cbSize = sizeof params;
         char file[MAX_PATH] = "scene.png";
         params.pszFile = file;
         params.pszFilter = "PNG (*.png)\0*.png\0All files (*.*)\0*.*\0";
         params.nFilterIndex = 1;
         params.pszDefExt = "png";
         params.dwFlags = OFN_ENABLETEMPLATE;
         params.nPromptMode = 1;
         return Find<DlgFileDoModalFn>("DlgFileSaveasDoModal")(&params);
       },
       2, 0},
      {"DlgFormatOptionDoModal", cancel("Png Save Options"),
       [] {
         DlgFormatOptionParams params{};
         lstrcpynA(params.szExtension, ".png", sizeof params.szExtension);
         return Find<DlgFormatOptionDoModalFn>("DlgFormatOptionDoModal")(&params);
       },
       2, 0},
      {"DlgFavDoAddTo", cancel("Add a Favorite"),
       [] {
         // The temp folder as the favorites root: a tree the walk can list quickly.
         DlgFavParams params{};
         ::GetTempPathA(sizeof params.szRoot, params.szRoot);
         ::PathRemoveBackslashA(params.szRoot);
         lstrcpynA(params.szName, "Office chair.obj", sizeof params.szName);
         return Find<int(__cdecl*)(DlgFavParams*)>("DlgFavDoAddTo")(&params);
       },
       2, 0},
      {"DlgFileInfoDoModal", cancel("Current File Information"),
       [] {
         char path[MAX_PATH] = {};
         ::GetModuleFileNameA(nullptr, path, MAX_PATH);
         DlgFileInfoParams params{};
         params.cbSize = sizeof params;
         params.pszPath = path;
         params.nFileSize = 123456;
         return Find<int(__cdecl*)(const DlgFileInfoParams*)>("DlgFileInfoDoModal")(&params);
       },
       2, 0},
      {"TaskDialogIndirect98", cancel("Every export"),
       [] {
         TASKDIALOGCONFIG config{};
         config.cbSize = sizeof config;
         config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_EXPAND_FOOTER_AREA;
         config.pszWindowTitle = L"Every export";
         config.pszMainInstruction = L"The model refers to textures that are not saved yet.";
         config.pszContent = L"Save them first, or save the model without them.";
         config.pszExpandedInformation = L"Textures: wood.png, steel.png";
         config.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
         int button = 0;
         const HRESULT result =
             Find<TaskDialogIndirect98Fn>("TaskDialogIndirect98")(&config, &button, nullptr, nullptr);
         return result == S_OK ? button : static_cast<int>(result);
       },
       IDCANCEL, static_cast<int>(E_FAIL)},
  };
}

}  // namespace commonq::testing
