#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "support/import_redirect.h"

namespace commonq::testing {

// Records the handles one loaded DLL creates and releases, by redirecting the entries of its
// import address table for the creating and releasing functions it imports, and tells which are
// still alive. Only calls the DLL makes itself are seen: nothing else in the process is touched.
//
//   LeakTracer tracer(GetModuleHandleA("CommonQ.dll"));
//   tracer.Start();
//   ... call into the DLL ...
//   EXPECT_TRUE(tracer.Survivors().empty());
//
// What counts as alive is decided when Survivors() is called, the way the system sees it then:
// windows by IsWindow (a child destroyed with its parent is no leak), GDI objects and icons by
// whether they still exist unless the DLL deleted them, and everything that has no such test
// (DCs, hooks, thread timers, registry keys, modules, memory, COM initialisation, find handles,
// item-id lists from the folder browser) by the DLL's own release calls. Shared handles
// (LoadIcon, LoadCursor, LoadImage with LR_SHARED) are never the DLL's to free and are not
// recorded.
//
// One tracer at a time per process; the constructor throws std::logic_error otherwise, and
// std::invalid_argument when `module` is not a loaded PE image. The module is pinned while it is
// patched, so the table can always be restored.
class LeakTracer {
 public:
  explicit LeakTracer(HMODULE module);
  ~LeakTracer();
  LeakTracer(const LeakTracer&) = delete;
  LeakTracer& operator=(const LeakTracer&) = delete;

  // Forgets every record, contract icons included.
  void Start();
  // Handles created since Start() that are still alive, oldest first, each described like
  // "0x1a2b from CreateSolidBrush", plus contract icons the DLL has not destroyed.
  std::vector<std::string> Survivors();
  // `icon` belongs to the caller but the DLL's contract is to destroy it; Survivors() reports
  // it if it is still alive. Call after Start().
  void ExpectDestroyedByContract(HICON icon);

  // The imported functions whose table entries were redirected, for checking the tracer covers
  // what a test relies on.
  const std::vector<std::string>& Patched() const { return patched_; }

 private:
  HMODULE module_ = nullptr;
  std::deque<ImportRedirect> redirects_;
  std::vector<std::string> patched_;
};

}  // namespace commonq::testing
