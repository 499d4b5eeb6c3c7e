#pragma once
// Every export, called the way a host would, with the script that closes what it shows: one table
// for the tests that treat all exports alike (long use, overlapping calls).
#include <windows.h>

#include <functional>
#include <ostream>
#include <vector>

#include "support/dialog_driver.h"

namespace commonq::testing {

struct ExportCall {
  const char* name;
  // Adds the steps that wait for the dialog, run `whileUp` (if any) on it and close it.
  std::function<void(DialogDriver&, std::function<void(HWND)> whileUp)> close;
  std::function<int()> call;  // the export's result (an HRESULT for the task dialog)
  int expected;               // what `call` gives when `close` ran
  int refused;                // what it gives when the call cannot start
};

inline void PrintTo(const ExportCall& call, std::ostream* out) { *out << call.name; }

// The dialogs' captions, for scripts that must find them: "Every export" where the caller
// chooses it.
std::vector<ExportCall> EveryExport();

}  // namespace commonq::testing
