// How much each export adds to the dialog it wraps: the time from the call until the dialog is up
// and idle, for the export and for the bare platform call that shows the same dialog, measured
// alternately in one process on one display, median of 30 each. The file information dialog,
// which wraps no platform dialog, is measured with an 8192 x 8192 32-bit preview (256 MB, which the
// dialog stretches once into its fitted copy as it initialises) against none, median of 150
// each, next to what that stretch costs done bare. Last, the time of one repaint of the preview's
// area in a dialog that is up, for an 8192 x 8192 source and a 64 x 64 one: every paint draws the
// fitted copy, so the source's size must not show.
// The file dialogs are timed as the classic ones against GetOpenFileNameA and GetSaveFileNameA,
// and the modern Save As with its Options button and prompt box against a bare FileSaveDialog: as
// this program shows it (no manifest, so the controls of common controls 5), with the same two
// controls, and with them in the library's common-controls 6 context, as the export shows it.
//
// "Up and idle" is the dialog manager's first WM_ENTERIDLE to the owner once the dialog has
// nothing left to paint: the dialog is shown, painted and waiting for input (under Wine the first
// WM_ENTERIDLE can come before the first paint). Message boxes never send it (their template has DS_NOIDLEMSG),
// so for them the moment the box returns from WM_SHOWWINDOW counts. Either way the dialog is then
// cancelled, so the close is not measured.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "CommonQ.h"

namespace {

constexpr int kRuns = 30;
constexpr const char* kFilter = "PNG (*.png)\0*.png\0All files (*.*)\0*.*\0";

HWND g_owner = nullptr;
bool g_byShow = false;
LARGE_INTEGER g_start{};
double g_shownMs = -1;
// Runs in the dialog once it is up and idle, before it is cancelled; null for none.
void (*g_atIdle)(HWND dialog) = nullptr;

double ElapsedMs() {
  LARGE_INTEGER now{}, frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - g_start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && g_shownMs < 0 &&
      !GetUpdateRect(reinterpret_cast<HWND>(lParam), nullptr, FALSE)) {
    g_shownMs = ElapsedMs();
    if (g_atIdle != nullptr) g_atIdle(reinterpret_cast<HWND>(lParam));
    PostMessageA(reinterpret_cast<HWND>(lParam), WM_COMMAND, IDCANCEL, 0);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK AfterWindowProc(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && g_byShow && g_shownMs < 0 && message->message == WM_SHOWWINDOW && message->wParam &&
      GetParent(message->hwnd) == g_owner) {
    g_shownMs = ElapsedMs();
    PostMessageA(message->hwnd, WM_COMMAND, IDCANCEL, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window)) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

// A dialog that never becomes idle is cancelled after five seconds, so one fault cannot hang the
// whole run.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
  if (g_shownMs < 0 && ElapsedMs() > 5000) EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
}

// One timed call; -1 when the dialog never became idle.
double Time(const std::function<void()>& call, bool byShow) {
  g_byShow = byShow;
  SetForegroundWindow(g_owner);
  SetActiveWindow(g_owner);
  g_shownMs = -1;
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 250, Watchdog);
  QueryPerformanceCounter(&g_start);
  call();
  KillTimer(nullptr, watchdog);
  return g_shownMs;
}

double Median(std::vector<double> times) {
  if (times.empty()) return -1;
  std::sort(times.begin(), times.end());
  const size_t n = times.size();
  return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

struct Pair {
  const char* name;
  bool byShow;
  std::function<void()> library;
  std::function<void()> bare;
  int runs = kRuns;
  // Run once before the pair is timed, such as choosing the classic or the modern file dialogs.
  std::function<void()> prepare = {};
};

// The preview adds well under a millisecond to a dialog whose time varies by more than that from
// call to call: its median needs more runs to settle.
constexpr int kPreviewRuns = 150;

// The library shows the classic Open and Save As when this setting is 1, the modern ones otherwise
// (on Windows 6 and later).
void UseClassicFileDialogs(bool classic) {
  const char* key = "Software\\Dravonix\\Qelm Explorer\\Option";
  if (!classic) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, key, "ClassicFileDialogs");
    return;
  }
  const DWORD one = 1;
  RegSetKeyValueA(HKEY_CURRENT_USER, key, "ClassicFileDialogs", REG_DWORD, &one, sizeof one);
}

// The library's own common-controls 6 context (its manifest resource), which every export
// activates: a host with such a manifest shows its dialogs in it too.
HANDLE g_libraryContext = nullptr;

// A bare FileSaveDialog as a host without the library would show it; with `panelControls`, with
// the two controls the library adds, to tell their cost from the library's own; with
// `libraryContext`, in the controls-6 context the export shows it in.
void ShowBareFileSaveDialog(HWND owner, bool panelControls, bool libraryContext = false) {
  if (FAILED(CoInitialize(nullptr))) return;
  ULONG_PTR cookie = 0;
  const bool activated = libraryContext && g_libraryContext != nullptr && ActivateActCtx(g_libraryContext, &cookie);
  IFileSaveDialog* dialog = nullptr;
  if (SUCCEEDED(CoCreateInstance(__uuidof(FileSaveDialog), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IFileSaveDialog),
                                 reinterpret_cast<void**>(&dialog)))) {
    const COMDLG_FILTERSPEC types[] = {{L"PNG (*.png)", L"*.png"}, {L"All files (*.*)", L"*.*"}};
    dialog->SetFileTypes(2, types);
    dialog->SetFileTypeIndex(1);
    dialog->SetFileName(L"scene.png");
    dialog->SetDefaultExtension(L"png");
    IFileDialogCustomize* customize = nullptr;
    if (panelControls &&
        SUCCEEDED(dialog->QueryInterface(__uuidof(IFileDialogCustomize), reinterpret_cast<void**>(&customize)))) {
      customize->AddPushButton(1001, L"Options...");
      customize->AddCheckButton(1002, L"Prompt for format options", TRUE);
      customize->Release();
    }
    dialog->Show(owner);
    dialog->Release();
  }
  if (activated) DeactivateActCtx(0, cookie);
  CoUninitialize();
}

constexpr LONG kPreviewSide = 8192;
constexpr LONG kSmallPreviewSide = 64;
constexpr int kPreviewControl = 1088;  // the box the preview is fitted into
constexpr int kShadowPixels = 8;       // beyond the box's right and bottom edges, with room to spare
constexpr int kRepaintsPerDialog = 50;
constexpr int kRepaintDialogs = 10;

// A 32-bit packed bitmap of that side whose bytes vary across the picture.
std::vector<unsigned char> Preview(LONG side) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = side;
  header.biHeight = side;
  header.biPlanes = 1;
  header.biBitCount = 32;
  std::vector<unsigned char> dib(sizeof header + static_cast<size_t>(side) * side * 4);
  std::memcpy(dib.data(), &header, sizeof header);
  for (size_t k = sizeof header; k < dib.size(); ++k) dib[k] = static_cast<unsigned char>(k * 7 / 4096);
  return dib;
}

// What the dialog's one stretch of `dib` into its fitted copy costs, done bare.
double StretchMs(const std::vector<unsigned char>& dib) {
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
  BITMAPINFOHEADER fitted = *header;
  fitted.biWidth = fitted.biHeight = 64;
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    QueryPerformanceCounter(&g_start);
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&fitted), DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, copy);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, 64, 64, 0, 0, header->biWidth, header->biHeight, dib.data() + sizeof *header,
                  reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    times.push_back(ElapsedMs());
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(copy);
  }
  return Median(times);
}

std::vector<double>* g_repaints = nullptr;

// Repaints the preview's area of a dialog that is up, timing each repaint alone.
void TimeRepaints(HWND dialog) {
  RECT area{};
  GetWindowRect(GetDlgItem(dialog, kPreviewControl), &area);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
  area.right = area.left + 64 + kShadowPixels;
  area.bottom = area.top + 64 + kShadowPixels;
  for (int k = 0; k < kRepaintsPerDialog; ++k) {
    QueryPerformanceCounter(&g_start);
    InvalidateRect(dialog, &area, TRUE);
    UpdateWindow(dialog);
    g_repaints->push_back(ElapsedMs());
  }
}

template <typename Function>
Function Find(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Where a message box's time goes: from the call until its window is created (for the export,
// the call guard, the COM scope, the settings read and the hook), and from then until it is shown
// (for the export with a check box, the check box's text, size and window on top). Timed by a
// hook on window creation, which costs the bare call and the export alike.
double g_createdMs = -1;

LRESULT CALLBACK CreationProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_createdMs < 0 &&
      reinterpret_cast<const CBT_CREATEWNDA*>(lParam)->lpcs->hwndParent == g_owner)
    g_createdMs = ElapsedMs();
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void PrintMessageBoxBreakdown(const std::vector<std::pair<const char*, std::function<void()>>>& calls) {
  const HHOOK hook = SetWindowsHookExA(WH_CBT, CreationProc, nullptr, GetCurrentThreadId());
  std::vector<std::vector<double>> created(calls.size()), shown(calls.size());
  for (int run = 0; run <= kRuns; ++run) {
    for (size_t k = 0; k < calls.size(); ++k) {
      g_createdMs = -1;
      const double total = Time(calls[k].second, true);
      // The first round warms up.
      if (run > 0 && total >= 0 && g_createdMs >= 0) {
        created[k].push_back(g_createdMs);
        shown[k].push_back(total - g_createdMs);
      }
    }
  }
  UnhookWindowsHookEx(hook);
  std::printf("%-52s %10s %10s %10s\n", "message box, where the time goes (ms, median)", "to window", "to shown",
              "ratio");
  const double bare = Median(created[0]) + Median(shown[0]);
  for (size_t k = 0; k < calls.size(); ++k) {
    const double before = Median(created[k]), after = Median(shown[k]);
    std::printf("%-52s %10.2f %10.2f %10.2f\n", calls[k].first, before, after, (before + after) / bare);
  }
}

}  // namespace

int main() {
  setvbuf(stdout, nullptr, _IONBF, 0);
  HMODULE library = LoadLibraryA("CommonQ.dll");
  if (library == nullptr) {
    std::fprintf(stderr, "CommonQ.dll must lie beside the benchmark\n");
    return 2;
  }
  ACTCTXA request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.hModule = library;
  request.lpResourceName = MAKEINTRESOURCEA(2);
  if (const HANDLE made = CreateActCtxA(&request); made != INVALID_HANDLE_VALUE) g_libraryContext = made;
  InitCommonControls();
  SetWindowsHookExA(WH_CALLWNDPROCRET, AfterWindowProc, nullptr, GetCurrentThreadId());
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = OwnerProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "CommonQBenchmarkOwner";
  RegisterClassA(&windowClass);
  g_owner = CreateWindowExA(0, windowClass.lpszClassName, "Benchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                            nullptr, nullptr, windowClass.hInstance, nullptr);

  auto messageBox = Find<int(__cdecl*)(HWND, LPCSTR, LPCSTR, UINT, UINT)>(library, "MessageBoxDoModal");
  auto color = Find<int(__cdecl*)(DlgColorParams*)>(library, "DlgColorDialogDoModal");
  auto open = Find<int(__cdecl*)(DlgFileParams*)>(library, "DlgFileOpenDoModal");
  auto saveAs = Find<int(__cdecl*)(DlgFileParams*)>(library, "DlgFileSaveasDoModal");
  auto options = Find<int(__cdecl*)(DlgFormatOptionParams*)>(library, "DlgFormatOptionDoModal");
  auto fileInfo = Find<int(__cdecl*)(const DlgFileInfoParams*)>(library, "DlgFileInfoDoModal");
  const std::vector<unsigned char> preview = Preview(kPreviewSide), smallPreview = Preview(kSmallPreviewSide);
  const ImageInfo image{0, kPreviewSide, kPreviewSide, 32, 0, 0, 1};
  const FileInfoNode node{FILEINFO_NODE_IMAGE, &image, nullptr};
  auto showFileInfo = [&](const std::vector<unsigned char>* withPreview) {
    DlgFileInfoParams params{};
    params.cbSize = sizeof params;
    params.pszPath = "C:\\Models\\Textures\\Oak Planks.png";
    params.nFileSize = 12 << 20;
    params.pInfoList = &node;
    if (withPreview) params.pPreviewDib = reinterpret_cast<const BITMAPINFOHEADER*>(withPreview->data());
    fileInfo(&params);
  };
  char file[MAX_PATH] = {};

  auto fileParams = [&](const char* name, DWORD flags) {
    lstrcpynA(file, name, MAX_PATH);
    DlgFileParams params{};
    params.cbSize = sizeof params;
    params.hwndOwner = g_owner;
    params.pszFile = file;
    params.pszFilter = kFilter;
    params.nFilterIndex = 1;
    params.pszDefExt = "png";
    params.dwFlags = flags;
    params.nPromptMode = flags & OFN_ENABLETEMPLATE ? 1 : 0;
    return params;
  };
  auto ofn = [&](const char* name) {
    lstrcpynA(file, name, MAX_PATH);
    OPENFILENAMEA o{};
    o.lStructSize = sizeof o;
    o.hwndOwner = g_owner;
    o.lpstrFile = file;
    o.nMaxFile = MAX_PATH;
    o.lpstrFilter = kFilter;
    o.nFilterIndex = 1;
    o.lpstrDefExt = "png";
    o.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    return o;
  };

  const std::vector<Pair> pairs = {
      {"MessageBoxDoModal(3031), check box / MessageBoxA", true,
       [&] {
         messageBox(g_owner, "Some textures are missing. Continue?", "Benchmark", MB_OKCANCEL | MB_ICONQUESTION, 3031);
       },
       [&] {
         MessageBoxA(g_owner, "Some textures are missing. Continue?", "Benchmark", MB_OKCANCEL | MB_ICONQUESTION);
       }},
      {"MessageBoxDoModal(1), no check box / MessageBoxA", true,
       [&] {
         messageBox(g_owner, "Some textures are missing. Continue?", "Benchmark", MB_OKCANCEL | MB_ICONQUESTION, 1);
       },
       [&] {
         MessageBoxA(g_owner, "Some textures are missing. Continue?", "Benchmark", MB_OKCANCEL | MB_ICONQUESTION);
       }},
      {"DlgColorDialogDoModal / ChooseColorA", false,
       [&] {
         DlgColorParams params{};
         params.hwndOwner = g_owner;
         params.rgbInitial = RGB(51, 102, 153);
         color(&params);
       },
       [&] {
         static COLORREF custom[16] = {};
         CHOOSECOLORA choose{};
         choose.lStructSize = sizeof choose;
         choose.hwndOwner = g_owner;
         choose.rgbResult = RGB(51, 102, 153);
         choose.lpCustColors = custom;
         choose.Flags = CC_RGBINIT;
         ChooseColorA(&choose);
       }},
      {"DlgFileOpenDoModal / GetOpenFileNameA", false,
       [&] {
         DlgFileParams params = fileParams("", 0);
         open(&params);
       },
       [&] {
         OPENFILENAMEA o = ofn("");
         o.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
         GetOpenFileNameA(&o);
       },
       kRuns, [] { UseClassicFileDialogs(true); }},
      {"DlgFileSaveasDoModal (panel) / GetSaveFileNameA", false,
       [&] {
         DlgFileParams params = fileParams("scene.png", OFN_ENABLETEMPLATE);
         saveAs(&params);
       },
       [&] {
         OPENFILENAMEA o = ofn("scene.png");
         o.Flags |= OFN_OVERWRITEPROMPT;
         GetSaveFileNameA(&o);
       },
       kRuns, [] { UseClassicFileDialogs(true); }},
      {"DlgFileSaveasDoModal (modern, panel) / FileSaveDialog", false,
       [&] {
         DlgFileParams params = fileParams("scene.png", OFN_ENABLETEMPLATE);
         saveAs(&params);
       },
       [&] { ShowBareFileSaveDialog(g_owner, false); }, kRuns, [] { UseClassicFileDialogs(false); }},
      {"  the same / FileSaveDialog with the two controls", false,
       [&] {
         DlgFileParams params = fileParams("scene.png", OFN_ENABLETEMPLATE);
         saveAs(&params);
       },
       [&] { ShowBareFileSaveDialog(g_owner, true); }, kRuns, [] { UseClassicFileDialogs(false); }},
      {"  the same / FileSaveDialog, two controls, controls 6", false,
       [&] {
         DlgFileParams params = fileParams("scene.png", OFN_ENABLETEMPLATE);
         saveAs(&params);
       },
       [&] { ShowBareFileSaveDialog(g_owner, true, true); }, kRuns, [] { UseClassicFileDialogs(false); }},
      {"DlgFormatOptionDoModal(.png) / DialogBoxParamA(1030)", false,
       [&] {
         DlgFormatOptionParams params{};
         lstrcpynA(params.szExtension, ".png", sizeof params.szExtension);
         options(&params);
       },
       [&] { DialogBoxParamA(library, MAKEINTRESOURCEA(1030), g_owner, PlainDialogProc, 0); }},
      {"DlgFileInfoDoModal: 8192 x 8192 preview / none", false, [&] { showFileInfo(&preview); },
       [&] { showFileInfo(nullptr); }, kPreviewRuns},
  };

  int failures = 0;
  std::printf("%-52s %10s %10s %7s\n", "export / bare platform call (ms, median of 30)", "export", "bare", "ratio");
  // COMMONQ_BENCHMARK_ONLY=text times only the pairs whose name contains the text.
  const char* only = std::getenv("COMMONQ_BENCHMARK_ONLY");
  for (const Pair& pair : pairs) {
    if (only != nullptr && std::strstr(pair.name, only) == nullptr) continue;
    std::printf("%-52s", pair.name);
    if (pair.prepare) pair.prepare();
    std::vector<double> ours, bare;
    // One warm-up call each, then alternate so drift hits both alike.
    Time(pair.library, pair.byShow);
    Time(pair.bare, pair.byShow);
    for (int run = 0; run < pair.runs; ++run) {
      if (const double t = Time(pair.library, pair.byShow); t >= 0) ours.push_back(t);
      if (const double t = Time(pair.bare, pair.byShow); t >= 0) bare.push_back(t);
    }
    const double a = Median(ours), b = Median(bare);
    if (a < 0 || b < 0) {
      std::printf("  no idle dialog seen (export %zu, bare %zu of %d runs)\n", ours.size(), bare.size(), pair.runs);
      ++failures;
      continue;
    }
    std::printf(" %10.2f %10.2f %7.2f", a, b, a / b);
    if (pair.runs != kRuns) std::printf("  (median of %d)", pair.runs);
    std::printf("\n");
  }
  if (only == nullptr || std::strstr("DlgFileInfoDoModal", only) != nullptr) {
    std::printf("%-52s %10.2f\n", "a bare stretch of that preview into 64 x 64 pixels", StretchMs(preview));
  }
  const char* repaintName = "DlgFileInfoDoModal repaint: 8192 x 8192 / 64 x 64";
  if (only == nullptr || std::strstr(repaintName, only) != nullptr) {
    // The two sources alternate, a dialog each, so drift hits both alike.
    std::vector<double> fromLarge, fromSmall;
    g_atIdle = TimeRepaints;
    for (int round = 0; round < kRepaintDialogs; ++round) {
      g_repaints = &fromLarge;
      Time([&] { showFileInfo(&preview); }, false);
      g_repaints = &fromSmall;
      Time([&] { showFileInfo(&smallPreview); }, false);
    }
    g_atIdle = nullptr;
    const double a = Median(fromLarge), b = Median(fromSmall);
    std::printf("%-52s %10.3f %10.3f %7.2f  (ms per repaint, median of %zu and %zu)\n", repaintName, a, b, a / b,
                fromLarge.size(), fromSmall.size());
  }
  if (only == nullptr || std::strstr("MessageBox", only) != nullptr) {
    const char* text = "Some textures are missing. Continue?";
    PrintMessageBoxBreakdown({
        {"MessageBoxA", [&] { MessageBoxA(g_owner, text, "Benchmark", MB_OKCANCEL | MB_ICONQUESTION); }},
        {"MessageBoxDoModal(1), no check box",
         [&] { messageBox(g_owner, text, "Benchmark", MB_OKCANCEL | MB_ICONQUESTION, 1); }},
        {"MessageBoxDoModal(3031), check box",
         [&] { messageBox(g_owner, text, "Benchmark", MB_OKCANCEL | MB_ICONQUESTION, 3031); }},
    });
  }
  UseClassicFileDialogs(false);
  DestroyWindow(g_owner);
  return failures == 0 ? 0 : 1;
}
