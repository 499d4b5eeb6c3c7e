// Broken language files, as a host's installation may hold them: each one named by "Language" must
// leave the dialog in English, or translated as far as the file goes, and no code of the file may
// ever run.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "support/dialog_driver.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

std::string ExecutableFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string TrapMarker() {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "commonq_language_trap.txt";
}

std::vector<char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct LanguageCase {
  const char* label;
  const char* language;  // the "Language" value
  const char* file;      // where the case's file goes, relative to the executable; null: none
  std::function<std::vector<char>()> content;
  const char* caption;  // what the Bitmap options dialog then shows
  const char* group;    // control 1011
  const char* bits24;   // control 1013
};

void PrintTo(const LanguageCase& c, std::ostream* out) { *out << c.label; }

std::vector<char> Deu() { return ReadFile(ExecutableFolder() + "Languages\\QelmLang.deu"); }

constexpr const char* kCaption = "Bitmap Save Options";
constexpr const char* kGroup = "Color Depth";
constexpr const char* k24 = "24 bits";

std::vector<LanguageCase> EveryCase() {
  return {
      {"Missing", ".mis", nullptr, nullptr, kCaption, kGroup, k24},
      {"Empty", ".emp", "Languages\\QelmLang.emp", [] { return std::vector<char>(); }, kCaption, kGroup, k24},
      {"TextFile", ".txt", "Languages\\QelmLang.txt",
       [] {
         const std::string text = "4010\tBitmap-Speicheroptionen\r\n";
         return std::vector<char>(text.begin(), text.end());
       },
       kCaption, kGroup, k24},
      {"TruncatedPe", ".trn", "Languages\\QelmLang.trn",
       [] {
         std::vector<char> bytes = Deu();
         bytes.resize(bytes.size() / 3);
         return bytes;
       },
       kCaption, kGroup, k24},
      {"HeadersOnly", ".hdr", "Languages\\QelmLang.hdr",
       [] {
         std::vector<char> bytes = Deu();
         bytes.resize(1024);
         return bytes;
       },
       kCaption, kGroup, k24},
      {"PeWithoutResourcesAndAnEntryPoint", ".trp", "Languages\\QelmLang.trp",
       [] { return ReadFile(ExecutableFolder() + "language_trap.dll"); }, kCaption, kGroup, k24},
      // The test language file has a string for control 1013 only: a partial translation.
      {"SomeStringsMissing", ".tst", nullptr, nullptr, kCaption, kGroup, "Thirteen-tst"},
      {"Complete", ".deu", nullptr, nullptr, "Bitmap-Speicheroptionen", "Farbtiefe", "24 Bit"},
      // A working language file outside Languages\, reached through the extension: refused.
      {"PathOutsideLanguages", ".\\..\\..\\outside", "outside", Deu, kCaption, kGroup, k24},
      {"AbsolutePath", "C:\\outside", nullptr, nullptr, kCaption, kGroup, k24},
  };
}

class LanguageMatrixTest : public LibraryTest, public ::testing::WithParamInterface<LanguageCase> {
 protected:
  void TearDown() override {
    if (!placed_.empty()) ::DeleteFileA(placed_.c_str());
    ::DeleteFileA(TrapMarker().c_str());
    LibraryTest::TearDown();
  }
  std::string placed_;
};

TEST_P(LanguageMatrixTest, DialogIsEnglishOrTranslatedAsFarAsTheFileGoesAndNoCodeRuns) {
  const LanguageCase& c = GetParam();
  ::DeleteFileA(TrapMarker().c_str());
  if (c.file != nullptr) {
    placed_ = ExecutableFolder() + c.file;
    WriteFile(placed_, c.content());
  }
  SetString(kSettingsRoot, "Language", c.language);

  std::string caption, group, bits24;
  DlgFormatOptionParams params{};
  lstrcpynA(params.szExtension, ".bmp", sizeof params.szExtension);
  DialogDriver driver;
  driver.WaitForDialog()
      .Read([&](HWND dialog) {
        caption = WindowTextOf(dialog);
        group = ControlText(dialog, 1011);
        bits24 = ControlText(dialog, 1013);
      })
      .Command(IDCANCEL)
      .WaitUntilGone()
      .Start();
  EXPECT_EQ(DlgFormatOptionDoModal(&params), IDCANCEL);
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(caption, c.caption);
  EXPECT_EQ(group, c.group);
  EXPECT_EQ(bits24, c.bits24);
  EXPECT_EQ(::GetFileAttributesA(TrapMarker().c_str()), INVALID_FILE_ATTRIBUTES) << "the language file's code ran";
}

INSTANTIATE_TEST_SUITE_P(EveryFile, LanguageMatrixTest, ::testing::ValuesIn(EveryCase()),
                         [](const ::testing::TestParamInfo<LanguageCase>& info) {
                           return std::string(info.param.label);
                         });

}  // namespace
}  // namespace commonq::testing
