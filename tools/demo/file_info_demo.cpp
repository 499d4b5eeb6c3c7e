#include "file_info_demo.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "CommonQ.h"
#include "png_writer.h"

namespace demo {
namespace {

using DlgFileInfoDoModalFn = int(__cdecl*)(const DlgFileInfoParams*);

DlgFileInfoDoModalFn g_fileInfo = nullptr;

constexpr LONG kWidth = 240;
constexpr LONG kHeight = 160;

// A small landscape: sky, sun and hills, as top-down RGB rows.
std::vector<std::uint8_t> Landscape() {
  std::vector<std::uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  for (LONG y = 0; y < kHeight; ++y) {
    for (LONG x = 0; x < kWidth; ++x) {
      std::uint8_t* pixel = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
      const double hill = 110 + 18 * std::sin(x / 23.0) + 8 * std::sin(x / 7.0);
      const double sun = std::hypot(x - 170.0, y - 50.0);
      if (y > hill) {
        pixel[0] = static_cast<std::uint8_t>(40 + y / 4);
        pixel[1] = static_cast<std::uint8_t>(110 + (kHeight - y) / 2);
        pixel[2] = 50;
      } else if (sun < 22) {
        pixel[0] = 255;
        pixel[1] = 210;
        pixel[2] = 60;
      } else {
        pixel[0] = static_cast<std::uint8_t>(90 + y);
        pixel[1] = static_cast<std::uint8_t>(150 + y / 2);
        pixel[2] = 235;
      }
    }
  }
  return rgb;
}

// The same picture as a packed 32-bit DIB (bottom-up BGRA rows).
std::vector<std::uint8_t> PackedDib(const std::vector<std::uint8_t>& rgb) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = kWidth;
  header.biHeight = kHeight;
  header.biPlanes = 1;
  header.biBitCount = 32;
  std::vector<std::uint8_t> dib(sizeof header + static_cast<size_t>(kWidth) * kHeight * 4);
  std::memcpy(dib.data(), &header, sizeof header);
  std::uint8_t* bits = dib.data() + sizeof header;
  for (LONG y = 0; y < kHeight; ++y) {
    const std::uint8_t* row = &rgb[static_cast<size_t>(kHeight - 1 - y) * kWidth * 3];
    for (LONG x = 0; x < kWidth; ++x, bits += 4) {
      bits[0] = row[x * 3 + 2];
      bits[1] = row[x * 3 + 1];
      bits[2] = row[x * 3];
      bits[3] = 255;
    }
  }
  return dib;
}

}  // namespace

bool LoadFileInfoExport(HMODULE module) {
  g_fileInfo =
      reinterpret_cast<DlgFileInfoDoModalFn>(reinterpret_cast<void*>(GetProcAddress(module, "DlgFileInfoDoModal")));
  return g_fileInfo != nullptr;
}

std::string CallFileInfo() {
  const std::vector<std::uint8_t> rgb = Landscape();
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "Qelm Demo\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "Evening Hills.png";
  SavePng(path, kWidth, kHeight, rgb);

  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes);
  const std::vector<std::uint8_t> dib = PackedDib(rgb);
  // The picture as loaded, and the 24-bit copy the explorer keeps for display.
  const ImageInfo loaded{0, kWidth, kHeight, 32, 0, 0, 1};
  const ImageInfo display{0, kWidth, kHeight, 24, 0, 0, 0};
  const FileInfoNode second{FILEINFO_NODE_IMAGE, &display, nullptr};
  const FileInfoNode first{FILEINFO_NODE_IMAGE, &loaded, &second};

  DlgFileInfoParams params{};
  params.cbSize = sizeof params;
  params.pszPath = path.c_str();
  params.ftModified = attributes.ftLastWriteTime;
  params.nFileSize = static_cast<LONG>(attributes.nFileSizeLow);
  params.pInfoList = &first;
  params.pPreviewDib = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
  const int result = g_fileInfo(&params);
  char line[400];
  std::snprintf(line, sizeof line, "DlgFileInfoDoModal(\"%s\") = %d", path.c_str(), result);
  return line;
}

}  // namespace demo
