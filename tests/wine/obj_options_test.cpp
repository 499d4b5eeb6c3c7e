// The 3D options dialog through DlgFormatOptionDoModal: placement, scale and the Wavefront page.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "support/dialog_driver.h"
#include "wine/beep_counter.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

const std::string kFormat = Key("Format");
constexpr const char* kCaption = "3D File save options";

std::string StoredText(const std::string& key, const char* name) {
  HKEY handle = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "(no key)";
  char text[128] = {};
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  const LONG status = ::RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  ::RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return "(none)";
  if (type != REG_SZ) return "(type " + std::to_string(type) + ")";
  // The stored length counts the terminating NUL.
  if (size == 0 || text[size - 1] != '\0') return "(no NUL)";
  return text;
}

// The page is a child dialog of the page host, not of the dialog itself.
HWND Page(HWND dialog) {
  HWND host = ::GetDlgItem(dialog, 1097);
  return ::FindWindowExA(host, nullptr, "#32770", nullptr);
}

bool PageChecked(HWND dialog, int id) { return IsChecked(Page(dialog), id); }
bool PageEnabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(Page(dialog), id)) != FALSE; }

class ObjOptionsTest : public LibraryTest {
 protected:
  int Show(const std::function<void(DialogDriver&)>& script) {
    DlgFormatOptionParams params{};
    ::lstrcpynA(params.szExtension, ".OBJ", sizeof params.szExtension);
    DialogDriver driver;
    driver.WaitForDialog(kCaption);
    script(driver);
    driver.Start();
    const int result = DlgFormatOptionDoModal(&params);
    EXPECT_TRUE(driver.Finished());
    for (const std::string& error : driver.Errors()) ADD_FAILURE() << error;
    return result;
  }
  // Types `scale` and presses OK; expects a message box when `message` is set, then cancels.
  void OkWithScale(const std::string& scale, bool expectMessage, bool expectClosed) {
    Show([&](DialogDriver& driver) {
      driver.SetCheck(1101, true).SetText(1102, scale).Click(IDOK);
      if (expectMessage) {
        driver.WaitForDialog("Qelm Explorer pro").Read([](HWND box) {
          EXPECT_NE(FindChildByClassAndText(box, "Static", "Invalid Scale"), nullptr);
        });
        driver.Command(IDOK).WaitUntilGone();
      }
      if (expectClosed) {
        driver.WaitUntilGone();
      } else {
        driver.Pause(100).Read([](HWND dialog) { EXPECT_TRUE(::IsWindowVisible(dialog)); });
        driver.Click(IDCANCEL).WaitUntilGone();
      }
    });
  }
};

TEST_F(ObjOptionsTest, DefaultsShowAndStoreAsDocumented) {
  const int result = Show([](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      for (int id : {1099, 1100, 1101}) EXPECT_FALSE(IsChecked(dialog, id)) << id;
      EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, 1102)));
      EXPECT_EQ(ControlText(dialog, 1102), "100.000");
      for (int id : {1103, 1104, 1105}) EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, id))) << id;
      ASSERT_NE(Page(dialog), nullptr);
      EXPECT_TRUE(::IsWindowVisible(Page(dialog)));
      for (int id : {1107, 1108, 1115, 1109}) EXPECT_TRUE(PageChecked(dialog, id)) << id;
      EXPECT_FALSE(PageChecked(dialog, 1116));
      EXPECT_FALSE(PageEnabled(dialog, 1115));
      EXPECT_TRUE(PageChecked(dialog, 1192));
      EXPECT_TRUE(PageChecked(dialog, 1112));
      // The page fills the host.
      RECT host{};
      RECT page{};
      ::GetClientRect(::GetDlgItem(dialog, 1097), &host);
      ::GetWindowRect(Page(dialog), &page);
      EXPECT_EQ(page.right - page.left, host.right);
      EXPECT_EQ(page.bottom - page.top, host.bottom);
    });
    driver.Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(GetDword(kFormat, "3dCheck"), 0u);
  EXPECT_EQ(StoredText(kFormat, "3dScale"), "100.000000");
  EXPECT_EQ(GetDword(kFormat, "obj"), 0x7u);
}

TEST_F(ObjOptionsTest, StoredValuesOpenAndChoicesAreStored) {
  SetDword(kFormat, "3dCheck", 4);
  SetString(kFormat, "3dScale", "250");
  SetDword(kFormat, "obj", 0x300 | 0x8 | 0x1);
  Show([](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      EXPECT_TRUE(IsChecked(dialog, 1101));
      EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, 1102)));
      EXPECT_EQ(ControlText(dialog, 1102), "250.000");
      EXPECT_TRUE(PageChecked(dialog, 1193));
      EXPECT_TRUE(PageChecked(dialog, 1116));
      EXPECT_FALSE(PageChecked(dialog, 1107));
      EXPECT_FALSE(PageChecked(dialog, 1108));
    });
    driver.Click(1099).SetText(1102, " 12.5 ").Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(GetDword(kFormat, "3dCheck"), 0x5u);
  EXPECT_EQ(StoredText(kFormat, "3dScale"), "12.500000");
  EXPECT_EQ(GetDword(kFormat, "obj"), 0x109u);
}

TEST_F(ObjOptionsTest, ScaleIsReadOnlyWithItsSwitches) {
  SetString(kFormat, "3dScale", "250");
  Show([](DialogDriver& driver) {
    driver.Read([](HWND dialog) { EXPECT_EQ(ControlText(dialog, 1102), "100.000"); });
    driver.Click(IDCANCEL).WaitUntilGone();
  });
}

TEST_F(ObjOptionsTest, MaterialFileSwitchesTheTextureControls) {
  Show([](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      // A click on a disabled radio button would hang the button's own group walk (as it does
      // on Windows), so the choice is made before the group is disabled.
      HWND page = Page(dialog);
      ::SendDlgItemMessageA(page, 1113, BM_CLICK, 0, 0);
      ::SendDlgItemMessageA(page, 1109, BM_CLICK, 0, 0);
      for (int id : {1110, 1111, 1112, 1113, 1114}) EXPECT_FALSE(PageEnabled(dialog, id)) << id;
      ::SendDlgItemMessageA(page, 1109, BM_CLICK, 0, 0);
      for (int id : {1110, 1111, 1112, 1113, 1114}) EXPECT_TRUE(PageEnabled(dialog, id)) << id;
      ::SendDlgItemMessageA(page, 1109, BM_CLICK, 0, 0);
    });
    driver.Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(GetDword(kFormat, "obj"), 0x6u | 0x20u);
}

TEST_F(ObjOptionsTest, TextThatIsNoNumberShowsInvalidScaleAndKeepsTheDialogOpen) {
  OkWithScale("12.5%", true, false);
  OkWithScale("", true, false);
  EXPECT_FALSE(KeyExists(kFormat));
}

TEST_F(ObjOptionsTest, ScaleOutsideTheRangeKeepsTheDialogOpenWithoutAMessage) {
  const BeepCounter beeps(LibraryModule());
  for (const char* scale : {"0", "0.001", "100001"}) {
    Show([&](DialogDriver& driver) {
      driver.SetCheck(1101, true).SetText(1102, scale).Click(IDOK).Pause(100);
      driver.Read([scale](HWND dialog) {
        EXPECT_TRUE(::IsWindowVisible(dialog)) << scale;
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, 1102)) << scale;
      });
      driver.Click(IDCANCEL).WaitUntilGone();
    });
  }
  EXPECT_FALSE(KeyExists(kFormat));
  EXPECT_EQ(beeps.Count(), 3);
  OkWithScale("0.0011", false, true);
  EXPECT_EQ(StoredText(kFormat, "3dScale"), "0.001100");
  OkWithScale("100000", false, true);
  EXPECT_EQ(StoredText(kFormat, "3dScale"), "100000.000000");
  EXPECT_EQ(GetDword(kFormat, "3dCheck"), 0x4u);
  EXPECT_EQ(beeps.Count(), 3) << "accepted scales do not beep";
}

TEST_F(ObjOptionsTest, DisabledScaleBoxIsStillValidated) {
  Show([](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      // The box is disabled while "Scale" is unchecked; the host's text still has to be a number.
      EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, 1102)));
      ::SetDlgItemTextA(dialog, 1102, "abc");
    });
    driver.Click(IDOK).WaitForDialog("Qelm Explorer pro").Command(IDOK).WaitUntilGone();
    driver.Click(IDCANCEL).WaitUntilGone();
  });
  EXPECT_FALSE(KeyExists(kFormat));
}

}  // namespace
}  // namespace commonq::testing
