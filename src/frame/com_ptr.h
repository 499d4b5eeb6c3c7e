#pragma once
// Owners for what COM hands out: an interface pointer, released with its owner, and a string the
// callee allocated with the task allocator.
#include <windows.h>
#include <objbase.h>

#include <utility>

#include "frame/unique_handle.h"

namespace commonq {

template <typename Interface>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  // Takes over one reference that the caller holds.
  explicit ComPtr(Interface* owned) noexcept : pointer_(owned) {}
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ~ComPtr() { reset(); }

  Interface* get() const noexcept { return pointer_; }
  Interface* operator->() const noexcept { return pointer_; }
  explicit operator bool() const noexcept { return pointer_ != nullptr; }
  void reset() noexcept {
    if (Interface* old = std::exchange(pointer_, nullptr)) old->Release();
  }
  // For out-parameters of creating calls: releases what is held and exposes the slot.
  Interface** put() noexcept {
    reset();
    return &pointer_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
  // Another interface of the same object; empty when it has none.
  template <typename Other>
  ComPtr<Other> As() const noexcept {
    ComPtr<Other> other;
    if (pointer_ != nullptr) pointer_->QueryInterface(__uuidof(Other), other.put_void());
    return other;
  }

 private:
  Interface* pointer_ = nullptr;
};

using UniqueCoTaskString = UniqueHandle<SimpleTraits<PWSTR, &::CoTaskMemFree>>;

}  // namespace commonq
