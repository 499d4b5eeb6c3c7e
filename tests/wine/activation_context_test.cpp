// The library's common-controls 6 activation context, seen from a host without a manifest (this
// program has none): the library's dialogs, and the system's task dialog it forwards to, get the
// version 6 controls; the host's own windows and active context are the same before and after a
// call; the context is made once and released when the host unloads the library.
//
// Wine's comctl32 reports 5.81 from DllGetVersion whatever is active, so the version shows in the
// controls themselves: a version 6 BUTTON is comctl32's class, a version 5 one user32's.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "support/import_redirect.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

constexpr int kCheckBoxId = 1092;

// The file name of the module whose code is the class procedure of `control`, in lower case.
std::string ClassModule(HWND control) {
  HMODULE module = nullptr;
  const auto procedure = reinterpret_cast<LPCSTR>(::GetClassLongPtrW(control, GCLP_WNDPROC));
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, procedure,
                       &module);
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(module, path, MAX_PATH);
  std::string name = ::PathFindFileNameA(path);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// The class module of a button the host makes itself, outside any call.
std::string HostButtonModule() {
  HWND button = ::CreateWindowExA(0, "BUTTON", "Host", WS_POPUP, 0, 0, 40, 20, nullptr, nullptr, nullptr, nullptr);
  const std::string module = ClassModule(button);
  ::DestroyWindow(button);
  return module;
}

// The thread's active activation context, compared by handle.
HANDLE CurrentContext() {
  HANDLE context = nullptr;
  ::GetCurrentActCtx(&context);
  if (context != nullptr) ::ReleaseActCtx(context);  // the handle stays valid while it is active
  return context;
}

// Cancels the dialog `caption`, reading its control `id`'s class module and the active context.
int ShowAndRead(const char* caption, int id, std::string& module, HANDLE& context, int (*call)()) {
  const auto script = [&](DialogDriver& d) {
    d.WaitForDialog(caption)
        .Read([&](HWND dialog) {
          module = ClassModule(::GetDlgItem(dialog, id));
          context = CurrentContext();
        })
        .Command(IDCANCEL)
        .WaitUntilGone();
  };
  return Drive(script, call);
}

int PngOptions() {
  DlgFormatOptionParams params{0, 0, ".png"};
  return DlgFormatOptionDoModal(&params);
}

// Forwarded to the system's own task dialog here (as on Windows 6 and later).
int TaskDialog() {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
  config.pszWindowTitle = L"Caption";
  int button = 0;
  return TaskDialogIndirect98(&config, &button, nullptr, nullptr) == S_OK ? button : 0;
}

class ActivationContextTest : public LibraryTest {};

TEST_F(ActivationContextTest, LibraryDialogsGetVersion6ControlsAndTheHostKeepsItsOwn) {
  const HANDLE hostContext = CurrentContext();
  EXPECT_EQ(HostButtonModule(), "user32.dll");
  std::string okModule, checkModule, taskModule;
  HANDLE inOptions = nullptr, inBox = nullptr, inTask = nullptr;
  EXPECT_EQ(ShowAndRead("Png Save Options", IDOK, okModule, inOptions, PngOptions), IDCANCEL);
  EXPECT_EQ(ShowAndRead("Caption", kCheckBoxId, checkModule, inBox,
                        [] { return MessageBoxDoModal(nullptr, "Text", "Caption", MB_OKCANCEL, 3031); }),
            IDCANCEL);
  EXPECT_EQ(ShowAndRead("Caption", IDOK, taskModule, inTask, TaskDialog), IDCANCEL);
  EXPECT_EQ(okModule, "comctl32.dll") << "the options dialog's OK button";
  EXPECT_EQ(checkModule, "comctl32.dll") << "the message box's check box";
  EXPECT_EQ(taskModule, "comctl32.dll") << "the system task dialog's OK button";
  EXPECT_NE(inOptions, hostContext);
  EXPECT_TRUE(inBox == inOptions && inTask == inOptions) << "one context for every call";
  EXPECT_EQ(CurrentContext(), hostContext) << "the call left its context active";
  EXPECT_EQ(HostButtonModule(), "user32.dll");
}

// A second copy of the DLL, loaded and unloaded by this test alone: two calls make the context
// once, and unloading the copy releases it.
int g_created = 0, g_released = 0;
void* g_createActCtx = nullptr;
void* g_releaseActCtx = nullptr;
HANDLE WINAPI CountingCreateActCtxA(PCACTCTXA request) {
  ++g_created;
  return reinterpret_cast<decltype(&::CreateActCtxA)>(g_createActCtx)(request);
}
void WINAPI CountingReleaseActCtx(HANDLE context) {
  ++g_released;
  reinterpret_cast<decltype(&::ReleaseActCtx)>(g_releaseActCtx)(context);
}

TEST(ActivationContextLifetime, MadeAtTheFirstCallOnlyAndReleasedWhenTheHostUnloadsTheLibrary) {
  char original[MAX_PATH] = {};
  ::GetModuleFileNameA(LibraryModule(), original, MAX_PATH);
  const std::string copyPath = TempPath("CommonQ_unloaded.dll");
  ASSERT_TRUE(::CopyFileA(original, copyPath.c_str(), FALSE));
  HMODULE copy = ::LoadLibraryA(copyPath.c_str());
  ASSERT_NE(copy, nullptr);
  const auto options = reinterpret_cast<decltype(&DlgFormatOptionDoModal)>(
      reinterpret_cast<void*>(::GetProcAddress(copy, "DlgFormatOptionDoModal")));
  ASSERT_NE(options, nullptr);
  {
    const ImportRedirect counting(copy, "CreateActCtxA", reinterpret_cast<void*>(&CountingCreateActCtxA),
                                  &g_createActCtx);
    LeakTracer tracer(copy);
    tracer.Start();
    for (int call = 0; call < 2; ++call) {
      DlgFormatOptionParams params{0, 0, ".png"};
      const auto cancel = [](DialogDriver& d) {
        d.WaitForDialog("Png Save Options").Command(IDCANCEL).WaitUntilGone();
      };
      EXPECT_EQ(Drive(cancel, [&] { return options(&params); }), IDCANCEL);
    }
    EXPECT_TRUE(tracer.Survivors().empty()) << tracer.Survivors().front();
  }
  EXPECT_EQ(g_created, 1);
  // Left in place: the table it patches goes with the module.
  new ImportRedirect(copy, "ReleaseActCtx", reinterpret_cast<void*>(&CountingReleaseActCtx), &g_releaseActCtx);
  EXPECT_TRUE(::FreeLibrary(copy));
  EXPECT_EQ(::GetModuleHandleA(copyPath.c_str()), nullptr);
  EXPECT_EQ(g_released, 1);
  ::DeleteFileA(copyPath.c_str());
}

}  // namespace
}  // namespace commonq::testing
