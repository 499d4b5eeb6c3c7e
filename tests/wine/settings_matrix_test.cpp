// Damaged settings, as a host's registry may hold them after years of use: every value the
// library reads, stored with every registry type and a range of sizes, with and without its
// terminating NUL. Each case runs the export that reads the value and closes it by script; the
// call must come back, apply the default when the registry rules refuse the value, and leave the
// value as it was unless that dialog writes it.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/dialog_driver.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

constexpr DWORD kTypes[] = {REG_NONE,     REG_SZ,   REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN,
                            REG_MULTI_SZ, REG_QWORD};
constexpr DWORD kSizes[] = {0, 1, 3, 4, 5, 259, 260, 261, 4096};

struct Stored {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

enum class Kind { Dword, String, Scale };

// A stored value as the registry rules take it: a REG_DWORD of exactly four bytes, or a string
// that fits the reader's buffer and ends in its NUL (two for REG_MULTI_SZ). Zero bytes are absent.
bool Accepted(Kind kind, const Stored& value) {
  const size_t size = value.data.size();
  if (kind == Kind::Dword) return value.type == REG_DWORD && size == 4;
  const size_t buffer = kind == Kind::Scale ? 64 : 260;
  if (size == 0 || size > buffer) return false;
  if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) return value.data[size - 1] == 0;
  return value.type == REG_MULTI_SZ && size >= 2 && value.data[size - 2] == 0 && value.data[size - 1] == 0;
}

// Data that means something when it is taken: the DWORD 0x44332233 (bits 0x1, 0x2 and 0x20 set,
// a colour that is neither black nor white), or the text "1.000..." (a 3D scale of 1 %). With
// `terminated`, the last two bytes are NUL.
Stored MakeValue(Kind kind, DWORD type, DWORD size, bool terminated) {
  Stored value;
  value.type = type;
  value.data.resize(size);
  static constexpr BYTE kDword[] = {0x33, 0x22, 0x33, 0x44};
  static constexpr char kScale[] = "1.";
  for (DWORD i = 0; i < size; ++i) {
    value.data[i] = kind == Kind::Dword ? kDword[i % 4] : static_cast<BYTE>(i < 2 ? kScale[i] : '0');
  }
  if (terminated) {
    for (DWORD i = size >= 2 ? size - 2 : 0; i < size; ++i) value.data[i] = 0;
  }
  return value;
}

DWORD AsDword(const Stored& value) {
  DWORD result = 0;
  std::memcpy(&result, value.data.data(), std::min<size_t>(sizeof result, value.data.size()));
  return result;
}

std::optional<Stored> ReadRaw(const std::string& key, const std::string& name) {
  HKEY handle = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
  Stored value;
  DWORD size = 0;
  LONG status = ::RegQueryValueExA(handle, name.c_str(), nullptr, &value.type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    value.data.resize(size);
    status = ::RegQueryValueExA(handle, name.c_str(), nullptr, &value.type, value.data.data(), &size);
  }
  ::RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

// One value the library reads: where it lives, how it is read, and a run of the export that reads
// it. `run` gets whether the rules accept the stored value (and the value), drives the dialog and asserts on what
// it showed or wrote. `writes` tells whether that run is specified to write the value.
struct SettingCase {
  const char* label;
  std::string key;
  const char* name;
  Kind kind;
  bool writes;
  std::function<void(bool accepted, const Stored& stored)> run;
};

void PrintTo(const SettingCase& setting, std::ostream* out) { *out << setting.label; }

template <typename Function>
Function Find(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(LibraryModule(), name)));
}

// Runs `call` with a driver that waits for the dialog, optionally reads it, then sends `button`.
// Returns the call's result and whether the dialog was seen.
template <typename Call>
std::pair<int, bool> Drive(int button, Call call, std::function<void(HWND)> look = nullptr, int timeoutMs = 20000) {
  DialogDriver driver(timeoutMs);
  driver.WaitForDialog();
  if (look) driver.Read(look);
  driver.Command(button).WaitUntilGone().Start();
  const int result = call();
  return {result, driver.Finished()};
}

// The options dialog of `extension`, confirmed with OK: a refused value is written back as the
// format's default.
SettingCase FormatCase(const char* label, const char* extension, const char* name, Kind kind,
                       std::function<void(bool accepted, const Stored& stored)> check) {
  return {label, Key("Format"), name, kind, true, [extension, check](bool accepted, const Stored& stored) {
            DlgFormatOptionParams params{};
            lstrcpynA(params.szExtension, extension, sizeof params.szExtension);
            auto [result, seen] =
                Drive(IDOK, [&] { return Find<DlgFormatOptionDoModalFn>("DlgFormatOptionDoModal")(&params); });
            EXPECT_TRUE(seen);
            EXPECT_EQ(result, IDOK);
            check(accepted, stored);
          }};
}

std::function<void(bool, const Stored&)> DefaultDword(const char* name, DWORD fallback) {
  return [name, fallback](bool accepted, const Stored&) {
    const std::optional<DWORD> written = GetDword(Key("Format"), name);
    ASSERT_TRUE(written.has_value()) << name << " was not written as a REG_DWORD";
    if (!accepted) {
      EXPECT_EQ(*written, fallback) << name;
    }
  };
}

// Add a Favorite over a root of one folder, cancelled: it reads both of its values and writes
// neither. Returns whether "Restore last selected directory as default" was checked.
bool CancelAddFavorite() {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "commonq_matrix_root";
  ::CreateDirectoryA(root.c_str(), nullptr);
  DlgFavParams params{};
  lstrcpynA(params.szRoot, root.c_str(), sizeof params.szRoot);
  lstrcpynA(params.szFolder, root.c_str(), sizeof params.szFolder);
  bool restore = false;
  auto [result, seen] = Drive(
      IDCANCEL, [&] { return Find<int(__cdecl*)(DlgFavParams*)>("DlgFavDoAddTo")(&params); },
      [&](HWND dialog) { restore = ::IsDlgButtonChecked(dialog, 1190) == BST_CHECKED; });
  ::RemoveDirectoryA(root.c_str());
  EXPECT_TRUE(seen);
  EXPECT_EQ(result, IDCANCEL);
  // A remembered folder that does not exist never replaces the caller's.
  EXPECT_EQ(std::string(params.szFolder), root);
  return restore;
}

std::vector<SettingCase> EverySetting() {
  static char file[MAX_PATH];
  return {
      {"DoNot", Key("Common"), "DoNot", Kind::Dword, false,
       [](bool accepted, const Stored&) {
         // Message 3031 owns bit 0x2, which the stored DWORD has: taken, the message is suppressed.
         auto [result, seen] = Drive(
             IDCANCEL,
             [] {
               return Find<MessageBoxDoModalFn>("MessageBoxDoModal")(nullptr, "Text", "Caption", MB_OKCANCEL, 3031);
             },
             nullptr, accepted ? 1500 : 20000);
         EXPECT_EQ(seen, !accepted);
         EXPECT_EQ(result, accepted ? IDOK : IDCANCEL);
       }},
      {"Color0", Key("Common"), "Color0", Kind::Dword, true,
       [](bool accepted, const Stored& stored) {
         DlgColorParams params{};
         params.rgbInitial = RGB(10, 20, 30);
         auto [result, seen] =
             Drive(IDOK, [&] { return Find<DlgColorDialogDoModalFn>("DlgColorDialogDoModal")(&params); });
         EXPECT_TRUE(seen);
         EXPECT_EQ(result, 1);
         EXPECT_EQ(GetDword(Key("Common"), "Color0"), RGB(10, 20, 30));
         // A taken colour moves one place down the list; a refused one ends the list before it.
         EXPECT_EQ(GetDword(Key("Common"), "Color1"), accepted ? std::optional<DWORD>(AsDword(stored)) : std::nullopt);
       }},
      {"Language", kSettingsRoot, "Language", Kind::String, false,
       [](bool, const Stored&) {
         // Whatever is stored names no file that exists: the box comes up in English.
         std::string checkText;
         auto [result, seen] = Drive(
             IDCANCEL,
             [] {
               return Find<MessageBoxDoModalFn>("MessageBoxDoModal")(nullptr, "Text", "Caption", MB_OKCANCEL, 3031);
             },
             [&](HWND box) { checkText = ControlText(box, 1092); });
         EXPECT_TRUE(seen);
         EXPECT_EQ(result, IDCANCEL);
         EXPECT_EQ(checkText, "Do not show again");
       }},
      {"OptGlb", Key("Option"), "OptGlb", Kind::Dword, false,
       [](bool accepted, const Stored&) {
         EXPECT_EQ(CancelAddFavorite(), accepted) << "the stored DWORD has bit 0x20";
       }},
      {"FavDoAddTo", Key("Folder"), "FavDoAddTo", Kind::String, false,
       [](bool, const Stored&) { CancelAddFavorite(); }},
      {"Check", Key("Format"), "Check", Kind::Dword, false,
       [](bool accepted, const Stored&) {
         bool checked = false;
         DlgFileParams params{};
         params.cbSize = sizeof params;
         lstrcpynA(file, "scene.png", MAX_PATH);
         params.pszFile = file;
         params.pszFilter = "PNG (*.png)\0*.png\0";
         params.nFilterIndex = 1;
         params.dwFlags = OFN_ENABLETEMPLATE;
         params.nPromptMode = 1;
         auto [result, seen] = Drive(
             IDCANCEL, [&] { return Find<DlgFileDoModalFn>("DlgFileSaveasDoModal")(&params); },
             [&](HWND dialog) {
               HWND panel = FindChildByClassAndText(dialog, "#32770", nullptr);
               checked = ::IsDlgButtonChecked(panel, 1002) == BST_CHECKED;
             });
         EXPECT_TRUE(seen);
         EXPECT_EQ(result, 2);
         EXPECT_EQ(checked, accepted) << "the stored DWORD has bit 0x1";
       }},
      FormatCase("bmp", ".bmp", "bmp", Kind::Dword, DefaultDword("bmp", 0x84)),
      FormatCase("png", ".png", "png", Kind::Dword, DefaultDword("png", 0x404)),
      FormatCase("rsr", ".rsr", "rsr", Kind::Dword, DefaultDword("rsr", 0x82)),
      FormatCase("carr", ".car", "carr", Kind::Dword, DefaultDword("carr", 0)),
      FormatCase("jpegComp", ".jpg", "jpegComp", Kind::Dword, DefaultDword("jpegComp", 25)),
      FormatCase("jpeg", ".jpg", "jpeg", Kind::Dword,
                 [](bool, const Stored&) { EXPECT_EQ(GetDword(Key("Format"), "jpeg"), 0u); }),
      FormatCase("obj", ".obj", "obj", Kind::Dword, DefaultDword("obj", 0x7)),
      FormatCase("3dCheck", ".obj", "3dCheck", Kind::Dword, DefaultDword("3dCheck", 0)),
      {"3dScale", Key("Format"), "3dScale", Kind::Scale, false,
       [](bool accepted, const Stored& stored) {
         // The scale is read only together with the switches it was stored with.
         SetDword(Key("Format"), "3dCheck", 0x4);
         DlgFormatOptionParams params{};
         lstrcpynA(params.szExtension, ".obj", sizeof params.szExtension);
         std::string shown;
         auto [result, seen] = Drive(
             IDCANCEL, [&] { return Find<DlgFormatOptionDoModalFn>("DlgFormatOptionDoModal")(&params); },
             [&](HWND dialog) { shown = ControlText(dialog, 1102); });
         EXPECT_TRUE(seen);
         EXPECT_EQ(result, IDCANCEL);
         // A taken text is a prefix of "1.000...", which reads as 1; the empty text reads as 0.
         const bool empty = accepted && stored.data[0] == 0;
         EXPECT_EQ(shown, !accepted ? "100.000" : empty ? "0.000" : "1.000");
       }},
  };
}

class SettingsMatrixTest : public LibraryTest, public ::testing::WithParamInterface<SettingCase> {};

TEST_P(SettingsMatrixTest, EveryTypeAndSizeGivesTheRulesAnswer) {
  const SettingCase& setting = GetParam();
  int cases = 0;
  for (DWORD type : kTypes) {
    for (DWORD size : kSizes) {
      for (bool terminated : {false, true}) {
        if (size == 0 && terminated) continue;
        DeleteSettings();
        const Stored made = MakeValue(setting.kind, type, size, terminated);
        SetRaw(setting.key, setting.name, made.type, made.data.data(), size);
        // The ANSI registry functions convert string types on the way in and out, so the rules
        // apply to what a query answers, not to the bytes that were set.
        const std::optional<Stored> answered = ReadRaw(setting.key, setting.name);
        ASSERT_TRUE(answered.has_value());
        const Stored& stored = *answered;
        const bool accepted = Accepted(setting.kind, stored);
        SCOPED_TRACE(std::string(setting.label) + ": type " + std::to_string(type) + ", " + std::to_string(size) +
                     " bytes" + (terminated ? ", NUL-terminated" : "") + (accepted ? " (taken)" : " (refused)"));
        setting.run(accepted, stored);
        if (!setting.writes) {
          const std::optional<Stored> after = ReadRaw(setting.key, setting.name);
          ASSERT_TRUE(after.has_value()) << "the value was deleted";
          EXPECT_EQ(after->type, stored.type);
          EXPECT_TRUE(after->data == stored.data) << "the value was changed";
        }
        for (const std::string& survivor : Tracer().Survivors()) ADD_FAILURE() << "left alive: " << survivor;
        Tracer().Start();
        ++cases;
        if (HasFatalFailure()) return;
      }
    }
  }
  std::printf("%s: %d stored forms run\n", setting.label, cases);
}

INSTANTIATE_TEST_SUITE_P(EveryValue, SettingsMatrixTest, ::testing::ValuesIn(EverySetting()),
                         [](const ::testing::TestParamInfo<SettingCase>& info) {
                           return std::string(info.param.label);
                         });

}  // namespace
}  // namespace commonq::testing
