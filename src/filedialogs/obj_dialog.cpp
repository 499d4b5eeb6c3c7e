// The 3D options dialog ("obj"): placement and scale on the right, the Wavefront page on the left.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "filedialogs/format_dialogs.h"
#include "filedialogs/scale_text.h"
#include "frame/logic/settings_rules.h"
#include "frame/module_state.h"
#include "frame/settings_store.h"
#include "frame/subclass.h"
#include "frame/window_binding.h"

namespace commonq {
namespace {

constexpr const char* kPlacementValue = "3dCheck";
constexpr const char* kScaleValue = "3dScale";
constexpr const char* kWavefrontValue = "obj";

constexpr int kPageTemplate = 1065;
constexpr int kPageHostStatic = 1097;
constexpr int kCenteredCheck = 1099;
constexpr int kPlaceOnFloorCheck = 1100;
constexpr int kScaleCheck = 1101;
constexpr int kScaleEdit = 1102;

constexpr int kNormalsCheck = 1107;
constexpr int kUvsCheck = 1108;
constexpr int kMaterialFileCheck = 1109;
constexpr int kVisibleGroupsCheck = 1115;
constexpr int kActiveMaterialsCheck = 1116;
constexpr int kGroupsGroup = 1192;
constexpr int kTexturePathGroup = 1111;
// The "Textures paths" label and its four buttons.
constexpr int kTextureControls[] = {1110, 1111, 1112, 1113, 1114};

constexpr const char* kScaleErrorText = "Invalid Scale";
constexpr const char* kScaleErrorCaption = "Qelm Explorer pro";
constexpr int kScaleBoxChars = 32;

}  // namespace

HWND WavefrontOptionsPage::Create(HWND parent) {
  return ::CreateDialogParamA(LibraryInstance(), MAKEINTRESOURCEA(kPageTemplate), parent,
                              &DialogWindow::StartDialogProc, BindingParam());
}

bool WavefrontOptionsPage::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message == WM_INITDIALOG) {
    OnInitDialog();
    result = TRUE;
    return true;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kMaterialFileCheck) {
    options_.materialFile = ReadCheck(Window(), kMaterialFileCheck);
    EnableTextureControls();
    return true;
  }
  return false;
}

void WavefrontOptionsPage::OnInitDialog() {
  options_ = DecodeWavefrontOptions(ReadFormatValue(kWavefrontValue));
  EnableTextureControls();
  PutCheck(Window(), kNormalsCheck, options_.normals);
  PutCheck(Window(), kUvsCheck, options_.uvs);
  PutCheck(Window(), kVisibleGroupsCheck, options_.visibleGroups);
  PutCheck(Window(), kActiveMaterialsCheck, options_.activeMaterials);
  PutRadioGroup(Window(), kGroupsGroup, options_.groupsIndex);
  PutCheck(Window(), kMaterialFileCheck, options_.materialFile);
  PutRadioGroup(Window(), kTexturePathGroup, options_.texturePathIndex);
  ::EnableWindow(::GetDlgItem(Window(), kVisibleGroupsCheck), FALSE);
}

void WavefrontOptionsPage::EnableTextureControls() {
  for (int id : kTextureControls) ::EnableWindow(::GetDlgItem(Window(), id), options_.materialFile == 1);
}

void WavefrontOptionsPage::ReadControls() {
  if (Window() == nullptr) return;
  options_.normals = ReadCheck(Window(), kNormalsCheck);
  options_.uvs = ReadCheck(Window(), kUvsCheck);
  options_.visibleGroups = ReadCheck(Window(), kVisibleGroupsCheck);
  options_.activeMaterials = ReadCheck(Window(), kActiveMaterialsCheck);
  options_.groupsIndex = ReadRadioGroup(Window(), kGroupsGroup);
  options_.texturePathIndex = ReadRadioGroup(Window(), kTexturePathGroup);
  options_.materialFile = ReadCheck(Window(), kMaterialFileCheck);
}

PageHost::~PageHost() {
  if (window_ != nullptr && ::IsWindow(window_)) RemoveSubclass(window_, &PageHost::SubclassProc, 0);
}

bool PageHost::Attach(HWND control) {
  if (control == nullptr || !SetSubclass(control, &PageHost::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  window_ = control;
  ::SetWindowLongA(control, GWL_EXSTYLE, ::GetWindowLongA(control, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  return true;
}

void PageHost::AddPage(HWND page) {
  // The vector grows by doubling, as the page list always has.
  pages_.push_back(page);
}

void PageHost::Notify(UINT code, LRESULT* answer) const {
  NMHDR header{};
  header.hwndFrom = window_;
  header.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(window_));
  header.code = code;
  const LRESULT result =
      ::SendMessageA(::GetParent(window_), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  if (answer != nullptr) *answer = result;
}

void PageHost::FitPage() const {
  if (selectedPage_ == nullptr) return;
  RECT client{};
  ::GetClientRect(window_, &client);
  ::SetWindowPos(selectedPage_, nullptr, client.left, client.top, client.right - client.left,
                 client.bottom - client.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool PageHost::SelectPage(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= pages_.size()) return false;
  if (index == selected_) return true;
  LRESULT refused = 0;
  Notify(TCN_SELCHANGING, &refused);
  if (refused != 0) return false;

  HWND previous = selectedPage_;
  selected_ = index;
  selectedPage_ = pages_[static_cast<std::size_t>(index)];
  constexpr UINT kKeepPlace = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
  if (previous != nullptr) ::SetWindowPos(previous, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | kKeepPlace);
  FitPage();
  ::SetWindowPos(selectedPage_, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | kKeepPlace);

  HWND focus = ::GetFocus();
  const bool focusInside = focus != nullptr && (focus == window_ || ::IsChild(window_, focus));
  if (previous == nullptr) {
    ::SetFocus(window_);
  } else if (focusInside) {
    ::SetFocus(selectedPage_);
  }
  Notify(TCN_SELCHANGE, nullptr);
  return true;
}

LRESULT CALLBACK PageHost::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<PageHost*>(data);
  const auto handle = [&]() -> LRESULT {
    switch (message) {
      case WM_SETFOCUS:
        if (self->selectedPage_ != nullptr) {
          HWND first = ::GetNextDlgTabItem(self->selectedPage_, nullptr, FALSE);
          if (first != nullptr) ::SetFocus(first);
        }
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_SIZE:
        self->FitPage();
        break;
      case WM_COMMAND:
        if (self->selectedPage_ != nullptr) ::SendMessageA(self->selectedPage_, message, wParam, lParam);
        break;
      case WM_NCDESTROY:
        RemoveSubclass(window, &PageHost::SubclassProc, 0);
        self->window_ = nullptr;
        break;
      default:
        break;
    }
    return DefaultSubclassProc(window, message, wParam, lParam);
  };
  return CallGuarded<LRESULT>(nullptr, window, 0, handle);
}

void ObjOptionsDialog::OnInitDialog() {
  if (const std::optional<std::uint32_t> stored = ReadFormatValue(kPlacementValue)) {
    placement_ = DecodeObjPlacement(stored);
    // The scale counts only together with the switches it was stored with.
    if (const std::optional<std::string> text = ReadStringSetting(kFormatKey, kScaleValue, kScaleSettingBytes)) {
      scale_ = static_cast<float>(LeadingNumber(*text));
    }
  }
  ::EnableWindow(::GetDlgItem(Window(), kScaleEdit), placement_.scaleEnabled == 1);
  PutCheck(Window(), kCenteredCheck, placement_.centered);
  PutCheck(Window(), kPlaceOnFloorCheck, placement_.placeOnFloor);
  PutCheck(Window(), kScaleCheck, placement_.scaleEnabled);
  if (!::SetDlgItemTextA(Window(), kScaleEdit, ScaleForFirstPut(scale_).c_str())) ShowScaleError();
  CenterDialog(Window());

  if (host_.Attach(::GetDlgItem(Window(), kPageHostStatic))) {
    if (HWND page = page_.Create(host_.Window())) {
      host_.AddPage(page);
      ::ShowWindow(page, SW_HIDE);
      ::SetWindowLongA(page, GWL_EXSTYLE, ::GetWindowLongA(page, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
      host_.SelectPage(0);
    }
  }
  ::SetDlgItemTextA(Window(), kScaleEdit, ScaleForBox(scale_).c_str());
}

bool ObjOptionsDialog::OnCommand(int id, int) {
  if (id != kScaleCheck) return false;
  placement_.scaleEnabled = ReadCheck(Window(), kScaleCheck);
  ::EnableWindow(::GetDlgItem(Window(), kScaleEdit), placement_.scaleEnabled == 1);
  return true;
}

void ObjOptionsDialog::ShowScaleError() { ::MessageBoxA(Window(), kScaleErrorText, kScaleErrorCaption, MB_ICONHAND); }

bool ObjOptionsDialog::ReadScale() {
  char text[kScaleBoxChars] = {};
  ::GetDlgItemTextA(Window(), kScaleEdit, text, kScaleBoxChars);
  const ScaleReading reading = ReadScaleText(text);
  switch (reading.verdict) {
    case ScaleVerdict::kAccepted:
      scale_ = reading.scale;
      return true;
    case ScaleVerdict::kOutOfRange:
      scale_ = reading.scale;
      ::MessageBeep(0xFFFFFFFF);
      ::SetFocus(::GetDlgItem(Window(), kScaleEdit));
      return false;
    case ScaleVerdict::kNotANumber:
      break;
  }
  ShowScaleError();
  return false;
}

void ObjOptionsDialog::OnOk() {
  placement_.centered = ReadCheck(Window(), kCenteredCheck);
  placement_.placeOnFloor = ReadCheck(Window(), kPlaceOnFloorCheck);
  placement_.scaleEnabled = ReadCheck(Window(), kScaleCheck);
  // A disabled box is validated as well: the host reads the stored scale in any case.
  if (!ReadScale()) return;
  page_.ReadControls();

  const SettingsWriter writer(kFormatKey);
  if (writer.IsOpen()) {
    writer.WriteDword(kPlacementValue, EncodeObjPlacement(placement_));
    writer.WriteString(kScaleValue, ScaleForStore(scale_));
    writer.WriteDword(kWavefrontValue, EncodeWavefrontOptions(page_.Options()));
  }
  ::EndDialog(Window(), IDOK);
}

}  // namespace commonq
