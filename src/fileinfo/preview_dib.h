#pragma once
// The file information dialog's own copy of the caller's preview bitmap, and its drawing: fitted
// into a 64 x 64 box with a soft drop shadow of gradient fills.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "fileinfo/logic/preview_rules.h"
#include "frame/unique_handle.h"

namespace commonq {

// What the dialog holds as its picture; the preview is the one kind there is.
class PreviewImage {
 public:
  virtual ~PreviewImage() = default;
};

class PreviewDib : public PreviewImage {
 public:
  PreviewDib() = default;
  PreviewDib(const PreviewDib&) = delete;
  PreviewDib& operator=(const PreviewDib&) = delete;
  ~PreviewDib() override { StopCopy(); }

  // Replaces the bitmap by an uninitialised one of that shape (colour table included below 16 bits
  // per pixel). Returns false, and leaves the object empty, for a shape the preview refuses or
  // when the process heap has no room.
  bool Create(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint32_t colorsUsed = 0);
  // Copies a packed DIB: header, colour table (below 16 bits per pixel) and bits. Only the header
  // fields the layout needs are read before the copy; nothing beyond the layout is read.
  bool CopyFrom(const BITMAPINFOHEADER* source);
  // CopyFrom for a dialog that is about to show: the bits of a large bitmap are not copied yet,
  // and until they are, Bits() answers the source's own bits, which the modal caller keeps for the
  // whole call. StartPendingCopy, called once the dialog is on screen and idle, has a worker thread copy
  // them. The worker is stopped and joined when the bitmap is replaced or destroyed, so the
  // source is never read after that.
  bool CopyFromWhileShowing(const BITMAPINFOHEADER* source);
  void StartPendingCopy() noexcept;
  // Whether the bits are the object's own (the copy is complete).
  bool OwnsBits() const noexcept { return copied_.load(std::memory_order_acquire); }
  // Whether StartPendingCopy has a copy to start.
  bool CopyPending() const noexcept { return !OwnsBits() && !worker_; }

  bool Empty() const noexcept { return block_ == nullptr; }
  const BITMAPINFOHEADER* Header() const noexcept { return header_; }
  const std::uint8_t* Bits() const noexcept { return OwnsBits() ? bits_ : sourceBits_; }

  // Stretches the whole bitmap into the rectangle.
  void Draw(HDC dc, int x, int y, int width, int height, DWORD rasterOperation) const;
  // The fitted picture and its shadow in the 64 x 64 box at (left, top).
  void DrawPreview(HDC dc, int left, int top) const;
  // One piece of the shadow (directions and corners of GradientVertices).
  static void GradientRect(HDC dc, const Rect& rect, COLORREF color1, COLORREF color2, int direction, int corner);

 private:
  // Below this many bytes of bits the copy is made at once: a worker would cost more than it saves.
  static constexpr std::uint32_t kWorkerCopyBytes = 1u << 20;

  void StopCopy() noexcept;
  static DWORD WINAPI CopyBitsWorker(void* self) noexcept;

  struct HeapBlockFree {
    void operator()(std::uint8_t* block) const noexcept { ::HeapFree(::GetProcessHeap(), 0, block); }
  };

  std::unique_ptr<std::uint8_t, HeapBlockFree> block_;
  BITMAPINFOHEADER* header_ = nullptr;
  std::uint8_t* bits_ = nullptr;
  // The copy being made by the worker: from sourceBits_, copyBytes_ bytes, until copied_ or stop_.
  const std::uint8_t* sourceBits_ = nullptr;
  std::uint32_t copyBytes_ = 0;
  std::atomic<bool> copied_{true};
  std::atomic<bool> stop_{false};
  UniqueKernelObject worker_;
};

}  // namespace commonq
