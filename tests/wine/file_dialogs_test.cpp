// DlgFormatOptionDoModal as a host calls it, over the format table: what each dialog opens with
// and stores, and the JPEG factor and 3D scale rules. Their tab order is walked by
// keyboard_test.cpp; the Open and Save As dialogs, classic and modern, are driven by
// modern_file_dialog_test.cpp.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "filedialogs/logic/format_table.h"
#include "resources/filedialogs_ids.h"
#include "wine/beep_counter.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

const std::string kFormat = Key("Format");

// A radio group's `other` button, then its choices.
std::vector<int> Indexes(const OptionField& field) {
  std::vector<int> indexes{field.other};
  for (const RadioChoice& choice : field.choices) indexes.push_back(choice.index);
  return indexes;
}

HWND Page(HWND dialog) { return ::FindWindowExA(::GetDlgItem(dialog, IDC_3D_PAGE_HOST), nullptr, "#32770", nullptr); }

class FileDialogsTest : public LibraryTest {
 protected:
  // The export with the driver running `script` once the dialog is up.
  int Show(const char* extension, const std::function<void(DialogDriver&)>& script) {
    DlgFormatOptionParams params{};
    ::lstrcpynA(params.szExtension, extension, sizeof params.szExtension);
    return Drive([&](DialogDriver& driver) { script(driver.WaitForDialog()); },
                 [&] { return DlgFormatOptionDoModal(&params); });
  }
  int Close(
      const char* extension, int button, const std::function<void(HWND)>& look = [](HWND) {}) {
    return Show(extension, [&](DialogDriver& driver) { driver.Read(look).Click(button).WaitUntilGone(); });
  }
};

TEST_F(FileDialogsTest, EveryChoiceOpensAndIsStoredAgainAndBadDataOpensAsTheDefaults) {
  // Every dialog but GIF's and the 3D one is translated.
  SetString(Key(""), "Language", ".deu");
  for (const FormatTable& format : Formats()) {
    const char* extension = format.extensions[0].data();
    // GIF keeps nothing; the 3D dialog stores its page's value with its own.
    std::vector<const FormatTable*> tables;
    if (format.value != nullptr) tables.push_back(&format);
    if (format.templateId == IDD_3D_OPTIONS) tables.push_back(&WavefrontPage());
    // Probe -2 stores text where a number belongs, -1 nothing: both open as the defaults. The
    // others pick each radio button (seven at most) and check state in turn.
    for (int probe = -2; probe < 7; ++probe) {
      ::SHDeleteKeyA(HKEY_CURRENT_USER, kFormat.c_str());
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
      const auto look = [&](HWND d) {
        EXPECT_EQ(ControlText(d, IDCANCEL), format.translated ? "Abbrechen" : "Cancel");
      };
      EXPECT_EQ(Close(extension, IDOK, look), IDOK);
      EXPECT_EQ(KeyExists(kFormat), !tables.empty()) << extension;
      for (std::size_t k = 0; k < tables.size(); ++k) {
        EXPECT_EQ(GetDword(kFormat, tables[k]->value), expected[k]) << tables[k]->value << " probe " << probe;
      }
    }
  }
  // The hidden 16-bit button opens checked; the extension is compared ignoring case; Cancel stores nothing.
  SetDword(kFormat, "bmp", 0x08);
  Close(".BMP", IDCANCEL, [](HWND dialog) {
    EXPECT_TRUE(IsChecked(dialog, IDC_DEPTH_16));
    ::CheckRadioButton(dialog, IDC_DEPTH_1, IDC_DEPTH_32, IDC_DEPTH_1);
  });
  EXPECT_EQ(GetDword(kFormat, "bmp"), 0x08u);
}

TEST_F(FileDialogsTest, JpegArrowsStepByFiveAndAFactorOf100OrNoNumberIsRefusedWithABeep) {
  const BeepCounter beeps(LibraryModule());
  ASSERT_TRUE(beeps.Patched());
  // The factor typed, the arrow pressed (none: 0), what the box shows then; OK stores up to 99.
  const std::tuple<const char*, WORD, const char*> cases[] = {
      {"23", VK_DOWN, "20"}, {"99", 0, "99"}, {"95", VK_UP, "100"}, {"", 0, ""}};
  for (const auto& [typed, key, shown] : cases) {
    Show(".jpg", [&](DialogDriver& driver) {
      driver.SetText(IDC_JPEG_FACTOR, typed).Focus(IDC_JPEG_FACTOR);
      if (key != 0) driver.Key(key);
      const auto look = [&](HWND dialog) { EXPECT_EQ(ControlText(dialog, IDC_JPEG_FACTOR), shown); };
      driver.Read(look).Click(IDOK).WaitUntilGone();
    });
  }
  // The refused factors closed the dialog all the same, and the stored one stays.
  EXPECT_TRUE(beeps.Count() == 2 && beeps.LastType() == 0xFFFFFFFFu);
  EXPECT_EQ(GetDword(kFormat, "jpegComp"), 99u);
  EXPECT_EQ(GetDword(kFormat, "jpeg"), 0u);
}

TEST_F(FileDialogsTest, ScaleOpensWithItsSwitchesOnlyAndIsCheckedAtOkEvenInADisabledBox) {
  SetString(kFormat, "3dScale", "250");
  Close(".obj", IDOK, [](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, IDC_3D_SCALE_BOX), "100.000") << "no \"3dCheck\", no scale";
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
  // The bounds of the text are the scale rules' own; these are one text of each outcome.
  const std::pair<const char*, std::string> cases[] = {{" 12.5 ", "12.500000"}, {"abc", "message"}, {"0.001", "beep"}};
  for (const auto& [text, outcome] : cases) {
    SetDword(kFormat, "3dCheck", *text == 'a' ? 0 : 4);
    SetString(kFormat, "3dScale", "250");
    const int beepsBefore = beeps.Count();
    Show(".obj", [&](DialogDriver& driver) {
      driver.Read([&](HWND dialog) { ::SetDlgItemTextA(dialog, IDC_3D_SCALE_BOX, text); }).Click(IDOK);
      const auto message = [](HWND box) { EXPECT_TRUE(FindChildByClassAndText(box, "Static", "Invalid Scale")); };
      const auto focus = [](HWND dialog) { EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, IDC_3D_SCALE_BOX)); };
      if (outcome == "message") driver.WaitForDialog("Qelm Explorer pro").Read(message).Command(IDOK).WaitUntilGone();
      if (outcome == "beep") driver.Pause(100).Read(focus);
      // A refused scale keeps the dialog open: its Cancel button is still there to click.
      if (outcome == "message" || outcome == "beep") driver.Click(IDCANCEL);
      driver.WaitUntilGone();
    });
    EXPECT_EQ(beeps.Count() - beepsBefore, outcome == "beep" ? 1 : 0) << text;
    EXPECT_EQ(GetText(kFormat, "3dScale"), outcome == "message" || outcome == "beep" ? "250" : outcome) << text;
  }
}

}  // namespace
}  // namespace commonq::testing
