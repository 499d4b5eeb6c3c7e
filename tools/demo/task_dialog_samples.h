#pragma once
// Ready task dialog configurations for the demo page, the gallery and the benchmark.
#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace demo {

struct TaskDialogSample {
  const char* name;     // button text on the demo page
  const char* file;     // gallery file stem
  const char* caption;  // window title, for finding the dialog
  TASKDIALOGCONFIG config;
};

// Drives the progress samples from the callback timer.
HRESULT CALLBACK SampleCallback(HWND window, UINT notification, WPARAM wParam, LPARAM lParam, LONG_PTR data);

std::vector<TaskDialogSample> TaskDialogSamples();
// Main instruction, content, 5 command links, 5 radio buttons, verification, expanded
// information, footer with icon and a progress bar.
TASKDIALOGCONFIG RichTaskDialog();

}  // namespace demo
