// The file dialogs' rules that need no window: the Open and Save As record, the
// extension of the chosen file type, the 3D scale text, and the format table's stored values.
#include "filedialogs/logic/file_dialog_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <tuple>

#include "filedialogs/logic/filter_list.h"
#include "filedialogs/logic/format_table.h"
#include "filedialogs/logic/scale_text.h"

namespace commonq {
namespace {

TEST(FileDialogRules, StructureSizeAndPromptField) {
  // The full structure from Windows 2000 and on Windows Me (4.90), not on NT 4, 98 or unknown.
  const WindowsVersion full[] = {{4, 90}, {5, 0}, {10, 0}}, old[] = {{4, 0}, {4, 10}, {3, 95}};
  for (const WindowsVersion& version : full) EXPECT_TRUE(UsesFullOpenFileName(&version)) << version.minor;
  for (const WindowsVersion& version : old) EXPECT_FALSE(UsesFullOpenFileName(&version)) << version.minor;
  EXPECT_FALSE(UsesFullOpenFileName(nullptr));
  // The prompt field ends at byte 32 of the record; a shorter or nonsense size has none.
  for (const std::uint32_t size : {28u, 31u, 0u, 4u}) EXPECT_FALSE(HasPromptField(size)) << size;
  EXPECT_TRUE(HasPromptField(32) && HasPromptField(40));
  EXPECT_TRUE(PromptValueFromCheck(true, 3) == 1 && PromptValueFromCheck(true, 2) == 0);
  EXPECT_FALSE(PromptValueFromCheck(false, 1)) << "a value that is no REG_DWORD";
}

TEST(FileDialogRules, ModernDialogChoiceOptionsAndInitialPath) {
  // Windows 6 (class 6) and later show the modern dialog unless the setting is exactly 1 or the
  // caller wants several files.
  EXPECT_FALSE(UsesClassicFileDialog(6, std::nullopt, 0) || UsesClassicFileDialog(7, 0u, 0) ||
               UsesClassicFileDialog(7, 3u, kOfnEnableTemplate));
  EXPECT_TRUE(UsesClassicFileDialog(5, std::nullopt, 0) && UsesClassicFileDialog(7, 1u, 0) &&
              UsesClassicFileDialog(7, std::nullopt, kOfnAllowMultiSelect));
  // The library's own flags come along; read-only (0x4 would be strict file types), the template,
  // the hook and sizing have no modern bit.
  EXPECT_EQ(ModernDialogOptions(0, true), kOfnFileMustExist | kOfnPathMustExist | kFosForceFileSystem);
  EXPECT_EQ(ModernDialogOptions(kOfnEnableTemplate, false), kOfnOverwritePrompt | kFosForceFileSystem);
  EXPECT_EQ(ModernDialogOptions(0x10002008, false), 0x1000200Au | kFosForceFileSystem) << "hidden, create, no cd";
  // Folder and name of the caller's text; roots keep their separator.
  const std::tuple<const char*, const char*, const char*> paths[] = {
      {"C:\\x\\scene.jpg", "C:\\x", "scene.jpg"},
      {"C:\\scene.jpg", "C:\\", "scene.jpg"},
      {"\\scene.jpg", "\\", "scene.jpg"},
      {"C:scene.jpg", "C:", "scene.jpg"},
      {"scene.jpg", "", "scene.jpg"},
      {"C:\\x\\", "C:\\x", ""},
      {"\\\\server\\share\\a.png", "\\\\server\\share", "a.png"},
      {"dir/a.png", "dir", "a.png"}};
  for (const auto& [path, folder, name] : paths) {
    const InitialPath split = SplitInitialPath(path);
    EXPECT_TRUE(split.folder == folder && split.name == name) << path;
  }
}

// A filter list as a host writes it: pairs of NUL-terminated strings and an empty one at the end.
constexpr char kList[] = "Bitmap\0*.bmp\0Carrara\0*.car;*.cbr\0All files\0*.*\0Star\0*\0";

std::string Extension(const char* list, unsigned index, std::size_t capacity = 260) {
  char buffer[260] = "untouched";
  const bool found = GetFilterExtension(list, index, buffer, capacity);
  return (found ? "" : "none:") + std::string(buffer);
}

TEST(FilterList, ExtensionOfTheChosenFilterAndIndexBounds) {
  EXPECT_EQ(Extension(kList, 1), ".bmp");
  EXPECT_EQ(Extension(kList, 2), ".car");
  EXPECT_EQ(Extension(kList, 2, 3), ".c") << "cut to the buffer";
  EXPECT_EQ(Extension(kList, 3), "none:.*") << "all files keeps what it found";
  EXPECT_EQ(Extension(kList, 4), "") << "a lone asterisk leaves an empty extension";
  EXPECT_EQ(Extension("Dots\0*.**\0", 1), ".**");
  for (const unsigned index : {0u, 5u, 0xFFFFFFFFu}) EXPECT_EQ(Extension(kList, index), "none:untouched") << index;
  EXPECT_EQ(Extension(nullptr, 1), "none:untouched");
  EXPECT_EQ(Extension("Bitmap\0", 1), "none:untouched") << "a description without its pattern";
  // The pairs the modern dialog lists: every complete one, in order.
  std::string pairs;
  for (const FilterPair& pair : FilterPairs(kList))
    pairs += std::string(pair.description) + "=" + std::string(pair.pattern) + " ";
  EXPECT_EQ(pairs, "Bitmap=*.bmp Carrara=*.car;*.cbr All files=*.* Star=* ");
  EXPECT_TRUE(FilterPairs("Bitmap\0*.bmp\0Odd\0").size() == 1 && FilterPairs(nullptr).empty());
  // i686 computes with a 32-bit size_t: 2 * 0x80000001 would wrap to 2, which is filter 1.
  for (const unsigned index : {0x80000001u, 0x7FFFFFFFu}) {
    EXPECT_EQ(FindFilterPattern<std::uint32_t>(FilterListExtent(kList), index), std::nullopt) << index;
  }
}

void ExpectVerdict(ScaleVerdict verdict, std::initializer_list<std::string> texts) {
  for (const std::string& text : texts) EXPECT_EQ(ReadScaleText(text).verdict, verdict) << '"' << text << '"';
}

TEST(ScaleText, BoxTextIsAcceptedOrRefused) {
  // Only the 31 characters the box is read into count.
  const std::string blanks(29, ' ');
  ExpectVerdict(ScaleVerdict::kAccepted,
                {"  12.5\t ", "+5e1", ".5", "5.", "0.0011", "100000", blanks + "50%", blanks + "50%x"});
  // A zero not written with a leading 0 counts as no number at all.
  ExpectVerdict(ScaleVerdict::kNotANumber,
                {"12.5%", "", "abc", "1 2", "-", ".", "0x10", "inf", "1e", "-0", ".0", blanks.substr(1) + "50%"});
  // 0.001 lies below the single-precision bound.
  ExpectVerdict(ScaleVerdict::kOutOfRange, {"0", "0.001", "100001", "-5", "1e999"});
  EXPECT_FLOAT_EQ(ReadScaleText("  12.5\t ").scale, 12.5f);
  EXPECT_FLOAT_EQ(ReadScaleText("100001").scale, 100001.0f);
}

TEST(ScaleText, RegistryTextAndFormats) {
  std::size_t used = 99;
  EXPECT_DOUBLE_EQ(LeadingNumber(" \n -2.5e1x", &used), -25.0);
  EXPECT_EQ(used, 9u);
  EXPECT_DOUBLE_EQ(LeadingNumber("abc", &used), 0.0);
  EXPECT_EQ(used, 0u);
  EXPECT_EQ(ScaleForBox(100.0f), "100.000");
  EXPECT_EQ(ScaleForFirstPut(12.5f), "12.5");
  EXPECT_EQ(ScaleForStore(12.5f), "12.500000");
  // A huge registry value is cut to the box's buffer rather than overrunning it.
  EXPECT_EQ(ScaleForBox(3.0e38f).size(), 31u);
}

// What OK stores when the dialog of `extension` (none: the Wavefront page) opened with `stored`.
std::uint32_t Reopened(const char* extension, std::optional<std::uint32_t> stored) {
  const FormatTable& format = extension == nullptr ? WavefrontPage() : *FindFormat(extension);
  return EncodeFields(format.fields, DecodeFields(format.fields, stored));
}

TEST(FormatTable, StoredValuesOpenAndStoreAgainAsTheHostExpects) {
  const std::optional<std::uint32_t> none;
  // Extension (none for the Wavefront page), stored value, what OK stores after it.
  const struct {
    const char* extension;
    std::optional<std::uint32_t> stored;
    std::uint32_t stores;
  } cases[] = {
      {".bmp", none, 0x84},  {".bmp", 0x08, 0x08},  {".bmp", 0x06, 0x04},    {".bmp", 0x140, 0x100},
      {".bmp", 0x80, 0x82},  {".bmp", 0, 0x02},     {".png", none, 0x404},   {".png", 0x14, 0x04},
      {".png", 0x10, 0x10},  {".png", 0, 0x02},     {".png", 0x484, 0x404},  {".rsr", none, 0x82},
      {".rsr", 0x86, 0x84},  {".rsr", 0, 0x02},     {".car", none, 0},       {".car", 3, 1},
      {".car", 0x100, 0},    {".car", 0x102, 2},    {".jpg", none, 25},      {".jpg", 250, 250},
      {".jpg", ~0u, ~0u},    {".gif", none, 0},     {".obj", none, 0},       {".obj", 0xFF, 0x7},
      {nullptr, none, 0x7},  {nullptr, 0, 0},       {nullptr, 0x300, 0x100}, {nullptr, 0x70, 0x10},
      {nullptr, 0x60, 0x20}, {nullptr, 0x1F, 0x1F},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Reopened(c.extension, c.stored), c.stores)
        << (c.extension ? c.extension : "page") << " " << c.stored.value_or(0xDEAD);
  }
}

TEST(FormatTable, ExtensionsJpegFactorAndArrows) {
  EXPECT_TRUE(FindFormat(".Cbr") == FindFormat(".car") && FindFormat(".cbr") != nullptr);
  for (const char* other : {".jpeg", ".tga", ".tif", "png", ".pngx", ""})
    EXPECT_EQ(FindFormat(other), nullptr) << other;
  EXPECT_TRUE(IsStorableJpegFactor(0) && IsStorableJpegFactor(99));
  EXPECT_FALSE(IsStorableJpegFactor(100) || IsStorableJpegFactor(kNotANumber));
  // The arrows land on the neighbouring multiple of 5; far outside the range they saturate.
  EXPECT_EQ(23 + JpegArrowDelta(23, 1), 25);
  EXPECT_EQ(25 + JpegArrowDelta(25, -1), 20);
  EXPECT_EQ(-3 + JpegArrowDelta(-3, 1), 0);
  EXPECT_EQ(JpegArrowDelta(0, INT32_MAX), INT32_MAX);
  EXPECT_EQ(JpegArrowDelta(0, INT32_MIN), INT32_MIN);
}

}  // namespace
}  // namespace commonq
