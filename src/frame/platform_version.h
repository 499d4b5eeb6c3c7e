#pragma once
// What the library asks of the platform's versions: the Windows version, read once per process,
// and the version of the comctl32 that the calling context loads.
#include <windows.h>

namespace commonq {

// The version GetVersionExA reports (Windows 8.1 and later report 6.2 to a program without a
// compatibility manifest, which the library's choices allow for); false when it cannot be read.
bool ReadWindowsVersion(unsigned& major, unsigned& minor) noexcept;

// The major version comctl32.dll's DllGetVersion reports in the active activation context; 0 when
// it cannot say.
int CommonControlsMajorVersion() noexcept;

}  // namespace commonq
