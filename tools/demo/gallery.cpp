// The gallery: every dialog in defined states, captured to PNG by the same driver the tests use.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "demo_host.h"
#include "file_demo.h"
#include "file_info_demo.h"
#include "support/dialog_driver.h"

namespace demo {
namespace {

struct Shot {
  const char* file;
  const char* caption;  // of the dialog to capture
  int close;            // the command that closes it
  std::function<void()> prepare;
  std::function<void(Library&)> show;
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
Shot FormatShot(const char* file, const char* caption, const char* language, const char* extension) {
  return {file, caption, IDCANCEL, [language] { SetLanguage(language); },
          [extension](Library&) { CallFormatOptions(extension); }};
}

std::vector<Shot> Shots() {
  return {
      {"messagebox_suppressible_en.png", "Qelm Explorer", IDNO, [] { SetLanguage(nullptr); },
       [](Library& l) { ShowMessage(l, 3031, MB_YESNO | MB_ICONQUESTION); }},
      {"messagebox_suppressible_de.png", "Qelm Explorer", IDNO, [] { SetLanguage(".deu"); },
       [](Library& l) { ShowMessage(l, 3031, MB_YESNO | MB_ICONQUESTION); }},
      {"messagebox_plain.png", "Qelm Explorer", IDOK, [] { SetLanguage(nullptr); },
       [](Library& l) { ShowMessage(l, 0, MB_OK | MB_ICONINFORMATION); }},
      {"color_chooser.png", nullptr, IDCANCEL,
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
      {"saveas_panel.png", "Save As", IDCANCEL,
       [] {
         SetLanguage(nullptr);
         SetDwordValue("Format", "Check", 1);
       },
       [](Library&) {
         char file[260] = "scene.png";
         CallSaveAs(nullptr, 3, 1, file);
       }},
      {"saveas_panel_de.png", "Save As", IDCANCEL, [] { SetLanguage(".deu"); },
       [](Library&) {
         char file[260] = "scene.png";
         CallSaveAs(nullptr, 3, 1, file);
       }},
      FormatShot("options_bmp_en.png", "Bitmap Save Options", nullptr, ".bmp"),
      FormatShot("options_bmp_de.png", "Bitmap-Speicheroptionen", ".deu", ".bmp"),
      FormatShot("options_jpg_en.png", "Jpeg Save Options", nullptr, ".jpg"),
      FormatShot("options_jpg_de.png", "JPEG-Speicheroptionen", ".deu", ".jpg"),
      FormatShot("options_png_en.png", "Png Save Options", nullptr, ".png"),
      FormatShot("options_png_de.png", "PNG-Speicheroptionen", ".deu", ".png"),
      FormatShot("options_rsr_en.png", "Rsr Save Options", nullptr, ".rsr"),
      FormatShot("options_rsr_de.png", "RSR-Speicheroptionen", ".deu", ".rsr"),
      FormatShot("options_carrara_en.png", "Carrara Image Save Options", nullptr, ".car"),
      FormatShot("options_carrara_de.png", "Carrara-Bild-Speicheroptionen", ".deu", ".cbr"),
      FormatShot("options_gif.png", "Gif Save Options", ".deu", ".gif"),
      FormatShot("options_obj.png", "3D File save options", nullptr, ".obj"),
      FormatShot("options_obj_de.png", "3D File save options", ".deu", ".obj"),
      {"fileinfo_en.png", "Current File Information", IDCLOSE, [] { SetLanguage(nullptr); },
       [](Library&) { CallFileInfo(); }},
      {"fileinfo_de.png", "Aktuelle Dateiinformationen", IDCLOSE, [] { SetLanguage(".deu"); },
       [](Library&) { CallFileInfo(); }},
  };
}

}  // namespace

int RunGallery(Library& library, const std::wstring& folder) {
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::string base = Narrow(folder) + "\\";
  int failures = 0;
  std::string index = "<!doctype html><title>CommonQ gallery</title><body style=\"font-family:sans-serif\">\n";
  // The copy that runs as Windows XP only adds the emulated task dialogs.
  const bool taskDialogsOnly = IsWindowsXpCopy();
  for (const Shot& shot : Shots()) {
    if (taskDialogsOnly) break;
    DeleteAllSettings();
    shot.prepare();
    commonq::testing::DialogDriver driver(15000);
    driver.WaitForDialog(shot.caption != nullptr ? shot.caption : "").Pause(250).Capture(base + shot.file);
    driver.Command(shot.close).Start();
    shot.show(library);
    const bool ok = driver.Finished() && driver.Errors().empty();
    if (!ok) ++failures;
    std::printf("%s %s\n", ok ? "captured" : "FAILED  ", shot.file);
    for (const std::string& error : driver.Errors()) std::printf("  %s\n", error.c_str());
    index +=
        std::string("<figure><img src=\"") + shot.file + "\"><figcaption>" + shot.file + "</figcaption></figure>\n";
  }
  failures += RunTaskDialogGallery(library, base, index);
  DeleteAllSettings();
  if (FILE* html = std::fopen((base + (taskDialogsOnly ? "index_emulated.html" : "index.html")).c_str(), "w")) {
    std::fputs(index.c_str(), html);
    std::fclose(html);
  }
  std::fflush(stdout);
  return failures == 0 ? 0 : 1;
}

}  // namespace demo
