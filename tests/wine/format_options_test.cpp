// DlgFormatOptionDoModal as a host calls it: each raster format's dialog, what it shows for the
// stored bits and what it stores on OK and Cancel.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "support/dialog_driver.h"
#include "wine/beep_counter.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

const std::string kFormat = Key("Format");

bool IsVisible(HWND dialog, int id) { return ::IsWindowVisible(::GetDlgItem(dialog, id)) != FALSE; }

class FormatOptionsTest : public LibraryTest {
 protected:
  // Shows the dialog of `extension`, runs `script` on it (after waiting for `caption`) and
  // returns the export's result.
  int Show(const char* extension, const std::string& caption, const std::function<void(DialogDriver&)>& script) {
    DlgFormatOptionParams params{};
    params.dwReserved0 = 0x12345678;
    ::lstrcpynA(params.szExtension, extension, sizeof params.szExtension);
    DialogDriver driver;
    driver.WaitForDialog(caption);
    script(driver);
    driver.Start();
    const int result = DlgFormatOptionDoModal(&params);
    EXPECT_TRUE(driver.Finished()) << extension;
    for (const std::string& error : driver.Errors()) ADD_FAILURE() << error;
    return result;
  }
  int Confirm(const char* extension, const std::string& caption, const std::function<void(HWND)>& look = nullptr) {
    return Show(extension, caption, [&](DialogDriver& driver) {
      if (look) driver.Read(look);
      driver.Click(IDOK).WaitUntilGone();
    });
  }
};

TEST_F(FormatOptionsTest, BitmapDefaultsAre24BitsSameAsSourceAndStore0x84) {
  EXPECT_EQ(Confirm(".bmp", "Bitmap Save Options",
                    [](HWND dialog) {
                      EXPECT_TRUE(IsChecked(dialog, 1013));
                      EXPECT_TRUE(IsChecked(dialog, 1018));
                      EXPECT_FALSE(IsVisible(dialog, 1014));
                      for (int id : {1017, 1034, 1016, 1015, 1012}) EXPECT_FALSE(IsChecked(dialog, id)) << id;
                    }),
            IDOK);
  EXPECT_EQ(GetDword(kFormat, "bmp"), 0x84u);
}

TEST_F(FormatOptionsTest, Bitmap16BitsChecksTheHiddenButtonAndKeepsIt) {
  SetDword(kFormat, "bmp", 0x08);
  Confirm(".bmp", "Bitmap Save Options", [](HWND dialog) {
    EXPECT_TRUE(IsChecked(dialog, 1014));
    for (int id : {1017, 1034, 1016, 1015, 1013, 1012}) EXPECT_FALSE(IsChecked(dialog, id)) << id;
    EXPECT_FALSE(IsChecked(dialog, 1018));
  });
  EXPECT_EQ(GetDword(kFormat, "bmp"), 0x08u);
}

TEST_F(FormatOptionsTest, BitmapChoicesAreStored) {
  SetDword(kFormat, "bmp", 0x06);
  Show(".bmp", "Bitmap Save Options", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) { EXPECT_TRUE(IsChecked(dialog, 1013)); })
        .Click(1012)
        .SetCheck(1018, false)
        .Click(IDOK)
        .WaitUntilGone();
  });
  EXPECT_EQ(GetDword(kFormat, "bmp"), 0x02u);
  Show(".BMP", "Bitmap Save Options",
       [](DialogDriver& driver) { driver.Click(1034).SetCheck(1018, true).Click(IDOK).WaitUntilGone(); });
  EXPECT_EQ(GetDword(kFormat, "bmp"), 0x180u);
}

TEST_F(FormatOptionsTest, PngDefaultsStoreInterlaced24Bits) {
  Confirm(".png", "Png Save Options", [](HWND dialog) {
    EXPECT_TRUE(IsChecked(dialog, 1013));
    EXPECT_FALSE(IsVisible(dialog, 1015));
    EXPECT_FALSE(IsVisible(dialog, 1032));
    EXPECT_TRUE(IsVisible(dialog, 1018));
  });
  EXPECT_EQ(GetDword(kFormat, "png"), 0x404u);
}

TEST_F(FormatOptionsTest, PngKeepsHiddenChoicesAndIgnoresSameAsSource) {
  SetDword(kFormat, "png", 0x10);
  Show(".PNG", "Png Save Options", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      EXPECT_TRUE(IsChecked(dialog, 1015));
      EXPECT_TRUE(IsChecked(dialog, 1033));
    });
    driver.SetCheck(1018, true).Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(GetDword(kFormat, "png"), 0x10u);
}

TEST_F(FormatOptionsTest, RsrTransparentWithSameAsSourceStores0x82) {
  SetDword(kFormat, "rsr", 0x04);
  Show(".rsr", "Rsr Save Options", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      EXPECT_TRUE(IsChecked(dialog, 1013));
      EXPECT_FALSE(IsChecked(dialog, 1018));
    });
    driver.Click(1012).SetCheck(1018, true).Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(GetDword(kFormat, "rsr"), 0x82u);
}

TEST_F(FormatOptionsTest, CarraraServesBothExtensions) {
  SetDword(kFormat, "carr", 3);
  Show(".cbr", "Carrara Image Save Options", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) { EXPECT_TRUE(IsChecked(dialog, 1162)); }).Click(1055).Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(GetDword(kFormat, "carr"), 2u);
  Show(".car", "Carrara Image Save Options", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) { EXPECT_TRUE(IsChecked(dialog, 1055)); }).Click(1164).Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(GetDword(kFormat, "carr"), 0u);
}

TEST_F(FormatOptionsTest, JpegShows25AndTheArrowsStepToMultiplesOfFive) {
  Show(".jpg", "Jpeg Save Options", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) {
      EXPECT_EQ(ControlText(dialog, 1025), "25");
      EXPECT_FALSE(IsVisible(dialog, 1027));
      EXPECT_FALSE(IsVisible(dialog, 1021));
    });
    driver.Focus(1025).Key(VK_UP);
    driver.Read([](HWND dialog) { EXPECT_EQ(ControlText(dialog, 1025), "30"); });
    driver.SetText(1025, "23").Focus(1025).Key(VK_DOWN);
    driver.Read([](HWND dialog) { EXPECT_EQ(ControlText(dialog, 1025), "20"); });
    driver.SetText(1025, "23").Focus(1025).Key(VK_UP);
    driver.Read([](HWND dialog) { EXPECT_EQ(ControlText(dialog, 1025), "25"); });
    driver.Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(GetDword(kFormat, "jpegComp"), 25u);
  EXPECT_EQ(GetDword(kFormat, "jpeg"), 0u);
}

TEST_F(FormatOptionsTest, JpegFactor99IsStoredWithoutABeep) {
  const BeepCounter beeps(LibraryModule());
  Show(".jpg", "Jpeg Save Options",
       [](DialogDriver& driver) { driver.SetText(1025, "99").Click(IDOK).WaitUntilGone(); });
  EXPECT_EQ(beeps.Count(), 0);
  EXPECT_EQ(GetDword(kFormat, "jpegComp"), 99u);
}

TEST_F(FormatOptionsTest, JpegFactorOf100IsRefusedButTheDialogStillCloses) {
  SetDword(kFormat, "jpegComp", 95);
  SetDword(kFormat, "jpeg", 7);
  const BeepCounter beeps(LibraryModule());
  ASSERT_TRUE(beeps.Patched());
  const int result = Show(".jpg", "Jpeg Save Options", [](DialogDriver& driver) {
    driver.Focus(1025).Key(VK_UP);
    driver.Read([](HWND dialog) { EXPECT_EQ(ControlText(dialog, 1025), "100"); });
    driver.Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(beeps.Count(), 1);
  EXPECT_EQ(beeps.LastType(), 0xFFFFFFFFu);
  EXPECT_EQ(GetDword(kFormat, "jpegComp"), 95u);
  EXPECT_EQ(GetDword(kFormat, "jpeg"), 7u);
}

TEST_F(FormatOptionsTest, JpegStoredFactorIsShownWithoutRangeCheck) {
  SetDword(kFormat, "jpegComp", 250);
  const BeepCounter beeps(LibraryModule());
  Show(".jpg", "Jpeg Save Options", [](DialogDriver& driver) {
    driver.Read([](HWND dialog) { EXPECT_EQ(ControlText(dialog, 1025), "250"); });
    driver.SetText(1025, "").Click(IDOK).WaitUntilGone();
  });
  EXPECT_EQ(beeps.Count(), 1) << "an empty box is no number";
  EXPECT_EQ(GetDword(kFormat, "jpegComp"), 250u);
  EXPECT_FALSE(ValueExists(kFormat, "jpeg"));
}

TEST_F(FormatOptionsTest, GifShowsOnlyItsButtonsAndStoresNothing) {
  SetString(Key(""), "Language", ".deu");
  Confirm(".gif", "Gif Save Options", [](HWND dialog) {
    EXPECT_FALSE(IsVisible(dialog, 1031));
    EXPECT_FALSE(IsVisible(dialog, 1032));
    EXPECT_TRUE(IsChecked(dialog, 1033));
    EXPECT_EQ(ControlText(dialog, IDCANCEL), "Cancel");
  });
  EXPECT_FALSE(KeyExists(kFormat));
}

TEST_F(FormatOptionsTest, CancelStoresNothingInAnyDialog) {
  const struct {
    const char* extension;
    const char* caption;
    int click;
  } dialogs[] = {{".bmp", "Bitmap Save Options", 1012}, {".png", "Png Save Options", 1012},
                 {".rsr", "Rsr Save Options", 1012},    {".car", "Carrara Image Save Options", 1055},
                 {".jpg", "Jpeg Save Options", 0},      {".gif", "Gif Save Options", 0},
                 {".obj", "3D File save options", 1099}};
  for (const auto& dialog : dialogs) {
    for (const char* value : {"bmp", "png", "rsr", "carr", "jpeg", "jpegComp", "3dCheck", "obj"}) {
      SetDword(kFormat, value, 0xABC);
    }
    const int result = Show(dialog.extension, dialog.caption, [&](DialogDriver& driver) {
      if (dialog.click != 0) driver.Click(dialog.click);
      driver.Click(IDCANCEL).WaitUntilGone();
    });
    EXPECT_EQ(result, IDCANCEL) << dialog.extension;
    for (const char* value : {"bmp", "png", "rsr", "carr", "jpeg", "jpegComp", "3dCheck", "obj"}) {
      EXPECT_EQ(GetDword(kFormat, value), 0xABCu) << dialog.extension << " " << value;
    }
    EXPECT_FALSE(ValueExists(kFormat, "3dScale")) << dialog.extension;
  }
}

TEST_F(FormatOptionsTest, ExtensionsWithoutADialogShowNothingAndGiveOk) {
  for (const char* extension : {".jpeg", ".tga", ".tif", "png", "", ".pngx"}) {
    DlgFormatOptionParams params{};
    ::lstrcpynA(params.szExtension, extension, sizeof params.szExtension);
    EXPECT_EQ(DlgFormatOptionDoModal(&params), IDOK) << extension;
  }
  EXPECT_FALSE(KeyExists(kFormat));
}

TEST_F(FormatOptionsTest, GermanCaptionsAndButtons) {
  SetString(Key(""), "Language", ".deu");
  Confirm(".bmp", "Bitmap-Speicheroptionen", [](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, IDCANCEL), "Abbrechen");
    EXPECT_EQ(ControlText(dialog, 1011), "Farbtiefe");
    EXPECT_EQ(ControlText(dialog, 1018), "Wie Quelle");
    EXPECT_EQ(ControlText(dialog, 1012), "32 Bit");
  });
  Confirm(".jpg", "JPEG-Speicheroptionen",
          [](HWND dialog) { EXPECT_EQ(ControlText(dialog, 1024), "Komprimierungsfaktor:"); });
  // 1012 and 1013 mean bits in the bitmap and PNG dialogs and transparency in the RSR dialog.
  Confirm(".png", "PNG-Speicheroptionen", [](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, 1012), "32 Bit");
    EXPECT_EQ(ControlText(dialog, 1013), "24 Bit");
  });
  Confirm(".rsr", "RSR-Speicheroptionen", [](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, 1012), "Transparent");
    EXPECT_EQ(ControlText(dialog, 1013), "Deckend");
  });
  Confirm(".car", "Carrara-Bild-Speicheroptionen",
          [](HWND dialog) { EXPECT_EQ(ControlText(dialog, 1162), "Komprimiert"); });
  EXPECT_EQ(GetDword(kFormat, "bmp"), 0x84u);
}

TEST_F(FormatOptionsTest, DialogIsCentredOverTheActiveWindow) {
  HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 100, 600, 400, nullptr, nullptr,
                                 nullptr, nullptr);
  ::SetActiveWindow(owner);
  Confirm(".rsr", "Rsr Save Options", [owner](HWND dialog) {
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), owner);
    RECT box{};
    ::GetWindowRect(dialog, &box);
    EXPECT_NEAR((box.left + box.right) / 2, 400, 2);
    EXPECT_NEAR((box.top + box.bottom) / 2, 300, 2);
  });
  ::DestroyWindow(owner);
}

}  // namespace
}  // namespace commonq::testing
