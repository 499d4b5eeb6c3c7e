// DlgColorDialogDoModal as a host calls it: presets, recent colours and what is stored.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "support/dialog_driver.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

const std::string kCommon = Key("Common");
constexpr DWORD kUntouched = 0xDEADBEEF;

std::string ColorName(int k) { return "Color" + std::to_string(k); }

void StoreRecent(const std::vector<DWORD>& colors) {
  for (std::size_t k = 0; k < colors.size(); ++k) SetDword(kCommon, ColorName(static_cast<int>(k)), colors[k]);
}

std::vector<DWORD> StoredRecent() {
  std::vector<DWORD> colors;
  for (int k = 0; k < 8; ++k) {
    const std::optional<DWORD> color = GetDword(kCommon, ColorName(k));
    if (!color) break;
    colors.push_back(*color);
  }
  return colors;
}

// Whether any pixel of the window's client area has exactly this colour.
bool ShowsColor(HWND window, COLORREF color) {
  RECT client{};
  ::GetClientRect(window, &client);
  HDC screen = ::GetDC(window);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
  ::GdiFlush();
  const DWORD wanted = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
  bool found = false;
  const auto* pixels = static_cast<const DWORD*>(bits);
  for (LONG i = 0; i < client.right * client.bottom && !found; ++i) found = (pixels[i] & 0xFFFFFF) == wanted;
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(window, screen);
  return found;
}

class ColorChooserTest : public LibraryTest {
 protected:
  // Opens the chooser with `initial` selected and confirms (OK) or cancels it.
  int Choose(COLORREF initial, int button = IDOK, std::function<void(HWND)> look = nullptr) {
    params_ = DlgColorParams{};
    params_.rgbInitial = initial;
    params_.rgbResult = kUntouched;
    DialogDriver driver;
    driver.WaitForDialog();
    if (look) driver.Read(look);
    driver.Command(button).Start();
    const int result = DlgColorDialogDoModal(&params_);
    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(driver.Errors().empty());
    return result;
  }
  DlgColorParams params_{};
};

TEST_F(ColorChooserTest, ChosenColourGoesToTheFrontOfTheRecentList) {
  EXPECT_EQ(Choose(RGB(10, 20, 30)), 1);
  EXPECT_EQ(params_.rgbResult, RGB(10, 20, 30));
  EXPECT_EQ(StoredRecent(), (std::vector<DWORD>{RGB(10, 20, 30)}));
  EXPECT_EQ(Choose(RGB(40, 50, 60)), 1);
  EXPECT_EQ(StoredRecent(), (std::vector<DWORD>{RGB(40, 50, 60), RGB(10, 20, 30)}));
}

TEST_F(ColorChooserTest, ColourAlreadyInTheListMovesToTheFront) {
  StoreRecent({0x000001, 0x000002, 0x000003, 0x000004, 0x000005});
  EXPECT_EQ(Choose(0x000003), 1);
  EXPECT_EQ(StoredRecent(), (std::vector<DWORD>{0x000003, 0x000001, 0x000002, 0x000004, 0x000005}));
}

TEST_F(ColorChooserTest, FullListDropsItsOldestColour) {
  StoreRecent({1, 2, 3, 4, 5, 6, 7, 8});
  EXPECT_EQ(Choose(0x0A0B0C), 1);
  EXPECT_EQ(StoredRecent(), (std::vector<DWORD>{0x0A0B0C, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(ColorChooserTest, PresetIsReturnedButNotAdded) {
  StoreRecent({0x000011, 0x000022});
  EXPECT_EQ(Choose(0x7F858C), 1);
  EXPECT_EQ(params_.rgbResult, 0x7F858Cu);
  EXPECT_EQ(StoredRecent(), (std::vector<DWORD>{0x000011, 0x000022}));
}

TEST_F(ColorChooserTest, WhiteAndBlackAreReturnedButNothingIsStored) {
  EXPECT_EQ(Choose(RGB(255, 255, 255)), 1);
  EXPECT_EQ(params_.rgbResult, RGB(255, 255, 255));
  EXPECT_FALSE(KeyExists(kCommon));
  // rgbInitial 0 selects nothing; confirming gives black, which is not stored either.
  EXPECT_EQ(Choose(0), 1);
  EXPECT_EQ(params_.rgbResult, 0u);
  EXPECT_FALSE(KeyExists(kCommon));
}

TEST_F(ColorChooserTest, CancelKeepsTheCallersResultAndStoresNothing) {
  StoreRecent({0x000011});
  EXPECT_EQ(Choose(RGB(1, 2, 3), IDCANCEL), 2);
  EXPECT_EQ(params_.rgbResult, kUntouched);
  EXPECT_EQ(StoredRecent(), (std::vector<DWORD>{0x000011}));
}

TEST_F(ColorChooserTest, ShowsPresetsAndStoredColoursUpToTheFirstGap) {
  const COLORREF first = RGB(0x12, 0x34, 0x56);
  const COLORREF third = RGB(0x65, 0x43, 0x21);
  const COLORREF afterGap = RGB(0x0F, 0xA0, 0x5A);
  StoreRecent({first, RGB(0x22, 0x22, 0x99), third});
  SetDword(kCommon, ColorName(4), afterGap);
  bool presets = false;
  bool recent = false;
  bool gap = true;
  EXPECT_EQ(Choose(RGB(0x7E, 0x7E, 0x7E), IDCANCEL,
                   [&](HWND chooser) {
                     presets = ShowsColor(chooser, 0x191919) && ShowsColor(chooser, 0xFF0000) &&
                               ShowsColor(chooser, 0x7FC0FF);
                     recent = ShowsColor(chooser, first) && ShowsColor(chooser, third);
                     gap = ShowsColor(chooser, afterGap);
                   }),
            2);
  EXPECT_TRUE(presets);
  EXPECT_TRUE(recent);
  EXPECT_FALSE(gap) << "a value after a gap in Color0..7 must not be shown";
}

TEST_F(ColorChooserTest, StoredValueOfAnotherTypeEndsTheList) {
  SetDword(kCommon, ColorName(0), 0x000011);
  SetString(kCommon, ColorName(1), "0x22");
  SetDword(kCommon, ColorName(2), 0x000033);
  EXPECT_EQ(Choose(0x000044), 1);
  // The list was 0x11 alone; Color2 lies beyond what is written and is left as it was.
  EXPECT_EQ(GetDword(kCommon, ColorName(0)), 0x000044u);
  EXPECT_EQ(GetDword(kCommon, ColorName(1)), 0x000011u);
  EXPECT_EQ(GetDword(kCommon, ColorName(2)), 0x000033u);
}

TEST_F(ColorChooserTest, NullRecordCannotStart) { EXPECT_EQ(DlgColorDialogDoModal(nullptr), 0); }

}  // namespace
}  // namespace commonq::testing
