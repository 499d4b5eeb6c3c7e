#include "window_capture.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <type_traits>

#include "png_writer.h"
#include "support/dialog_driver.h"

namespace demo {
namespace {

class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct ObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter>;

// Keeps a bitmap selected only while it is drawn into: GetDIBits refuses a selected bitmap.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() { Restore(); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  bool ok() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }
  void Restore() {
    if (ok()) SelectObject(dc_, previous_);
    previous_ = nullptr;
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace

bool CaptureWindowToPng(HWND window, const std::string& path) {
  if (!IsWindow(window)) return false;
  // Pending paints would otherwise leave parts of a freshly shown dialog unpainted in the image.
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);

  RECT rect{};
  if (!GetWindowRect(window, &rect)) return false;
  const LONG width = rect.right - rect.left;
  const LONG height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;

  WindowDc source(window);
  if (!source.get()) return false;
  MemoryDc memory(CreateCompatibleDC(source.get()));
  if (!memory) return false;
  Bitmap bitmap(CreateCompatibleBitmap(source.get(), width, height));
  if (!bitmap) return false;
  {
    Selection selected(memory.get(), bitmap.get());
    if (!selected.ok()) return false;
    if (!BitBlt(memory.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY)) return false;
  }

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // negative: top-down rows, as the PNG wants them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};  // DIB rows are DWORD aligned
  std::vector<uint8_t> bgr(stride * static_cast<size_t>(height));
  if (GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height), bgr.data(), &info, DIB_RGB_COLORS) !=
      height) {
    return false;
  }

  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  for (LONG y = 0; y < height; ++y) {
    const uint8_t* row = bgr.data() + stride * static_cast<size_t>(y);
    for (LONG x = 0; x < width; ++x) {
      rgb.push_back(row[x * 3 + 2]);
      rgb.push_back(row[x * 3 + 1]);
      rgb.push_back(row[x * 3]);
    }
  }
  return SavePng(path, static_cast<uint32_t>(width), static_cast<uint32_t>(height), rgb);
}

bool CaptureDialog(const std::string& path, const char* caption, const std::function<void()>& show) {
  commonq::testing::DialogDriver driver(15000);
  // Ended directly: Wine's own task dialog lacks some controls the close command would need.
  driver.WaitForDialog(caption)
      .Pause(300)
      .Read([&](HWND dialog) {
        if (!CaptureWindowToPng(dialog, path)) throw std::runtime_error("could not capture the dialog");
        EndDialog(dialog, IDCANCEL);
      })
      .WaitUntilGone();
  driver.Start();
  show();
  const bool ok = driver.Finished() && driver.Errors().empty();
  std::printf("%s %s\n", ok ? "captured" : "FAILED  ", path.substr(path.find_last_of('\\') + 1).c_str());
  for (const std::string& error : driver.Errors()) std::printf("  %s\n", error.c_str());
  return ok;
}

}  // namespace demo
