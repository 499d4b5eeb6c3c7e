#include "wine/library_fixture.h"

#include <shlwapi.h>

namespace commonq::testing {
namespace {

struct OpenKey {
  HKEY handle = nullptr;
  ~OpenKey() {
    if (handle != nullptr) ::RegCloseKey(handle);
  }
};

}  // namespace

void DeleteSettings() { ::SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsRoot); }

void SetRaw(const std::string& key, const std::string& name, DWORD type, const void* data, DWORD size) {
  OpenKey k;
  ASSERT_EQ(
      ::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k.handle, nullptr),
      ERROR_SUCCESS);
  ASSERT_EQ(::RegSetValueExA(k.handle, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

void SetDword(const std::string& key, const std::string& name, DWORD value) {
  SetRaw(key, name, REG_DWORD, &value, sizeof value);
}

void SetString(const std::string& key, const std::string& name, const std::string& text, DWORD type) {
  SetRaw(key, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::optional<DWORD> GetDword(const std::string& key, const std::string& name) {
  OpenKey k;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k.handle) != ERROR_SUCCESS) return std::nullopt;
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof value;
  if (::RegQueryValueExA(k.handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD) {
    return std::nullopt;
  }
  return value;
}

bool ValueExists(const std::string& key, const std::string& name) {
  OpenKey k;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k.handle) != ERROR_SUCCESS) return false;
  return ::RegQueryValueExA(k.handle, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool KeyExists(const std::string& key) {
  OpenKey k;
  return ::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k.handle) == ERROR_SUCCESS;
}

HMODULE LibraryModule() {
  static HMODULE module = ::LoadLibraryA("CommonQ.dll");
  return module;
}

void LibraryTest::SetUp() {
  DeleteSettings();
  ASSERT_NE(LibraryModule(), nullptr) << "CommonQ.dll must lie beside the test executable";
  tracer_ = std::make_unique<LeakTracer>(LibraryModule());
  tracer_->Start();
}

void LibraryTest::TearDown() {
  if (tracer_) {
    for (const std::string& survivor : tracer_->Survivors()) ADD_FAILURE() << "left alive by CommonQ.dll: " << survivor;
  }
  tracer_.reset();
  DeleteSettings();
}

}  // namespace commonq::testing
