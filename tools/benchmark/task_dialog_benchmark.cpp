// Opens the rich task dialog 50 times through TaskDialogIndirect98 and prints the median time
// from the call to TDN_CREATED, in milliseconds. Whether that is the native or the emulated
// dialog depends on the Windows version this executable sees (tools/benchmark.sh runs both).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "../demo/task_dialog_samples.h"

namespace {

using TaskDialogIndirect98Fn = HRESULT(__cdecl*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

constexpr int kRuns = 50;

LARGE_INTEGER g_start{};
double g_createdMs = 0;

HRESULT CALLBACK Callback(HWND window, UINT notification, WPARAM, LPARAM, LONG_PTR) {
  if (notification == TDN_CREATED) {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    g_createdMs =
        1000.0 * static_cast<double>(now.QuadPart - g_start.QuadPart) / static_cast<double>(frequency.QuadPart);
    PostMessageW(window, TDM_CLICK_BUTTON, IDCANCEL, 0);
  }
  return S_OK;
}

}  // namespace

int main() {
  HMODULE library = LoadLibraryA("CommonQ.dll");
  auto taskDialog = library == nullptr ? nullptr
                                       : reinterpret_cast<TaskDialogIndirect98Fn>(
                                             reinterpret_cast<void*>(GetProcAddress(library, "TaskDialogIndirect98")));
  if (taskDialog == nullptr) {
    std::fprintf(stderr, "CommonQ.dll with TaskDialogIndirect98 must lie beside the benchmark\n");
    return 2;
  }
  TASKDIALOGCONFIG config = demo::RichTaskDialog();
  config.pfCallback = &Callback;
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    g_createdMs = -1;
    QueryPerformanceCounter(&g_start);
    taskDialog(&config, nullptr, nullptr, nullptr);
    if (g_createdMs >= 0) times.push_back(g_createdMs);
  }
  if (times.empty()) {
    std::fprintf(stderr, "no run reached TDN_CREATED\n");
    return 1;
  }
  std::sort(times.begin(), times.end());
  const double median =
      times.size() % 2 ? times[times.size() / 2] : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
  std::printf("%.3f ms median of %zu runs (min %.3f, max %.3f)\n", median, times.size(), times.front(), times.back());
  return 0;
}
