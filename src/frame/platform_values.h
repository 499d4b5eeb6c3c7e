#pragma once
// Published Win32 values that the logic tier needs. The logic tier never includes <windows.h>;
// the Win32 tier checks each of these against the SDK (platform_checks.h).
#include <cstdint>

namespace commonq::platform {

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorMoreData = 234;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
inline constexpr int kIdClose = 8;

inline constexpr std::uint32_t kColorWhite = 0xFFFFFF;
inline constexpr std::uint32_t kColorBlack = 0x000000;

// GetSysColor indices.
inline constexpr int kSysColorHighlight = 13;
inline constexpr int kSysColorButtonFace = 15;
inline constexpr int kSysColor3dShadow = 16;
inline constexpr int kSysColorButtonText = 18;
inline constexpr int kSysColorWindow = 5;
inline constexpr int kSysColorWindowText = 8;

}  // namespace commonq::platform
