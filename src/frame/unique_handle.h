#pragma once
// One owner type for every kind of handle the library creates, so that a forgotten release is a
// type error rather than a review finding. Dialog code never calls a release function itself.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shtypes.h>

#include <utility>

namespace commonq {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }
  Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
  void reset(Handle handle = Traits::Invalid()) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // For out-parameters of creating functions: releases what is held and exposes the slot.
  Handle* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

template <typename H, auto CloseFunction>
struct SimpleTraits {
  using Handle = H;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle handle) noexcept { CloseFunction(handle); }
};

using UniqueKey = UniqueHandle<SimpleTraits<HKEY, &::RegCloseKey>>;
using UniqueFont = UniqueHandle<SimpleTraits<HFONT, &::DeleteObject>>;
using UniqueBrush = UniqueHandle<SimpleTraits<HBRUSH, &::DeleteObject>>;
using UniquePen = UniqueHandle<SimpleTraits<HPEN, &::DeleteObject>>;
using UniqueBitmap = UniqueHandle<SimpleTraits<HBITMAP, &::DeleteObject>>;
using UniqueIcon = UniqueHandle<SimpleTraits<HICON, &::DestroyIcon>>;
using UniqueMemoryDc = UniqueHandle<SimpleTraits<HDC, &::DeleteDC>>;
using UniqueHook = UniqueHandle<SimpleTraits<HHOOK, &::UnhookWindowsHookEx>>;
using UniqueModule = UniqueHandle<SimpleTraits<HMODULE, &::FreeLibrary>>;
using UniqueGlobal = UniqueHandle<SimpleTraits<HGLOBAL, &::GlobalFree>>;
using UniqueKernelObject = UniqueHandle<SimpleTraits<HANDLE, &::CloseHandle>>;
// Item-id lists the shell hands out are task memory.
using UniqueItemIdList = UniqueHandle<SimpleTraits<LPITEMIDLIST, &::CoTaskMemFree>>;

// A FindFirstFile search, whose failure value is INVALID_HANDLE_VALUE rather than null.
struct FindTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) noexcept { ::FindClose(handle); }
};
using UniqueFind = UniqueHandle<FindTraits>;

// A window's device context from GetDC, released to that window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// A timer on a window, killed with the owner (the window kills it too when it is destroyed).
class UniqueTimer {
 public:
  UniqueTimer() noexcept = default;
  UniqueTimer(HWND window, UINT_PTR id, UINT milliseconds) noexcept
      : window_(window), id_(::SetTimer(window, id, milliseconds, nullptr)) {}
  UniqueTimer(const UniqueTimer&) = delete;
  UniqueTimer& operator=(const UniqueTimer&) = delete;
  UniqueTimer(UniqueTimer&& other) noexcept
      : window_(std::exchange(other.window_, nullptr)), id_(std::exchange(other.id_, 0)) {}
  UniqueTimer& operator=(UniqueTimer&& other) noexcept {
    if (this != &other) {
      reset();
      window_ = std::exchange(other.window_, nullptr);
      id_ = std::exchange(other.id_, 0);
    }
    return *this;
  }
  ~UniqueTimer() { reset(); }
  void reset() noexcept {
    if (id_ != 0 && ::IsWindow(window_)) ::KillTimer(window_, id_);
    id_ = 0;
  }
  explicit operator bool() const noexcept { return id_ != 0; }

 private:
  HWND window_ = nullptr;
  UINT_PTR id_ = 0;
};

// Selects a GDI object into a DC for one scope and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// An open clipboard, closed with the owner.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) noexcept : open_(::OpenClipboard(owner) != FALSE) {}
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) ::CloseClipboard();
  }
  explicit operator bool() const noexcept { return open_; }

 private:
  bool open_;
};

// A locked global memory block, unlocked with the owner; get() is null when the lock failed.
class LockedGlobal {
 public:
  explicit LockedGlobal(HGLOBAL memory) noexcept : memory_(memory), data_(memory ? ::GlobalLock(memory) : nullptr) {}
  LockedGlobal(const LockedGlobal&) = delete;
  LockedGlobal& operator=(const LockedGlobal&) = delete;
  ~LockedGlobal() {
    if (data_ != nullptr) ::GlobalUnlock(memory_);
  }
  void* get() const noexcept { return data_; }

 private:
  HGLOBAL memory_;
  void* data_;
};

}  // namespace commonq
