#include "frame/settings_store.h"

#include <vector>

#include "frame/platform_checks.h"

namespace commonq {
namespace {

std::optional<DWORD> QueryDword(HKEY key, const char* valueName) {
  if (key == nullptr) return std::nullopt;
  BYTE data[4] = {};
  DWORD type = 0;
  DWORD size = sizeof data;
  const LONG status = ::RegQueryValueExA(key, valueName, nullptr, &type, data, &size);
  return AcceptDwordValue(status, type, data, size);
}

std::optional<std::string> QueryString(HKEY key, const char* valueName, std::size_t bufferBytes) {
  if (key == nullptr || bufferBytes == 0) return std::nullopt;
  std::vector<char> data(bufferBytes, '\0');
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(bufferBytes);
  const LONG status = ::RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  if (size > bufferBytes) return std::nullopt;
  return AcceptStringValue(status, type, data.data(), size);
}

}  // namespace

SettingsReader::SettingsReader(const char* keyPath) noexcept {
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, key_.put()) != ERROR_SUCCESS) key_.release();
}

std::optional<DWORD> SettingsReader::ReadDword(const char* valueName) const {
  return QueryDword(key_.get(), valueName);
}

std::optional<std::string> SettingsReader::ReadString(const char* valueName, std::size_t bufferBytes) const {
  return QueryString(key_.get(), valueName, bufferBytes);
}

SettingsWriter::SettingsWriter(const char* keyPath) noexcept {
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key_.put(), nullptr) != ERROR_SUCCESS) {
    key_.release();
  }
}

bool SettingsWriter::WriteDword(const char* valueName, DWORD value) const noexcept {
  return key_ && ::RegSetValueExA(key_.get(), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                  sizeof value) == ERROR_SUCCESS;
}

bool SettingsWriter::WriteString(const char* valueName, const std::string& text) const noexcept {
  return key_ && ::RegSetValueExA(key_.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>(StringValueBytes(text))) == ERROR_SUCCESS;
}

std::optional<DWORD> SettingsWriter::ReadDword(const char* valueName) const {
  return QueryDword(key_.get(), valueName);
}

std::optional<DWORD> ReadDwordSetting(const char* keyPath, const char* valueName) {
  return SettingsReader(keyPath).ReadDword(valueName);
}

std::optional<std::string> ReadStringSetting(const char* keyPath, const char* valueName, std::size_t bufferBytes) {
  return SettingsReader(keyPath).ReadString(valueName, bufferBytes);
}

bool WriteDwordSetting(const char* keyPath, const char* valueName, DWORD value) noexcept {
  return SettingsWriter(keyPath).WriteDword(valueName, value);
}

bool WriteStringSetting(const char* keyPath, const char* valueName, const std::string& text) noexcept {
  return SettingsWriter(keyPath).WriteString(valueName, text);
}

bool UpdateDwordSetting(const char* keyPath, const char* valueName,
                        const std::function<std::optional<DWORD>(std::optional<DWORD>)>& change) {
  const SettingsWriter writer(keyPath);
  if (!writer.IsOpen()) return false;
  const std::optional<DWORD> next = change(writer.ReadDword(valueName));
  return next && writer.WriteDword(valueName, *next);
}

}  // namespace commonq
