// DlgFileInfoDoModal as a host calls it: the texts it shows from the record, the "Image" group and
// the size formats taken from the (perhaps translated) controls, and the preview it draws.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/fileinfo_ids.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

// A packed bitmap whose every pixel is `index`: an index into `palette` below 16 bits per pixel,
// else (32 bits) the colour itself.
std::vector<std::uint8_t> SolidDib(LONG width, LONG height, WORD bits, COLORREF color, std::vector<COLORREF> palette,
                                   int index) {
  const size_t stride = ((static_cast<size_t>(bits) * width + 31) / 32) * 4, head = 40 + palette.size() * 4;
  std::vector<std::uint8_t> dib(head + stride * height);
  const BITMAPINFOHEADER header{40, width, height, 1, bits, BI_RGB, 0, 0, 0, static_cast<DWORD>(palette.size()), 0};
  std::memcpy(dib.data(), &header, 40);
  for (size_t k = 0; k < palette.size(); ++k) {
    const RGBQUAD quad{GetBValue(palette[k]), GetGValue(palette[k]), GetRValue(palette[k]), 0};
    std::memcpy(&dib[40 + 4 * k], &quad, 4);
  }
  const std::uint8_t pixel[4] = {GetBValue(color), GetGValue(color), GetRValue(color), 0};
  const std::uint8_t packed = bits == 8 ? index : bits == 4 ? index * 0x11 : index ? 0xFF : 0;
  for (size_t k = 0; k < stride * height; ++k) dib[head + k] = bits == 32 ? pixel[k % 4] : packed;
  return dib;
}

COLORREF PreviewPixel(HWND dialog, int x, int y) {
  RECT box{};
  ::GetWindowRect(::GetDlgItem(dialog, IDC_FILE_INFO_PREVIEW), &box);
  POINT at{box.left + x, box.top + y};
  ::ScreenToClient(dialog, &at);
  ::UpdateWindow(dialog);
  HDC dc = ::GetDC(dialog);
  const COLORREF color = ::GetPixel(dc, at.x, at.y);
  ::ReleaseDC(dialog, dc);
  return color;
}

// Shows a preview of `dib`, runs `look` once the dialog is up (after `pauseMs`) and cancels it.
int ShowPreview(const BITMAPINFOHEADER* dib, const std::function<void(HWND)>& look, int pauseMs = 0) {
  const DlgFileInfoParams params{sizeof(DlgFileInfoParams), "C:\\a.png", 0, {}, 1, nullptr, 0, dib, 0};
  return Drive([&](DialogDriver& d) { d.WaitForDialog().Pause(pauseMs).Read(look).Command(IDCANCEL).WaitUntilGone(); },
               [&] { return DlgFileInfoDoModal(&params); });
}

class FileInfoTest : public LibraryTest {};

// Fitted into the 64 x 64 box with its proportions (200 x 100 is 64 x 32, 16 px down), the shadow
// right of and below it; bitmaps below 16 bits per pixel are drawn through their own colour table.
TEST_F(FileInfoTest, PreviewIsFittedWithItsShadowInEveryBitDepth) {
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), face = ::GetSysColor(COLOR_3DFACE);
  const struct {
    LONG width, height;
    WORD bits;
    std::vector<COLORREF> palette;
  } cases[] = {{200, 100, 32, {}},
               {100, 200, 32, {}},
               {200, 100, 8, {0, green}},
               {200, 100, 4, {0, green}},
               {200, 100, 1, {0, green}}};
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> dib = SolidDib(c.width, c.height, c.bits, red, c.palette, 1);
    const bool wide = c.width > c.height;
    const COLORREF inside = c.bits == 32 ? red : green;
    EXPECT_EQ(ShowPreview(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data()),
                          [&](HWND dialog) {
                            const int x = wide ? 10 : 16, y = wide ? 16 : 10;  // the picture's corner
                            EXPECT_EQ(PreviewPixel(dialog, x, y), inside) << c.bits;
                            EXPECT_EQ(PreviewPixel(dialog, wide ? x : 15, wide ? 15 : y), face) << "margin";
                            EXPECT_NE(PreviewPixel(dialog, wide ? 66 : 50, wide ? 30 : 62), face) << "shadow";
                          }),
              IDCANCEL);
  }
}

// A large bitmap is copied while the dialog is open: the caller's later changes do not show. A
// header that claims more than the caller passed, or absurd sizes, draws nothing.
TEST_F(FileInfoTest, ALargePreviewIsCopiedOnceShownAndBadHeadersDrawNothing) {
  std::vector<std::uint8_t> dib = SolidDib(1024, 1024, 32, RGB(0, 0, 255), {}, 0);
  ShowPreview(
      reinterpret_cast<const BITMAPINFOHEADER*>(dib.data()),
      [&](HWND dialog) {
        std::memset(dib.data() + 40, 0xFF, dib.size() - 40);
        ::InvalidateRect(dialog, nullptr, TRUE);
        EXPECT_EQ(PreviewPixel(dialog, 32, 32), RGB(0, 0, 255));
      },
      500);
  const LONG bad[][3] = {{0, 64, 32}, {-64, 64, 32}, {64, -1, 32}, {64, 64, 3}, {100000, 100000, 32}};
  for (const auto& b : bad) {
    // Only the header, up against an inaccessible page: a read of the bits it claims would fault.
    const FencedBytes fenced(sizeof(BITMAPINFOHEADER), 0);
    auto* header = fenced.data<BITMAPINFOHEADER>();
    *header = BITMAPINFOHEADER{40, b[0], b[1], 1, static_cast<WORD>(b[2]), BI_RGB, 0, 0, 0, 0, 0};
    EXPECT_EQ(ShowPreview(header, [](HWND) {}), IDCANCEL);
  }
}

TEST_F(FileInfoTest, ShowsTheRecordsTextsWithTheSizeFormatsOfTheControls) {
  const ImageInfo rgba{0, 64, 32, 32, 0, 0, 1}, mono{0, 4096, 4096, 1, 0, 0, 0}, other{0, 9, 9, 9, 0, 0, 0};
  const FileInfoNode monoNode{FILEINFO_NODE_IMAGE, &mono, nullptr}, otherNode{5, &other, nullptr};
  const FileInfoNode rgbaNode{FILEINFO_NODE_IMAGE, &rgba, &otherNode};
  const int shown[] = {IDC_FILE_INFO_NAME,     IDC_FILE_INFO_FOLDER,       IDC_FILE_INFO_DISK_SIZE,
                       IDC_FILE_INFO_RAM_SIZE, IDC_FILE_INFO_IMAGE_LABELS, IDC_FILE_INFO_IMAGE_VALUES};
  // The texts of `shown`, each followed by "|". 1 bit per pixel is 0 bytes per pixel: no memory
  // size. QelmLang.tst translates the memory size's "%u Kb" as "%u Kb-tst" and the disk size's
  // as "%s Kb-tst", a format printf must never see.
  const struct {
    const char* language;
    const char* path;
    LONG size;
    const FileInfoNode* list;
    const char* texts;
  } cases[] = {
      {"", "C:\\Models\\chair.png", 1500, nullptr, "chair.png|C:\\Models\\|2 Kb||||"},
      {"", "C:\\scene.obj", 1023, &monoNode,
       "scene.obj|C:\\|1 Kb||Dimension\nColor Depth\nAlpha|4096 x 4096 (pixels)\n1\nNo|"},
      {".tst", "C:\\a.png", 5000, &rgbaNode,
       "a.png|C:\\|5 Kb|8 Kb-tst|Dimension\nColor Depth\nAlpha|64 x 32 (pixels)\n32\nYes|"},
  };
  for (const auto& c : cases) {
    if (*c.language != '\0') SetString(Key(""), "Language", c.language);
    const DlgFileInfoParams params{sizeof(DlgFileInfoParams), c.path, 0, {}, c.size, c.list, 0, nullptr, 0};
    SHFILEINFOA shell{};
    ::SHGetFileInfoA(c.path, FILE_ATTRIBUTE_NORMAL, &shell, sizeof shell, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    const auto look = [&](HWND dialog) {
      std::string texts;
      for (const int id : shown) texts += ControlText(dialog, id) + "|";
      EXPECT_EQ(texts, c.texts);
      EXPECT_EQ(ControlText(dialog, IDC_FILE_INFO_TYPE), shell.szTypeName);
      EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_FILE_INFO_PROPERTIES))) << "no such file";
    };
    EXPECT_EQ(Drive([&](DialogDriver& d) { d.WaitForDialog().Read(look).Click(IDCLOSE).WaitUntilGone(); },
                    [&] { return DlgFileInfoDoModal(&params); }),
              IDCLOSE)
        << c.path;
  }
}

}  // namespace
}  // namespace commonq::testing
