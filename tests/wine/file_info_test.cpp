// DlgFileInfoDoModal as a host calls it: the texts from the record, the "Image" group, the
// translated template, the end codes, the preview and the bad input it must survive. Pixels are
// read from the dialog's client area, where the dialog paints the title band and the preview.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/dialog_driver.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

using DlgFileInfoDoModalFn = int(__cdecl*)(const DlgFileInfoParams*);

constexpr const char* kCaption = "Current File Information";
constexpr int kName = 1072;
constexpr int kType = 1073;
constexpr int kFolder = 1076;
constexpr int kModified = 1078;
constexpr int kProperties = 1079;
constexpr int kLabels = 1081;
constexpr int kValues = 1082;
constexpr int kDisk = 1086;
constexpr int kRam = 1087;
constexpr int kPreviewCorner = 1088;

FILETIME ModifiedTime() {
  SYSTEMTIME utc{};
  utc.wYear = 2024;
  utc.wMonth = 3;
  utc.wDay = 5;
  utc.wHour = 14;
  utc.wMinute = 7;
  utc.wSecond = 42;
  FILETIME time{};
  ::SystemTimeToFileTime(&utc, &time);
  return time;
}

DlgFileInfoParams Record(const char* path, LONG size = 1500) {
  DlgFileInfoParams params{};
  params.cbSize = sizeof params;
  params.pszPath = path;
  params.reserved2 = 0xCCCCCCCC;
  params.ftModified = ModifiedTime();
  params.nFileSize = size;
  return params;
}

// A packed bitmap of one colour: 32 bits per pixel, or an index into a palette below 16 bits.
std::vector<std::uint8_t> SolidDib(LONG width, LONG height, WORD bits, COLORREF color,
                                   const std::vector<COLORREF>& palette = {}, int index = 0) {
  const size_t stride = ((static_cast<size_t>(bits) * width + 31) / 32) * 4;
  std::vector<std::uint8_t> dib(sizeof(BITMAPINFOHEADER) + palette.size() * 4 + stride * height);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bits;
  header.biClrUsed = static_cast<DWORD>(palette.size());
  std::memcpy(dib.data(), &header, sizeof header);
  std::uint8_t* at = dib.data() + sizeof header;
  for (COLORREF entry : palette) {
    const RGBQUAD quad{GetBValue(entry), GetGValue(entry), GetRValue(entry), 0};
    std::memcpy(at, &quad, 4);
    at += 4;
  }
  std::uint8_t pattern[4] = {GetBValue(color), GetGValue(color), GetRValue(color), 0};
  for (size_t row = 0; row < static_cast<size_t>(height); ++row) {
    for (size_t byte = 0; byte < stride; ++byte) {
      switch (bits) {
        case 32:
          at[byte] = pattern[byte % 4];
          break;
        case 8:
          at[byte] = static_cast<std::uint8_t>(index);
          break;
        case 4:
          at[byte] = static_cast<std::uint8_t>(index << 4 | index);
          break;
        default:
          at[byte] = index != 0 ? 0xFF : 0x00;
      }
    }
    at += stride;
  }
  return dib;
}

// `size` bytes that end exactly where an inaccessible page begins: reading one byte past them
// faults, so a test passes only if the library stays inside.
class GuardedBytes {
 public:
  explicit GuardedBytes(size_t size) {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    page_ = system.dwPageSize;
    base_ = static_cast<std::uint8_t*>(::VirtualAlloc(nullptr, 2 * page_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old = 0;
    ::VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old);
    data_ = base_ + page_ - size;
    std::memset(data_, 0, size);
  }
  ~GuardedBytes() { ::VirtualFree(base_, 0, MEM_RELEASE); }
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;
  std::uint8_t* get() const { return data_; }

 private:
  size_t page_ = 0;
  std::uint8_t* base_ = nullptr;
  std::uint8_t* data_ = nullptr;
};

POINT PreviewCorner(HWND dialog) {
  RECT rect{};
  ::GetWindowRect(::GetDlgItem(dialog, kPreviewCorner), &rect);
  POINT corner{rect.left, rect.top};
  ::ScreenToClient(dialog, &corner);
  return corner;
}

COLORREF Pixel(HWND dialog, int x, int y) {
  ::UpdateWindow(dialog);
  HDC dc = ::GetDC(dialog);
  const COLORREF color = ::GetPixel(dc, x, y);
  ::ReleaseDC(dialog, dc);
  return color;
}

class FileInfoTest : public LibraryTest {
 protected:
  int Call(const DlgFileInfoParams* params) { return Export<DlgFileInfoDoModalFn>("DlgFileInfoDoModal")(params); }

  // Shows the dialog, runs `look` on it and closes it with Close; returns the end code.
  int Show(const DlgFileInfoParams& params, const std::function<void(HWND)>& look) {
    DialogDriver driver;
    driver.WaitForDialog(kCaption).Read(look).Click(IDCLOSE).WaitUntilGone();
    driver.Start();
    const int result = Call(&params);
    EXPECT_TRUE(driver.Finished());
    for (const std::string& error : driver.Errors()) ADD_FAILURE() << error;
    return result;
  }

  // A file that exists, of `size` bytes, in a folder of the test's own.
  std::string ExistingFile(const char* name, size_t size) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "commonq file info\\";
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    const std::string path = folder_ + name;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    const std::vector<char> bytes(size, 'x');
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
    ::CloseHandle(file);
    created_.push_back(path);
    return path;
  }

  void TearDown() override {
    for (const std::string& path : created_) ::DeleteFileA(path.c_str());
    if (!folder_.empty()) ::RemoveDirectoryA(folder_.c_str());
    LibraryTest::TearDown();
  }

 private:
  std::string folder_;
  std::vector<std::string> created_;
};

TEST_F(FileInfoTest, ShowsTheRecordOfAnExistingFile) {
  const std::string path = ExistingFile("Chair Model.png", 1500);
  const DlgFileInfoParams params = Record(path.c_str());
  SHFILEINFOA shell{};
  ::SHGetFileInfoA(path.c_str(), FILE_ATTRIBUTE_NORMAL, &shell, sizeof shell, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
  const std::string folder = path.substr(0, path.rfind('\\') + 1);

  const int result = Show(params, [&](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, kName), "Chair Model.png");
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, kName))) << "the name is painted, not shown by its control";
    EXPECT_EQ(ControlText(dialog, kType), shell.szTypeName);
    EXPECT_EQ(ControlText(dialog, kFolder), folder);
    EXPECT_EQ(ControlText(dialog, kDisk), "2 Kb");
    EXPECT_EQ(ControlText(dialog, kRam), "") << "no image node, no memory size";
    EXPECT_EQ(ControlText(dialog, kLabels), "");
    EXPECT_EQ(ControlText(dialog, kValues), "");
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, kProperties)));

    // The modification time in local time, date and time without seconds.
    FILETIME local{};
    SYSTEMTIME time{};
    const FILETIME utc = ModifiedTime();
    ::FileTimeToLocalFileTime(&utc, &local);
    ::FileTimeToSystemTime(&local, &time);
    char date[128] = {};
    char clock[128] = {};
    ::GetDateFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, date, sizeof date);
    ::GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, sizeof clock);
    EXPECT_EQ(ControlText(dialog, kModified), std::string(date) + " " + clock + " ");
    EXPECT_EQ(ControlText(dialog, kModified).find("42"), std::string::npos) << "no seconds";
  });
  EXPECT_EQ(result, IDCLOSE);
}

TEST_F(FileInfoTest, MissingFilesKeepTheirTextsAndDisableProperties) {
  Show(Record("C:\\Models\\gone.obj"), [](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, kName), "gone.obj");
    EXPECT_EQ(ControlText(dialog, kFolder), "C:\\Models\\");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, kProperties)));
  });
  Show(Record("C:\\scene.obj"), [](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, kName), "scene.obj");
    EXPECT_EQ(ControlText(dialog, kFolder), "C:\\") << "a file in the drive's root";
  });
}

TEST_F(FileInfoTest, SizeOnDiskIsWholeKilobytesPlusOne) {
  const std::pair<LONG, const char*> cases[] = {{1023, "1 Kb"}, {1024, "2 Kb"}, {0, "1 Kb"}, {10 << 20, "10241 Kb"}};
  for (const auto& [bytes, shown] : cases) {
    Show(Record("C:\\a.png", bytes), [&](HWND dialog) { EXPECT_EQ(ControlText(dialog, kDisk), shown) << bytes; });
  }
}

TEST_F(FileInfoTest, EveryImageNodeAddsThreeLinesAndTheLastGivesTheMemorySize) {
  const ImageInfo first{0, 200, 100, 24, 0, 0, 0};
  const ImageInfo second{0, 64, 32, 32, 0, 0, 1};
  const ImageInfo notAnImage{0, 9, 9, 9, 0, 0, 0};
  const FileInfoNode n3{FILEINFO_NODE_IMAGE, &second, nullptr};
  const FileInfoNode n2{5, &notAnImage, &n3};
  const FileInfoNode n1{FILEINFO_NODE_IMAGE, &first, &n2};
  DlgFileInfoParams params = Record("C:\\textures\\wood.png");
  params.pInfoList = &n1;
  Show(params, [](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, kLabels), "Dimension\nColor Depth\nAlpha\nDimension\nColor Depth\nAlpha");
    EXPECT_EQ(ControlText(dialog, kValues), "200 x 100 (pixels)\n24\nNo\n64 x 32 (pixels)\n32\nYes");
    EXPECT_EQ(ControlText(dialog, kRam), "8 Kb");
  });

  // 1 and 4 bits per pixel give 0 bytes per pixel: the memory size stays empty.
  for (DWORD depth : {1u, 4u}) {
    const ImageInfo low{0, 4096, 4096, depth, 0, 0, 0};
    const FileInfoNode node{FILEINFO_NODE_IMAGE, &low, nullptr};
    params.pInfoList = &node;
    Show(params, [&](HWND dialog) {
      EXPECT_EQ(ControlText(dialog, kRam), "") << depth;
      EXPECT_EQ(ControlText(dialog, kValues), "4096 x 4096 (pixels)\n" + std::to_string(depth) + "\nNo");
    });
  }
}

TEST_F(FileInfoTest, GermanTranslatesTheTemplateButNotTheBuiltInWords) {
  SetString(Key(""), "Language", ".deu");
  const ImageInfo image{0, 640, 480, 32, 0, 0, 1};
  const FileInfoNode node{FILEINFO_NODE_IMAGE, &image, nullptr};
  DlgFileInfoParams params = Record("C:\\textures\\wood.png");
  params.pInfoList = &node;
  DialogDriver driver;
  driver.WaitForDialog("Aktuelle Dateiinformationen")
      .Read([](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, 1074), "Quelldatei");
        EXPECT_EQ(ControlText(dialog, 1080), "Bild");
        EXPECT_EQ(ControlText(dialog, 1083), "Speicherbedarf");
        EXPECT_EQ(ControlText(dialog, 1075), "Dateipfad");
        EXPECT_EQ(ControlText(dialog, 1077), "Ge\xc3\xa4ndert");
        EXPECT_EQ(ControlText(dialog, 1084), "Auf Datentr\xc3\xa4ger");
        EXPECT_EQ(ControlText(dialog, 1085), "Im Speicher");
        EXPECT_EQ(ControlText(dialog, kProperties), "Eigenschaften...");
        EXPECT_EQ(ControlText(dialog, IDCLOSE),
                  "Schl&ie\xc3\x9f"
                  "en");
        EXPECT_EQ(ControlText(dialog, kLabels), "Dimension\nColor Depth\nAlpha");
        EXPECT_EQ(ControlText(dialog, kValues), "640 x 480 (pixels)\n32\nYes");
        EXPECT_EQ(ControlText(dialog, kName), "wood.png") << "the %s controls have no translation";
      })
      .Click(IDCLOSE)
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(Call(&params), IDCLOSE);
  EXPECT_TRUE(driver.Finished());
  for (const std::string& error : driver.Errors()) ADD_FAILURE() << error;
}

TEST_F(FileInfoTest, ATranslatedSizeTextIsTheFormatWhenItIsSafe) {
  // QelmLang.tst: 4070 "Info-tst", 4087 "%u Kb-tst", 4086 "%s Kb-tst" (a format printf must never see).
  SetString(Key(""), "Language", ".tst");
  const ImageInfo image{0, 64, 32, 32, 0, 0, 0};
  const FileInfoNode node{FILEINFO_NODE_IMAGE, &image, nullptr};
  DlgFileInfoParams params = Record("C:\\a.png", 5000);
  params.pInfoList = &node;
  DialogDriver driver;
  driver.WaitForDialog("Info-tst")
      .Read([](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, kRam), "8 Kb-tst");
        EXPECT_EQ(ControlText(dialog, kDisk), "5 Kb") << "the unsafe translation falls back to the built-in format";
        EXPECT_EQ(ControlText(dialog, IDCLOSE), "Close-tst") << "control 8 takes string 11";
      })
      .Key(VK_ESCAPE)
      .WaitUntilGone();
  driver.Start();
  EXPECT_EQ(Call(&params), IDCANCEL);
  EXPECT_TRUE(driver.Finished());
  for (const std::string& error : driver.Errors()) ADD_FAILURE() << error;
}

TEST_F(FileInfoTest, EndCodesForCloseEscapeAndTheCloseBox) {
  const DlgFileInfoParams params = Record("C:\\a.png");
  EXPECT_EQ(Show(params, [](HWND) {}), 8);
  {
    DialogDriver driver;
    driver.WaitForDialog(kCaption).Key(VK_ESCAPE).WaitUntilGone();
    driver.Start();
    EXPECT_EQ(Call(&params), IDCANCEL);
    EXPECT_TRUE(driver.Finished());
  }
  {
    DialogDriver driver;
    driver.WaitForDialog(kCaption)
        .Read([](HWND dialog) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); })
        .WaitUntilGone();
    driver.Start();
    EXPECT_EQ(Call(&params), IDCANCEL);
    EXPECT_TRUE(driver.Finished());
  }
}

TEST_F(FileInfoTest, ANullRecordOrANestedCallShowsNothingAndReturnsZero) {
  EXPECT_EQ(Call(nullptr), 0);
  const DlgFileInfoParams params = Record("C:\\a.png");
  int nested = -7;
  Show(params, [&](HWND) { nested = Call(&params); });
  EXPECT_EQ(nested, 0) << "a call from inside a running dialog cannot start";
}

TEST_F(FileInfoTest, AThreadInTheMultithreadedApartmentCannotStart) {
  int result = -7;
  bool shown = false;
  std::thread([&] {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    DialogDriver watchdog(1500);
    watchdog.WaitForDialog().Command(IDCANCEL).Start();
    const DlgFileInfoParams params = Record("C:\\a.png");
    result = Call(&params);
    shown = watchdog.Finished();
    ::CoUninitialize();
  }).join();
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(shown);
}

TEST_F(FileInfoTest, PreviewIsFittedIntoTheBoxWithAShadowRightAndBelow) {
  const COLORREF red = RGB(255, 0, 0);
  const COLORREF face = ::GetSysColor(COLOR_3DFACE);
  const std::vector<std::uint8_t> wide = SolidDib(200, 100, 32, red);
  DlgFileInfoParams params = Record("C:\\a.png");
  params.pPreviewDib = reinterpret_cast<const BITMAPINFOHEADER*>(wide.data());
  Show(params, [&](HWND dialog) {
    const POINT c = PreviewCorner(dialog);
    EXPECT_EQ(Pixel(dialog, c.x + 32, c.y + 15), face) << "16 pixels down: the row above stays empty";
    EXPECT_EQ(Pixel(dialog, c.x + 32, c.y + 16), red);
    EXPECT_EQ(Pixel(dialog, c.x, c.y + 30), red);
    EXPECT_EQ(Pixel(dialog, c.x + 63, c.y + 47), red);
    EXPECT_EQ(Pixel(dialog, c.x - 1, c.y + 30), face) << "no shadow on the left";
    EXPECT_NE(Pixel(dialog, c.x + 32, c.y + 48), face) << "shadow below";
    EXPECT_NE(Pixel(dialog, c.x + 32, c.y + 48), red);
    EXPECT_NE(Pixel(dialog, c.x + 64, c.y + 30), face) << "shadow on the right";
    EXPECT_EQ(Pixel(dialog, c.x + 64, c.y + 16 + 2), face) << "the right edge starts d - 1 below the top";
    EXPECT_EQ(Pixel(dialog, c.x + 2, c.y + 48), face) << "the bottom edge starts d - 1 right of the left side";
    EXPECT_EQ(Pixel(dialog, c.x + 64 + 5, c.y + 30), face) << "the shadow is 5 pixels deep";
  });

  const std::vector<std::uint8_t> tall = SolidDib(100, 200, 32, red);
  params.pPreviewDib = reinterpret_cast<const BITMAPINFOHEADER*>(tall.data());
  Show(params, [&](HWND dialog) {
    const POINT c = PreviewCorner(dialog);
    EXPECT_EQ(Pixel(dialog, c.x + 15, c.y + 32), face);
    EXPECT_EQ(Pixel(dialog, c.x + 16, c.y + 32), red);
    EXPECT_EQ(Pixel(dialog, c.x + 47, c.y + 63), red);
    EXPECT_NE(Pixel(dialog, c.x + 48, c.y + 32), face);
  });
}

TEST_F(FileInfoTest, PreviewIsACopyMadeOnceAndFreedWithTheDialog) {
  std::vector<std::uint8_t> dib = SolidDib(64, 64, 32, RGB(0, 0, 255));
  DlgFileInfoParams params = Record("C:\\a.png");
  params.pPreviewDib = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
  Show(params, [&](HWND dialog) {
    const POINT c = PreviewCorner(dialog);
    EXPECT_EQ(Pixel(dialog, c.x + 10, c.y + 10), RGB(0, 0, 255));
    // The caller changes its bitmap while the dialog is open; the dialog keeps its copy.
    std::fill(dib.begin() + sizeof(BITMAPINFOHEADER), dib.end(), 0xFF);
    ::InvalidateRect(dialog, nullptr, TRUE);
    EXPECT_EQ(Pixel(dialog, c.x + 10, c.y + 10), RGB(0, 0, 255));
  });
  EXPECT_EQ(Tracer().Created("HeapAlloc"), 1u) << "one block for the copy, none per repaint";
}

TEST_F(FileInfoTest, PaletteBitmapsDrawWithTheirOwnColourTable) {
  struct Case {
    WORD bits;
    std::vector<COLORREF> palette;
    int index;
  };
  const COLORREF green = RGB(0, 255, 0);
  const Case cases[] = {
      {1, {RGB(0, 0, 0), green}, 1},
      {4, std::vector<COLORREF>(16, RGB(255, 255, 0)), 0},
      {8, {RGB(0, 0, 0), RGB(9, 9, 9), green}, 2},  // biClrUsed 3: a short table
  };
  for (const Case& test : cases) {
    std::vector<COLORREF> palette = test.palette;
    if (test.bits == 4) palette[5] = green;
    const std::vector<std::uint8_t> dib = SolidDib(32, 32, test.bits, 0, palette, test.bits == 4 ? 5 : test.index);
    DlgFileInfoParams params = Record("C:\\a.bmp");
    params.pPreviewDib = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    Show(params, [&](HWND dialog) {
      const POINT c = PreviewCorner(dialog);
      EXPECT_EQ(Pixel(dialog, c.x + 32, c.y + 32), green) << test.bits << " bits per pixel";
    });
  }
}

TEST_F(FileInfoTest, AbsurdBitmapHeadersAreRefusedWithoutReadingPastThem) {
  struct Case {
    LONG width;
    LONG height;
    WORD bits;
  } cases[] = {{64, 64, 7},
               {64, 64, 0},
               {-64, 64, 32},
               {64, 0, 32},
               {64, -64, 32},
               {8192, 8192, 32},
               {0x7FFFFFFF, 0x7FFFFFFF, 32},
               {0x40000000, 4, 32}};
  for (const Case& test : cases) {
    // Only the header exists: a copy of the bits it claims would fault on the guard page.
    GuardedBytes header(sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER fields{};
    fields.biSize = sizeof fields;
    fields.biWidth = test.width;
    fields.biHeight = test.height;
    fields.biPlanes = 1;
    fields.biBitCount = test.bits;
    std::memcpy(header.get(), &fields, sizeof fields);
    DlgFileInfoParams params = Record("C:\\a.png");
    params.pPreviewDib = reinterpret_cast<const BITMAPINFOHEADER*>(header.get());
    Tracer().Start();
    Show(params, [&](HWND dialog) {
      const POINT c = PreviewCorner(dialog);
      EXPECT_EQ(Pixel(dialog, c.x + 32, c.y + 32), ::GetSysColor(COLOR_3DFACE)) << test.width << " " << test.bits;
    });
    EXPECT_EQ(Tracer().Created("HeapAlloc"), 0u) << test.width << " x " << test.height << " x " << test.bits;
    EXPECT_TRUE(Tracer().Survivors().empty()) << test.width << " x " << test.height << " x " << test.bits;
  }
}

TEST_F(FileInfoTest, AShortRecordIsNotReadBeyondItsSize) {
  // The record ends where pPreviewDib would begin (cbSize 32 in a 32-bit host): that field lies
  // on an inaccessible page.
  constexpr size_t kShort = offsetof(DlgFileInfoParams, pPreviewDib);
  GuardedBytes memory(kShort);
  const DlgFileInfoParams full = Record("C:\\a.png");
  std::memcpy(memory.get(), &full, kShort);
  auto* params = reinterpret_cast<DlgFileInfoParams*>(memory.get());
  params->cbSize = kShort;
  int result = 0;
  DialogDriver driver;
  driver.WaitForDialog(kCaption)
      .Read([](HWND dialog) { EXPECT_EQ(ControlText(dialog, kName), "a.png"); })
      .Click(IDCLOSE)
      .WaitUntilGone();
  driver.Start();
  result = Call(params);
  EXPECT_EQ(result, IDCLOSE);
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(Tracer().Created("HeapAlloc"), 0u) << "no preview";
}

TEST_F(FileInfoTest, APathOf260OrMoreCharactersIsCut) {
  // 300 characters without a terminator inside the first 260, the rest inaccessible.
  GuardedBytes path(259);
  std::memcpy(path.get(), "C:\\", 3);
  std::memset(path.get() + 3, 'a', 256);
  DlgFileInfoParams params = Record(reinterpret_cast<const char*>(path.get()));
  Show(params, [](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, kName), std::string(256, 'a'));
    EXPECT_EQ(ControlText(dialog, kFolder), "C:\\");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, kProperties)));
  });
}

TEST_F(FileInfoTest, CyclicAndHugeListsAreCutAfter256Nodes) {
  const ImageInfo image{0, 8, 8, 32, 0, 0, 0};
  FileInfoNode a{FILEINFO_NODE_IMAGE, &image, nullptr};
  const FileInfoNode b{FILEINFO_NODE_IMAGE, &image, &a};
  a.pNext = &b;
  DlgFileInfoParams params = Record("C:\\a.png");
  params.pInfoList = &a;
  Show(params, [](HWND dialog) {
    const std::string labels = ControlText(dialog, kLabels);
    // The driver reads at most 1023 characters; count what it sees and the whole text's length.
    EXPECT_FALSE(labels.empty());
    const int length = ::GetWindowTextLengthA(::GetDlgItem(dialog, kLabels));
    EXPECT_EQ(length, 256 * 28 - 1) << "256 blocks of \"Dimension\\nColor Depth\\nAlpha\" joined by newlines";
  });

  std::vector<FileInfoNode> million(1000000, FileInfoNode{9, nullptr, nullptr});
  for (size_t k = 0; k + 1 < million.size(); ++k) million[k].pNext = &million[k + 1];
  million.back() = FileInfoNode{FILEINFO_NODE_IMAGE, &image, nullptr};
  params.pInfoList = million.data();
  Show(params, [](HWND dialog) { EXPECT_EQ(ControlText(dialog, kValues), "") << "the last node is never reached"; });
}

TEST_F(FileInfoTest, PropertiesAsksTheShellForTheFilesSheet) {
  // Windows opens the file's properties sheet. Wine 8 has no "properties" verb for files and
  // answers with an error box instead; either way the shell's window is owned by the dialog,
  // which stays open behind it.
  const std::string path = ExistingFile("props.txt", 10);
  HWND info = nullptr;
  DialogDriver driver;
  driver.WaitForDialog(kCaption)
      .Read([&](HWND dialog) { info = dialog; })
      .Click(kProperties)
      .WaitForDialog()
      .Read([&](HWND shell) {
        EXPECT_NE(shell, info);
        EXPECT_EQ(::GetWindow(shell, GW_OWNER), info);
      })
      .Command(IDCANCEL)
      .WaitUntilGone()
      .Read([&](HWND dialog) { EXPECT_EQ(dialog, info); })
      .Click(IDCLOSE)
      .WaitUntilGone();
  driver.Start();
  const DlgFileInfoParams params = Record(path.c_str());
  EXPECT_EQ(Call(&params), IDCLOSE);
  EXPECT_TRUE(driver.Finished());
  for (const std::string& error : driver.Errors()) ADD_FAILURE() << error;
}

TEST_F(FileInfoTest, TitleBandIsWhiteDownTo32PixelsBelowTheName) {
  Show(Record("C:\\a.png"), [](HWND dialog) {
    RECT name{};
    ::GetWindowRect(::GetDlgItem(dialog, kName), &name);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&name), 2);
    RECT client{};
    ::GetClientRect(dialog, &client);
    const int x = client.right - 4;
    EXPECT_EQ(Pixel(dialog, x, 1), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(dialog, x, name.bottom + 32 - 3), RGB(255, 255, 255));
    // The etched edge: a shadow line over a highlight line, the last two rows of the band.
    EXPECT_EQ(Pixel(dialog, x, name.bottom + 32 - 2), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(Pixel(dialog, x, name.bottom + 32 - 1), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Pixel(dialog, x, name.bottom + 32), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Pixel(dialog, x, name.bottom + 32 + 2), ::GetSysColor(COLOR_BTNFACE));
  });
}

}  // namespace
}  // namespace commonq::testing
