// The gallery: every dialog in defined states, captured to PNG by the same driver the tests use.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "demo_host.h"
#include "favorites_demo.h"
#include "file_demo.h"
#include "file_info_demo.h"
#include "support/dialog_driver.h"
#include "support/import_redirect.h"
#include "task_dialog_samples.h"
#include "window_capture.h"

namespace demo {
namespace {

struct Shot {
  const char* group;     // the dialog, a section of the index
  const char* language;  // column caption in the index
  const char* file;
  const char* caption;  // of the dialog to capture
  int close;            // the command that closes it
  std::function<void()> prepare;
  std::function<void(Library&)> show;
  // Steps before the capture, such as opening a panel.
  std::function<void(commonq::testing::DialogDriver&)> drive = nullptr;
  std::function<void()> finish = nullptr;  // undoes what `prepare` changed beyond the settings
  bool asWindowsXp = false;                // taken by CommonQDemo_xp.exe (the emulated task dialog)
};

std::string Narrow(const std::wstring& text) {
  char buffer[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
  return buffer;
}

void ShowMessage(Library& library, UINT number, UINT type) {
  library.messageBox(nullptr,
                     number == 0 ? "The file was saved."
                                 : "The model uses textures that could not be found.\nContinue loading anyway?",
                     "Qelm Explorer", type, number);
}

// The options dialog of one extension, in one language; the GIF and 3D dialogs stay English.
Shot FormatShot(const char* group, const char* file, const char* caption, const char* language, const char* extension) {
  return {group,
          language != nullptr ? "German (.deu)" : "English",
          file,
          caption,
          IDCANCEL,
          [language] { SetLanguage(language); },
          [extension](Library&) { CallFormatOptions(extension); }};
}

// Add a Favorite on the sample tree, collapsed or with its options shown.
Shot FavoriteShot(const char* file, const char* caption, const char* language, bool expanded) {
  Shot shot{"Add a Favorite",
            language != nullptr ? "German (.deu)" : "English",
            file,
            caption,
            IDCANCEL,
            [language] { SetLanguage(language); },
            [](Library&) { CallAddFavorite("Office chair.obj"); }};
  if (expanded) shot.drive = [](commonq::testing::DialogDriver& driver) { driver.Click(1189).Pause(400); };
  return shot;
}

// The modern Open or Save As (Windows Vista and later), with the panel's button and prompt box in
// Save As. Captions as Wine's dialogs hold them: "Open" and "Save".
Shot ModernFileShot(bool save, const char* language, const char* file) {
  return {save ? "Modern Save As with the format options" : "Modern Open",
          language != nullptr ? "German (.deu)" : "English",
          file,
          save ? "Save" : "Open",
          IDCANCEL,
          [language] {
            SetLanguage(language);
            SetDwordValue("Format", "Check", 1);
          },
          [save](Library&) {
            char path[260] = "scene.png";
            if (save) {
              CallSaveAs(nullptr, 3, 1, path);
            } else {
              CallOpen(nullptr, path);
            }
          }};
}

// High contrast as Windows' "High Contrast Black" shows it. Wine keeps high contrast off whatever a
// program asks, so the DLL's question is answered here, and the scheme is set with SetSysColors.
void* g_originalSpi = nullptr;

BOOL WINAPI AnsweringSystemParametersInfoA(UINT action, UINT param, PVOID data, UINT winIni) {
  if (action == SPI_GETHIGHCONTRAST && data != nullptr) {
    static_cast<HIGHCONTRASTA*>(data)->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
    return TRUE;
  }
  return reinterpret_cast<decltype(&AnsweringSystemParametersInfoA)>(g_originalSpi)(action, param, data, winIni);
}

// High contrast turns visual styles off, so every control draws in the classic look and the
// scheme's colours; Wine keeps its theme unless told.
void EnableVisualStyles(bool on) {
  using EnableThemingFn = HRESULT(WINAPI*)(BOOL);
  if (HMODULE uxtheme = GetModuleHandleA("uxtheme.dll")) {
    if (auto enable =
            reinterpret_cast<EnableThemingFn>(reinterpret_cast<void*>(GetProcAddress(uxtheme, "EnableTheming")))) {
      enable(on ? TRUE : FALSE);
    }
  }
}

class HighContrastBlack {
 public:
  HighContrastBlack()
      : redirect_(GetModuleHandleA("CommonQ.dll"), "SystemParametersInfoA",
                  reinterpret_cast<void*>(&AnsweringSystemParametersInfoA), &g_originalSpi) {
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255), cyan = RGB(0, 255, 255);
    const std::pair<INT, COLORREF> scheme[] = {
        {COLOR_SCROLLBAR, black},
        {COLOR_BACKGROUND, black},
        {COLOR_ACTIVECAPTION, RGB(128, 0, 128)},
        {COLOR_INACTIVECAPTION, black},
        {COLOR_MENU, black},
        {COLOR_WINDOW, black},
        {COLOR_WINDOWFRAME, white},
        {COLOR_MENUTEXT, white},
        {COLOR_WINDOWTEXT, white},
        {COLOR_CAPTIONTEXT, white},
        {COLOR_ACTIVEBORDER, white},
        {COLOR_INACTIVEBORDER, white},
        {COLOR_APPWORKSPACE, black},
        {COLOR_HIGHLIGHT, cyan},
        {COLOR_HIGHLIGHTTEXT, black},
        {COLOR_BTNFACE, black},
        {COLOR_BTNSHADOW, RGB(128, 128, 128)},
        {COLOR_GRAYTEXT, RGB(63, 242, 63)},
        {COLOR_BTNTEXT, white},
        {COLOR_INACTIVECAPTIONTEXT, RGB(63, 242, 63)},
        {COLOR_BTNHIGHLIGHT, white},
        {COLOR_3DDKSHADOW, RGB(128, 128, 128)},
        {COLOR_3DLIGHT, RGB(192, 192, 192)},
        {COLOR_INFOTEXT, white},
        {COLOR_INFOBK, black},
        {COLOR_HOTLIGHT, RGB(255, 255, 0)},
        {COLOR_GRADIENTACTIVECAPTION, RGB(128, 0, 128)},
        {COLOR_GRADIENTINACTIVECAPTION, black},
        {COLOR_MENUHILIGHT, cyan},
        {COLOR_MENUBAR, black},
    };
    for (const auto& [index, colour] : scheme) {
      indices_.push_back(index);
      saved_.push_back(GetSysColor(index));
      colours_.push_back(colour);
    }
    EnableVisualStyles(false);
    SetSysColors(static_cast<int>(indices_.size()), indices_.data(), colours_.data());
  }
  ~HighContrastBlack() {
    SetSysColors(static_cast<int>(indices_.size()), indices_.data(), saved_.data());
    EnableVisualStyles(true);
  }
  HighContrastBlack(const HighContrastBlack&) = delete;
  HighContrastBlack& operator=(const HighContrastBlack&) = delete;

 private:
  commonq::testing::ImportRedirect redirect_;
  std::vector<INT> indices_;
  std::vector<COLORREF> saved_, colours_;
};

std::unique_ptr<HighContrastBlack> g_highContrast;

// A shot taken in high contrast, which is switched off again after the capture.
Shot HighContrastShot(const char* label, Shot shot) {
  shot.group = "High contrast";
  shot.language = label;
  shot.prepare = [prepare = shot.prepare] {
    prepare();
    g_highContrast = std::make_unique<HighContrastBlack>();
  };
  shot.finish = [] { g_highContrast.reset(); };
  // As when the user switches while the dialog is up: the dialog passes the news on to its
  // common controls, whose colours would otherwise stay those of the process's start.
  shot.drive = [drive = shot.drive](commonq::testing::DialogDriver& driver) {
    if (drive) drive(driver);
    driver.Read([](HWND dialog) { SendMessageA(dialog, WM_SYSCOLORCHANGE, 0, 0); }).Pause(100);
  };
  return shot;
}

std::vector<Shot> Shots() {
  return {
      {"Message box with \"Do not show again\"", "English", "messagebox_suppressible_en.png", "Qelm Explorer", IDNO,
       [] { SetLanguage(nullptr); }, [](Library& l) { ShowMessage(l, 3031, MB_YESNO | MB_ICONQUESTION); }},
      {"Message box with \"Do not show again\"", "German (.deu)", "messagebox_suppressible_de.png", "Qelm Explorer",
       IDNO, [] { SetLanguage(".deu"); }, [](Library& l) { ShowMessage(l, 3031, MB_YESNO | MB_ICONQUESTION); }},
      {"Message box without check box", "English", "messagebox_plain.png", "Qelm Explorer", IDOK,
       [] { SetLanguage(nullptr); }, [](Library& l) { ShowMessage(l, 0, MB_OK | MB_ICONINFORMATION); }},
      {"Colour chooser", "English", "color_chooser.png", nullptr, IDCANCEL,
       [] {
         SetLanguage(nullptr);
         const DWORD recent[] = {RGB(0xC0, 0x30, 0x30), RGB(0x30, 0x90, 0x40), RGB(0x20, 0x50, 0xB0),
                                 RGB(0xE0, 0xB0, 0x20)};
         for (int k = 0; k < 4; ++k) SetDwordValue("Common", ("Color" + std::to_string(k)).c_str(), recent[k]);
       },
       [](Library& l) {
         DlgColorParams params{};
         params.rgbInitial = RGB(0x30, 0x90, 0x40);
         params.dwFlags = 0x2;  // CC_FULLOPEN: show the colour space as well
         l.colorDialog(&params);
       }},
      ModernFileShot(false, nullptr, "open_modern_en.png"),
      ModernFileShot(false, ".deu", "open_modern_de.png"),
      ModernFileShot(true, nullptr, "saveas_modern_en.png"),
      ModernFileShot(true, ".deu", "saveas_modern_de.png"),
      {"Save As with the format options panel (classic: before Windows Vista, or asked for)", "English",
       "saveas_panel.png", "Save As", IDCANCEL,
       [] {
         SetLanguage(nullptr);
         SetDwordValue("Format", "Check", 1);
         SetDwordValue("Option", "ClassicFileDialogs", 1);
       },
       [](Library&) {
         char file[260] = "scene.png";
         CallSaveAs(nullptr, 3, 1, file);
       }},
      {"Save As with the format options panel (classic: before Windows Vista, or asked for)", "German (.deu)",
       "saveas_panel_de.png", "Save As", IDCANCEL,
       [] {
         SetLanguage(".deu");
         SetDwordValue("Option", "ClassicFileDialogs", 1);
       },
       [](Library&) {
         char file[260] = "scene.png";
         CallSaveAs(nullptr, 3, 1, file);
       }},
      FormatShot("Bitmap Save Options", "options_bmp_en.png", "Bitmap Save Options", nullptr, ".bmp"),
      FormatShot("Bitmap Save Options", "options_bmp_de.png", "Bitmap-Speicheroptionen", ".deu", ".bmp"),
      FormatShot("Jpeg Save Options", "options_jpg_en.png", "Jpeg Save Options", nullptr, ".jpg"),
      FormatShot("Jpeg Save Options", "options_jpg_de.png", "JPEG-Speicheroptionen", ".deu", ".jpg"),
      FormatShot("Png Save Options", "options_png_en.png", "Png Save Options", nullptr, ".png"),
      FormatShot("Png Save Options", "options_png_de.png", "PNG-Speicheroptionen", ".deu", ".png"),
      FormatShot("Rsr Save Options", "options_rsr_en.png", "Rsr Save Options", nullptr, ".rsr"),
      FormatShot("Rsr Save Options", "options_rsr_de.png", "RSR-Speicheroptionen", ".deu", ".rsr"),
      FormatShot("Carrara Image Save Options", "options_carrara_en.png", "Carrara Image Save Options", nullptr, ".car"),
      FormatShot("Carrara Image Save Options", "options_carrara_de.png", "Carrara-Bild-Speicheroptionen", ".deu",
                 ".cbr"),
      FormatShot("Gif Save Options (not translated)", "options_gif.png", "Gif Save Options", ".deu", ".gif"),
      FormatShot("3D File save options (not translated)", "options_obj.png", "3D File save options", nullptr, ".obj"),
      FormatShot("3D File save options (not translated)", "options_obj_de.png", "3D File save options", ".deu", ".obj"),
      FavoriteShot("favorites_en.png", "Add a Favorite", nullptr, false),
      FavoriteShot("favorites_expanded_en.png", "Add a Favorite", nullptr, true),
      // Captions as the dialog holds them, in the ANSI code page (1252, that of QelmLang.deu).
      FavoriteShot("favorites_de.png", "Favorit hinzuf\xFCgen", ".deu", false),
      FavoriteShot("favorites_expanded_de.png", "Favorit hinzuf\xFCgen", ".deu", true),
      {"Current File Information", "English", "fileinfo_en.png", "Current File Information", IDCLOSE,
       [] { SetLanguage(nullptr); }, [](Library&) { CallFileInfo(); }},
      {"Current File Information", "German (.deu)", "fileinfo_de.png", "Aktuelle Dateiinformationen", IDCLOSE,
       [] { SetLanguage(".deu"); }, [](Library&) { CallFileInfo(); }},
      HighContrastShot("Task dialog, emulated (Windows XP)",
                       {"", "", "contrast_taskdialog.png", "Rich task dialog", IDCANCEL, [] { SetLanguage(nullptr); },
                        [](Library& l) {
                          const TASKDIALOGCONFIG config = RichTaskDialog();
                          l.taskDialog(&config, nullptr, nullptr, nullptr);
                        },
                        nullptr, nullptr, true}),
      HighContrastShot("Add a Favorite", FavoriteShot("contrast_favorites.png", "Add a Favorite", nullptr, true)),
      HighContrastShot("Current File Information",
                       {"", "", "contrast_fileinfo.png", "Current File Information", IDCLOSE,
                        [] { SetLanguage(nullptr); }, [](Library&) { CallFileInfo(); }}),
  };
}

// Which CommonQ.dll drew the pictures: its path names the build (build/release-i686/bin is the
// one users get), and the demo's own pointer size tells the architecture.
std::string DrawnBy(const Library& library) {
  char path[MAX_PATH] = {};
  if (GetModuleFileNameA(library.module, path, MAX_PATH) == 0) lstrcpynA(path, "CommonQ.dll", MAX_PATH);
  return std::string("<p>Drawn by ") + path + (sizeof(void*) == 4 ? " (32-bit)" : " (64-bit)") + "</p>\n";
}

// One section per dialog, its languages side by side with captions.
std::string IndexPage(const std::vector<Shot>& shots, const Library& library) {
  std::string page = std::string(kGalleryStyle) + "<title>CommonQ gallery</title>\n" + kGalleryNavigation +
                     "<h1>CommonQ gallery</h1>\n" + DrawnBy(library) +
                     "<p>The demo host has no manifest: every control below is a common controls 6 one, from the "
                     "library's own manifest, which each call activates.</p>\n";
  std::string group;
  for (const Shot& shot : shots) {
    if (group != shot.group) {
      if (!group.empty()) page += "</div>\n";
      group = shot.group;
      page += "<h2>" + group + "</h2>\n<div class=\"row\">\n";
    }
    page += std::string("<figure><img src=\"") + shot.file + "\" alt=\"" + shot.file + "\"><figcaption>" +
            shot.language + "<br><small>" + shot.file + "</small></figcaption></figure>\n";
  }
  if (!group.empty()) page += "</div>\n";
  return page +
         "<h2>Task dialog</h2>\n<p><a href=\"taskdialogs.html\">Every configuration, native and emulated</a></p>\n";
}

}  // namespace

int RunGallery(Library& library, const std::wstring& folder) {
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::string base = Narrow(folder) + "\\";
  int failures = 0;
  // The copy that runs as Windows XP only adds the emulated task dialogs (and its own shots).
  const bool taskDialogsOnly = IsWindowsXpCopy();
  const std::vector<Shot> shots = Shots();
  for (const Shot& shot : shots) {
    if (shot.asWindowsXp != taskDialogsOnly) continue;
    DeleteAllSettings();
    shot.prepare();
    commonq::testing::DialogDriver driver(15000);
    driver.WaitForDialog(shot.caption != nullptr ? shot.caption : "");
    if (shot.drive) shot.drive(driver);
    driver.Pause(250).Read([path = base + shot.file](HWND dialog) {
      if (!CaptureWindowToPng(dialog, path)) throw std::runtime_error("could not capture the dialog");
    });
    driver.Command(shot.close).Start();
    shot.show(library);
    if (shot.finish) shot.finish();
    const bool ok = driver.Finished() && driver.Errors().empty();
    if (!ok) ++failures;
    std::printf("%s %s\n", ok ? "captured" : "FAILED  ", shot.file);
    for (const std::string& error : driver.Errors()) std::printf("  %s\n", error.c_str());
  }
  failures += RunTaskDialogGallery(library, base);
  DeleteAllSettings();
  if (!taskDialogsOnly) {
    if (FILE* html = std::fopen((base + "index.html").c_str(), "w")) {
      std::fputs(IndexPage(shots, library).c_str(), html);
      std::fclose(html);
    }
  }
  std::fflush(stdout);
  return failures == 0 ? 0 : 1;
}

}  // namespace demo
