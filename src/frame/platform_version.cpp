#include "frame/platform_version.h"

#include <shlwapi.h>

#include "frame/unique_handle.h"

namespace commonq {
namespace {

// The size of OSVERSIONINFOA and of DLLVERSIONINFO, as the calls expect them.
constexpr DWORD kVersionInfoSize = 148;
constexpr DWORD kDllVersionInfoSize = 20;

}  // namespace

bool ReadWindowsVersion(unsigned& major, unsigned& minor) noexcept {
  // Written without a lock: every writer writes the same values.
  static int known = -1;
  static unsigned readMajor = 0, readMinor = 0;
  if (known < 0) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = kVersionInfoSize;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool read = ::GetVersionExA(&info) != FALSE;
#pragma GCC diagnostic pop
    readMajor = info.dwMajorVersion;
    readMinor = info.dwMinorVersion;
    known = read ? 1 : 0;
  }
  major = readMajor;
  minor = readMinor;
  return known == 1;
}

int CommonControlsMajorVersion() noexcept {
  const UniqueModule comctl(::LoadLibraryA("comctl32.dll"));
  if (!comctl) return 0;
  const auto getVersion =
      reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(::GetProcAddress(comctl.get(), "DllGetVersion")));
  DLLVERSIONINFO info{};
  info.cbSize = kDllVersionInfoSize;
  if (getVersion == nullptr || FAILED(getVersion(&info))) return 0;
  return static_cast<int>(info.dwMajorVersion);
}

}  // namespace commonq
