#pragma once
// The user's settings in HKEY_CURRENT_USER. Every operation opens its own key and closes it before
// it returns; a setting that cannot be read is reported absent, one that cannot be written is
// dropped, and neither is ever reported to the user.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "frame/logic/settings_rules.h"
#include "frame/unique_handle.h"

namespace commonq {

// Reads several values of one key with one handle (opened KEY_READ; a missing key is not created).
class SettingsReader {
 public:
  explicit SettingsReader(const char* keyPath) noexcept;
  bool IsOpen() const noexcept { return static_cast<bool>(key_); }
  std::optional<DWORD> ReadDword(const char* valueName) const;
  std::optional<std::string> ReadString(const char* valueName, std::size_t bufferBytes = kStringSettingBytes) const;

 private:
  UniqueKey key_;
};

// Writes several values of one key with one handle (created with its parents when missing).
class SettingsWriter {
 public:
  explicit SettingsWriter(const char* keyPath) noexcept;
  bool IsOpen() const noexcept { return static_cast<bool>(key_); }
  bool WriteDword(const char* valueName, DWORD value) const noexcept;
  bool WriteString(const char* valueName, const std::string& text) const noexcept;
  // Reads with the same handle, for read-modify-write of a bit set.
  std::optional<DWORD> ReadDword(const char* valueName) const;

 private:
  UniqueKey key_;
};

std::optional<DWORD> ReadDwordSetting(const char* keyPath, const char* valueName);
std::optional<std::string> ReadStringSetting(const char* keyPath, const char* valueName,
                                             std::size_t bufferBytes = kStringSettingBytes);
bool WriteDwordSetting(const char* keyPath, const char* valueName, DWORD value) noexcept;
bool WriteStringSetting(const char* keyPath, const char* valueName, const std::string& text) noexcept;

// Read-modify-write with one key opened for writing. `change` receives the current value (absent
// when missing or not a REG_DWORD) and returns the value to write, or nothing to leave it alone.
bool UpdateDwordSetting(const char* keyPath, const char* valueName,
                        const std::function<std::optional<DWORD>(std::optional<DWORD>)>& change);

}  // namespace commonq
