// DlgFileInfoDoModal as a host calls it: the texts it shows from the record, the "Image" group and
// the size formats taken from the (perhaps translated) controls, and the preview it draws.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "resources/fileinfo_ids.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

// A packed bitmap whose left half is `left` and right half `right`: indices into `palette` below
// 16 bits per pixel, else (32 bits) the colours themselves.
std::vector<std::uint8_t> HalvesDib(LONG width, LONG height, WORD bits, const std::vector<COLORREF>& palette,
                                    COLORREF left, COLORREF right) {
  const size_t stride = ((static_cast<size_t>(bits) * width + 31) / 32) * 4, head = 40 + palette.size() * 4;
  std::vector<std::uint8_t> dib(head + stride * height);
  const BITMAPINFOHEADER header{40, width, height, 1, bits, BI_RGB, 0, 0, 0, static_cast<DWORD>(palette.size()), 0};
  std::memcpy(dib.data(), &header, 40);
  for (size_t k = 0; k < palette.size(); ++k) {
    const RGBQUAD quad{GetBValue(palette[k]), GetGValue(palette[k]), GetRValue(palette[k]), 0};
    std::memcpy(&dib[40 + 4 * k], &quad, 4);
  }
  std::uint8_t* row = &dib[head];
  for (LONG x = 0; x < width; ++x) {
    const COLORREF value = 2 * x < width ? left : right;
    const std::uint8_t pixel[4] = {GetBValue(value), GetGValue(value), GetRValue(value), 0};
    if (bits == 32)
      std::memcpy(row + 4 * x, pixel, 4);
    else
      row[x * bits / 8] |= static_cast<std::uint8_t>(value << (8 - bits - x * bits % 8));
  }
  for (LONG y = 1; y < height; ++y) std::memcpy(row + stride * y, row, stride);
  return dib;
}

// The screen's pixels of the width x height rectangle at (x, y) of the preview box, row by row.
std::vector<COLORREF> PreviewPixels(HWND dialog, int x, int y, int width = 1, int height = 1) {
  RECT box{};
  ::GetWindowRect(::GetDlgItem(dialog, IDC_FILE_INFO_PREVIEW), &box);
  POINT at{box.left + x, box.top + y};
  ::ScreenToClient(dialog, &at);
  ::UpdateWindow(dialog);
  HDC dc = ::GetDC(dialog);
  std::vector<COLORREF> pixels;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) pixels.push_back(::GetPixel(dc, at.x + column, at.y + row));
  }
  ::ReleaseDC(dialog, dc);
  return pixels;
}

// Shows a preview of `dib`, runs `look` once the dialog is up and cancels it.
int ShowPreview(const BITMAPINFOHEADER* dib, const std::function<void(HWND)>& look) {
  const DlgFileInfoParams params{sizeof(DlgFileInfoParams), "C:\\a.png", 0, {}, 1, nullptr, 0, dib, 0};
  return Drive([&](DialogDriver& d) { d.WaitForDialog().Read(look).Command(IDCANCEL).WaitUntilGone(); },
               [&] { return DlgFileInfoDoModal(&params); });
}

class FileInfoTest : public LibraryTest {};

// Fitted into the 64 x 64 box with its proportions (200 x 100 is 64 x 32, 16 px down), the shadow
// right of and below it; bitmaps below 16 bits per pixel are drawn through their own colour table,
// and no texture is too large for a preview (8192 x 8192 at 32 bits is 256 MB). A header the
// preview refuses draws nothing. Each bitmap ends at a page the process may not touch, so nothing
// beyond it is read, and the host may overwrite it, colour table included, once the dialog is up:
// the preview, made as the dialog initialised, stays exactly as it was.
TEST_F(FileInfoTest, PreviewIsFittedWithItsShadowKeepsItsOwnCopyAndBadHeadersDrawNothing) {
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
  const COLORREF face = ::GetSysColor(COLOR_3DFACE), shadow = CLR_INVALID;  // shadow: anything but the face
  const struct {
    LONG width, height;
    WORD bits;
    std::vector<COLORREF> palette;
    COLORREF left, right;
    std::vector<std::tuple<int, int, COLORREF>> pixels;  // x, y and the colour there; one only: refused
  } cases[] = {
      {200, 100, 32, {}, red, red, {{10, 16, red}, {10, 15, face}, {66, 30, shadow}}},  // the picture's corner
      {100, 200, 32, {}, red, red, {{16, 10, red}, {15, 10, face}, {50, 62, shadow}}},
      {200, 100, 8, {0, green}, 1, 1, {{10, 16, green}, {10, 15, face}, {66, 30, shadow}}},
      {200, 100, 4, {0, green}, 1, 1, {{10, 16, green}, {10, 15, face}, {66, 30, shadow}}},
      {200, 100, 1, {0, green}, 1, 1, {{10, 16, green}, {10, 15, face}, {66, 30, shadow}}},
      {8192, 8192, 32, {}, red, blue, {{16, 32, red}, {48, 32, blue}}},
      {1024, 1024, 8, {red, blue}, 0, 1, {{16, 32, red}, {48, 32, blue}}},
      {0, 64, 32, {}, 0, 0, {{32, 32, face}}},
      {-64, 64, 32, {}, 0, 0, {{32, 32, face}}},
      {64, -1, 32, {}, 0, 0, {{32, 32, face}}},
      {64, 64, 3, {}, 0, 0, {{32, 32, face}}},
      {0x7FFFFFFF, 0x7FFFFFFF, 32, {}, 0, 0, {{32, 32, face}}},  // more bits than any address space holds
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " x " << c.bits);
    // A refused header comes alone: a read of the bits it claims would fault.
    std::vector<std::uint8_t> dib(sizeof(BITMAPINFOHEADER));
    if (c.pixels.size() > 1) dib = HalvesDib(c.width, c.height, c.bits, c.palette, c.left, c.right);
    const FencedBytes fenced(dib.size(), 0);
    auto* header = fenced.data<BITMAPINFOHEADER>();
    std::memcpy(header, dib.data(), dib.size());
    if (c.pixels.size() == 1) *header = {sizeof(BITMAPINFOHEADER), c.width, c.height, 1, c.bits, BI_RGB, 0, 0, 0, 0, 0};
    EXPECT_EQ(ShowPreview(header,
                          [&](HWND dialog) {
                            for (const auto& [x, y, colour] : c.pixels) {
                              const COLORREF shown = PreviewPixels(dialog, x, y)[0];
                              EXPECT_TRUE(colour == shadow ? shown != face : shown == colour) << x << ", " << y;
                            }
                            const std::vector<COLORREF> before = PreviewPixels(dialog, 0, 0, 72, 72);
                            std::memset(header, 0x55, dib.size());
                            ::InvalidateRect(dialog, nullptr, TRUE);
                            EXPECT_EQ(PreviewPixels(dialog, 0, 0, 72, 72), before);
                          }),
              IDCANCEL);
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
