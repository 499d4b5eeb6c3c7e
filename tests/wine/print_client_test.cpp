// Every dialog that paints itself prints the picture it shows: WM_PRINTCLIENT into a memory DC
// gives, wherever the dialog paints (everything no visible child covers: the bands, the lines,
// the title, the file icon, the preview), the pixels of the screen. The task dialog is the
// emulation, so the test runs as Windows XP.
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

// The client area printed, or copied from the screen (Wine's PrintWindow hands back a blank
// image), with the visible children, which paint themselves, blacked out. Where nothing was
// painted the pixels stay magenta.
std::vector<std::uint32_t> OwnPixels(HWND dialog, bool printed) {
  return ClientPixels(dialog, printed, [dialog](HDC memory) {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
      RECT rect{};
      ::GetWindowRect(child, &rect);
      ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
      if (::IsWindowVisible(child)) ::FillRect(memory, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
  });
}

void ExpectPrintMatchesScreen(HWND dialog) {
  ::UpdateWindow(dialog);
  const std::vector<std::uint32_t> printed = OwnPixels(dialog, true), screen = OwnPixels(dialog, false);
  RECT client{};
  ::GetClientRect(dialog, &client);
  const auto at = std::mismatch(printed.begin(), printed.end(), screen.begin()).first - printed.begin();
  EXPECT_TRUE(printed == screen) << "first difference at (" << at % client.right << ", " << at / client.right << ")";
}

TEST_F(OnWindowsXp, EveryCustomPaintedDialogPrintsWhatItShows) {
  TASKDIALOGCONFIG task{};
  task.cbSize = sizeof task, task.pszWindowTitle = L"Printed", task.pszMainInstruction = L"Replace the model?";
  task.pszContent = L"It exists.", task.pszVerificationText = L"Always", task.pszFooter = L"Footer";
  task.pszExpandedInformation = L"Details in the footer area", task.dwCommonButtons = TDCBF_OK_BUTTON;
  task.dwFlags = TDF_EXPAND_FOOTER_AREA | TDF_EXPANDED_BY_DEFAULT;  // both etched lines
  const std::string root = TempPath("CommonQPrint" + std::to_string(::GetCurrentProcessId()));
  ASSERT_TRUE(::CreateDirectoryA(root.c_str(), nullptr));
  DlgFavParams favorite{};
  ::lstrcpynA(favorite.szRoot, root.c_str(), sizeof favorite.szRoot);
  // A 48 x 32 preview in stripes of colour, drawn fitted with its shadow.
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
  const std::pair<const char*, std::function<int()>> dialogs[] = {
      {"Printed", [&] { return TaskDialogIndirect98(&task, nullptr, nullptr, nullptr) == S_OK ? IDCANCEL : 0; }},
      {"Add a Favorite", [&] { return DlgFavDoAddTo(&favorite); }},
      {"", [&] { return DlgFileInfoDoModal(&info); }},
  };
  for (const auto& [caption, show] : dialogs) {
    SCOPED_TRACE(caption);
    const auto script = [&](DialogDriver& d) {
      d.WaitForDialog(caption).Pause(200).Read(&ExpectPrintMatchesScreen).Command(IDCANCEL).WaitUntilGone();
    };
    EXPECT_EQ(Drive(script, show), IDCANCEL);
  }
  ::RemoveDirectoryA(root.c_str());
}

}  // namespace
}  // namespace commonq::testing
