#include "support/dialog_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace commonq::testing {
namespace {

constexpr int kEdit = 101;
constexpr int kCheck = 102;

std::string Join(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += "\n  " + line;
  return all;
}

std::string TempPath(const char* name) {
  char dir[MAX_PATH] = {};
  const DWORD length = GetTempPathA(MAX_PATH, dir);
  return (length > 0 && length < MAX_PATH ? std::string(dir) : std::string(".\\")) + name;
}

// An in-memory DLGTEMPLATE, so the driver is tested against plain dialogs the test controls.
class DialogTemplate {
 public:
  DialogTemplate(const wchar_t* caption, short cx, short cy) {
    Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
    Dword(0);
    count_ = words_.size();
    Word(0);
    for (short v : {short{0}, short{0}, cx, cy}) Word(static_cast<WORD>(v));
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    String(caption);
    Word(9);
    String(L"MS Shell Dlg");
  }

  DialogTemplate& Item(WORD classAtom, DWORD style, WORD id, const wchar_t* text, short x, short y, short cx,
                       short cy) {
    if (words_.size() % 2) Word(0);  // items start on a DWORD boundary
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    for (short v : {x, y, cx, cy}) Word(static_cast<WORD>(v));
    Word(id);
    Word(0xFFFF);
    Word(classAtom);
    String(text);
    Word(0);  // no creation data
    ++words_[count_];
    return *this;
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Word(WORD v) { words_.push_back(v); }
  void Dword(DWORD v) {
    Word(LOWORD(v));
    Word(HIWORD(v));
  }
  void String(const wchar_t* s) {
    for (; *s; ++s) Word(static_cast<WORD>(*s));
    Word(0);
  }

  std::vector<WORD> words_;
  size_t count_ = 0;
};

constexpr WORD kButton = 0x0080;
constexpr WORD kEditClass = 0x0081;

struct FormState {
  bool slowInit = false;     // pump messages for a while inside WM_INITDIALOG
  bool confirmOnOk = false;  // OK asks a nested MB_OKCANCEL box "Confirm" first
  bool initDone = false;
  int checkClicks = 0;
  int confirmations = 0;
  int cancels = 0;
  std::string text;
  bool checked = false;
};

INT_PTR CALLBACK FormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<FormState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      state = reinterpret_cast<FormState*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      if (state->slowInit) {
        // Visible and enabled long before initialisation ends, the way a dialog that shows
        // progress while it loads would be.
        ShowWindow(dialog, SW_SHOW);
        const ULONGLONG until = GetTickCount64() + 400;
        while (GetTickCount64() < until) {
          MSG msg;
          while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
          Sleep(5);
        }
      }
      state->initDone = true;
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kCheck && HIWORD(wParam) == BN_CLICKED) ++state->checkClicks;
      if (LOWORD(wParam) == IDOK) {
        if (state->confirmOnOk) {
          if (MessageBoxA(dialog, "Save the form?", "Confirm", MB_OKCANCEL) != IDOK) return TRUE;
          ++state->confirmations;
        }
        state->text = ControlText(dialog, kEdit);
        state->checked = IsChecked(dialog, kCheck);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        ++state->cancels;
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR RunForm(const wchar_t* caption, FormState& state) {
  DialogTemplate form(caption, 200, 80);
  form.Item(kEditClass, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kEdit, L"", 7, 7, 186, 14)
      .Item(kButton, BS_AUTOCHECKBOX | WS_TABSTOP, kCheck, L"Remember", 7, 27, 100, 12)
      .Item(kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, L"OK", 89, 59, 50, 14)
      .Item(kButton, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, L"Cancel", 143, 59, 50, 14);
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), form.get(), nullptr, &FormProc,
                                 reinterpret_cast<LPARAM>(&state));
}

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}

// The number of distinct colours in a PNG written by our encoder (IHDR, one IDAT of stored
// blocks, IEND); a blank capture has one.
size_t DistinctColours(const std::vector<uint8_t>& png, uint32_t width, uint32_t height) {
  const size_t idat = 8 + 12 + 13;
  if (png.size() < idat + 8 || std::string(png.begin() + idat + 4, png.begin() + idat + 8) != "IDAT") return 0;
  const size_t end = idat + 8 + Be32(png, idat);
  std::vector<uint8_t> raw;
  for (size_t pos = idat + 8 + 2; pos + 5 <= end;) {
    const size_t len = png[pos + 1] | (png[pos + 2] << 8);
    const bool last = png[pos] & 1;
    pos += 5;
    if (pos + len > end) return 0;
    raw.insert(raw.end(), png.begin() + static_cast<std::ptrdiff_t>(pos),
               png.begin() + static_cast<std::ptrdiff_t>(pos + len));
    pos += len;
    if (last) break;
  }
  const size_t stride = size_t{width} * 3 + 1;
  if (raw.size() != stride * height) return 0;
  std::set<uint32_t> colours;
  for (size_t y = 0; y < height; ++y) {
    for (size_t x = 0; x < width; ++x) {
      const uint8_t* p = &raw[y * stride + 1 + x * 3];
      colours.insert((uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2]);
    }
  }
  return colours.size();
}

TEST(DialogDriver, AnswersAMessageBoxAndCapturesIt) {
  const std::string png = TempPath("commonq_driver_capture.png");
  std::remove(png.c_str());
  RECT box{};
  std::string text;

  DialogDriver driver;
  driver.WaitForDialog("Driver check")
      .Read([&](HWND dialog) {
        GetWindowRect(dialog, &box);
        HWND label = FindChildByClassAndText(dialog, "static", "Keep the changes?");
        EXPECT_NE(label, nullptr) << "message text not found by class and text";
        text = WindowTextOf(label);
      })
      .Capture(png)
      .Click(IDNO)
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(MessageBoxA(nullptr, "Keep the changes?", "Driver check", MB_YESNO), IDNO);
  EXPECT_TRUE(driver.Finished());
  EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
  EXPECT_EQ(text, "Keep the changes?");

  std::ifstream file(png, std::ios::binary);
  ASSERT_TRUE(file) << png << " was not written";
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();
  std::remove(png.c_str());
  const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_GE(bytes.size(), 33u);
  ASSERT_TRUE(std::equal(signature.begin(), signature.end(), bytes.begin()));
  // The capture takes in the frame, so it is exactly the window rectangle.
  const uint32_t width = Be32(bytes, 16), height = Be32(bytes, 20);
  EXPECT_EQ(width, static_cast<uint32_t>(box.right - box.left));
  EXPECT_EQ(height, static_cast<uint32_t>(box.bottom - box.top));
  EXPECT_GT(width, 80u);
  EXPECT_GT(height, 50u);
  EXPECT_LT(width, 1280u);
  // Caption bar, face, text and button edges: a blank capture would be a single colour.
  EXPECT_GE(DistinctColours(bytes, width, height), 4u);
}

TEST(DialogDriver, RunsOneDriverAfterAnotherInTheSameThread) {
  for (int answer : {IDOK, IDCANCEL, IDOK}) {
    DialogDriver driver;
    driver.WaitForDialog("Again").Click(answer).WaitUntilGone();
    driver.Start();
    EXPECT_EQ(MessageBoxA(nullptr, "Once more", "Again", MB_OKCANCEL), answer);
    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
  }
}

TEST(DialogDriver, TimesOutAndClosesTheBlockingBox) {
  DialogDriver driver(1500);
  driver.WaitForDialog("Never shown").Click(IDOK);
  driver.Start();
  const ULONGLONG started = GetTickCount64();
  MessageBoxA(nullptr, "Nobody answers this", "Unanswered", MB_YESNO);
  const ULONGLONG elapsed = GetTickCount64() - started;
  EXPECT_GE(elapsed, 1400u);
  EXPECT_LT(elapsed, 8000u);
  EXPECT_FALSE(driver.Finished());
  ASSERT_EQ(driver.Errors().size(), 1u) << Join(driver.Errors());
  EXPECT_NE(driver.Errors()[0].find("timed out"), std::string::npos) << driver.Errors()[0];
  EXPECT_NE(driver.Errors()[0].find("Never shown"), std::string::npos) << driver.Errors()[0];
}

TEST(DialogDriver, TimeoutAlsoClosesANestedBox) {
  FormState state;
  state.confirmOnOk = true;
  DialogDriver driver(1500);
  driver.WaitForDialog("Form").Click(IDOK).WaitForDialog("Never shown");
  driver.Start();
  const ULONGLONG started = GetTickCount64();
  const INT_PTR result = RunForm(L"Form", state);
  EXPECT_LT(GetTickCount64() - started, 8000u);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(state.confirmations, 0);
  EXPECT_EQ(state.cancels, 1) << "the form is asked to cancel before it is ended by force";
  ASSERT_FALSE(driver.Errors().empty());
  EXPECT_NE(driver.Errors()[0].find("timed out"), std::string::npos) << Join(driver.Errors());
}

TEST(DialogDriver, TypesIntoTheFocusedEditAndPressesKeys) {
  FormState state;
  std::string afterTyping;
  DialogDriver driver;
  driver.WaitForDialog("Typing")
      .Keys("Hello, World 42!")
      .Read([&](HWND dialog) { afterTyping = ControlText(dialog, kEdit); })
      .Key(VK_HOME)
      .Keys(">")
      .Key(VK_END)
      .Keys("\b?")
      .Key(VK_RETURN)  // the default button
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(RunForm(L"Typing", state), IDOK);
  EXPECT_TRUE(driver.Finished());
  EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
  EXPECT_EQ(afterTyping, "Hello, World 42!");
  EXPECT_EQ(state.text, ">Hello, World 42?");
}

TEST(DialogDriver, TypesIntoAControlGivenTheFocus) {
  FormState state;
  DialogDriver driver;
  driver.WaitForDialog("Focus").Focus(kCheck).Keys(" ").Focus(kEdit).Keys("x\n").WaitUntilGone();
  driver.Start();
  EXPECT_EQ(RunForm(L"Focus", state), IDOK);
  EXPECT_TRUE(driver.Finished());
  EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
  EXPECT_TRUE(state.checked) << "space on the focused check box";
  EXPECT_EQ(state.text, "x");
}

TEST(DialogDriver, TypingBringsTheDialogBackToTheFront) {
  // SendInput goes to the foreground window, so keystrokes typed while another window is in
  // front would be lost unless the driver brings the dialog back first.
  HWND other = CreateWindowExW(0, L"STATIC", L"In front", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 200, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  FormState state;
  bool otherWasInFront = false;
  DialogDriver driver;
  driver.WaitForDialog("Behind")
      .Read([&](HWND) {
        SetForegroundWindow(other);
        otherWasInFront = GetForegroundWindow() == other;
      })
      .Keys("typed\n")
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(RunForm(L"Behind", state), IDOK);
  DestroyWindow(other);
  EXPECT_TRUE(driver.Finished());
  EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
  EXPECT_TRUE(otherWasInFront);
  EXPECT_EQ(state.text, "typed");
}

TEST(DialogDriver, DrivesAFormThroughANestedConfirmation) {
  FormState state;
  state.confirmOnOk = true;
  bool ownerDisabledDuringBox = false;
  bool reopenedForm = false;
  DialogDriver driver;
  driver.WaitForDialog("Form")
      .SetText(kEdit, "abc")
      .SetCheck(kCheck, true)
      .SetCheck(kCheck, true)  // already checked: must not click again
      .Click(999)              // no such control: an error, and the script goes on
      .Click(IDOK)
      .WaitForDialog("Confirm")
      .Read([&](HWND box) { ownerDisabledDuringBox = !IsWindowEnabled(GetWindow(box, GW_OWNER)); })
      .Click(IDCANCEL)  // the form stays open
      .WaitUntilGone()
      .Read([&](HWND form) {
        reopenedForm = WindowTextOf(form) == "Form" && IsWindowEnabled(form);
        EXPECT_TRUE(IsChecked(form, kCheck));
        EXPECT_EQ(ControlText(form, kEdit), "abc");
      })
      .SetCheck(kCheck, false)
      .Click(IDOK)
      .WaitForDialog()  // no caption: the box, not the form it disabled
      .Read([&](HWND box) { EXPECT_EQ(WindowTextOf(box), "Confirm"); })
      .Click(IDOK)
      .WaitUntilGone()
      .WaitUntilGone();  // the form itself
  driver.Start();
  EXPECT_EQ(RunForm(L"Form", state), IDOK);
  EXPECT_TRUE(driver.Finished());
  ASSERT_EQ(driver.Errors().size(), 1u) << Join(driver.Errors());
  EXPECT_NE(driver.Errors()[0].find("Click(999)"), std::string::npos) << driver.Errors()[0];
  EXPECT_TRUE(ownerDisabledDuringBox);
  EXPECT_TRUE(reopenedForm);
  EXPECT_EQ(state.checkClicks, 2);
  EXPECT_EQ(state.confirmations, 1);
  EXPECT_EQ(state.text, "abc");
  EXPECT_FALSE(state.checked);
}

TEST(DialogDriver, WaitsUntilWmInitDialogHasReturned) {
  FormState state;
  state.slowInit = true;
  bool initDoneWhenFound = false;
  DialogDriver driver;
  driver.WaitForDialog("Slow")
      .Read([&](HWND) { initDoneWhenFound = state.initDone; })
      .Command(IDCANCEL)
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(RunForm(L"Slow", state), IDCANCEL);
  EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
  EXPECT_TRUE(initDoneWhenFound);
}

}  // namespace
}  // namespace commonq::testing
