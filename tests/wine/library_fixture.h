#pragma once
// The way a host uses the library: this program imports the exports of CommonQ.h from CommonQ.dll
// (through its import table, like any host), so every call reaches the loaded DLL, never the copy
// of its objects that the white-box tests link. Every test starts from a clean settings key and
// runs under the leak tracer.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "CommonQ.h"
#include "support/dialog_driver.h"
#include "support/leak_tracer.h"

namespace commonq::testing {

inline constexpr const char* kSettingsRoot = "Software\\Dravonix\\Qelm Explorer";

// Registry access of the tests themselves (never through the library).
void DeleteSettings();
void SetDword(const std::string& key, const std::string& name, DWORD value);
void SetString(const std::string& key, const std::string& name, const std::string& text, DWORD type = REG_SZ);
std::optional<DWORD> GetDword(const std::string& key, const std::string& name);
bool KeyExists(const std::string& key);
inline std::string Key(const std::string& sub) { return std::string(kSettingsRoot) + "\\" + sub; }

HMODULE LibraryModule();

// Makes the blocking `call` while a driver works through `script`; a script without steps only
// guards (a dialog still open at the timeout is an error and is closed). A script left unfinished
// and every error of the driver fail the test. Returns what `call` returned.
int Drive(const std::function<void(DialogDriver&)>& script, const std::function<int()>& call);

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  LeakTracer& Tracer() { return *tracer_; }

 private:
  std::unique_ptr<LeakTracer> tracer_;
};

}  // namespace commonq::testing
