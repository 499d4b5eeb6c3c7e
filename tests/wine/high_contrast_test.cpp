// High contrast: once the user switches it on, every pixel a custom-painted dialog paints itself,
// and every text colour it hands its statics and owner-drawn controls, is one of the system
// colours. Wine keeps high contrast off whatever a program asks, so the test answers
// SPI_GETHIGHCONTRAST itself (in the import table of the code under test) and sets a scheme of
// its own with SetSysColors: no colour of that scheme is white, black or any colour of ours.
// Before the switch, each dialog also prints the picture it shows: WM_PRINTCLIENT into a memory
// DC gives, wherever the dialog paints (everything no visible child covers: the bands, the lines,
// the title, the file icon, the preview), the pixels of the screen.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "resources/favorites_ids.h"
#include "resources/fileinfo_ids.h"
#include "resources/taskdialog_ids.h"
#include "support/import_redirect.h"
#include "wine/library_fixture.h"
#if COMMONQ_TEST_SEAMS
#include "frame/export_call.h"
#include "taskdialog/task_dialog_run.h"
#endif

namespace commonq::testing {
namespace {

constexpr int kSystemColours = COLOR_MENUBAR + 1;
constexpr std::uint32_t kPreviewColour = 0x00123456;  // the host's picture, as the DIB holds it

std::atomic<bool> g_contrastOn{false};
void* g_originalSpi = nullptr;

BOOL WINAPI AnsweringSystemParametersInfoA(UINT action, UINT param, PVOID data, UINT winIni) {
  if (action == SPI_GETHIGHCONTRAST && g_contrastOn && data != nullptr) {
    static_cast<HIGHCONTRASTA*>(data)->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
    return TRUE;
  }
  return reinterpret_cast<decltype(&AnsweringSystemParametersInfoA)>(g_originalSpi)(action, param, data, winIni);
}

// A DIB pixel (0x00RRGGBB) of a COLORREF.
std::uint32_t Pixel(COLORREF colour) { return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour); }

// The user's high-contrast switch for the code in `module`, with a scheme of distinct colours whose
// channels all lie between 0x18 and 0xE8; the system's colours come back on destruction.
class HighContrastSwitch {
 public:
  explicit HighContrastSwitch(HMODULE module)
      : redirect_(module, "SystemParametersInfoA", reinterpret_cast<void*>(&AnsweringSystemParametersInfoA),
                  &g_originalSpi) {
    for (int k = 0; k < kSystemColours; ++k) {
      indices_[k] = k;
      saved_[k] = ::GetSysColor(k);
      scheme_[k] = RGB(0x18 + (k * 37) % 0xD0, 0x18 + (k * 71 + 50) % 0xD0, 0x18 + (k * 113 + 100) % 0xD0);
    }
  }
  ~HighContrastSwitch() { Set(nullptr, false); }
  bool Active() const { return redirect_.Active(); }

  // What Windows does when the user switches: visual styles off (high contrast draws every control
  // in the classic look, which takes its colours from the scheme), new colours, then the broadcasts.
  void Set(HWND dialog, bool on) {
    g_contrastOn = on;
    if (auto enable = reinterpret_cast<HRESULT(WINAPI*)(BOOL)>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("uxtheme.dll"), "EnableTheming")))) {
      enable(on ? FALSE : TRUE);
    }
    ::SetSysColors(kSystemColours, indices_.data(), on ? scheme_.data() : saved_.data());
    if (dialog == nullptr) return;
    ::SendMessageA(dialog, WM_SYSCOLORCHANGE, 0, 0);
    ::SendMessageA(dialog, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  }

 private:
  ImportRedirect redirect_;
  std::array<INT, kSystemColours> indices_{};
  std::array<COLORREF, kSystemColours> saved_{}, scheme_{};
};

// The edge of a smoothed letter: each channel between a text colour's and a background's (Wine
// smooths per channel, so the blend need not lie on the line between the two).
bool IsBlend(std::uint32_t pixel) {
  const auto within = [pixel](std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16}) {
      const int p = static_cast<int>((pixel >> shift) & 0xFF), x = static_cast<int>((a >> shift) & 0xFF),
                y = static_cast<int>((b >> shift) & 0xFF);
      if (p < std::min(x, y) - 2 || p > std::max(x, y) + 2) return false;
    }
    return true;
  };
  for (int text :
       {COLOR_WINDOWTEXT, COLOR_BTNTEXT, COLOR_GRAYTEXT, COLOR_HIGHLIGHTTEXT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT}) {
    for (int back : {COLOR_WINDOW, COLOR_BTNFACE, COLOR_HIGHLIGHT}) {
      if (within(Pixel(::GetSysColor(text)), Pixel(::GetSysColor(back)))) return true;
    }
  }
  return false;
}

enum class Area : std::uint8_t { kOwn, kText, kSkipped };

// A child window's rectangle in its dialog's client area.
RECT ChildRect(HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// What of the client area the library colours: the dialog's own paint (exact colours), the statics
// and owner-drawn buttons it gives colours to (text edges may blend), and the rest: the system's
// controls and the icons and pictures, which are not ours to colour.
std::vector<Area> Areas(HWND dialog, int width, int height) {
  std::vector<Area> areas(static_cast<size_t>(width * height), Area::kOwn);
  const auto mark = [&](RECT rect, Area area) {
    for (LONG y = std::max(rect.top, 0L); y < std::min(rect.bottom, static_cast<LONG>(height)); ++y) {
      for (LONG x = std::max(rect.left, 0L); x < std::min(rect.right, static_cast<LONG>(width)); ++x) {
        areas[static_cast<size_t>(y * width + x)] = area;
      }
    }
  };
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const RECT rect = ChildRect(child);
    char name[32] = {};
    ::GetClassNameA(child, name, sizeof name);
    const LONG style = ::GetWindowLongA(child, GWL_STYLE);
    const int id = ::GetDlgCtrlID(child);
    const bool isStatic = ::lstrcmpiA(name, "Static") == 0;
    const bool icon =
        isStatic && ((style & SS_TYPEMASK) == SS_ICON || id == IDC_TD_MAIN_ICON || id == IDC_TD_FOOTER_ICON);
    const bool ownerDrawn = ::lstrcmpiA(name, "Button") == 0 && (style & BS_TYPEMASK) == BS_OWNERDRAW;
    if (id == IDC_FAVORITE_TITLE || id == IDC_FILE_INFO_NAME) {
      mark(rect, Area::kText);  // hidden: the dialog paints the title there
    } else if ((style & BS_TYPEMASK) == BS_GROUPBOX && ::lstrcmpiA(name, "Button") == 0) {
      mark(RECT{rect.left, rect.top, rect.right, rect.top + 16}, Area::kText);  // the label; inside is ours
    } else if (::IsWindowVisible(child)) {
      mark(rect, (isStatic && !icon) || ownerDrawn ? Area::kText : Area::kSkipped);
    }
  }
  // The file's icon, which the file information dialog draws at its hidden placeholder.
  if (HWND placeholder = ::GetDlgItem(dialog, IDC_FILE_INFO_ICON)) {
    const RECT rect = ChildRect(placeholder);
    mark(RECT{rect.left, rect.top, rect.left + 32, rect.top + 32}, Area::kSkipped);
  }
  return areas;
}

// The client area as the screen shows it.
std::vector<std::uint32_t> Capture(HWND dialog) {
  // The focus goes to a control the check skips: a focus rectangle inverts what it crosses.
  ::SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(dialog, IDCANCEL)), TRUE);
  ::RedrawWindow(dialog, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return ClientPixels(dialog, false);
}

bool Shows(const std::vector<std::uint32_t>& pixels, const std::vector<std::uint32_t>& any) {
  return std::find_first_of(pixels.begin(), pixels.end(), any.begin(), any.end()) != pixels.end();
}

// Every pixel of ours in the system's colours; the first few strays by place and colour.
void ExpectOnlySystemColours(HWND dialog, const std::vector<std::uint32_t>& pixels) {
  RECT client{};
  ::GetClientRect(dialog, &client);
  const std::vector<Area> areas = Areas(dialog, client.right, client.bottom);
  std::vector<std::uint32_t> system;
  for (int k = 0; k < kSystemColours; ++k) system.push_back(Pixel(::GetSysColor(k)));
  int strays = 0;
  std::ostringstream where;
  for (size_t k = 0; k < pixels.size(); ++k) {
    const std::uint32_t pixel = pixels[k];
    if (areas[k] == Area::kSkipped || pixel == kPreviewColour) continue;
    if (std::find(system.begin(), system.end(), pixel) != system.end()) continue;
    if (areas[k] == Area::kText && IsBlend(pixel)) continue;
    if (++strays <= 5) {
      where << " (" << k % static_cast<size_t>(client.right) << ", " << k / static_cast<size_t>(client.right) << ") "
            << std::hex << pixel << std::dec;
    }
  }
  EXPECT_EQ(strays, 0) << "pixels in colours of our own:" << where.str();
}

// The client area printed, or copied from the screen (Wine's PrintWindow hands back a blank
// image), with the visible children, which paint themselves, blacked out.
std::vector<std::uint32_t> OwnPixels(HWND dialog, bool printed) {
  return ClientPixels(dialog, printed, [dialog](HDC memory) {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
      const RECT rect = ChildRect(child);
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
  EXPECT_TRUE(printed == screen) << "printed differs at (" << at % client.right << ", " << at / client.right << ")";
}

struct Shown {
  const char* caption;
  std::function<int()> show;
  std::vector<std::uint32_t> familiar;  // colours of ours, one of which the dialog shows without high contrast
};

// Shows the dialog without high contrast, switches it on while the dialog is up, and back off.
void CheckSwitching(HMODULE module, const Shown& dialog) {
  SCOPED_TRACE(dialog.caption);
  HighContrastSwitch contrast(module);
  ASSERT_TRUE(contrast.Active());
  const auto script = [&](DialogDriver& d) {
    d.WaitForDialog(dialog.caption)
        .Pause(200)
        .Read([&](HWND w) {
          EXPECT_TRUE(Shows(Capture(w), dialog.familiar));
          ExpectPrintMatchesScreen(w);
        })
        .Read([&](HWND w) { contrast.Set(w, true); })
        .Pause(200)
        .Read([&](HWND w) {
          const std::vector<std::uint32_t> pixels = Capture(w);
          EXPECT_FALSE(Shows(pixels, dialog.familiar));
          ExpectOnlySystemColours(w, pixels);
        })
        .Read([&](HWND w) { contrast.Set(w, false); })
        .Pause(200)
        .Read([&](HWND w) { EXPECT_TRUE(Shows(Capture(w), dialog.familiar)); })
        .Command(IDCANCEL)
        .WaitUntilGone();
  };
  EXPECT_EQ(Drive(script, dialog.show), IDCANCEL);
}

// The task dialog with every part the library colours: both bands, the separator, the etched line
// above the footer, the expando, owner-drawn command links with a default; with
// TDF_EXPAND_FOOTER_AREA the details go below the footer, after a second etched line.
TASKDIALOGCONFIG Everything(const TASKDIALOG_BUTTON (&links)[2], PCWSTR title) {
  TASKDIALOGCONFIG task{};
  task.cbSize = sizeof task, task.pszWindowTitle = title, task.pszMainInstruction = L"Replace the model?";
  task.pszContent = L"It exists.", task.pszVerificationText = L"Always", task.pszFooter = L"Footer";
  task.pszExpandedInformation = L"Details", task.dwCommonButtons = TDCBF_CANCEL_BUTTON;
  task.pszMainIcon = TD_INFORMATION_ICON, task.cButtons = 2, task.pButtons = links, task.nDefaultButton = 102;
  task.dwFlags = TDF_USE_COMMAND_LINKS | TDF_EXPANDED_BY_DEFAULT;
  return task;
}

TEST_F(OnWindowsXp, EveryCustomPaintedDialogPrintsWhatItShowsAndTakesHighContrastColoursFromTheSystem) {
  const TASKDIALOG_BUTTON links[] = {{101, L"Replace\nThe old model goes."}, {102, L"Keep"}};
  const TASKDIALOGCONFIG task = Everything(links, L"Contrast");
  TASKDIALOGCONFIG footerArea = Everything(links, L"Contrast footer");
  footerArea.dwFlags |= TDF_EXPAND_FOOTER_AREA;
  const std::string root = TempPath("CommonQContrast" + std::to_string(::GetCurrentProcessId()));
  ASSERT_TRUE(::CreateDirectoryA(root.c_str(), nullptr));
  DlgFavParams favorite{};
  ::lstrcpynA(favorite.szRoot, root.c_str(), sizeof favorite.szRoot);
  std::vector<std::uint32_t> dib(10 + 48 * 32, kPreviewColour);
  const BITMAPINFOHEADER header{40, 48, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::memcpy(dib.data(), &header, sizeof header);
  DlgFileInfoParams info{};
  info.cbSize = sizeof info, info.pszPath = "C:\\Models\\chair.png", info.nFileSize = 2048;
  info.pPreviewDib = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
  const auto show = [](const TASKDIALOGCONFIG& config) {
    return [&config] { return TaskDialogIndirect98(&config, nullptr, nullptr, nullptr) == S_OK ? IDCANCEL : 0; };
  };
  // The frame around the default command link, classic or in the look of common controls 6.
  const std::vector<std::uint32_t> frame{Pixel(RGB(140, 140, 140)), Pixel(RGB(140, 232, 255))};
  const Shown dialogs[] = {
      {"Contrast", show(task), frame},
      {"Contrast footer", show(footerArea), frame},
      {"Add a Favorite", [&] { return DlgFavDoAddTo(&favorite); }, {Pixel(RGB(255, 255, 255))}},
      {"", [&] { return DlgFileInfoDoModal(&info); }, {Pixel(RGB(255, 255, 255))}},
  };
  for (const Shown& dialog : dialogs) CheckSwitching(LibraryModule(), dialog);
  ::RemoveDirectoryA(root.c_str());
}

#if COMMONQ_TEST_SEAMS
// The look of common controls 6 before Windows 6: the white band and the blue instruction, which
// no export shows under Wine (its comctl32 reports 5.81).
TEST(HighContrastWhiteBox, TheModernEmulationTakesItsBandAndInstructionFromTheSystem) {
  SetLibraryInstance(LibraryModule());
  const ExportCall call;
  LeakTracer tracer(::GetModuleHandleA(nullptr));
  tracer.Start();
  const TaskDialogPlatform modern{5, true, false};
  OverrideTaskDialogPlatformForTesting(&modern);
  const TASKDIALOG_BUTTON links[] = {{101, L"Replace\nThe old model goes."}, {102, L"Keep"}};
  const TASKDIALOGCONFIG task = Everything(links, L"Modern contrast");
  CheckSwitching(::GetModuleHandleA(nullptr),
                 {"Modern contrast",
                  [&] { return RunTaskDialog(&task, nullptr, nullptr, nullptr) == S_OK ? IDCANCEL : 0; },
                  {Pixel(RGB(0, 51, 153))}});
  OverrideTaskDialogPlatformForTesting(nullptr);
  SetLibraryInstance(nullptr);
  EXPECT_TRUE(tracer.Survivors().empty()) << tracer.Survivors().front();
}
#endif

}  // namespace
}  // namespace commonq::testing
