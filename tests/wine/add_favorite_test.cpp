// DlgFavDoAddTo as a host calls it: the folder tree, the name box, the options panel, the
// overwrite question and what is stored, driven through the real dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>

#include "resources/favorites_ids.h"
#include "wine/beep_counter.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

const std::string kFolderKey = Key("Folder");
const std::string kOptionKey = Key("Option");

// A message to the folder combo, with a text for the messages that take one.
LRESULT Combo(HWND dialog, UINT message, WPARAM wParam = 0, const char* text = nullptr) {
  return ::SendDlgItemMessageA(dialog, IDC_FAVORITE_FOLDER, message, wParam, reinterpret_cast<LPARAM>(text));
}

class AddFavoriteTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    root_ = TempPath("CommonQFav" + std::to_string(::GetCurrentProcessId()));
    for (const char* folder : {"", "\\A", "\\A\\X", "\\B"}) ::CreateDirectoryA((root_ + folder).c_str(), nullptr);
  }
  void TearDown() override {
    for (const char* folder : {"\\A\\X", "\\A", "\\B\\Chair.lnk", "\\B", ""})
      ::RemoveDirectoryA((root_ + folder).c_str());
    LibraryTest::TearDown();
  }

  // Shows the dialog for `name`, runs `script` once it is up and returns the export's result.
  int Show(const std::string& name, const std::function<void(DialogDriver&)>& script) {
    ::lstrcpynA(params_.szRoot, root_.c_str(), sizeof params_.szRoot);
    ::lstrcpynA(params_.szName, name.c_str(), sizeof params_.szName);
    return Drive([&](DialogDriver& driver) { script(driver.WaitForDialog("Add a Favorite")); },
                 [&] { return DlgFavDoAddTo(&params_); });
  }

  std::string root_;
  DlgFavParams params_{};
};

// One run: the folder list and its New Folder browser, the name filter, the overwrite question and
// what is stored.
TEST_F(AddFavoriteTest, RefusesForbiddenCharactersAddsTrimmedAndOverwritesOnlyAfterYesKeepingOtherBits) {
  ASSERT_TRUE(::CreateDirectoryA((root_ + "\\B\\Chair.lnk").c_str(), nullptr));
  SetString(kFolderKey, "FavDoAddTo", root_ + "\\A\\X");
  SetDword(kOptionKey, "OptGlb", 0x65);
  BeepCounter beeps(LibraryModule());
  ASSERT_TRUE(beeps.Patched());
  RECT closed{}, open{};
  EXPECT_EQ(Show("a/b",
                 [&](DialogDriver& driver) {  // refused at the start, with a beep: the box starts empty
                   driver
                       .Read([&](HWND dialog) {
                         EXPECT_EQ(Combo(dialog, CB_GETCOUNT), 5);  // B's folder Chair.lnk too
                         EXPECT_EQ(Combo(dialog, CB_FINDSTRINGEXACT, -1, "X"),
                                   Combo(dialog, CB_FINDSTRINGEXACT, -1, "A") + 1);  // the root, then depth first
                         EXPECT_EQ(Combo(dialog, CB_GETCURSEL),
                                   Combo(dialog, CB_FINDSTRINGEXACT, -1, "X"));  // remembered
                         Combo(dialog, CB_SELECTSTRING, -1, "B");
                         ::GetWindowRect(dialog, &closed);
                       })
                       .Click(IDC_FAVORITE_NEW_FOLDER)
                       .WaitForDialog()  // the shell's browser, which the callback opened at B
                       .Pause(300)
                       .Click(IDOK)
                       .WaitUntilGone()
                       .Read([&](HWND dialog) {  // B is listed again and the first of the two selected
                         const LRESULT selected = Combo(dialog, CB_GETCURSEL);
                         EXPECT_EQ(selected, Combo(dialog, CB_FINDSTRINGEXACT, -1, "B"));
                         EXPECT_NE(Combo(dialog, CB_FINDSTRINGEXACT, selected, "B"), selected);
                       })
                       .Focus(IDC_FAVORITE_NAME)
                       .Keys("a\\b/c:d*e?f\"g<h>i|j")
                       .Read([&](HWND dialog) {
                         EXPECT_EQ(ControlText(dialog, IDC_FAVORITE_NAME), "abcdefghij");
                         EXPECT_EQ(beeps.Count(), 10);
                         EXPECT_FALSE(::SetDlgItemTextA(dialog, IDC_FAVORITE_NAME, "x>y"));
                         ASSERT_TRUE(::OpenClipboard(dialog));
                         ::EmptyClipboard();
                         HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, 5);
                         std::memcpy(::GlobalLock(memory), "C:\\t", 5);
                         ::GlobalUnlock(memory);
                         ::SetClipboardData(CF_TEXT, memory);
                         ::CloseClipboard();
                       })
                       .Key('V', true)
                       .Read([&](HWND dialog) {
                         EXPECT_EQ(ControlText(dialog, IDC_FAVORITE_NAME), "abcdefghij");
                         // With Ctrl and Alt both down (AltGr) a typed character is tested too.
                         BYTE keys[256] = {};
                         keys[VK_CONTROL] = keys[VK_MENU] = 0x80;
                         ::SetKeyboardState(keys);
                         ::SendDlgItemMessageA(dialog, IDC_FAVORITE_NAME, WM_CHAR, '/', 0);
                         ::SetKeyboardState(std::array<BYTE, 256>{}.data());
                         EXPECT_EQ(ControlText(dialog, IDC_FAVORITE_NAME), "abcdefghij");
                         EXPECT_EQ(beeps.Count(), 13);
                       })
                       .SetText(IDC_FAVORITE_NAME, "  Chair.obj ")
                       .Click(IDOK)
                       .WaitForDialog("Add a Favorite")
                       .Read([](HWND question) {
                         EXPECT_NE(FindChildByClassAndText(question, nullptr, "Chair.obj\nalready exists. Overwrite ?"),
                                   nullptr);
                       })
                       .Click(IDNO)
                       .WaitUntilGone()
                       .Click(IDC_FAVORITE_OPTIONS)
                       .Pause(400)
                       .Read([&](HWND dialog) { ::GetWindowRect(dialog, &open); })
                       .SetCheck(IDC_FAVORITE_RESTORE, false)
                       .Click(IDOK)
                       .WaitForDialog("Add a Favorite")
                       .Click(IDYES)
                       .WaitUntilGone();
                 }),
            IDOK);
  EXPECT_EQ(open.bottom, closed.bottom + 39);
  EXPECT_EQ(std::string(params_.szName), root_ + "\\B\\Chair.lnk");
  EXPECT_EQ(GetText(kFolderKey, "FavDoAddTo"), root_ + "\\B");  // the folder only
  EXPECT_EQ(GetDword(kOptionKey, "OptGlb"), 0x45u);
}

}  // namespace
}  // namespace commonq::testing
