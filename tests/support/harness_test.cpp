// Self-tests of the harness: the leak tracer catches what a DLL leaks and covers every creating
// function CommonQ.dll imports, and the dialog driver drives a dialog and ends one nobody answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/dialog_driver.h"
#include "support/import_redirect.h"
#include "support/leak_tracer.h"

namespace commonq::testing {
namespace {

std::string Join(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += "\n  " + line;
  return all;
}

std::string Hex(const void* handle) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)));
  return text;
}

class LeakTracerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(dll_, nullptr) << "leaky.dll must lie beside the test executable"; }
  void TearDown() override { FreeLibrary(dll_); }
  template <typename Signature = void* (*)()>
  Signature Export(const char* name) {
    return reinterpret_cast<Signature>(reinterpret_cast<void*>(GetProcAddress(dll_, name)));
  }

  HMODULE dll_ = LoadLibraryA("leaky.dll");
};

TEST_F(LeakTracerTest, ReportsEachKindOfLeakUntilItIsReleased) {
  struct Case {
    const char* leak;
    std::string type;    // before the handle
    std::string origin;  // after it
    std::function<void(void*)> release;
  };
  const std::vector<Case> cases = {
      {"LeakBrush", "HBRUSH ", " from CreateSolidBrush", [](void* h) { DeleteObject(h); }},
      {"LeakKey", "HKEY ", " from RegOpenKeyExA (Software)", [](void* h) { RegCloseKey(static_cast<HKEY>(h)); }},
      {"LeakWindow", "HWND ", " from CreateWindowExA (class \"Static\", \"leaked\")",
       [](void* h) { DestroyWindow(static_cast<HWND>(h)); }},
      {"LeakHook", "HHOOK ", " from SetWindowsHookExA", [](void* h) { UnhookWindowsHookEx(static_cast<HHOOK>(h)); }},
      {"LeakThreadTimer", "timer ", " from SetTimer",
       [](void* h) { KillTimer(nullptr, reinterpret_cast<UINT_PTR>(h)); }},
      {"LeakDc", "HDC ", " from GetDC", [](void* h) { ReleaseDC(nullptr, static_cast<HDC>(h)); }},
      {"LeakHeap", "heap block ", " from HeapAlloc (24 bytes)", [](void* h) { HeapFree(GetProcessHeap(), 0, h); }},
      {"LeakGlobal", "HGLOBAL ", " from GlobalAlloc (32 bytes)", [](void* h) { GlobalFree(h); }},
      {"LeakIcon", "HICON ", " from LoadImageA (#32516)", [](void* h) { DestroyIcon(static_cast<HICON>(h)); }},
      {"LeakLibrary", "HMODULE ", " from LoadLibraryA (msimg32.dll)",
       [](void* h) { FreeLibrary(static_cast<HMODULE>(h)); }},
      {"LeakComInit", "COM initialisation ", " from CoInitialize", [&](void*) { Export<void (*)()>("EndComInit")(); }},
  };
  LeakTracer tracer(dll_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.leak);
    tracer.Start();
    void* handle = Export(c.leak)();
    ASSERT_NE(handle, nullptr);
    const std::string shown = c.leak == std::string("LeakComInit") ? "0x0" : Hex(handle);
    EXPECT_EQ(tracer.Survivors(), std::vector<std::string>{c.type + shown + c.origin});
    c.release(handle);
  }
}

TEST_F(LeakTracerTest, BalancedCallsLeaveNoSurvivors) {
  LeakTracer tracer(dll_);
  tracer.Start();
  Export<void (*)()>("Balanced")();
  EXPECT_TRUE(tracer.Survivors().empty()) << Join(tracer.Survivors());
  for (const char* function : {"CreateSolidBrush", "RegOpenKeyExA", "GetDC", "CreateCompatibleDC", "GlobalAlloc",
                               "GlobalReAlloc", "HeapAlloc", "CoInitialize", "SetTimer"}) {
    EXPECT_EQ(tracer.Created(function), 1u) << function;
  }
  EXPECT_EQ(tracer.Created("CreateWindowExA"), 2u);
  EXPECT_EQ(tracer.Created("LoadImageA"), 0u) << "a shared icon is not the DLL's to destroy";
}

TEST_F(LeakTracerTest, CallerIconIsReportedUntilTheDllDestroysIt) {
  LeakTracer tracer(dll_);
  tracer.Start();
  // Made through the test's own imports, so the tracer never sees it made.
  HICON icon = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
  ASSERT_NE(icon, nullptr);
  tracer.ExpectDestroyedByContract(icon);
  EXPECT_EQ(tracer.Survivors(),
            std::vector<std::string>{"HICON " + Hex(icon) + " of the caller, which the DLL should have destroyed"});
  EXPECT_TRUE(Export<BOOL (*)(HICON)>("DestroyCallerIcon")(icon));
  EXPECT_TRUE(tracer.Survivors().empty()) << Join(tracer.Survivors());
}

TEST_F(LeakTracerTest, RedirectsTheImportTableOnlyWhileItExists) {
  void* const original = Export("CreateSolidBrushEntry")();
  {
    LeakTracer tracer(dll_);
    EXPECT_NE(Export("CreateSolidBrushEntry")(), original);
    EXPECT_THROW({ LeakTracer second(dll_); }, std::logic_error);
  }
  EXPECT_EQ(Export("CreateSolidBrushEntry")(), original);
  EXPECT_THROW({ LeakTracer none(nullptr); }, std::invalid_argument);
}

// A creating function the library starts to import and the tracer does not know would let its
// handles leak unseen. The static runtime's own kernel objects are not the library's.
TEST(LeakTracer, CoversEveryCreatingImportOfTheLibrary) {
  HMODULE library = LoadLibraryA("CommonQ.dll");
  ASSERT_NE(library, nullptr);
  const std::regex creating(
      "Create.*|Load(Image|Bitmap|Icon|Cursor|Library).*|Get(Window)?DC(Ex)?|SetWindowsHookEx.|"
      "SetTimer|Reg(Open|Create)Key.*|(Global|Local|Heap)(Re)?Alloc|CoInitialize.*|SHGetFileInfo.");
  const std::vector<std::string> runtime = {"CreateEventA", "CreateSemaphoreA"};
  {
    LeakTracer tracer(library);
    ForEachNamedImport(library, [&](const char* name, void**) {
      if (!std::regex_match(name, creating) || std::count(runtime.begin(), runtime.end(), name)) return;
      EXPECT_TRUE(std::count(tracer.Patched().begin(), tracer.Patched().end(), name)) << name << " is not traced";
    });
  }
  FreeLibrary(library);
}

constexpr int kEdit = 101;
constexpr int kCheck = 102;

struct Form {
  int checkClicks = 0;
  int confirmations = 0;
  std::string text;
  bool checked = false;
};

// OK asks "Confirm" in a nested message box first and keeps the form open when it is refused.
INT_PTR CALLBACK FormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (message != WM_COMMAND) return message == WM_INITDIALOG;
  if (LOWORD(wParam) == kCheck) ++form->checkClicks;
  if (LOWORD(wParam) == IDOK) {
    if (MessageBoxA(dialog, "Save the form?", "Confirm", MB_OKCANCEL) != IDOK) return TRUE;
    ++form->confirmations;
    form->text = ControlText(dialog, kEdit);
    form->checked = IsChecked(dialog, kCheck);
  }
  if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
  return TRUE;
}

// The form of harness_form.rc: an edit box, a check box, OK and Cancel.
INT_PTR RunForm(Form& form) {
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(100), nullptr, &FormProc,
                         reinterpret_cast<LPARAM>(&form));
}

TEST(DialogDriver, DrivesAFormThroughANestedConfirmation) {
  Form form;
  bool backOnTheForm = false;
  DialogDriver driver;
  driver.WaitForDialog("Form")
      .SetText(kEdit, "ab")
      .Focus(kEdit)
      .Key(VK_END)
      .Keys("c")
      .SetCheck(kCheck, true)
      .SetCheck(kCheck, true)  // already checked: must not click again
      .Click(999)              // no such control: an error, and the script goes on
      .Click(IDOK)
      .WaitForDialog("Confirm")
      .Click(IDCANCEL)  // the form stays open
      .WaitUntilGone()
      .Read([&](HWND dialog) {
        backOnTheForm = WindowTextOf(dialog) == "Form" && IsWindowEnabled(dialog);
        EXPECT_EQ(ControlText(dialog, kEdit), "abc");
        EXPECT_NE(FindChildByClassAndText(dialog, "button", "Remember"), nullptr);
      })
      .SetCheck(kCheck, false)
      .Click(IDOK)
      .WaitForDialog()  // no caption: the box, not the form it disabled
      .Read([&](HWND box) { EXPECT_EQ(WindowTextOf(box), "Confirm"); })
      .Click(IDOK)
      .WaitUntilGone()
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(RunForm(form), IDOK);
  EXPECT_TRUE(driver.Finished());
  ASSERT_EQ(driver.Errors().size(), 1u) << Join(driver.Errors());
  EXPECT_NE(driver.Errors()[0].find("Click(999)"), std::string::npos) << driver.Errors()[0];
  EXPECT_TRUE(backOnTheForm);
  EXPECT_EQ(form.checkClicks, 2);
  EXPECT_EQ(form.confirmations, 1);
  EXPECT_EQ(form.text, "abc");
  EXPECT_FALSE(form.checked);
}

TEST(DialogDriver, TimesOutAndClosesANestedBoxAndItsForm) {
  Form form;
  DialogDriver driver(1500);
  driver.WaitForDialog("Form").Click(IDOK).WaitForDialog("Never shown");
  driver.Start();
  const ULONGLONG started = GetTickCount64();
  EXPECT_EQ(RunForm(form), IDCANCEL);
  EXPECT_LT(GetTickCount64() - started, 8000u);
  EXPECT_EQ(form.confirmations, 0);
  EXPECT_FALSE(driver.Finished());
  ASSERT_FALSE(driver.Errors().empty());
  EXPECT_NE(driver.Errors()[0].find("timed out"), std::string::npos) << Join(driver.Errors());
  EXPECT_NE(driver.Errors()[0].find("Never shown"), std::string::npos) << Join(driver.Errors());
}

}  // namespace
}  // namespace commonq::testing
