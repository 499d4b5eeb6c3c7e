// White-box tests of what the format options dialogs share: the radio-group rule and the page
// host of the 3D dialog, on real windows made from in-memory templates.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "filedialogs/format_dialog.h"
#include "filedialogs/format_dialogs.h"
#include "support/dialog_driver.h"
#include "wine/dialog_template.h"

namespace commonq::testing {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON;

std::vector<UINT> g_notifications;
bool g_refuseChange = false;

INT_PTR CALLBACK RecordingProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message != WM_NOTIFY) return FALSE;
  const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
  g_notifications.push_back(code);
  ::SetWindowLongPtrA(window, DWLP_MSGRESULT, code == static_cast<UINT>(TCN_SELCHANGING) && g_refuseChange ? 1 : 0);
  return TRUE;
}

class Modeless {
 public:
  explicit Modeless(DialogTemplate& layout)
      : window_(::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), layout.Get(), nullptr, &RecordingProc, 0)) {}
  ~Modeless() { ::DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

TEST(FormatFrameTest, RadioGroupCountsOnlyRadioButtonsUpToTheNextGroup) {
  DialogTemplate layout("Groups", 200, 120);
  layout.Add("BUTTON", "A", 10, 5, 5, 60, 10, kRadio | WS_GROUP)
      .Add("STATIC", "label", 11, 5, 17, 60, 8, kChild)
      .Add("BUTTON", "check", 12, 5, 27, 60, 10, kChild | BS_AUTOCHECKBOX)
      .Add("BUTTON", "B", 13, 5, 39, 60, 10, kRadio)
      .Add("BUTTON", "C hidden", 14, 5, 51, 60, 10, WS_CHILD | BS_AUTORADIOBUTTON)
      .Add("BUTTON", "D", 20, 90, 5, 60, 10, kRadio | WS_GROUP)
      .Add("BUTTON", "E", 21, 90, 17, 60, 10, kRadio);
  Modeless dialog(layout);
  ASSERT_NE(dialog.get(), nullptr);
  HWND d = dialog.get();

  PutRadioGroup(d, 20, 0);
  PutRadioGroup(d, 10, 2);
  EXPECT_TRUE(IsChecked(d, 14)) << "the hidden button is the third radio button of the group";
  EXPECT_FALSE(IsChecked(d, 10));
  EXPECT_FALSE(IsChecked(d, 13));
  EXPECT_FALSE(IsChecked(d, 12)) << "the check box is no member";
  EXPECT_EQ(ReadRadioGroup(d, 10), 2);
  EXPECT_TRUE(IsChecked(d, 20)) << "the next group is left alone";
  EXPECT_EQ(ReadRadioGroup(d, 20), 0);

  PutRadioGroup(d, 10, 1);
  EXPECT_TRUE(IsChecked(d, 13));
  EXPECT_FALSE(IsChecked(d, 14));
  PutRadioGroup(d, 10, 7);
  EXPECT_EQ(ReadRadioGroup(d, 10), -1);
  PutRadioGroup(d, 10, -1);
  EXPECT_EQ(ReadRadioGroup(d, 10), -1);
  EXPECT_EQ(ReadRadioGroup(d, 99), -1) << "a missing first control is an empty group";
}

TEST(FormatFrameTest, CheckBoxesTakeOnlyTheirThreeStates) {
  DialogTemplate layout("Checks", 200, 60);
  layout.Add("BUTTON", "three", 10, 5, 5, 90, 10, kChild | BS_AUTO3STATE);
  Modeless dialog(layout);
  HWND d = dialog.get();
  PutCheck(d, 10, 2);
  EXPECT_EQ(ReadCheck(d, 10), BST_INDETERMINATE);
  PutCheck(d, 10, 3);
  EXPECT_EQ(ReadCheck(d, 10), BST_UNCHECKED);
  PutCheck(d, 10, 1);
  PutCheck(d, 10, -4);
  EXPECT_EQ(ReadCheck(d, 10), BST_UNCHECKED);
}

TEST(FormatFrameTest, PageHostShowsOnePageAndAsksItsParentFirst) {
  DialogTemplate layout("Host", 240, 160, DS_MODALFRAME | WS_POPUP | WS_CAPTION | DS_SETFONT | WS_VISIBLE);
  layout.Add("STATIC", "Static", 1097, 4, 3, 150, 120, kChild | WS_GROUP);
  Modeless dialog(layout);
  HWND host = ::GetDlgItem(dialog.get(), 1097);
  g_notifications.clear();
  g_refuseChange = false;
  {
    PageHost pages;
    ASSERT_TRUE(pages.Attach(host));
    EXPECT_TRUE(::GetWindowLongA(host, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    HWND first = ::CreateWindowExA(0, "STATIC", "one", WS_CHILD, 0, 0, 10, 10, host, nullptr, nullptr, nullptr);
    HWND second = ::CreateWindowExA(0, "STATIC", "two", WS_CHILD, 0, 0, 10, 10, host, nullptr, nullptr, nullptr);
    EXPECT_FALSE(pages.SelectPage(0)) << "no pages yet";
    pages.AddPage(first);
    pages.AddPage(second);
    EXPECT_FALSE(pages.SelectPage(-1));
    EXPECT_FALSE(pages.SelectPage(2));
    EXPECT_TRUE(g_notifications.empty());

    EXPECT_TRUE(pages.SelectPage(0));
    EXPECT_TRUE(::IsWindowVisible(first));
    RECT client{};
    RECT page{};
    ::GetClientRect(host, &client);
    ::GetClientRect(first, &page);
    EXPECT_EQ(page.right, client.right);
    EXPECT_EQ(page.bottom, client.bottom);
    EXPECT_EQ(g_notifications,
              (std::vector<UINT>{static_cast<UINT>(TCN_SELCHANGING), static_cast<UINT>(TCN_SELCHANGE)}));

    g_notifications.clear();
    EXPECT_TRUE(pages.SelectPage(0)) << "already selected";
    EXPECT_TRUE(g_notifications.empty());

    g_refuseChange = true;
    EXPECT_FALSE(pages.SelectPage(1));
    EXPECT_TRUE(::IsWindowVisible(first));
    EXPECT_FALSE(::IsWindowVisible(second));

    g_refuseChange = false;
    EXPECT_TRUE(pages.SelectPage(1));
    EXPECT_FALSE(::IsWindowVisible(first));
    EXPECT_TRUE(::IsWindowVisible(second));

    EXPECT_EQ(::SendMessageA(host, WM_ERASEBKGND, 0, 0), 1);
    ::MoveWindow(host, 0, 0, 100, 80, TRUE);
    ::GetClientRect(second, &page);
    EXPECT_EQ(page.right, 100);
    EXPECT_EQ(page.bottom, 80);
  }
  // Once the host object is gone the control no longer fits the page to itself.
  HWND second = ::FindWindowExA(host, nullptr, "STATIC", "two");
  ::MoveWindow(host, 0, 0, 50, 40, TRUE);
  RECT page{};
  ::GetClientRect(second, &page);
  EXPECT_EQ(page.right, 100);
}

}  // namespace
}  // namespace commonq::testing
