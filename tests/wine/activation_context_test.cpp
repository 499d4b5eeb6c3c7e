// The library's common-controls 6 activation context, seen from a host without a manifest (this
// program has none), through a copy of the DLL that this test alone loads and unloads: the
// library's dialogs, and the system's task dialog it forwards to, get the version 6 controls; the
// host's own controls and active context are the same before and after the calls; the context is
// made once and released when the host unloads the library.
//
// Wine's comctl32 reports 5.81 from DllGetVersion whatever is active, so the version shows in the
// controls themselves: a version 6 BUTTON is comctl32's class, a version 5 one user32's.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

#include "support/import_redirect.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

// The file name, in lower case, of the module holding the class procedure of `control`.
std::string ClassModule(HWND control) {
  HMODULE module = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(::GetClassLongPtrW(control, GCLP_WNDPROC)), &module);
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(module, path, MAX_PATH);
  return ::CharLowerA(::PathFindFileNameA(path));
}

// The class module of control `id` in the dialog that `call` shows, which is then cancelled.
std::string ModuleWhileUp(int id, const std::function<int()>& call) {
  std::string module;
  const auto read = [&](HWND dialog) { module = ClassModule(::GetDlgItem(dialog, id)); };
  Drive([&](DialogDriver& d) { d.WaitForDialog().Read(read).Command(IDCANCEL).WaitUntilGone(); }, call);
  return module;
}

int g_created = 0, g_released = 0;
void *g_create = nullptr, *g_release = nullptr;
HANDLE WINAPI CountedCreateActCtxA(PCACTCTXA request) {
  ++g_created;
  return reinterpret_cast<decltype(&::CreateActCtxA)>(g_create)(request);
}
void WINAPI CountedReleaseActCtx(HANDLE context) {
  ++g_released;
  reinterpret_cast<decltype(&::ReleaseActCtx)>(g_release)(context);
}

template <typename Pointer>
Pointer Export(HMODULE module, const char* name) {
  return reinterpret_cast<Pointer>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

TEST(ActivationContext, LibraryDialogsGetVersion6ControlsTheHostKeepsItsOwnAndUnloadingReleasesIt) {
  char original[MAX_PATH] = {};
  ::GetModuleFileNameA(LibraryModule(), original, MAX_PATH);
  const std::string path = TempPath("CommonQ_unloaded.dll");
  ASSERT_TRUE(::CopyFileA(original, path.c_str(), FALSE));
  HMODULE copy = ::LoadLibraryA(path.c_str());
  ASSERT_NE(copy, nullptr);
  DeleteSettings();
  HANDLE hostContext = nullptr, afterCalls = nullptr;  // none: this program has no manifest
  ::GetCurrentActCtx(&hostContext);
  {
    const ImportRedirect counted(copy, "CreateActCtxA", reinterpret_cast<void*>(&CountedCreateActCtxA), &g_create);
    LeakTracer tracer(copy);
    tracer.Start();
    DlgFormatOptionParams options{0, 0, ".png"};
    TASKDIALOGCONFIG task{};
    task.cbSize = sizeof task;
    task.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
    const std::tuple<const char*, int, std::function<int()>> controls[] = {
        {"the options dialog's OK button", IDOK,
         [&] { return Export<decltype(&DlgFormatOptionDoModal)>(copy, "DlgFormatOptionDoModal")(&options); }},
        {"the message box's check box", 1092,
         [&] {
           return Export<decltype(&MessageBoxDoModal)>(copy, "MessageBoxDoModal")(nullptr, "Text", "Caption",
                                                                                  MB_OKCANCEL, 3031);
         }},
        // Forwarded to the system's, as from Windows 6 on.
        {"the system task dialog's OK button", IDOK, [&] {
           return static_cast<int>(
               Export<decltype(&TaskDialogIndirect98)>(copy, "TaskDialogIndirect98")(&task, nullptr, nullptr, nullptr));
         }}};
    for (const auto& [what, id, call] : controls) EXPECT_EQ(ModuleWhileUp(id, call), "comctl32.dll") << what;
    ::GetCurrentActCtx(&afterCalls);
    EXPECT_EQ(afterCalls, hostContext) << "a call left its context active";
    HWND button = ::CreateWindowExA(0, "BUTTON", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(ClassModule(button), "user32.dll") << "the host's own button";
    ::DestroyWindow(button);
    EXPECT_TRUE(tracer.Survivors().empty()) << tracer.Survivors().front();
  }
  EXPECT_EQ(g_created, 1) << "made at the first call only";
  // Never restored: the table it patches goes with the module.
  new ImportRedirect(copy, "ReleaseActCtx", reinterpret_cast<void*>(&CountedReleaseActCtx), &g_release);
  EXPECT_TRUE(::FreeLibrary(copy));
  EXPECT_EQ(::GetModuleHandleA(path.c_str()), nullptr);
  EXPECT_EQ(g_released, 1);
  ::DeleteFileA(path.c_str());
  DeleteSettings();
}

}  // namespace
}  // namespace commonq::testing
