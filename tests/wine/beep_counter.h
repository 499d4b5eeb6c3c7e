#pragma once
// Counts the MessageBeep calls CommonQ.dll makes, by redirecting that one entry of its import
// table while the counter lives: a refused value is answered with a beep and nothing else.
#include <windows.h>

#include "support/import_redirect.h"

namespace commonq::testing {

class BeepCounter {
 public:
  explicit BeepCounter(HMODULE module) : redirect_(module, "MessageBeep", reinterpret_cast<void*>(&Counted)) {
    count_ = 0;
  }

  bool Patched() const { return redirect_.Active(); }
  int Count() const { return count_; }
  UINT LastType() const { return lastType_; }

 private:
  static BOOL WINAPI Counted(UINT type) {
    ++count_;
    lastType_ = type;
    return TRUE;
  }

  ImportRedirect redirect_;
  static inline int count_ = 0;
  static inline UINT lastType_ = 0;
};

}  // namespace commonq::testing
