// DlgFormatOptionDoModal as a host calls it, over the format table: what each dialog opens with
// and stores, its template's radio groups and tab order, and the JPEG factor and 3D scale rules.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "filedialogs/logic/format_table.h"
#include "resources/filedialogs_ids.h"
#include "support/dialog_driver.h"
#include "wine/beep_counter.h"
#include "wine/dialog_template.h"
#include "wine/library_fixture.h"
#if __has_include("native/template_reader.h")
#include "native/template_reader.h"
#endif

namespace commonq::testing {
namespace {

const std::string kFormat = Key("Format");

// A radio group's `other` button, then its choices.
std::vector<int> Indexes(const OptionField& field) {
  std::vector<int> indexes{field.other};
  for (const RadioChoice& choice : field.choices) indexes.push_back(choice.index);
  return indexes;
}

// The texts of the checked buttons, the 3D dialog's page included, in window order.
std::string Checked(HWND dialog) {
  std::string texts;
  ::EnumChildWindows(
      dialog,
      [](HWND child, LPARAM all) -> BOOL {
        if (WindowTextOf(child).empty() || ::SendMessageA(child, BM_GETCHECK, 0, 0) != BST_CHECKED) return TRUE;
        *reinterpret_cast<std::string*>(all) += WindowTextOf(child) + "|";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

std::string StoredText(const char* name) {
  char text[64] = "(none)";
  DWORD size = sizeof text - 1;
  ::RegGetValueA(HKEY_CURRENT_USER, kFormat.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size);
  return text;
}

HWND Page(HWND dialog) { return ::FindWindowExA(::GetDlgItem(dialog, IDC_3D_PAGE_HOST), nullptr, "#32770", nullptr); }

class FormatOptionsTest : public LibraryTest {
 protected:
  int Show(const char* extension, const std::function<void(DialogDriver&)>& script, const std::string& caption = {}) {
    DlgFormatOptionParams params{};
    ::lstrcpynA(params.szExtension, extension, sizeof params.szExtension);
    DialogDriver driver;
    script(driver.WaitForDialog(caption));
    driver.Start();
    const int result = DlgFormatOptionDoModal(&params);
    EXPECT_TRUE(driver.Finished()) << extension;
    for (const std::string& error : driver.Errors()) ADD_FAILURE() << extension << ": " << error;
    return result;
  }
  int Close(
      const char* extension, int button, const std::function<void(HWND)>& look = [](HWND) {}) {
    return Show(extension, [&](DialogDriver& driver) { driver.Read(look).Click(button).WaitUntilGone(); });
  }
};

TEST_F(FormatOptionsTest, EveryChoiceOpensAndIsStoredAgainAndBadDataOpensAsTheDefaults) {
  const std::map<std::string, std::string> defaults = {
      {".bmp", "24 bits|Same as source|"},
      {".png", "24 bits|Interlaced|"},
      {".rsr", "Transparent|Same as source|"},
      {".car", "Same as source|"},
      {".jpg", "Standard encoding|"},
      {".obj",
       "Include normals|Include UVs|Vertex from visible groups|Same|Generate material file (.MTL)|Relative to "
       "OBJ|"}};
  for (const FormatTable& format : Formats()) {
    const char* extension = format.extensions[0].data();
    if (format.value == nullptr) {
      DeleteSettings();
      EXPECT_EQ(Close(extension, IDOK, [](HWND d) { EXPECT_EQ(Checked(d), "Non interlaced|"); }), IDOK) << extension;
      EXPECT_FALSE(KeyExists(kFormat)) << extension;
      continue;
    }
    // The 3D dialog stores its page's value with its own.
    std::vector<const FormatTable*> tables{&format};
    if (format.templateId == IDD_3D_OPTIONS) tables.push_back(&WavefrontPage());
    std::size_t probes = 2;
    for (const FormatTable* table : tables) {
      for (const OptionField& field : table->fields) probes = std::max(probes, Indexes(field).size());
    }
    // Probe -2 stores text where a number belongs, -1 nothing: both open as the defaults. The
    // others pick each radio button and check state in turn.
    for (int probe = -2; probe < static_cast<int>(probes); ++probe) {
      DeleteSettings();
      std::vector<DWORD> expected;
      for (const FormatTable* table : tables) {
        FieldValues values = DecodeFields(table->fields, std::nullopt);
        for (std::size_t k = 0; k < table->fields.size() && probe >= 0; ++k) {
          const OptionField& field = table->fields[k];
          if (field.kind == FieldKind::kNumber) values[k] = 5 * probe;
          if (field.kind == FieldKind::kCheck && field.bits != 0) values[k] = probe % 2;
          if (field.kind == FieldKind::kRadioGroup) values[k] = Indexes(field)[probe % Indexes(field).size()];
        }
        expected.push_back(EncodeFields(table->fields, values));
        if (probe == -2) SetString(kFormat, table->value, "24");
        if (probe >= 0) SetDword(kFormat, table->value, expected.back());
      }
      Close(extension, IDOK,
            [&](HWND dialog) { EXPECT_TRUE(probe >= 0 || Checked(dialog) == defaults.at(extension)); });
      for (std::size_t k = 0; k < tables.size(); ++k) {
        EXPECT_EQ(GetDword(kFormat, tables[k]->value), expected[k]) << tables[k]->value << " probe " << probe;
      }
    }
  }
  // The hidden 16-bit button opens checked; the extension is compared ignoring case.
  SetDword(kFormat, "bmp", 0x08);
  Close(".BMP", IDCANCEL, [](HWND dialog) { EXPECT_EQ(Checked(dialog), "16 bits|"); });
}

TEST_F(FormatOptionsTest, TemplatesHoldTheBoundRadioGroupsAndTheirTabOrder) {
  const auto items = [](int id) {
    HRSRC resource = ::FindResourceA(LibraryModule(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    const auto* data = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(LibraryModule(), resource)));
    return TemplateReader(data, ::SizeofResource(LibraryModule(), resource)).Read().value_or(ReadTemplate{}).items;
  };
  std::vector<const FormatTable*> tables{&WavefrontPage()};
  for (const FormatTable& format : Formats()) tables.push_back(&format);
  for (const FormatTable* format : tables) {
    const std::vector<ReadItem> all = items(format->templateId);
    for (const OptionField& field : format->fields) {
      const auto first = std::find_if(
          all.begin(), all.end(), [&](const ReadItem& i) { return i.id == static_cast<std::uint32_t>(field.control); });
      ASSERT_NE(first, all.end()) << field.control;
      if (field.kind != FieldKind::kRadioGroup) continue;
      EXPECT_EQ(first->style & (WS_GROUP | WS_TABSTOP), DWORD{WS_GROUP | WS_TABSTOP}) << field.control;
      // The group runs to the next WS_GROUP control (all buttons here); hidden ones count too.
      int buttons = 0;
      for (auto at = first; at != all.end() && (at == first || (at->style & WS_GROUP) == 0); ++at) {
        buttons += (at->style & 0xF) == BS_AUTORADIOBUTTON;
      }
      std::vector<int> named = Indexes(field);
      named.push_back(field.absent);
      EXPECT_GT(buttons, *std::max_element(named.begin(), named.end())) << field.control;
    }
  }
  const std::pair<int, const char*> orders[] = {{IDD_SAVEAS_PANEL, "1004 1001 1002"},
                                                {IDD_BITMAP_OPTIONS, "1 2 1017 1018"},
                                                {IDD_JPEG_OPTIONS, "1 2 1021 1025 1027"},
                                                {IDD_PNG_OPTIONS, "1 2 1015 1018 1032"},
                                                {IDD_GIF_OPTIONS, "1 2 1032"},
                                                {IDD_RSR_OPTIONS, "1 2 1013 1018"},
                                                {IDD_CARRARA_OPTIONS, "1 2 1162"},
                                                {IDD_3D_OPTIONS, "1 2 1099 1100 1101 1102 1103 1104"},
                                                {IDD_WAVEFRONT_PAGE, "1107 1108 1115 1116 1192 1109 1111"}};
  for (const auto& [id, stops] : orders) {
    std::string actual;
    for (const ReadItem& item : items(id)) actual += item.style & WS_TABSTOP ? std::to_string(item.id) + " " : "";
    EXPECT_EQ(actual, std::string(stops) + " ") << id;
  }
}

TEST_F(FormatOptionsTest, JpegArrowsStepByFiveAndAFactorOf100OrNoNumberIsRefusedWithABeep) {
  const BeepCounter beeps(LibraryModule());
  ASSERT_TRUE(beeps.Patched());
  // The factor typed, the arrow pressed (none: 0), what the box shows then; OK stores up to 99.
  const std::tuple<const char*, WORD, const char*> cases[] = {
      {"23", VK_DOWN, "20"}, {"99", 0, "99"}, {"95", VK_UP, "100"}, {"", 0, ""}};
  for (const auto& [typed, key, shown] : cases) {
    Show(".jpg", [&](DialogDriver& driver) {
      driver.SetText(IDC_JPEG_FACTOR, typed).Focus(IDC_JPEG_FACTOR);
      if (key != 0) driver.Key(key);
      driver.Read([&](HWND dialog) { EXPECT_EQ(ControlText(dialog, IDC_JPEG_FACTOR), shown); })
          .Click(IDOK)
          .WaitUntilGone();
    });
  }
  // The refused factors closed the dialog all the same, and the stored one stays.
  EXPECT_EQ(beeps.Count(), 2);
  EXPECT_EQ(beeps.LastType(), 0xFFFFFFFFu);
  EXPECT_EQ(GetDword(kFormat, "jpegComp"), 99u);
  EXPECT_EQ(GetDword(kFormat, "jpeg"), 0u);
}

TEST_F(FormatOptionsTest, CancelStoresNothingAndDialogsAreTranslatedExceptGifAnd3dAndCentred) {
  SetString(Key(""), "Language", ".deu");
  HWND owner =
      ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 100, 600, 400, nullptr, nullptr, nullptr, nullptr);
  ::SetActiveWindow(owner);
  // 1012 and 1013 are depths in the bitmap dialog and opacity in the RSR dialog.
  const std::tuple<const char*, const char*, int, const char*> cases[] = {
      {".bmp", "Bitmap-Speicheroptionen", IDC_SAME_AS_SOURCE, "Wie Quelle"},
      {".rsr", "RSR-Speicheroptionen", IDC_RSR_TRANSPARENT, "Transparent"},
      {".cbr", "Carrara-Bild-Speicheroptionen", IDCANCEL, "Abbrechen"},
      {".gif", "Gif Save Options", IDCANCEL, "Cancel"},
      {".obj", "3D File save options", IDCANCEL, "Cancel"}};
  for (const auto& [extension, caption, control, text] : cases) {
    const auto look = [&](HWND dialog) {
      EXPECT_EQ(ControlText(dialog, control), text) << extension;
      EXPECT_EQ(::GetWindow(dialog, GW_OWNER), owner);
      RECT box{};
      ::GetWindowRect(dialog, &box);
      EXPECT_NEAR((box.left + box.right) / 2, 400, 2);
      EXPECT_NEAR((box.top + box.bottom) / 2, 300, 2);
    };
    const int result = Show(
        extension, [&](DialogDriver& driver) { driver.Read(look).Click(IDCANCEL).WaitUntilGone(); }, caption);
    EXPECT_EQ(result, IDCANCEL);
  }
  ::DestroyWindow(owner);
  EXPECT_FALSE(KeyExists(kFormat));
}

TEST_F(FormatOptionsTest, ScaleOpensWithItsSwitchesOnlyAndIsCheckedAtOkEvenInADisabledBox) {
  SetString(kFormat, "3dScale", "250");
  Close(".obj", IDOK, [](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, IDC_3D_SCALE_BOX), "100.000");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_3D_SCALE_BOX)));
    // "Generate material file" switches the texture paths. A click on a disabled radio button
    // would hang the button's own group walk (as on Windows): the choice is made before.
    ::SendDlgItemMessageA(Page(dialog), IDC_OBJ_TEXTURE_IN_OBJ_DIR, BM_CLICK, 0, 0);
    for (const bool enabled : {false, true, false}) {
      ::SendDlgItemMessageA(Page(dialog), IDC_OBJ_MATERIAL_FILE, BM_CLICK, 0, 0);
      for (int id = IDC_OBJ_TEXTURE_LABEL; id <= IDC_OBJ_TEXTURE_NONE; ++id) {
        EXPECT_EQ(::IsWindowEnabled(::GetDlgItem(Page(dialog), id)) != FALSE, enabled) << id;
      }
    }
  });
  EXPECT_EQ(GetDword(kFormat, "obj"), 0x26u);
  const BeepCounter beeps(LibraryModule());
  // The text, and what OK does: store the scale as this text, or refuse with the message or a
  // beep and keep the dialog open. "abc" is checked with "Scale" unchecked, the box disabled.
  const std::pair<const char*, std::string> cases[] = {
      {" 12.5 ", "12.500000"}, {"0.0011", "0.001100"}, {"100000", "100000.000000"},
      {"12.5%", "message"},    {"", "message"},        {"abc", "message"},
      {"0", "beep"},           {"0.001", "beep"},      {"100001", "beep"}};
  for (const auto& [text, outcome] : cases) {
    SetDword(kFormat, "3dCheck", *text == 'a' ? 0 : 4);
    SetString(kFormat, "3dScale", "250");
    const int beepsBefore = beeps.Count();
    Show(".obj", [&](DialogDriver& driver) {
      driver
          .Read([&](HWND dialog) {
            EXPECT_EQ(ControlText(dialog, IDC_3D_SCALE_BOX), "250.000");
            ::SetDlgItemTextA(dialog, IDC_3D_SCALE_BOX, text);
          })
          .Click(IDOK);
      if (outcome == "message")
        driver.WaitForDialog("Qelm Explorer pro")
            .Read([](HWND box) { EXPECT_NE(FindChildByClassAndText(box, "Static", "Invalid Scale"), nullptr); })
            .Command(IDOK)
            .WaitUntilGone();
      if (outcome == "beep")
        driver.Pause(100).Read([](HWND dialog) { EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, IDC_3D_SCALE_BOX)); });
      // A refused scale keeps the dialog open: its Cancel button is still there to click.
      if (outcome == "message" || outcome == "beep") driver.Click(IDCANCEL);
      driver.WaitUntilGone();
    });
    EXPECT_EQ(beeps.Count() - beepsBefore, outcome == "beep" ? 1 : 0) << text;
    EXPECT_EQ(StoredText("3dScale"), outcome == "message" || outcome == "beep" ? "250" : outcome) << text;
  }
}

}  // namespace
}  // namespace commonq::testing
