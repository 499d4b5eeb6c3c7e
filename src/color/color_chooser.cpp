// DlgColorDialogDoModal: the system colour chooser with six presets and the user's recent colours.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>

#include "CommonQ.h"
#include "color/logic/recent_colors.h"
#include "frame/export_call.h"
#include "frame/settings_store.h"

namespace commonq {
namespace {

constexpr int kChosen = 1;
constexpr int kCancelled = 2;

// The chooser runs as the system shows it: it takes every colour the user confirms, so the
// library needs no hook in it. A caller's CC_ENABLEHOOK would come without a hook procedure and
// fail the chooser, so it is dropped.
class ColorChooser {
 public:
  explicit ColorChooser(const DlgColorParams& params);
  // Shows the chooser; on a confirmed colour updates the recent list and returns 1.
  int Run();
  COLORREF Chosen() const noexcept { return choose_.rgbResult; }

 private:
  void LoadRecent();
  void StoreRecent() const;

  CHOOSECOLORA choose_{};
  ColorSlots slots_ = InitialColorSlots();
  // The chooser's own array: COLORREF is not the logic tier's 32-bit type on every compiler.
  COLORREF custom_[kColorSlotCount] = {};
};

ColorChooser::ColorChooser(const DlgColorParams& params) {
  choose_.lStructSize = sizeof choose_;
  choose_.hwndOwner = params.hwndOwner;
  choose_.rgbResult = params.rgbInitial;
  choose_.lpCustColors = custom_;
  choose_.Flags = params.dwFlags & ~CC_ENABLEHOOK;
  if (params.rgbInitial != 0) choose_.Flags |= CC_RGBINIT;
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
  if (!::ChooseColorA(&choose_)) return kCancelled;
  // The user may have edited custom colours in the chooser; the update works on what it shows.
  std::copy(std::begin(custom_), std::end(custom_), slots_.begin());
  if (UpdateRecentColors(slots_, choose_.rgbResult)) StoreRecent();
  return kChosen;
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
