#include "frame/guarded_callback.h"

#if COMMONQ_TEST_SEAMS
#include <cstdio>

namespace commonq {
namespace {

// "kind:message"; the test program and the DLL each have their own copy of this code, but one
// environment.
constexpr const char* kFailingCallback = "COMMONQ_FAILING_CALLBACK";

bool ReadInjection(int& kind, unsigned& message) noexcept {
  char value[32] = {};
  const DWORD length = ::GetEnvironmentVariableA(kFailingCallback, value, sizeof value);
  return length > 0 && length < sizeof value && std::sscanf(value, "%d:%u", &kind, &message) == 2;
}

}  // namespace

void InjectCallbackFailureForTesting(CallbackKind kind, UINT message) noexcept {
  char value[32] = {};
  std::snprintf(value, sizeof value, "%d:%u", static_cast<int>(kind), message);
  ::SetEnvironmentVariableA(kFailingCallback, value);
}

bool CallbackFailurePendingForTesting() noexcept {
  int kind = 0;
  unsigned message = 0;
  return ReadInjection(kind, message);
}

void ClearCallbackFailureForTesting() noexcept { ::SetEnvironmentVariableA(kFailingCallback, nullptr); }

void ThrowIfFailureInjected(CallbackKind kind, UINT message) {
  int injectedKind = 0;
  unsigned injectedMessage = 0;
  if (!ReadInjection(injectedKind, injectedMessage) || injectedKind != static_cast<int>(kind)) return;
  if (injectedMessage != 0 && injectedMessage != message) return;
  ClearCallbackFailureForTesting();
  throw std::bad_alloc();
}

}  // namespace commonq
#endif
