// The dialog templates of the Save As panel and the format options dialogs, read from the DLL's
// resources and compared control by control with the published layout: the host's users know
// these dialogs, and a hidden control must still sit in its radio group.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "frame/dialog_translator.h"
#include "frame/logic/translation_rules.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

struct Control {
  int id = 0;
  std::string kind;  // "default", "push", "check", "radio", "group", "static", "edit", "combo" or a class
  std::string text;
  bool shown = false;
  bool group = false;
  int x = 0, y = 0, w = 0, h = 0;
};

struct Template {
  DWORD style = 0;
  std::string caption;
  int w = 0, h = 0;
  std::string font;
  std::vector<Control> controls;
};

class Reader {
 public:
  explicit Reader(const BYTE* at) : at_(at), start_(at) {}
  WORD Word() {
    WORD value;
    std::memcpy(&value, at_, 2);
    at_ += 2;
    return value;
  }
  DWORD Dword() {
    const DWORD low = Word();
    return low | (static_cast<DWORD>(Word()) << 16);
  }
  // A string or an ordinal (0xFFFF followed by a number, given back as "#number").
  std::string Text() {
    WORD first = Word();
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    std::string text;
    for (; first != 0; first = Word()) text += static_cast<char>(first);
    return text;
  }
  void AlignDword() {
    while ((at_ - start_) % 4 != 0) ++at_;
  }
  void Skip(std::size_t bytes) { at_ += bytes; }

 private:
  const BYTE* at_;
  const BYTE* start_;
};

// The dialog manager takes a predefined class by ordinal or by name, in any case.
bool IsClass(const std::string& windowClass, const char* ordinal, const char* name) {
  return windowClass == ordinal || ::lstrcmpiA(windowClass.c_str(), name) == 0;
}

std::string Kind(const std::string& windowClass, DWORD style) {
  if (IsClass(windowClass, "#128", "Button")) {
    switch (style & 0xF) {
      case BS_DEFPUSHBUTTON:
        return "default";
      case BS_PUSHBUTTON:
        return "push";
      case BS_AUTOCHECKBOX:
        return "check";
      case BS_AUTORADIOBUTTON:
        return "radio";
      case BS_GROUPBOX:
        return "group";
      default:
        return "button?";
    }
  }
  if (IsClass(windowClass, "#129", "Edit")) return "edit";
  if (IsClass(windowClass, "#130", "Static")) return "static";
  if (IsClass(windowClass, "#133", "ComboBox")) return "combo";
  std::string lower = windowClass;
  for (char& c : lower) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
  return lower;
}

Template Load(int id) {
  Template result;
  HRSRC resource = ::FindResourceA(LibraryModule(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
  if (resource == nullptr) return result;
  Reader read(static_cast<const BYTE*>(::LockResource(::LoadResource(LibraryModule(), resource))));
  result.style = read.Dword();
  read.Dword();
  const WORD count = read.Word();
  read.Skip(4);
  result.w = static_cast<short>(read.Word());
  result.h = static_cast<short>(read.Word());
  read.Text();
  read.Text();
  result.caption = read.Text();
  if (result.style & DS_SETFONT) {
    const WORD points = read.Word();
    result.font = std::to_string(points) + " " + read.Text();
  }
  for (WORD k = 0; k < count; ++k) {
    read.AlignDword();
    Control control;
    const DWORD style = read.Dword();
    read.Dword();
    control.x = static_cast<short>(read.Word());
    control.y = static_cast<short>(read.Word());
    control.w = static_cast<short>(read.Word());
    control.h = static_cast<short>(read.Word());
    control.id = read.Word();
    control.kind = Kind(read.Text(), style);
    control.text = read.Text();
    read.Skip(read.Word());
    control.shown = (style & WS_VISIBLE) != 0;
    control.group = (style & WS_GROUP) != 0;
    result.controls.push_back(control);
  }
  return result;
}

// One line per control: "id kind shown(y/n) group(g/-) x y w h text".
std::vector<Control> Parse(const char* lines) {
  std::vector<Control> controls;
  std::istringstream in(lines);
  std::string line;
  while (std::getline(in, line)) {
    if (line.find_first_not_of(' ') == std::string::npos) continue;
    std::istringstream fields(line);
    Control c;
    std::string shown, group;
    fields >> c.id >> c.kind >> shown >> group >> c.x >> c.y >> c.w >> c.h;
    std::getline(fields >> std::ws, c.text);
    if (c.text == "-") c.text.clear();
    c.shown = shown == "y";
    c.group = group == "g";
    controls.push_back(c);
  }
  return controls;
}

void ExpectTemplate(int id, DWORD style, const char* caption, int w, int h, const char* lines) {
  const Template actual = Load(id);
  EXPECT_EQ(actual.style, style) << id;
  EXPECT_EQ(actual.caption, caption) << id;
  EXPECT_EQ(actual.w, w) << id;
  EXPECT_EQ(actual.h, h) << id;
  EXPECT_EQ(actual.font, "8 MS Shell Dlg") << id;
  const std::vector<Control> expected = Parse(lines);
  ASSERT_EQ(actual.controls.size(), expected.size()) << id;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    const Control& a = actual.controls[k];
    const Control& e = expected[k];
    const std::string where = std::to_string(id) + " control " + std::to_string(e.id);
    EXPECT_EQ(a.id, e.id) << where;
    EXPECT_EQ(a.kind, e.kind) << where;
    EXPECT_EQ(a.text.substr(0, a.text.find_last_not_of(' ') + 1), e.text) << where;
    EXPECT_EQ(a.shown, e.shown) << where;
    EXPECT_EQ(a.group, e.group) << where;
    EXPECT_EQ(a.x, e.x) << where;
    EXPECT_EQ(a.y, e.y) << where;
    EXPECT_EQ(a.w, e.w) << where;
    EXPECT_EQ(a.h, e.h) << where;
  }
}

constexpr DWORD kPopup = 0x80C800C0;

class FormatTemplatesTest : public LibraryTest {};

TEST_F(FormatTemplatesTest, SaveAsPanel) {
  ExpectTemplate(1000, 0x44000040, "", 294, 54, R"(
    1004 combo y - 143 0 144 30 -
    1001 push y - 143 18 80 14 Options...
    1002 check n - 143 37 94 10 Prompt for format options
    1003 static y g 67 2 72 8 Recent &Folders)");
}

TEST_F(FormatTemplatesTest, RasterDialogs) {
  ExpectTemplate(1010, kPopup, "Bitmap Save Options", 200, 129, R"(
    1 default y - 89 108 50 14 OK
    2 push y - 143 108 50 14 Cancel
    1011 group y g 7 7 186 90 Color Depth
    1017 radio y g 16 21 89 10 1 bit - black and white
    1034 radio y - 16 34 89 10 2 bits - grayscale
    1016 radio y - 16 47 89 10 4 bits - 16 colors
    1015 radio y - 16 60 89 10 8 bits - 256 colors
    1014 radio n - 112 21 68 10 16 bits
    1013 radio y - 112 34 66 10 24 bits
    1012 radio y - 112 47 66 10 32 bits
    1018 check y - 16 76 160 10 Same as source)");
  ExpectTemplate(1019, kPopup, "Jpeg Save Options", 200, 190, R"(
    1 default y - 89 169 50 14 OK
    2 push y - 143 169 50 14 Cancel
    1020 group n - 7 7 186 46 Encoding
    1021 radio n g 16 21 128 10 Standard encoding
    1022 radio n - 16 34 130 10 Progressive encoding
    1023 group y - 7 57 186 99 Compression
    1024 static y g 68 71 80 8 Compression factor:
    1025 edit y - 76 83 36 14 -
    1026 msctls_updown32 y - 112 83 11 14 Spin1
    1027 msctls_trackbar32 n - 21 102 158 20 Slider1
    1028 static n g 14 127 74 19 Lowest compression, best quality.
    1029 static n g 119 127 74 21 Highest compression, lowest quality.)");
  ExpectTemplate(1030, kPopup, "Png Save Options", 200, 164, R"(
    1 default y - 89 143 50 14 OK
    2 push y - 143 143 50 14 Cancel
    1011 group y g 7 7 186 73 Color Depth
    1015 radio n g 16 21 151 10 8 bits
    1013 radio y - 16 34 114 10 24 bits
    1012 radio y - 16 47 109 10 32 bits
    1018 check y - 16 60 151 10 Same as source
    1031 group n g 7 84 186 46 Interlacing
    1032 radio n g 16 97 146 10 Interlaced
    1033 radio n - 16 110 146 10 Non interlaced)");
  ExpectTemplate(1060, kPopup, "Rsr Save Options", 200, 103, R"(
    1 default y - 89 82 50 14 OK
    2 push y - 143 82 50 14 Cancel
    1011 group y g 7 7 186 62 Color Depth
    1013 radio y g 16 21 121 10 Opaque
    1012 radio y - 16 34 118 10 Transparent
    1018 check y - 16 47 152 10 Same as source)");
  ExpectTemplate(1160, kPopup, "Carrara Image Save Options", 200, 99, R"(
    1 default y - 89 78 50 14 OK
    2 push y - 143 78 50 14 Cancel
    1161 group y - 7 7 186 59 Carrara File Format
    1162 radio y g 16 21 144 10 Compressed
    1055 radio y - 16 34 144 10 Uncompressed
    1164 radio y - 16 47 144 10 Same as source)");
  ExpectTemplate(1040, kPopup, "Gif Save Options", 200, 89, R"(
    1 default y - 89 68 50 14 OK
    2 push y - 143 68 50 14 Cancel
    1031 group n g 7 7 186 48 Interlacing
    1032 radio n g 16 21 47 10 Interlaced
    1033 radio n - 16 34 62 10 Non interlaced)");
}

TEST_F(FormatTemplatesTest, ThreeDDialogAndWavefrontPage) {
  ExpectTemplate(1063, kPopup, "3D File save options", 410, 236, R"(
    1 default y - 299 215 50 14 OK
    2 push y - 353 215 50 14 Cancel
    1097 static y g 4 3 204 224 Static
    1099 check y - 226 22 160 10 Centered
    1100 check y - 226 35 160 10 Place on floor
    1101 check y - 226 48 72 10 Scale
    1102 edit y - 309 45 62 14 -
    65535 static y g 376 48 8 8 %
    1103 check n - 226 61 72 10 Flip Winding
    1104 radio n g 226 75 68 10 World
    1105 radio n - 310 75 72 10 Local coordinates
    1098 group y - 217 9 186 100 Other options)");
  ExpectTemplate(1065, 0x40000040, "", 210, 224, R"(
    1107 check y - 16 20 176 10 Include normals
    1108 check y - 16 33 176 10 Include UVs
    1115 check y - 16 46 176 10 Vertex from visible groups
    1116 check y - 16 59 176 10 Vertex from active materials
    1191 static y g 16 76 160 8 Groups
    1192 radio y g 16 89 176 10 Same
    1193 radio y - 16 102 176 10 Use materials
    1194 radio y - 16 115 176 10 Append material name to group name
    1109 check y - 16 132 176 10 Generate material file (.MTL)
    1110 static y g 25 145 160 8 Textures paths
    1111 radio y g 25 158 160 10 Absolute
    1112 radio y - 25 171 160 10 Relative to OBJ
    1113 radio y - 25 184 160 10 In OBJ directory
    1114 radio y - 25 197 160 10 None
    1106 group y - 7 7 196 210 Wavefront Object format)");
  // "World " keeps its trailing blank, which the line format above cannot show.
  EXPECT_EQ(Load(1063).controls[9].text, "World ");
}

TEST_F(FormatTemplatesTest, CarriedTemplatesExistWithTheirCaptions) {
  EXPECT_EQ(Load(1036).caption, "Targa Save Options");
  EXPECT_EQ(Load(1050).caption, "Tif Save Options");
  EXPECT_EQ(Load(1150).caption, "Histogram");
}

// The German sample translates every text that the translator would look up: each "Button" or
// "Static" control with a text and an id of the translated templates, and each caption. A text
// that only reaches the shared string where its dialog has its own (4012 and 4013) counts as
// translated through the dialog's string.
TEST_F(FormatTemplatesTest, GermanLanguageFileTranslatesEveryTranslatableText) {
  const std::string path = LanguageFilePath(".deu");
  const UniqueModule german(::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(german) << path;
  const auto text = [&](std::uint32_t id) {
    char buffer[kTranslationTextChars] = {};
    if (id == 0 || ::LoadStringA(german.get(), id, buffer, kTranslationTextChars) <= 0) return std::string();
    return std::string(buffer);
  };
  const int offset = TranslationOffset(kDialogTranslationBase);
  // The panel asks for the host's own strings for two controls.
  const auto explicitId = [](int templateId, int controlId) -> std::uint32_t {
    if (templateId != 1000) return 0;
    return controlId == 1003 ? 115 : controlId == 1001 ? 559 : 0;
  };
  for (const int templateId : {1000, 1010, 1019, 1030, 1060, 1160}) {
    const Template dialog = Load(templateId);
    ASSERT_FALSE(dialog.controls.empty()) << templateId;
    if (!dialog.caption.empty()) {
      EXPECT_NE(text(static_cast<std::uint32_t>(offset + templateId)), "") << "caption of " << templateId;
    }
    for (const Control& control : dialog.controls) {
      const bool translatedKind = control.kind == "default" || control.kind == "push" || control.kind == "check" ||
                                  control.kind == "radio" || control.kind == "group" || control.kind == "static";
      if (!translatedKind || control.id == 0 || control.text.empty()) continue;
      const std::uint32_t shared = TranslationStringId(control.id, explicitId(templateId, control.id), offset);
      if (shared == 0) continue;
      const std::uint32_t own =
          explicitId(templateId, control.id) == 0 ? DialogOverrideStringId(templateId, control.id) : 0;
      std::string found = text(own);
      if (found.empty()) found = text(shared);
      EXPECT_NE(found, "") << templateId << " control " << control.id << " \"" << control.text << "\"";
    }
  }
  // The dialogs that share 1012 and 1013 read them in their own meaning.
  EXPECT_EQ(text(DialogOverrideStringId(1060, 1012)), "Transparent");
  EXPECT_EQ(text(DialogOverrideStringId(1060, 1013)), "Deckend");
  EXPECT_EQ(text(DialogOverrideStringId(1010, 1012)), "32 Bit");
  EXPECT_EQ(text(DialogOverrideStringId(1030, 1013)), "24 Bit");
}

}  // namespace
}  // namespace commonq::testing
