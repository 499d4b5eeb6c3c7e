// What a careless host may pass: null pointers, empty and over-long texts, and texts that fill
// their fixed buffers without a terminating NUL. Every record and buffer here ends exactly at a
// page the process may not touch, with guard bytes in front, so a read or write past either end
// fails the test at once instead of going unnoticed.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "support/dialog_driver.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

constexpr BYTE kGuard = 0xA5;
constexpr size_t kGuardBytes = 64;

// `size` bytes that end where an inaccessible page begins, after kGuardBytes guard bytes.
class FencedBytes {
 public:
  explicit FencedBytes(size_t size) : size_(size) {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    page_ = info.dwPageSize;
    usable_ = ((size + kGuardBytes + page_ - 1) / page_) * page_;
    base_ = static_cast<BYTE*>(::VirtualAlloc(nullptr, usable_ + page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    ::VirtualProtect(base_ + usable_, page_, PAGE_NOACCESS, &old);
    std::memset(base_, kGuard, usable_);
  }
  ~FencedBytes() { ::VirtualFree(base_, 0, MEM_RELEASE); }
  FencedBytes(const FencedBytes&) = delete;
  FencedBytes& operator=(const FencedBytes&) = delete;

  BYTE* data() const { return base_ + usable_ - size_; }
  // The guard bytes in front are as they were set.
  bool GuardIntact() const {
    const BYTE* guard = data() - kGuardBytes;
    for (size_t i = 0; i < kGuardBytes; ++i) {
      if (guard[i] != kGuard) return false;
    }
    return true;
  }

 private:
  size_t size_;
  size_t page_ = 0;
  size_t usable_ = 0;
  BYTE* base_ = nullptr;
};

template <typename Record>
Record* Fenced(FencedBytes& bytes) {
  std::memset(bytes.data(), 0, sizeof(Record));
  return reinterpret_cast<Record*>(bytes.data());
}

class OddInputTest : public LibraryTest {
 protected:
  // Runs `call` with a driver that cancels whatever dialog comes up; `shown` tells whether one did.
  template <typename Call>
  int Cancelled(Call call, bool* shown = nullptr, std::function<void(HWND)> look = nullptr) {
    DialogDriver driver(shown == nullptr ? 20000 : 3000);
    driver.WaitForDialog();
    if (look) driver.Read(look);
    driver.Command(IDCANCEL).WaitUntilGone().Start();
    const int result = call();
    if (shown != nullptr) *shown = driver.Finished();
    return result;
  }
};

TEST_F(OddInputTest, MessageBoxTakesNullEmptyAndLongTexts) {
  const std::string longText(300, 'x');
  EXPECT_EQ(Cancelled([&] { return MessageBoxDoModal(nullptr, nullptr, nullptr, MB_OKCANCEL, 3031); }), IDCANCEL);
  EXPECT_EQ(Cancelled([&] { return MessageBoxDoModal(nullptr, "", "", MB_OKCANCEL, 0xFFFFFFFF); }), IDCANCEL);
  std::string caption;
  EXPECT_EQ(
      Cancelled([&] { return MessageBoxDoModal(nullptr, longText.c_str(), longText.c_str(), MB_OKCANCEL, 10101); },
                nullptr, [&](HWND box) { caption = WindowTextOf(box); }),
      IDCANCEL);
  EXPECT_EQ(caption, longText);
}

TEST_F(OddInputTest, NullRecordsCannotStart) {
  EXPECT_EQ(DlgColorDialogDoModal(nullptr), 0);
  EXPECT_EQ(DlgFileOpenDoModal(nullptr), 0);
  EXPECT_EQ(DlgFileSaveasDoModal(nullptr), 0);
  EXPECT_EQ(DlgFormatOptionDoModal(nullptr), 0);
  EXPECT_EQ(Export<int(__cdecl*)(DlgFavParams*)>("DlgFavDoAddTo")(nullptr), 0);
  EXPECT_EQ(Export<int(__cdecl*)(const DlgFileInfoParams*)>("DlgFileInfoDoModal")(nullptr), 0);
  EXPECT_EQ(TaskDialogIndirect98(nullptr, nullptr, nullptr, nullptr), E_INVALIDARG);
}

TEST_F(OddInputTest, ExtensionFillingItsBufferWithoutNulIsReadNoFurther) {
  FencedBytes bytes(sizeof(DlgFormatOptionParams));
  auto* params = Fenced<DlgFormatOptionParams>(bytes);
  std::memset(params->szExtension, 'p', sizeof params->szExtension);
  params->szExtension[0] = '.';
  bool shown = true;
  // No format has that extension: nothing to show, and the call says OK.
  EXPECT_EQ(Cancelled([&] { return DlgFormatOptionDoModal(params); }, &shown), IDOK);
  EXPECT_FALSE(shown);
  EXPECT_TRUE(bytes.GuardIntact());
}

TEST_F(OddInputTest, FileDialogsReadUnterminatedNamesNoFurtherAndWriteOnlyTheirBuffer) {
  FencedBytes file(MAX_PATH);
  std::memset(file.data(), 'n', MAX_PATH);  // 260 characters, no NUL
  FencedBytes record(sizeof(DlgFileParams));
  auto* params = Fenced<DlgFileParams>(record);
  params->cbSize = sizeof(DlgFileParams);
  params->pszFile = reinterpret_cast<LPSTR>(file.data());
  params->pszFilter = "All files (*.*)\0*.*\0";
  params->nFilterIndex = 7;  // beyond the list
  const std::string longExtension(300, 'e');
  params->pszDefExt = longExtension.c_str();
  params->dwFlags = OFN_ENABLETEMPLATE;
  params->nPromptMode = 1;
  std::string shownName;
  EXPECT_EQ(Cancelled([&] { return DlgFileSaveasDoModal(params); }, nullptr,
                      [&](HWND dialog) { shownName = ControlText(dialog, cmb13); }),
            2);
  EXPECT_EQ(shownName, std::string(259, 'n')) << "at most 259 characters are taken";
  EXPECT_EQ(std::string(reinterpret_cast<char*>(file.data()), MAX_PATH), std::string(MAX_PATH, 'n'))
      << "Cancel leaves the buffer as it was";
  EXPECT_TRUE(file.GuardIntact());
  EXPECT_TRUE(record.GuardIntact());
}

TEST_F(OddInputTest, SaveAsWritesTheChosenPathInsideTheBufferOnly) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  // A name that takes the full path to 259 characters, the most the buffer holds.
  const std::string folder(temp);
  const std::string name = std::string(259 - folder.size() - 4, 'w') + ".png";
  FencedBytes file(MAX_PATH);
  std::memset(file.data(), 0, MAX_PATH);
  DlgFileParams params{};
  params.cbSize = sizeof params;
  params.pszFile = reinterpret_cast<LPSTR>(file.data());
  params.pszFilter = "PNG (*.png)\0*.png\0";
  params.nFilterIndex = 1;
  DialogDriver driver;
  driver.WaitForDialog().SetText(cmb13, folder + name).Click(IDOK).WaitUntilGone().Start();
  EXPECT_EQ(DlgFileSaveasDoModal(&params), IDOK);
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(file.data())), folder + name);
  EXPECT_TRUE(file.GuardIntact());
}

TEST_F(OddInputTest, FavoriteTextsFillingTheirBuffersWithoutNulAreReadNoFurther) {
  FencedBytes bytes(sizeof(DlgFavParams));
  auto* params = Fenced<DlgFavParams>(bytes);
  std::memset(params->szRoot, 'r', sizeof params->szRoot);
  std::memset(params->szFolder, 'f', sizeof params->szFolder);
  std::memset(params->szName, 'm', sizeof params->szName);
  EXPECT_EQ(Cancelled([&] { return Export<int(__cdecl*)(DlgFavParams*)>("DlgFavDoAddTo")(params); }), IDCANCEL);
  EXPECT_TRUE(bytes.GuardIntact());
}

}  // namespace
}  // namespace commonq::testing
