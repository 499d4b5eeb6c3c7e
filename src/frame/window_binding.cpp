#include "frame/window_binding.h"

#include "frame/module_state.h"

#include <new>

namespace commonq {
namespace {

class CreationListLock {
 public:
  CreationListLock() noexcept : lock_(&CurrentModuleState().windowCreationLock) {
    if (CurrentModuleState().locksCreated) {
      ::EnterCriticalSection(lock_);
    } else {
      lock_ = nullptr;
    }
  }
  ~CreationListLock() {
    if (lock_ != nullptr) ::LeaveCriticalSection(lock_);
  }
  CreationListLock(const CreationListLock&) = delete;
  CreationListLock& operator=(const CreationListLock&) = delete;

 private:
  CRITICAL_SECTION* lock_;
};

}  // namespace

void RegisterWindowCreation(WindowCreationEntry* entry, void* object) {
  if (entry == nullptr || object == nullptr) {
    ::RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
    return;
  }
  CreationListLock lock;
  ModuleState& state = CurrentModuleState();
  entry->object = object;
  entry->threadId = ::GetCurrentThreadId();
  entry->next = state.windowCreationHead;
  state.windowCreationHead = entry;
}

void* ClaimWindowCreation() noexcept {
  CreationListLock lock;
  const DWORD thread = ::GetCurrentThreadId();
  for (WindowCreationEntry** link = &CurrentModuleState().windowCreationHead; *link != nullptr; link = &(*link)->next) {
    WindowCreationEntry* entry = *link;
    if (entry->threadId == thread) {
      *link = entry->next;
      entry->next = nullptr;
      return entry->object;
    }
  }
  return nullptr;
}

void CancelWindowCreation(WindowCreationEntry* entry) noexcept {
  CreationListLock lock;
  for (WindowCreationEntry** link = &CurrentModuleState().windowCreationHead; *link != nullptr; link = &(*link)->next) {
    if (*link == entry) {
      *link = entry->next;
      entry->next = nullptr;
      return;
    }
  }
}

WindowBinding::~WindowBinding() { CancelBinding(); }

void WindowBinding::Abandon(HWND window, bool outOfMemory) noexcept {
  if (abandoned_ == Abandoned::kNo) abandoned_ = outOfMemory ? Abandoned::kOutOfMemory : Abandoned::kOther;
  AbandonDialog(nullptr, window, outOfMemory);
}

void AbandonDialog(WindowBinding* owner, HWND window, bool outOfMemory) noexcept {
  if (owner != nullptr) {
    owner->Abandon(window, outOfMemory);
    return;
  }
  HWND root = ::GetAncestor(window, GA_ROOT);
  if (root == nullptr || root == window) {
    ::EndDialog(window, -1);
  } else {
    ::PostMessageA(root, WM_COMMAND, IDCANCEL, 0);
  }
}

namespace {
UINT g_failingMessage = 0;
}  // namespace

void InjectAllocationFailureForTesting(UINT message) noexcept { g_failingMessage = message; }

void ThrowIfFailureInjected(UINT message) {
  if (g_failingMessage != 0 && message == g_failingMessage) {
    g_failingMessage = 0;
    throw std::bad_alloc();
  }
}

}  // namespace commonq
