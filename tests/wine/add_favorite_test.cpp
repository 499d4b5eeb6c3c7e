// DlgFavDoAddTo as a host calls it: the folder tree, the name box, the options panel, the
// overwrite question and what is stored, driven through the real dialog.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/dialog_driver.h"
#include "wine/beep_counter.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

using DlgFavDoAddToFn = int(__cdecl*)(DlgFavParams*);

const std::string kFolderKey = Key("Folder");
const std::string kOptionKey = Key("Option");
constexpr const char* kCaption = "Add a Favorite";
constexpr int kNameEdit = 1185;
constexpr int kCombo = 1187;
constexpr int kNewFolder = 1188;
constexpr int kToggle = 1189;
constexpr int kRestore = 1190;

std::string ReadString(const std::string& key, const std::string& name) {
  char text[MAX_PATH] = {};
  DWORD size = sizeof text;
  if (::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return "<missing>";
  }
  return text;
}

int WindowHeight(HWND window) {
  RECT frame{};
  ::GetWindowRect(window, &frame);
  return frame.bottom - frame.top;
}

std::vector<std::string> ComboTexts(HWND dialog) {
  std::vector<std::string> texts;
  HWND combo = ::GetDlgItem(dialog, kCombo);
  const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    char text[MAX_PATH] = {};
    ::SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    texts.emplace_back(text);
  }
  return texts;
}

void SelectItem(HWND dialog, int index) { ::SendDlgItemMessageA(dialog, kCombo, CB_SETCURSEL, index, 0); }

int SelectedItem(HWND dialog) { return static_cast<int>(::SendDlgItemMessageA(dialog, kCombo, CB_GETCURSEL, 0, 0)); }

int IndexOf(const std::vector<std::string>& texts, const std::string& text) {
  const auto found = std::find(texts.begin(), texts.end(), text);
  return found == texts.end() ? -1 : static_cast<int>(found - texts.begin());
}

class AddFavoriteTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + "CommonQFav" + std::to_string(::GetCurrentProcessId()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RemoveTree(root_);
    for (const char* folder : {"", "\\A", "\\A\\X", "\\B"})
      ASSERT_TRUE(::CreateDirectoryA((root_ + folder).c_str(), nullptr));
  }
  void TearDown() override {
    RemoveTree(root_);
    LibraryTest::TearDown();
  }
  static void RemoveTree(const std::string& path) {
    std::string from = path + '\0';  // a double-NUL list
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    if (::PathFileExistsA(path.c_str())) ::SHFileOperationA(&operation);
  }
  void MakeFile(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
  }

  DlgFavParams Params(const std::string& name, const std::string& folder = {}) {
    DlgFavParams params{};
    params.reserved = 0x5A5A5A5A;
    ::lstrcpynA(params.szRoot, root_.c_str(), sizeof params.szRoot);
    ::lstrcpynA(params.szFolder, folder.c_str(), sizeof params.szFolder);
    ::lstrcpynA(params.szName, name.c_str(), sizeof params.szName);
    return params;
  }

  // Shows the dialog, runs `script` once it is up and returns the export's result.
  int Show(DlgFavParams& params, const std::function<void(DialogDriver&)>& script,
           const std::string& caption = kCaption) {
    DialogDriver driver;
    driver.WaitForDialog(caption);
    script(driver);
    driver.Start();
    const int result = Export<DlgFavDoAddToFn>("DlgFavDoAddTo")(&params);
    EXPECT_TRUE(driver.Finished());
    for (const std::string& error : driver.Errors()) ADD_FAILURE() << error;
    EXPECT_EQ(params.reserved, 0x5A5A5A5Au);
    EXPECT_EQ(std::string(params.szRoot), root_);
    return result;
  }

  std::string root_;
};

TEST(FavoriteRecord, Is784BytesWithThreeInlineTexts) {
  EXPECT_EQ(sizeof(DlgFavParams), 784u);
  EXPECT_EQ(offsetof(DlgFavParams, szRoot), 4u);
  EXPECT_EQ(offsetof(DlgFavParams, szFolder), 264u);
  EXPECT_EQ(offsetof(DlgFavParams, szName), 524u);
}

TEST_F(AddFavoriteTest, ShowsEveryControlCollapsedWithTheTreeAndTheRootSelected) {
  DlgFavParams params = Params("Chairs");
  int closedHeight = 0;
  EXPECT_EQ(
      Show(params,
           [&](DialogDriver& driver) {
             driver
                 .Read([&](HWND dialog) {
                   const struct {
                     int id;
                     DWORD style;
                   } controls[] = {{1181, 0x50000003}, {1182, 0x40020000},     {1183, 0x50020000}, {1184, 0x50020000},
                                   {1185, 0x50810080}, {1186, 0x50020000},     {1187, 0x50210213}, {1188, 0x50010000},
                                   {IDOK, 0x50010001}, {IDCANCEL, 0x50010000}, {1189, 0x5001000B}, {1190, 0x50010003}};
                   for (const auto& control : controls) {
                     HWND window = ::GetDlgItem(dialog, control.id);
                     ASSERT_NE(window, nullptr) << control.id;
                     // The default push button may have lost BS_DEFPUSHBUTTON to the focus rules;
                     // the dialog manager turns an edit's WS_BORDER into a client edge, and the
                     // combo hands WS_VSCROLL on to its list.
                     DWORD mask = control.id == IDOK ? ~DWORD{0xF} : ~DWORD{0};
                     if (control.id == kNameEdit) mask &= ~DWORD{WS_BORDER};
                     if (control.id == kCombo) mask &= ~DWORD{WS_VSCROLL};
                     EXPECT_EQ(::GetWindowLongA(window, GWL_STYLE) & mask & ~DWORD{WS_DISABLED}, control.style & mask)
                         << control.id;
                   }
                   EXPECT_NE(::SendDlgItemMessageA(dialog, 1181, STM_GETICON, 0, 0), 0);
                   EXPECT_EQ(ControlText(dialog, 1182), "Add this directory as a Favorite");
                   EXPECT_EQ(ControlText(dialog, IDOK), "Add");
                   EXPECT_EQ(ControlText(dialog, kToggle), "Show options");
                   EXPECT_EQ(ControlText(dialog, kNameEdit), "Chairs");
                   EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, kNameEdit));
                   // Collapsed: 39 pixels shorter than the template, the option below the edge.
                   RECT templateRect{0, 0, 292, 150};
                   ::MapDialogRect(dialog, &templateRect);
                   RECT client{};
                   ::GetClientRect(dialog, &client);
                   EXPECT_EQ(client.bottom, templateRect.bottom - 39);
                   RECT option{};
                   ::GetWindowRect(::GetDlgItem(dialog, kRestore), &option);
                   ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&option), 2);
                   EXPECT_GE(option.top, client.bottom);
                   closedHeight = WindowHeight(dialog);
                   // The tree: root, then depth first; every entry after its parent.
                   const std::vector<std::string> texts = ComboTexts(dialog);
                   ASSERT_EQ(texts.size(), 4u);
                   EXPECT_EQ(texts[0], ::PathFindFileNameA(root_.c_str()));
                   const int a = IndexOf(texts, "A");
                   EXPECT_GT(a, 0);
                   EXPECT_EQ(IndexOf(texts, "X"), a + 1);
                   EXPECT_GT(IndexOf(texts, "B"), 0);
                   EXPECT_EQ(SelectedItem(dialog), 0);
                   EXPECT_EQ(::SendDlgItemMessageA(dialog, kCombo, CB_GETITEMHEIGHT, 0, 0),
                             ::GetSystemMetrics(SM_CYSMICON) + 1);
                 })
                 .Command(IDCANCEL)
                 .WaitUntilGone();
           }),
      IDCANCEL);
  EXPECT_GT(closedHeight, 0);
  EXPECT_EQ(std::string(params.szName), "Chairs");  // Cancel writes nothing back
  EXPECT_FALSE(KeyExists(kFolderKey));
  EXPECT_FALSE(KeyExists(kOptionKey));
}

TEST_F(AddFavoriteTest, AddTrimsReplacesTheExtensionAndStoresOnlyTheFolder) {
  DlgFavParams params = Params("");
  EXPECT_EQ(Show(params,
                 [&](DialogDriver& driver) {
                   driver.Focus(kNameEdit)
                       .Keys("  Chair.obj ")
                       .Read([&](HWND dialog) { SelectItem(dialog, IndexOf(ComboTexts(dialog), "B")); })
                       .Keys("\n")
                       .WaitUntilGone();
                 }),
            IDOK);
  EXPECT_EQ(std::string(params.szFolder), root_ + "\\B");
  EXPECT_EQ(std::string(params.szName), root_ + "\\B\\Chair.lnk");
  EXPECT_EQ(ReadString(kFolderKey, "FavDoAddTo"), root_ + "\\B");
  EXPECT_FALSE(ValueExists(kOptionKey, "OptGlb"));  // missing and left off: not written
  EXPECT_FALSE(::PathFileExistsA(params.szName));   // the host creates the shortcut
}

TEST_F(AddFavoriteTest, TheNameBoxRefusesForbiddenCharactersTypedSetOrPasted) {
  BeepCounter beeps(LibraryModule());
  ASSERT_TRUE(beeps.Patched());
  DlgFavParams params = Params("a/b");  // refused at the start: the box starts empty
  EXPECT_EQ(Show(params,
                 [&](DialogDriver& driver) {
                   driver
                       .Read([&](HWND dialog) {
                         EXPECT_EQ(ControlText(dialog, kNameEdit), "");
                         EXPECT_EQ(beeps.Count(), 1);
                       })
                       .Focus(kNameEdit)
                       .Keys("a\\b/c:d*e?f\"g<h>i|j")
                       .Read([&](HWND dialog) {
                         EXPECT_EQ(ControlText(dialog, kNameEdit), "abcdefghij");
                         EXPECT_EQ(beeps.Count(), 10);
                         EXPECT_EQ(beeps.LastType(), 0xFFFFFFFFu);
                         // Codes from 128 up are never refused.
                         ::SendDlgItemMessageA(dialog, kNameEdit, WM_CHAR, 0xE4, 0);
                         EXPECT_EQ(ControlText(dialog, kNameEdit), "abcdefghij\xC3\xA4");
                         HWND edit = ::GetDlgItem(dialog, kNameEdit);
                         EXPECT_FALSE(::SetWindowTextA(edit, "x>y"));
                         EXPECT_EQ(ControlText(dialog, kNameEdit), "abcdefghij\xC3\xA4");
                         EXPECT_EQ(beeps.Count(), 11);
                         // A paste that brings a colon is undone and the caret goes to the start.
                         ASSERT_TRUE(::OpenClipboard(dialog));
                         ::EmptyClipboard();
                         HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, 8);
                         std::memcpy(::GlobalLock(memory), "C:\\t", 5);
                         ::GlobalUnlock(memory);
                         ::SetClipboardData(CF_TEXT, memory);
                         ::CloseClipboard();
                         ::SendMessageA(edit, EM_SETSEL, 3, 3);
                       })
                       .Key('V', true)
                       .Read([&](HWND dialog) {
                         EXPECT_EQ(ControlText(dialog, kNameEdit), "abcdefghij\xC3\xA4");
                         DWORD start = 99, end = 99;
                         ::SendDlgItemMessageA(dialog, kNameEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                               reinterpret_cast<LPARAM>(&end));
                         EXPECT_EQ(start, 0u);
                         EXPECT_EQ(end, 0u);
                         EXPECT_EQ(beeps.Count(), 12);
                         // A harmless paste goes through without a beep.
                         ASSERT_TRUE(::OpenClipboard(dialog));
                         ::EmptyClipboard();
                         HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, 8);
                         std::memcpy(::GlobalLock(memory), "ok", 3);
                         ::GlobalUnlock(memory);
                         ::SetClipboardData(CF_TEXT, memory);
                         ::CloseClipboard();
                       })
                       .Key('V', true)
                       .Read([&](HWND dialog) {
                         EXPECT_EQ(ControlText(dialog, kNameEdit), "okabcdefghij\xC3\xA4");
                         EXPECT_EQ(beeps.Count(), 12);
                         // With Ctrl and Alt both down (AltGr) the character is still tested; with
                         // Ctrl alone it is passed on untested.
                         HWND edit = ::GetDlgItem(dialog, kNameEdit);
                         ::SetWindowTextA(edit, "");
                         BYTE keys[256] = {};
                         ASSERT_TRUE(::GetKeyboardState(keys));
                         const BYTE saved[2] = {keys[VK_CONTROL], keys[VK_MENU]};
                         keys[VK_CONTROL] = keys[VK_MENU] = 0x80;
                         ::SetKeyboardState(keys);
                         ::SendMessageA(edit, WM_CHAR, '/', 0);
                         EXPECT_EQ(ControlText(dialog, kNameEdit), "");
                         EXPECT_EQ(beeps.Count(), 13);
                         keys[VK_MENU] = 0;
                         ::SetKeyboardState(keys);
                         ::SendMessageA(edit, WM_CHAR, '/', 0);
                         EXPECT_EQ(ControlText(dialog, kNameEdit), "/");
                         EXPECT_EQ(beeps.Count(), 13);
                         keys[VK_CONTROL] = saved[0];
                         keys[VK_MENU] = saved[1];
                         ::SetKeyboardState(keys);
                       })
                       .Command(IDCANCEL)
                       .WaitUntilGone();
                 }),
            IDCANCEL);
}

TEST_F(AddFavoriteTest, OverwriteQuestionNoKeepsTheDialogOpenWithThePathsWritten) {
  MakeFile(root_ + "\\Chairs.lnk");
  DlgFavParams params = Params("Chairs ");
  EXPECT_EQ(Show(params,
                 [&](DialogDriver& driver) {
                   driver.Click(IDOK)
                       .WaitForDialog(kCaption)  // the question, titled with the dialog's caption
                       .Read([&](HWND question) {
                         EXPECT_NE(FindChildByClassAndText(question, nullptr, "Confirm File Overwrite"), nullptr);
                         EXPECT_NE(FindChildByClassAndText(question, nullptr, "Chairs\nalready exists. Overwrite ?"),
                                   nullptr);
                       })
                       .Click(IDNO)
                       .WaitUntilGone()
                       .Read([&](HWND dialog) { EXPECT_EQ(ControlText(dialog, kNameEdit), "Chairs "); })
                       .Command(IDCANCEL)
                       .WaitUntilGone();
                 }),
            IDCANCEL);
  EXPECT_EQ(std::string(params.szFolder), root_);
  EXPECT_EQ(std::string(params.szName), root_ + "\\Chairs.lnk");
  EXPECT_FALSE(KeyExists(kFolderKey));
}

TEST_F(AddFavoriteTest, AnExistingFolderAsksTooAndYesAddsKeepingTheOtherOptionBits) {
  ASSERT_TRUE(::CreateDirectoryA((root_ + "\\A\\Models.lnk").c_str(), nullptr));
  SetDword(kOptionKey, "OptGlb", 0x45);
  DlgFavParams params = Params("Models.obj");
  EXPECT_EQ(Show(params,
                 [&](DialogDriver& driver) {
                   driver.Read([&](HWND dialog) { SelectItem(dialog, IndexOf(ComboTexts(dialog), "A")); })
                       .Click(kToggle)
                       .Pause(400)
                       .SetCheck(kRestore, true)
                       .Click(IDOK)
                       .WaitForDialog(kCaption)
                       .Click(IDYES)
                       .WaitUntilGone();
                 }),
            IDOK);
  EXPECT_EQ(std::string(params.szName), root_ + "\\A\\Models.lnk");
  EXPECT_EQ(GetDword(kOptionKey, "OptGlb"), 0x65u);
  EXPECT_EQ(ReadString(kFolderKey, "FavDoAddTo"), root_ + "\\A");
}

TEST_F(AddFavoriteTest, UnchangedOptionIsNotWrittenAndEscCancels) {
  SetString(kOptionKey, "OptGlb", "not a number");  // the wrong type reads as 0
  DlgFavParams params = Params("Lamp");
  EXPECT_EQ(Show(params, [](DialogDriver& driver) { driver.Click(IDOK).WaitUntilGone(); }), IDOK);
  EXPECT_EQ(ReadString(kOptionKey, "OptGlb"), "not a number");
  EXPECT_EQ(std::string(params.szName), root_ + "\\Lamp.lnk");

  SetDword(kOptionKey, "OptGlb", 0x45);
  DlgFavParams again = Params("Lamp");
  EXPECT_EQ(Show(again, [](DialogDriver& driver) { driver.Focus(kNameEdit).Key(VK_ESCAPE).WaitUntilGone(); }),
            IDCANCEL);
  EXPECT_EQ(GetDword(kOptionKey, "OptGlb"), 0x45u);
}

TEST_F(AddFavoriteTest, RememberedFolderIsSelectedWithTheRestoreOptionAndReturnedOnCancel) {
  SetString(kFolderKey, "FavDoAddTo", root_ + "\\A\\X");
  SetDword(kOptionKey, "OptGlb", 0x20);
  DlgFavParams params = Params("n", "C:\\elsewhere");
  EXPECT_EQ(Show(params,
                 [&](DialogDriver& driver) {
                   driver
                       .Read([&](HWND dialog) {
                         EXPECT_EQ(SelectedItem(dialog), IndexOf(ComboTexts(dialog), "X"));
                         EXPECT_TRUE(IsChecked(dialog, kRestore));
                       })
                       .Command(IDCANCEL)
                       .WaitUntilGone();
                 }),
            IDCANCEL);
  EXPECT_EQ(std::string(params.szFolder), root_ + "\\A\\X");
  EXPECT_EQ(std::string(params.szName), "n");

  // Without the option the root is selected, though the remembered folder still replaces szFolder.
  SetDword(kOptionKey, "OptGlb", 0);
  DlgFavParams plain = Params("n", "C:\\elsewhere");
  Show(plain, [&](DialogDriver& driver) {
    driver.Read([&](HWND dialog) { EXPECT_EQ(SelectedItem(dialog), 0); }).Command(IDCANCEL).WaitUntilGone();
  });
  EXPECT_EQ(std::string(plain.szFolder), root_ + "\\A\\X");
}

TEST_F(AddFavoriteTest, UnusableRememberedFolderKeepsTheCallersAndNoSelectionAddsToTheRoot) {
  SetDword(kFolderKey, "FavDoAddTo", 7);
  SetDword(kOptionKey, "OptGlb", 0x20);
  DlgFavParams wrongType = Params("n", "C:\\outside");
  Show(wrongType, [](DialogDriver& driver) { driver.Command(IDCANCEL).WaitUntilGone(); });
  EXPECT_EQ(std::string(wrongType.szFolder), "C:\\outside");

  SetString(kFolderKey, "FavDoAddTo", root_ + "\\Deleted");
  DlgFavParams deleted = Params("n", "C:\\outside");
  EXPECT_EQ(Show(deleted,
                 [](DialogDriver& driver) {
                   // C:\outside is not in the tree: nothing is selected, and Add falls back to the root.
                   driver.Read([](HWND dialog) { EXPECT_EQ(SelectedItem(dialog), -1); }).Click(IDOK).WaitUntilGone();
                 }),
            IDOK);
  EXPECT_EQ(std::string(deleted.szFolder), root_);
  EXPECT_EQ(std::string(deleted.szName), root_ + "\\n.lnk");

  // The folder to select is compared case-sensitively, though the file system is not.
  ::RegDeleteKeyA(HKEY_CURRENT_USER, kFolderKey.c_str());
  DlgFavParams otherCase = Params("n", root_ + "\\a\\x");
  Show(otherCase, [](DialogDriver& driver) {
    driver.Read([](HWND dialog) { EXPECT_EQ(SelectedItem(dialog), -1); }).Command(IDCANCEL).WaitUntilGone();
  });
}

TEST_F(AddFavoriteTest, TooLongAPathIsRefusedWithAMessageAndNothingIsWritten) {
  const std::string name(259 - root_.size(), 'n');  // with the backslash and ".lnk" over the limit
  DlgFavParams params = Params(name);
  EXPECT_EQ(Show(params,
                 [&](DialogDriver& driver) {
                   driver.Click(IDOK)
                       .WaitForDialog(kCaption)
                       .Read([](HWND message) {
                         EXPECT_NE(FindChildByClassAndText(message, nullptr, "Name too long"), nullptr);
                       })
                       .Click(IDOK)
                       .WaitUntilGone()
                       .Read([&](HWND dialog) { EXPECT_EQ(ControlText(dialog, kNameEdit), name); })
                       .Command(IDCANCEL)
                       .WaitUntilGone();
                 }),
            IDCANCEL);
  EXPECT_EQ(std::string(params.szName), name);
  EXPECT_EQ(std::string(params.szFolder), "");
  EXPECT_FALSE(KeyExists(kFolderKey));
}

TEST_F(AddFavoriteTest, OptionsToggleAnimatesAndReversesWithinTheTwoHeights) {
  DlgFavParams params = Params("n");
  int closed = 0;
  std::vector<int> heights;
  Show(params, [&](DialogDriver& driver) {
    driver.Read([&](HWND dialog) { closed = WindowHeight(dialog); })
        .Click(kToggle)
        .Pause(70)
        .Read([&](HWND dialog) {
          heights.push_back(WindowHeight(dialog));
          EXPECT_EQ(ControlText(dialog, kToggle), "Hide options");
        })
        .Pause(400)
        .Read([&](HWND dialog) {
          EXPECT_EQ(WindowHeight(dialog), closed + 39);
          RECT client{}, option{};
          ::GetClientRect(dialog, &client);
          ::GetWindowRect(::GetDlgItem(dialog, kRestore), &option);
          ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&option), 2);
          EXPECT_LE(option.bottom, client.bottom);  // the option is in sight
        })
        // Close, and open again while it closes: it reverses from where it stands.
        .Click(kToggle)
        .Pause(70)
        .Read([&](HWND dialog) { heights.push_back(WindowHeight(dialog)); })
        .Click(kToggle)
        .Pause(400)
        .Read([&](HWND dialog) {
          EXPECT_EQ(WindowHeight(dialog), closed + 39);
          EXPECT_EQ(ControlText(dialog, kToggle), "Hide options");
        })
        .Click(kToggle)
        .Pause(400)
        .Read([&](HWND dialog) {
          EXPECT_EQ(WindowHeight(dialog), closed);
          EXPECT_EQ(ControlText(dialog, kToggle), "Show options");
        })
        .Command(IDCANCEL)
        .WaitUntilGone();
  });
  ASSERT_EQ(heights.size(), 2u);
  EXPECT_GT(heights[0], closed);  // moving, neither closed nor beyond open
  EXPECT_LT(heights[0], closed + 39);
  EXPECT_LT(heights[1], closed + 39);
  EXPECT_GT(heights[1], closed);
}

TEST_F(AddFavoriteTest, NewFolderStartsAtTheSelectionAndListsTheChoiceAgain) {
  DlgFavParams params = Params("n");
  Show(params, [&](DialogDriver& driver) {
    driver.Read([&](HWND dialog) { SelectItem(dialog, IndexOf(ComboTexts(dialog), "B")); })
        .Click(kNewFolder)
        .WaitForDialog()  // the shell's browser, which the callback opened at B
        .Pause(300)
        .Click(IDOK)
        .WaitUntilGone()
        .Read([&](HWND dialog) {
          const std::vector<std::string> texts = ComboTexts(dialog);
          ASSERT_EQ(texts.size(), 5u);
          EXPECT_EQ(std::count(texts.begin(), texts.end(), "B"), 2);
          EXPECT_EQ(SelectedItem(dialog), IndexOf(texts, "B"));  // the first of the two
        })
        .Click(IDOK)
        .WaitUntilGone();
  });
  EXPECT_EQ(std::string(params.szFolder), root_ + "\\B");
}

TEST_F(AddFavoriteTest, GermanTextsComeFromTheLanguageFile) {
  SetString(Key(""), "Language", ".deu");
  MakeFile(root_ + "\\Stuhl.lnk");
  DlgFavParams params = Params("Stuhl");
  const std::string caption = "Favorit hinzuf\xC3\xBCgen";
  Show(
      params,
      [&](DialogDriver& driver) {
        driver
            .Read([](HWND dialog) {
              EXPECT_EQ(ControlText(dialog, IDOK), "Hinzuf\xC3\xBCgen");
              EXPECT_EQ(ControlText(dialog, kNewFolder), "Neuer Ordner");
              EXPECT_EQ(ControlText(dialog, 1186), "Erstellen in");
              EXPECT_EQ(ControlText(dialog, kToggle), "Optionen anzeigen");
              EXPECT_EQ(ControlText(dialog, IDCANCEL), "Abbrechen");
            })
            .Click(IDOK)
            .WaitForDialog("Favorit hinzuf\xC3\xBCgen")
            .Read([](HWND question) {
              EXPECT_NE(FindChildByClassAndText(question, nullptr,
                                                "\xC3\x9c"
                                                "berschreiben best\xC3\xA4tigen"),
                        nullptr);
            })
            .Click(IDNO)
            .WaitUntilGone()
            .Command(IDCANCEL)
            .WaitUntilGone();
      },
      caption);
}

// Draws item `index` of the combo into a bitmap through the dialog, as the list does, and
// returns the leftmost and rightmost columns not in the list's background colour (-1 when none).
std::pair<int, int> DrawnColumns(HWND dialog, int index, UINT state = 0) {
  constexpr int kWidth = 500;
  constexpr int kHeight = 17;
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  DWORD* pixels = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  // The list's own background, in the DIB's byte order.
  const COLORREF window = ::GetSysColor(COLOR_WINDOW);
  const DWORD background = (GetRValue(window) << 16) | (GetGValue(window) << 8) | GetBValue(window);
  std::fill(pixels, pixels + kWidth * kHeight, background);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_COMBOBOX;
  item.CtlID = kCombo;
  item.itemID = static_cast<UINT>(index);
  item.itemAction = ODA_DRAWENTIRE;
  item.itemState = state;
  item.hwndItem = ::GetDlgItem(dialog, kCombo);
  item.hDC = dc;
  item.rcItem = {0, 0, kWidth, kHeight};
  ::SendMessageA(dialog, WM_DRAWITEM, kCombo, reinterpret_cast<LPARAM>(&item));
  ::GdiFlush();
  int left = -1, right = -1;
  for (int x = 0; x < kWidth; ++x) {
    for (int y = 0; y < kHeight; ++y) {
      if (pixels[y * kWidth + x] != background) {
        if (left < 0) left = x;
        right = x;
      }
    }
  }
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return {left, right};
}

TEST_F(AddFavoriteTest, EntriesAreIndented18PixelsPerLevelAndLongNamesShowTheirIconOnly) {
  const std::string longName(64, 'L');
  const std::string fitting(63, 'F');
  ASSERT_TRUE(::CreateDirectoryA((root_ + "\\B\\" + longName).c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryA((root_ + "\\B\\" + fitting).c_str(), nullptr));
  DlgFavParams params = Params("n");
  Show(params, [&](DialogDriver& driver) {
    driver
        .Read([&](HWND dialog) {
          const std::vector<std::string> texts = ComboTexts(dialog);
          const int indent = ::GetSystemMetrics(SM_CYSMICON) + 2;  // item height + 1
          EXPECT_EQ(DrawnColumns(dialog, 0).first, 0);
          EXPECT_EQ(DrawnColumns(dialog, IndexOf(texts, "A")).first, indent);
          EXPECT_EQ(DrawnColumns(dialog, IndexOf(texts, "X")).first, 2 * indent);
          // The selection field is never indented.
          EXPECT_EQ(DrawnColumns(dialog, IndexOf(texts, "X"), ODS_COMBOBOXEDIT).first, 1);
          const auto [fittingLeft, fittingRight] = DrawnColumns(dialog, IndexOf(texts, fitting));
          EXPECT_GT(fittingRight, fittingLeft + 16 + 100);  // icon and text
          const auto [longLeft, longRight] = DrawnColumns(dialog, IndexOf(texts, longName));
          EXPECT_EQ(longLeft, 2 * indent);
          EXPECT_LT(longRight, longLeft + 16);                                        // the icon alone
          EXPECT_EQ(DrawnColumns(dialog, static_cast<int>(texts.size())).first, -1);  // past the end: nothing
        })
        .Command(IDCANCEL)
        .WaitUntilGone();
  });
}

bool MakeLongDirectory(const std::string& path) {
  const std::wstring wide = L"\\\\?\\" + std::wstring(path.begin(), path.end());
  return ::CreateDirectoryW(wide.c_str(), nullptr) != FALSE;
}

TEST_F(AddFavoriteTest, WalkLeavesOutWhatA260BytePathCannotHold) {
  // G's search pattern (G, "\*" and the NUL) just fits 260 bytes, so its child is listed; F's
  // does not, so F is listed but not searched.
  const std::string g = root_ + "\\" + std::string(257 - root_.size() - 1, 'g');
  const std::string f = root_ + "\\" + std::string(258 - root_.size() - 1, 'f');
  ASSERT_EQ(g.size(), 257u);
  ASSERT_TRUE(MakeLongDirectory(g));
  ASSERT_TRUE(MakeLongDirectory(g + "\\d"));
  ASSERT_TRUE(MakeLongDirectory(f));
  ASSERT_TRUE(MakeLongDirectory(f + "\\c"));
  DlgFavParams params = Params("n");
  Show(params, [&](DialogDriver& driver) {
    driver
        .Read([&](HWND dialog) {
          const std::vector<std::string> texts = ComboTexts(dialog);
          EXPECT_EQ(texts.size(), 7u);  // root, A, X, B, g..., d, f...
          EXPECT_NE(IndexOf(texts, std::string(g.size() - root_.size() - 1, 'g')), -1);
          EXPECT_NE(IndexOf(texts, "d"), -1);
          EXPECT_NE(IndexOf(texts, std::string(f.size() - root_.size() - 1, 'f')), -1);
          EXPECT_EQ(IndexOf(texts, "c"), -1);
        })
        .Command(IDCANCEL)
        .WaitUntilGone();
  });
  const std::wstring prefix = L"\\\\?\\";
  for (const std::string& folder : {g + "\\d", g, f + "\\c", f}) {
    ::RemoveDirectoryW((prefix + std::wstring(folder.begin(), folder.end())).c_str());
  }
}

TEST_F(AddFavoriteTest, NullRecordReturns0) { EXPECT_EQ(Export<DlgFavDoAddToFn>("DlgFavDoAddTo")(nullptr), 0); }

}  // namespace
}  // namespace commonq::testing
