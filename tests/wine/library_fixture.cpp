#include "wine/library_fixture.h"

#include <shlwapi.h>

namespace commonq::testing {

std::string TempPath(const std::string& name) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  return temp + name;
}

void DeleteSettings() { ::SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsRoot); }

static void SetRaw(const std::string& key, const std::string& name, DWORD type, const void* data, DWORD size) {
  ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), type, data, size), ERROR_SUCCESS);
}

void SetDword(const std::string& key, const std::string& name, DWORD value) {
  SetRaw(key, name, REG_DWORD, &value, sizeof value);
}

void SetString(const std::string& key, const std::string& name, const std::string& text, DWORD type) {
  SetRaw(key, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::optional<DWORD> GetDword(const std::string& key, const std::string& name) {
  DWORD value = 0, size = sizeof value;
  const LSTATUS status =
      ::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size);
  return status == ERROR_SUCCESS ? std::optional(value) : std::nullopt;
}

std::string GetText(const std::string& key, const std::string& name) {
  char text[MAX_PATH] = "(none)";
  DWORD size = sizeof text - 1;
  ::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text, &size);
  return text;
}

bool KeyExists(const std::string& key) {
  HKEY opened = nullptr;
  return ::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS &&
         ::RegCloseKey(opened) == ERROR_SUCCESS;
}

HMODULE LibraryModule() { return ::GetModuleHandleA("CommonQ.dll"); }

bool RunsAsWindowsXp() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path).find("_xp.exe") != std::string::npos;
}

int Drive(const std::function<void(DialogDriver&)>& script, const std::function<int()>& call) {
  DialogDriver driver;
  script(driver);
  driver.Start();
  const int result = call();
  EXPECT_TRUE(driver.Finished()) << "the script stopped early";
  for (const std::string& error : driver.Errors()) ADD_FAILURE() << error;
  return result;
}

std::vector<std::uint32_t> ClientPixels(HWND window, bool printed, const std::function<void(HDC)>& after) {
  RECT client{};
  ::GetClientRect(window, &client);
  const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HDC memory = ::CreateCompatibleDC(nullptr), screen = ::GetDC(window);
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  const HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
  ::FillRect(memory, &client, magenta);
  if (printed) ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
  if (!printed) ::BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
  if (after) after(memory);
  ::GdiFlush();
  std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                    static_cast<const std::uint32_t*>(bits) + client.right * client.bottom);
  for (std::uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;
  ::SelectObject(memory, previous);
  ::DeleteObject(magenta), ::DeleteObject(bitmap), ::DeleteDC(memory), ::ReleaseDC(window, screen);
  return pixels;
}

void LibraryTest::SetUp() {
  DeleteSettings();
  tracer_ = std::make_unique<LeakTracer>(LibraryModule());
}

void LibraryTest::TearDown() {
  if (tracer_) {
    for (const std::string& survivor : tracer_->Survivors()) ADD_FAILURE() << "left alive by CommonQ.dll: " << survivor;
  }
  tracer_.reset();
  DeleteSettings();
}

}  // namespace commonq::testing
