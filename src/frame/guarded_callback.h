#pragma once
// The only way the system calls into the library. Each kind of function the system calls back has
// one adapter here, made from a handler of ours that may throw: the adapter is noexcept, so no
// exception ever unwinds through the system's frames (in the host's process that would end in
// abort()). A failure ends the running dialog through its object, and the export then answers
// with its documented failure result. tools/check-callbacks.sh refuses a CALLBACK function
// anywhere else in src/.
#include <windows.h>

#include <exception>
#include <new>
#include <utility>

#include "frame/window_binding.h"

namespace commonq {

// What calls into the library: the test builds inject a failure into one kind.
enum class CallbackKind : int {
  kDialogProcedure = 1,
  kFileDialogHook,
  kSubclassProcedure,
  kWindowsHook,
  kFolderBrowser,
  kChildEnumeration,
  kHostCallback,  // not the system's call but ours into the host, inside a running dialog
  kWindowProcedure,
};

#if COMMONQ_TEST_SEAMS
// For tests: the next guarded call of `kind` for `message` (a window message, the hooked message,
// a BFFM_ message or a task dialog notification; 0: any) throws std::bad_alloc before its handler
// runs, as an allocation failure inside it would. The injection is kept in the process's
// environment, so it reaches the DLL's own copy of this code as well as the objects linked into a
// test. Only the test builds have it: the Release DLL carries no seam.
void InjectCallbackFailureForTesting(CallbackKind kind, UINT message = 0) noexcept;
// Whether an injected failure is still waiting for its call; clearing it turns it off.
bool CallbackFailurePendingForTesting() noexcept;
void ClearCallbackFailureForTesting() noexcept;
void ThrowIfFailureInjected(CallbackKind kind, UINT message);
#else
inline void ThrowIfFailureInjected(CallbackKind, UINT) noexcept {}
#endif

// The guard inside every adapter: runs `body`; an exception ends the dialog through `owner` (when
// there is one) or around `window`, and the caller gets `fallback`.
template <typename Result, typename Body>
Result CallGuarded(CallbackKind kind, UINT message, WindowBinding* owner, HWND window, Result fallback,
                   Body&& body) noexcept {
  try {
    ThrowIfFailureInjected(kind, message);
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc&) {
    AbandonDialog(owner, window, true);
  } catch (...) {
    AbandonDialog(owner, window, false);
  }
  return fallback;
}

// A failure of a callback the system makes while one of our own calls into it runs
// (EnumChildWindows, SHBrowseForFolder): kept across the system's frames and thrown again on our
// side once that call has returned, into the guard of whatever made it.
class CarriedFailure {
 public:
  void Keep() noexcept {
    if (!failure_) failure_ = std::current_exception();
  }
  void ThrowIfKept() {
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  }

 private:
  std::exception_ptr failure_;
};

namespace guarded {

template <CallbackKind Kind, typename Object, auto Locate, auto Handle>
INT_PTR DialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  Object* object = Locate(window, message, wParam, lParam);
  // Messages before the object is bound (WM_SETFONT and the like) get the dialog manager's default.
  if (object == nullptr) return FALSE;
  return CallGuarded<INT_PTR>(Kind, message, object, window, FALSE,
                              [&] { return (object->*Handle)(window, message, wParam, lParam); });
}

// The message a hook of `HookType` is told about; for a window-creation (WH_CBT) hook, the event
// (HCBT_CREATEWND ...) as the message and the window it concerns.
struct HookedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

template <int HookType>
HookedMessage Hooked(int code, WPARAM wParam, LPARAM lParam) noexcept {
  static_assert(HookType == WH_CALLWNDPROC || HookType == WH_MSGFILTER || HookType == WH_CBT);
  if constexpr (HookType == WH_CBT) {
    return {reinterpret_cast<HWND>(wParam), static_cast<UINT>(code), wParam, lParam};
  } else if constexpr (HookType == WH_CALLWNDPROC) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    return {call->hwnd, call->message, call->wParam, call->lParam};
  } else {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    return {message->hwnd, message->message, message->wParam, message->lParam};
  }
}

}  // namespace guarded

using guarded::HookedMessage;

// A dialog procedure (DLGPROC). `Locate` (noexcept) finds the window's Object, binding it at
// WM_INITDIALOG, or null while it has none; `Handle`, a member of Object (a WindowBinding), then
// answers the message.
template <typename Object, auto Locate, auto Handle>
INT_PTR CALLBACK GuardedDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return guarded::DialogMessage<CallbackKind::kDialogProcedure, Object, Locate, Handle>(window, message, wParam,
                                                                                        lParam);
}

// The hook procedure of an Open or Save As dialog (LPOFNHOOKPROC), in the same way.
template <typename Object, auto Locate, auto Handle>
UINT_PTR CALLBACK GuardedFileDialogHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return static_cast<UINT_PTR>(
      guarded::DialogMessage<CallbackKind::kFileDialogHook, Object, Locate, Handle>(window, message, wParam, lParam));
}

// A subclass procedure (SUBCLASSPROC) whose reference data is an Object; `Handle` answers every
// message, and Object::FailureOwner() names the dialog object a failure ends.
template <typename Object, LRESULT (Object::*Handle)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK GuardedSubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data) noexcept {
  auto* object = reinterpret_cast<Object*>(data);
  return CallGuarded<LRESULT>(CallbackKind::kSubclassProcedure, message, object->FailureOwner(), window, 0,
                              [&] { return (object->*Handle)(window, message, wParam, lParam); });
}

// A window procedure (WNDPROC) put in place of a system window's own (UniqueWindowProcedure).
// `Locate` (noexcept) finds the window's Object; `Handle` answers every message, handing it to the
// window's own procedure first, and Object::FailureOwner() names the dialog object a failure ends.
template <typename Object, auto Locate, LRESULT (Object::*Handle)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK GuardedWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  Object* object = Locate(window, message, wParam, lParam);
  if (object == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return CallGuarded<LRESULT>(CallbackKind::kWindowProcedure, message, object->FailureOwner(), window, 0,
                              [&] { return (object->*Handle)(window, message, wParam, lParam); });
}

// A thread hook (HOOKPROC) of `HookType` (WH_CALLWNDPROC, WH_MSGFILTER or WH_CBT).
// `Locate(code, hooked)` (noexcept) names the Object, a WindowBinding, that the hooked message
// concerns, or null; `Handle` returns whether it consumed the message (a message filter then stops
// it, a window-creation hook stops the creation). Everything else goes on to the next hook. A
// failed window-creation handler stops the creation, so the call fails instead of showing a
// window without our part of it.
template <int HookType, typename Object, auto Locate, bool (Object::*Handle)(const HookedMessage&)>
LRESULT CALLBACK GuardedHookProcedure(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code >= 0 && lParam != 0) {
    const HookedMessage hooked = guarded::Hooked<HookType>(code, wParam, lParam);
    if (Object* object = Locate(code, hooked)) {
      if (CallGuarded<bool>(CallbackKind::kWindowsHook, hooked.message, object, hooked.window, HookType == WH_CBT,
                            [&] { return (object->*Handle)(hooked); })) {
        return TRUE;
      }
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The folder browser's callback (BFFCALLBACK) for the Object in BROWSEINFO::lParam. A failure ends
// the browser and is kept in the Object's `failure` (a CarriedFailure), which the caller throws
// again once SHBrowseForFolder has returned.
template <typename Object, int (Object::*Handle)(HWND, UINT, LPARAM)>
int CALLBACK GuardedFolderBrowserCallback(HWND window, UINT message, LPARAM lParam, LPARAM data) noexcept {
  auto* object = reinterpret_cast<Object*>(data);
  if (object == nullptr) return 0;
  try {
    ThrowIfFailureInjected(CallbackKind::kFolderBrowser, message);
    return (object->*Handle)(window, message, lParam);
  } catch (...) {
    object->failure.Keep();
    AbandonDialog(nullptr, window, false);
    return 0;
  }
}

namespace guarded {

template <typename Visit>
struct ChildWalk {
  Visit& visit;
  CarriedFailure failure;
};

template <typename Walk>
BOOL CALLBACK VisitChild(HWND child, LPARAM data) noexcept {
  auto& walk = *reinterpret_cast<Walk*>(data);
  try {
    ThrowIfFailureInjected(CallbackKind::kChildEnumeration, 0);
    walk.visit(child);
    return TRUE;
  } catch (...) {
    walk.failure.Keep();
    return FALSE;
  }
}

}  // namespace guarded

// EnumChildWindows with `visit(child)` (WNDENUMPROC): a failure stops the walk and is thrown again
// here, on our side of the system's frames.
template <typename Visit>
void ForEachChildWindow(HWND parent, Visit&& visit) {
  guarded::ChildWalk<Visit> walk{visit, {}};
  ::EnumChildWindows(parent, &guarded::VisitChild<guarded::ChildWalk<Visit>>, reinterpret_cast<LPARAM>(&walk));
  walk.failure.ThrowIfKept();
}

// Our call into the host's own callback (the task dialog's pfCallback) from inside a running
// dialog: whatever it throws ends the dialog like a failure of ours and goes no further.
template <typename Result, typename Call>
Result CallHostGuarded(WindowBinding& owner, UINT notification, Result fallback, Call&& call) noexcept {
  return CallGuarded<Result>(CallbackKind::kHostCallback, notification, &owner, owner.Window(), fallback,
                             std::forward<Call>(call));
}

}  // namespace commonq
