// DlgColorDialogDoModal: the system colour chooser with six presets and the user's recent colours.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>

#include "CommonQ.h"
#include "frame/module_state.h"
#include "frame/settings_store.h"
#include "frame/subclass.h"
#include "frame/window_binding.h"
#include "msgbox/recent_colors.h"

namespace commonq {
namespace {

constexpr int kChosen = 1;
constexpr int kCancelled = 2;

// Registered once per process and kept for its life.
UINT g_colorOkMessage = 0;

class ColorChooser : public WindowBinding {
 public:
  explicit ColorChooser(const DlgColorParams& params);
  // Shows the chooser; on a confirmed colour updates the recent list and returns 1.
  int Run();
  COLORREF Chosen() const noexcept { return choose_.rgbResult; }

 private:
  static UINT_PTR CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self) noexcept;
  // The chooser asks its owner whether a confirmed colour may be taken; this object takes every
  // colour, so it handles nothing.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void LoadRecent();
  void StoreRecent() const;

  CHOOSECOLORA choose_{};
  ColorSlots slots_{};
  // The chooser's own array: COLORREF is not the logic tier's 32-bit type on every compiler.
  COLORREF custom_[16] = {};
};

void RegisterColorOkMessage() {
  ModuleState& state = CurrentModuleState();
  ::EnterCriticalSection(&state.staticDataLock);
  if (g_colorOkMessage == 0) g_colorOkMessage = ::RegisterWindowMessageA(COLOROKSTRINGA);
  ::LeaveCriticalSection(&state.staticDataLock);
}

ColorChooser::ColorChooser(const DlgColorParams& params) {
  slots_ = InitialColorSlots();
  choose_.lStructSize = sizeof choose_;
  choose_.hwndOwner = params.hwndOwner;
  choose_.rgbResult = params.rgbInitial;
  choose_.lpCustColors = custom_;
  choose_.Flags = params.dwFlags | CC_ENABLEHOOK;
  if (params.rgbInitial != 0) choose_.Flags |= CC_RGBINIT;
  choose_.lpfnHook = &ColorChooser::HookProc;
}

void ColorChooser::LoadRecent() {
  const SettingsReader reader(kCommonKey);
  LoadRecentColors(slots_, [&reader](int index) -> std::optional<ColorRef> {
    return reader.ReadDword(RecentColorValueName(index).c_str());
  });
}

void ColorChooser::StoreRecent() const {
  const SettingsWriter writer(kCommonKey);
  if (!writer.IsOpen()) return;
  const int count = StoredRecentColorCount(slots_);
  for (int k = 0; k < count; ++k) writer.WriteDword(RecentColorValueName(k).c_str(), slots_[kFirstRecentSlot + k]);
}

int ColorChooser::Run() {
  LoadRecent();
  if (choose_.hwndOwner == nullptr) choose_.hwndOwner = ::GetActiveWindow();
  std::copy(slots_.begin(), slots_.end(), std::begin(custom_));
  PrepareBinding();
  const BOOL confirmed = ::ChooseColorA(&choose_);
  CancelBinding();
  if (AbandonedBy() != Abandoned::kNo) return 0;
  if (!confirmed) return kCancelled;
  // The user may have edited custom colours in the chooser; the update works on what it shows.
  std::copy(std::begin(custom_), std::end(custom_), slots_.begin());
  if (UpdateRecentColors(slots_, choose_.rgbResult)) StoreRecent();
  return kChosen;
}

bool ColorChooser::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

UINT_PTR CALLBACK ColorChooser::HookProc(HWND window, UINT message, WPARAM, LPARAM lParam) noexcept {
  RegisterColorOkMessage();
  if (message == WM_INITDIALOG) {
    auto* self = dynamic_cast<ColorChooser*>(static_cast<WindowBinding*>(ClaimWindowCreation()));
    if (self != nullptr) {
      self->SetWindow(window);
      reinterpret_cast<CHOOSECOLORA*>(lParam)->lCustData = reinterpret_cast<LPARAM>(self);
      SetSubclass(window, &ColorChooser::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(self));
    }
  }
  return 0;
}

LRESULT CALLBACK ColorChooser::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<ColorChooser*>(data);
  if (message == WM_NCDESTROY) {
    RemoveSubclass(window, &ColorChooser::SubclassProc, 0);
    self->SetWindow(nullptr);
  } else if (message == g_colorOkMessage && g_colorOkMessage != 0) {
    LRESULT result = 0;
    const bool handled = CallGuarded<bool>(self, window, false, [&] {
      ThrowIfFailureInjected(message);
      return self->HandleMessage(message, wParam, lParam, result);
    });
    if (handled) return result;
  }
  return DefaultSubclassProc(window, message, wParam, lParam);
}

}  // namespace
}  // namespace commonq

extern "C" int __cdecl DlgColorDialogDoModal(DlgColorParams* params) noexcept {
  try {
    if (params == nullptr) return 0;
    commonq::ExportCall call;
    if (!call.Started()) return 0;
    commonq::ColorChooser chooser(*params);
    const int result = chooser.Run();
    if (result == commonq::kChosen) params->rgbResult = chooser.Chosen();
    return result;
  } catch (...) {
    return 0;
  }
}
