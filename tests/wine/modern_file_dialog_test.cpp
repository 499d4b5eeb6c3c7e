// The modern Open and Save As dialogs (Windows 6 and later; the test program runs as Windows 7)
// on the classic dialogs' contract, and the classic dialogs where they still run: before
// Windows 6 (the copy that runs as Windows XP), with "ClassicFileDialogs" 1, and when the modern
// dialog cannot be created. The classic dialogs take the same scripts: the caller's buffer, the
// format options panel and the prompt for format options.
//
// Wine's modern dialog, found by walking its window tree with EnumChildWindows: a "#32770" like
// the classic one, captioned "Save" (not "Save As") for saving; the file name box is the Edit
// edt1 (the classic dialog under Wine has the combo box cmb13), the type list is cmb1 and sends
// CBN_SELCHANGE (the classic one reaches the hook as CDN_TYPECHANGE only after CBN_SELENDOK, which
// the tests send themselves); the controls added through
// IFileDialogCustomize are Buttons, each in a "FloatNotifySink" wrapper inside an
// "idlg_container_pane" child, under Wine's own ids from 0x2000, so they are found by their texts.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "resources/filedialogs_ids.h"
#include "support/import_redirect.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

const std::string kFormat = Key("Format");
const std::string kOption = Key("Option");
constexpr char kFilter[] = "Bitmap (*.bmp)\0*.bmp\0JPEG (*.jpg)\0*.jpg\0All files (*.*)\0*.*\0";

// Every object CommonQ.dll creates with CoCreateInstance while the watch lives, held with one
// reference of the watch's own, so that the DLL's references can be counted once it returns; or,
// refusing, no object at all, as on a system without the modern dialog.
class CreationWatch {
 public:
  explicit CreationWatch(bool refuse = false)
      : redirect_(LibraryModule(), "CoCreateInstance", reinterpret_cast<void*>(&Create), &original_) {
    refuse_ = refuse;
    objects_.clear();
  }
  ~CreationWatch() { LeftByLibrary(); }
  bool Active() const { return redirect_.Active(); }
  std::size_t Created() const { return objects_.size(); }
  // The references the DLL still holds, over every object it created.
  ULONG LeftByLibrary() {
    ULONG left = 0;
    for (IUnknown* object : objects_) left += object->Release();
    objects_.clear();
    return left;
  }

 private:
  static HRESULT WINAPI Create(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* out) {
    if (refuse_) return REGDB_E_CLASSNOTREG;
    const HRESULT result = reinterpret_cast<decltype(&::CoCreateInstance)>(original_)(type, outer, context, iid, out);
    if (SUCCEEDED(result) && out != nullptr && *out != nullptr) {
      objects_.push_back(static_cast<IUnknown*>(*out));
      objects_.back()->AddRef();
    }
    return result;
  }

  static inline void* original_ = nullptr;
  static inline bool refuse_ = false;
  static inline std::vector<IUnknown*> objects_;
  ImportRedirect redirect_;
};

// The controls one script needs, in the classic or the modern dialog.
struct Ui {
  bool modern;
  int NameBox() const { return modern ? edt1 : cmb13; }
  // The classic dialog's hook child: the panel in Save As.
  static HWND Panel(HWND dialog) { return ::FindWindowExA(dialog, nullptr, "#32770", nullptr); }
  // A button of the panel: the modern dialog's are found by their texts.
  HWND Button(HWND dialog, int id, const char* text) const {
    return modern ? FindChildByClassAndText(dialog, "Button", text) : ::GetDlgItem(Panel(dialog), id);
  }
  void ChooseType(HWND dialog, int index) const {
    HWND types = ::GetDlgItem(dialog, cmb1);
    ::SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, modern ? CBN_SELCHANGE : CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(types));
  }
};

// How many values the Format key holds, and the two the script stores.
using Format = std::tuple<DWORD, std::optional<DWORD>, std::optional<DWORD>>;
Format FormatValues() {
  HKEY key = nullptr;
  DWORD count = 0;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, kFormat.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                       nullptr);
    ::RegCloseKey(key);
  }
  return {count, GetDword(kFormat, "Check"), GetDword(kFormat, "bmp")};
}

// Whether the dialog is the classic one: its hook's child dialog (the panel in Save As).
bool IsClassic(HWND dialog) { return Ui::Panel(dialog) != nullptr; }

// Fresh settings that ask for the classic dialogs, or leave the modern ones.
void UseDialog(Ui ui) {
  DeleteSettings();
  if (!ui.modern) SetDword(Key("Option"), "ClassicFileDialogs", 1);
}

class ModernFileDialogTest : public LibraryTest {
 protected:
  // Save As (or Open) with the test's filter list, the JPEG type chosen, `file_` as the buffer and
  // `script` run on the dialog; the record is kept in `params_`.
  int Run(bool open, const std::function<void(DialogDriver&)>& script, DWORD flags = OFN_ENABLETEMPLATE,
          LONG promptMode = 1, DWORD size = 32, char* file = nullptr) {
    params_ = {size, nullptr, file != nullptr ? file : file_, kFilter, 2, "bmp", flags, promptMode};
    return Drive([&](DialogDriver& driver) { script(driver.WaitForDialog()); },
                 [&] { return open ? DlgFileOpenDoModal(&params_) : DlgFileSaveasDoModal(&params_); });
  }
  DlgFileParams params_{};
  char file_[260] = "scene.png";
};

// One script in both dialogs: the name follows the type, "Options..." opens the type's options
// over the file dialog, and the prompt at Save keeps Save As open on Cancel and saves on OK. The
// result, the caller's record and buffer and every Format value come out the same.
TEST_F(ModernFileDialogTest, TheSameScriptGivesTheClassicDialogsRecordAndSettings) {
  const std::string folder = TempPath("");
  // The result, the record, the buffer and the Format values.
  std::vector<std::tuple<int, std::string, std::string, Format>> outcomes;
  for (const Ui ui : {Ui{false}, Ui{true}}) {
    SCOPED_TRACE(ui.modern ? "modern" : "classic");
    UseDialog(ui);
    SetDword(kFormat, "Check", 1);
    CreationWatch watch;
    ASSERT_TRUE(watch.Active());
    std::memset(file_, 0, sizeof file_);
    ::lstrcpynA(file_, "scene.png", sizeof file_);
    // The steps run later, from the dialog's modal loop: what they share outlives the script.
    HWND fileDialog = nullptr;
    const auto script = [&](DialogDriver& driver) {
      driver.Read([&](HWND dialog) {
        EXPECT_EQ(IsClassic(dialog), !ui.modern);
        EXPECT_EQ(ControlText(dialog, ui.NameBox()), "scene.png");
        const HWND prompt = ui.Button(dialog, IDC_PANEL_PROMPT, "Prompt for format options");
        const HWND options = ui.Button(dialog, IDC_PANEL_OPTIONS, "Options...");
        EXPECT_TRUE(::SendMessageA(prompt, BM_GETCHECK, 0, 0) == BST_CHECKED);
        ::SetDlgItemTextA(dialog, ui.NameBox(), "C:\\x\\scene.jpg");
        // All files keeps the name and has no options; a type renames the file to its bare name.
        ui.ChooseType(dialog, 2);
        EXPECT_EQ(ControlText(dialog, ui.NameBox()), "C:\\x\\scene.jpg");
        EXPECT_FALSE(::IsWindowEnabled(options));
        ui.ChooseType(dialog, 0);
        EXPECT_EQ(ControlText(dialog, ui.NameBox()), "scene.bmp");
        EXPECT_TRUE(::IsWindowEnabled(options));
        ::PostMessageA(options, BM_CLICK, 0, 0);
      });
      driver.Read([&](HWND dialog) { fileDialog = dialog; }).WaitForDialog("Bitmap Save Options");
      driver.Read([&](HWND options) { EXPECT_EQ(::GetWindow(options, GW_OWNER), fileDialog); });
      driver.Click(IDC_DEPTH_8).Click(IDOK).WaitUntilGone();
      // A bare name takes the type's extension; Cancel in the prompted options keeps Save As open.
      driver.SetText(ui.NameBox(), folder + "picture").Click(IDOK);
      driver.WaitForDialog("Bitmap Save Options").Click(IDCANCEL).WaitUntilGone();
      driver.Click(IDOK).WaitForDialog("Bitmap Save Options").Click(IDOK).WaitUntilGone().WaitUntilGone();
    };
    const int result = Run(false, script);
    outcomes.push_back({result, std::string(reinterpret_cast<const char*>(&params_), sizeof params_),
                        std::string(file_, sizeof file_), FormatValues()});
    EXPECT_EQ(watch.Created(), ui.modern ? 1u : 0u);
    EXPECT_EQ(watch.LeftByLibrary(), 0u) << "the dialog object is released";
  }
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_EQ(std::get<0>(outcomes[0]), IDOK);
  EXPECT_EQ(std::string(std::get<2>(outcomes[0]).c_str()), folder + "picture.bmp");
  EXPECT_EQ(std::get<0>(std::get<3>(outcomes[0])), 2u) << "Check and bmp";
  EXPECT_EQ(outcomes[1], outcomes[0]);
}

// The panel's controls follow the record, the template flag and the prompt mode in both dialogs,
// in the host's language; a name longer than the buffer is cut to 259 characters.
TEST_F(ModernFileDialogTest, PanelFollowsTheRecordTheFlagAndTheModeInTheHostsLanguage) {
  enum Box { kNone, kEnabled, kDisabled };
  const struct {
    DWORD size, flags;
    LONG mode;
    const char* language;
    Box box;
    bool checked;
    DWORD stored;
  } cases[] = {
      {32, OFN_ENABLETEMPLATE, 1, nullptr, kEnabled, true, 0},   {32, OFN_ENABLETEMPLATE, 1, ".deu", kEnabled, true, 0},
      {28, OFN_ENABLETEMPLATE, 1, ".deu", kNone, false, 5},      {32, 0, 1, nullptr, kNone, false, 5},
      {32, OFN_ENABLETEMPLATE, -1, ".deu", kDisabled, false, 5}, {32, OFN_ENABLETEMPLATE, 0, nullptr, kNone, false, 5}};
  for (const Ui ui : {Ui{false}, Ui{true}}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(::testing::Message() << ui.modern << " " << c.size << " " << c.flags << " " << c.mode << " "
                                        << (c.language != nullptr));
      UseDialog(ui);
      if (c.language != nullptr) SetString(Key(""), "Language", c.language);
      SetDword(kFormat, "Check", 5);
      std::string name(300, 'n');
      const bool german = c.language != nullptr;
      const auto look = [&](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, ui.NameBox()), std::string(259, 'n'));
        const std::string optionsText = german ? "&Optionen..." : "Options...";
        HWND options = ui.Button(dialog, IDC_PANEL_OPTIONS, optionsText.c_str());
        EXPECT_EQ(options != nullptr && WindowTextOf(options) == optionsText, c.flags != 0);
        if (!ui.modern) {
          EXPECT_EQ(ControlText(ui.Panel(dialog), IDC_PANEL_RECENT_LABEL), c.flags == 0 ? ""
                                                                           : german     ? "&Zuletzt verwendete Ordner"
                                                                                        : "Recent &Folders");
          for (int id : {IDC_PANEL_RECENT_LABEL, IDC_PANEL_RECENT_FOLDERS}) {
            HWND recent = ::GetDlgItem(ui.Panel(dialog), id);
            EXPECT_FALSE(::IsWindowVisible(recent) && ::IsWindowEnabled(recent)) << "no recent folders to offer";
          }
        }
        HWND prompt =
            ui.Button(dialog, IDC_PANEL_PROMPT, german ? "Nach Optionen fragen" : "Prompt for format options");
        const bool shown = prompt != nullptr && ::IsWindowVisible(prompt);
        ASSERT_EQ(shown, c.box != kNone);
        if (!shown) return;
        EXPECT_EQ(::IsWindowEnabled(prompt) != FALSE, c.box == kEnabled);
        EXPECT_EQ(::SendMessageA(prompt, BM_GETCHECK, 0, 0) == BST_CHECKED, c.checked);
        if (c.checked) ::SendMessageA(prompt, BM_CLICK, 0, 0);
      };
      const auto save = [&](DialogDriver& driver) {
        driver.Read(look).SetText(ui.NameBox(), TempPath("photo.jpg")).Click(IDOK).WaitUntilGone();
      };
      EXPECT_EQ(Run(false, save, c.flags, c.mode, c.size, name.data()), IDOK);
      EXPECT_EQ(GetDword(kFormat, "Check"), c.stored);
    }
  }
}

// Cancel leaves the buffer as it was in whichever dialog runs: the classic one when the setting is
// exactly 1, for several files, and when the modern dialog cannot be created; any other setting
// keeps the modern one, where a path without an ANSI form is refused with a message and the dialog
// stays open. In both, Open starts in the folder of the caller's path with its name and OK returns
// the zero-filled path.
TEST_F(ModernFileDialogTest, TheSettingOrTheSystemChoosesTheDialogCancelKeepsTheBufferOpenZeroFills) {
  const std::string path = TempPath("commonq_model.obj");
  ::CloseHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const struct {
    std::optional<DWORD> setting;
    bool refused, open;
    DWORD flags;
    bool classic, ok;
  } cases[] = {{1, false, false, OFN_ENABLETEMPLATE, true, false},
               {1, false, true, 0, true, false},
               {1, false, true, 0, true, true},
               {std::nullopt, true, false, 0, true, false},
               {std::nullopt, true, true, 0, true, false},
               {std::nullopt, false, true, OFN_ALLOWMULTISELECT, true, false},
               {2, false, false, OFN_ENABLETEMPLATE, false, false},
               {0, false, true, 0, false, false},
               {0, false, true, 0, false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.setting.value_or(99) << " " << c.refused << " " << c.open << " " << c.ok);
    DeleteSettings();
    if (c.setting) SetDword(kOption, "ClassicFileDialogs", *c.setting);
    CreationWatch watch(c.refused);
    std::memset(file_, 'x', sizeof file_);
    ::lstrcpynA(file_, path.c_str(), sizeof file_);
    const std::string before(file_, sizeof file_);
    const auto script = [&](DialogDriver& driver) {
      driver.Read([&](HWND dialog) { EXPECT_EQ(IsClassic(dialog), c.classic); });
      if (c.ok) {
        const auto name = [&](HWND dialog) {
          EXPECT_EQ(ControlText(dialog, Ui{!c.classic}.NameBox()), "commonq_model.obj");
        };
        driver.Read(name).Click(IDOK).WaitUntilGone();
        return;
      }
      if (!c.classic && !c.open) {
        driver.Read([](HWND dialog) { ::SetWindowTextW(::GetDlgItem(dialog, edt1), L"caf\u0101.bmp"); }).Click(IDOK);
        const auto message = [](HWND box) { EXPECT_TRUE(FindChildByClassAndText(box, "Static", nullptr)); };
        driver.WaitForDialog("Qelm Explorer pro").Read(message).Command(IDOK).WaitUntilGone();
      }
      driver.Command(IDCANCEL).WaitUntilGone();
    };
    EXPECT_EQ(Run(c.open, script, c.flags), c.ok ? IDOK : IDCANCEL);
    EXPECT_EQ(std::string(file_, sizeof file_), c.ok ? path + std::string(sizeof file_ - path.size(), '\0') : before);
    EXPECT_EQ(watch.LeftByLibrary(), 0u);
  }
  ::DeleteFileA(path.c_str());
}

// The copy of the test program that Wine runs as Windows XP: both dialogs are the classic ones,
// and no modern dialog is even created.
class OnWindowsXpFileDialogs : public ModernFileDialogTest {};

TEST_F(OnWindowsXpFileDialogs, OpenAndSaveAsAreTheClassicDialogs) {
  for (const bool open : {false, true}) {
    CreationWatch watch;
    const auto look = [](DialogDriver& driver) {
      driver.Read([](HWND dialog) { EXPECT_TRUE(IsClassic(dialog)); }).Command(IDCANCEL).WaitUntilGone();
    };
    EXPECT_EQ(Run(open, look, open ? 0 : OFN_ENABLETEMPLATE), IDCANCEL) << open;
    EXPECT_EQ(watch.Created(), 0u) << open;
  }
}

}  // namespace
}  // namespace commonq::testing
