#pragma once
// The way a host uses the library: load CommonQ.dll and call its exports. Every test starts from
// a clean settings key and runs under the leak tracer.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "CommonQ.h"
#include "support/leak_tracer.h"

namespace commonq::testing {

inline constexpr const char* kSettingsRoot = "Software\\Dravonix\\Qelm Explorer";

using MessageBoxDoModalFn = int(__cdecl*)(HWND, LPCSTR, LPCSTR, UINT, UINT);
using DlgColorDialogDoModalFn = int(__cdecl*)(DlgColorParams*);
using DlgFileDoModalFn = int(__cdecl*)(DlgFileParams*);
using DlgFormatOptionDoModalFn = int(__cdecl*)(DlgFormatOptionParams*);
using TaskDialogIndirect98Fn = HRESULT(__cdecl*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// Registry access of the tests themselves (never through the library).
void DeleteSettings();
void SetDword(const std::string& key, const std::string& name, DWORD value);
void SetString(const std::string& key, const std::string& name, const std::string& text, DWORD type = REG_SZ);
std::optional<DWORD> GetDword(const std::string& key, const std::string& name);
bool KeyExists(const std::string& key);
inline std::string Key(const std::string& sub) { return std::string(kSettingsRoot) + "\\" + sub; }

HMODULE LibraryModule();

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  template <typename Function>
  Function Export(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(LibraryModule(), name)));
  }
  int MessageBoxDoModal(HWND owner, const char* text, const char* caption, UINT type, UINT number) {
    return Export<MessageBoxDoModalFn>("MessageBoxDoModal")(owner, text, caption, type, number);
  }
  int DlgColorDialogDoModal(DlgColorParams* params) {
    return Export<DlgColorDialogDoModalFn>("DlgColorDialogDoModal")(params);
  }
  int DlgFileOpenDoModal(DlgFileParams* params) { return Export<DlgFileDoModalFn>("DlgFileOpenDoModal")(params); }
  int DlgFileSaveasDoModal(DlgFileParams* params) { return Export<DlgFileDoModalFn>("DlgFileSaveasDoModal")(params); }
  int DlgFormatOptionDoModal(DlgFormatOptionParams* params) {
    return Export<DlgFormatOptionDoModalFn>("DlgFormatOptionDoModal")(params);
  }
  HRESULT TaskDialogIndirect98(const TASKDIALOGCONFIG* config, int* button, int* radio, BOOL* verification) {
    return Export<TaskDialogIndirect98Fn>("TaskDialogIndirect98")(config, button, radio, verification);
  }
  LeakTracer& Tracer() { return *tracer_; }

 private:
  std::unique_ptr<LeakTracer> tracer_;
};

}  // namespace commonq::testing
