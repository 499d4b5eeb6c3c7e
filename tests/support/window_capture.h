#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace commonq::testing {

// Captures the whole window, frame and caption included, as it is on screen now and writes it
// as a PNG. Copies from the window DC because Wine's PrintWindow hands back a blank image.
// Returns false on any failure (no window, empty size, GDI failure, unwritable path).
bool CaptureWindowToPng(HWND window, const std::string& path);

// Writes top-down RGB pixels (width * height * 3 bytes) as a PNG file; false on bad input or I/O
// failure.
bool SavePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb);

}  // namespace commonq::testing
