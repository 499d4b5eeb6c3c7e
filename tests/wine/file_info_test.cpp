// DlgFileInfoDoModal as a host calls it: the texts it shows from the record, the "Image" group and
// the size formats taken from the (perhaps translated) controls.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/fileinfo_ids.h"
#include "support/dialog_driver.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

using FileInfoTest = LibraryTest;

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
    DialogDriver driver;
    driver.WaitForDialog()
        .Read([&](HWND dialog) {
          std::string texts;
          for (const int id : shown) texts += ControlText(dialog, id) + "|";
          EXPECT_EQ(texts, c.texts);
          EXPECT_EQ(ControlText(dialog, IDC_FILE_INFO_TYPE), shell.szTypeName);
          EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_FILE_INFO_PROPERTIES))) << "no such file";
        })
        .Click(IDCLOSE)
        .WaitUntilGone();
    driver.Start();
    EXPECT_EQ(Export<int(__cdecl*)(const DlgFileInfoParams*)>("DlgFileInfoDoModal")(&params), IDCLOSE);
    EXPECT_TRUE(driver.Finished()) << c.path;
  }
  EXPECT_EQ(Export<int(__cdecl*)(const DlgFileInfoParams*)>("DlgFileInfoDoModal")(nullptr), 0);
}

}  // namespace
}  // namespace commonq::testing
