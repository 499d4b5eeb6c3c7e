// Every dialog that paints itself prints the picture it shows: WM_PRINTCLIENT into a memory DC
// gives, wherever the dialog paints (everything no visible child covers: the bands, the lines,
// the title, the file icon, the preview), the pixels of the screen capture. The task dialog is
// the emulation, so the test runs as Windows XP.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

// What a print leaves where nothing was painted.
constexpr std::uint32_t kUnpainted = 0x00FF00FF;

// The client area as 32-bit pixels, printed with WM_PRINTCLIENT or copied from the window's DC
// (Wine's PrintWindow hands back a blank image).
std::vector<std::uint32_t> ClientPixels(HWND dialog, bool printed) {
  RECT client{};
  ::GetClientRect(dialog, &client);
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HDC memory = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  const size_t count = static_cast<size_t>(client.right) * client.bottom;
  std::fill_n(static_cast<std::uint32_t*>(bits), count, kUnpainted);
  if (printed) {
    ::SendMessageA(dialog, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
  } else {
    ::UpdateWindow(dialog);
    HDC screen = ::GetDC(dialog);
    ::BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ::ReleaseDC(dialog, screen);
  }
  ::GdiFlush();
  std::vector<std::uint32_t> pixels(count);
  std::memcpy(pixels.data(), bits, count * sizeof(std::uint32_t));
  for (std::uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;
  ::SelectObject(memory, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  return pixels;
}

// Compares print and screen outside the visible children, which paint themselves.
void ExpectPrintMatchesScreen(HWND dialog) {
  RECT client{};
  ::GetClientRect(dialog, &client);
  const std::vector<std::uint32_t> printed = ClientPixels(dialog, true), screen = ClientPixels(dialog, false);
  std::vector<bool> own(printed.size(), true);
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child)) continue;
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    for (LONG y = std::max(r.top, 0L); y < std::min(r.bottom, client.bottom); ++y)
      for (LONG x = std::max(r.left, 0L); x < std::min(r.right, client.right); ++x) own[y * client.right + x] = false;
  }
  size_t compared = 0, differing = 0, first = 0;
  for (size_t k = 0; k < printed.size(); ++k) {
    if (!own[k]) continue;
    ++compared;
    if (printed[k] != screen[k] && differing++ == 0) first = k;
  }
  EXPECT_GT(compared, printed.size() / 4) << "the dialog's own area";
  EXPECT_EQ(differing, 0u) << "first at (" << first % client.right << ", " << first / client.right << "): printed "
                           << std::hex << printed[first] << ", on screen " << screen[first];
}

class OnWindowsXp : public LibraryTest {
 protected:
  void SetUp() override {
    if (!RunsAsWindowsXp()) GTEST_SKIP() << "runs in commonq_wine_tests_xp.exe";
    LibraryTest::SetUp();
  }
};

TEST_F(OnWindowsXp, EveryCustomPaintedDialogPrintsWhatItShows) {
  TASKDIALOGCONFIG task{};
  task.cbSize = sizeof task;
  task.pszWindowTitle = L"Printed";
  task.pszMainInstruction = L"Replace the model?";
  task.pszContent = L"The file already exists.";
  task.pszVerificationText = L"Always";
  task.pszFooter = L"Footer";
  task.pszExpandedInformation = L"Details in the footer area";
  task.dwFlags = TDF_EXPAND_FOOTER_AREA | TDF_EXPANDED_BY_DEFAULT;
  task.dwCommonButtons = TDCBF_OK_BUTTON;
  const std::string root = TempPath("CommonQPrint" + std::to_string(::GetCurrentProcessId()));
  ASSERT_TRUE(::CreateDirectoryA(root.c_str(), nullptr));
  DlgFavParams favorite{};
  ::lstrcpynA(favorite.szRoot, root.c_str(), sizeof favorite.szRoot);
  ::lstrcpynA(favorite.szName, "Chair", sizeof favorite.szName);
  // A 48 x 32 preview in bands of colour, drawn fitted with its shadow.
  std::vector<std::uint32_t> dib(10 + 48 * 32);
  const BITMAPINFOHEADER header{40, 48, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::memcpy(dib.data(), &header, sizeof header);
  for (size_t k = 0; k < 48 * 32; ++k) dib[10 + k] = 0x00204080u + static_cast<std::uint32_t>(k % 48) * 0x030201u;
  const DlgFileInfoParams info{sizeof info,
                               "C:\\Models\\chair.png",
                               0,
                               {},
                               2048,
                               nullptr,
                               0,
                               reinterpret_cast<const BITMAPINFOHEADER*>(dib.data()),
                               0};
  const struct {
    const char* caption;
    std::function<int()> show;
  } dialogs[] = {
      {"Printed", [&] { return TaskDialogIndirect98(&task, nullptr, nullptr, nullptr) == S_OK ? IDCANCEL : 0; }},
      {"Add a Favorite", [&] { return DlgFavDoAddTo(&favorite); }},
      {"", [&] { return DlgFileInfoDoModal(&info); }},
  };
  for (const auto& dialog : dialogs) {
    SCOPED_TRACE(dialog.caption);
    EXPECT_EQ(Drive(
                  [&](DialogDriver& d) {
                    d.WaitForDialog(dialog.caption).Pause(200).Read(&ExpectPrintMatchesScreen);
                    d.Command(IDCANCEL).WaitUntilGone();
                  },
                  dialog.show),
              IDCANCEL);
  }
  ::RemoveDirectoryA(root.c_str());
}

}  // namespace
}  // namespace commonq::testing
