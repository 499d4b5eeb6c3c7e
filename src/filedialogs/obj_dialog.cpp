// The 3D options dialog ("obj"): placement and scale on the right, the Wavefront page on the left.
#include "filedialogs/obj_dialog.h"

#include <string>

#include "filedialogs/format_options.h"
#include "filedialogs/logic/scale_text.h"
#include "frame/export_call.h"
#include "frame/logic/settings_rules.h"
#include "frame/settings_store.h"
#include "frame/text_conversion.h"
#include "frame/window_binding.h"
#include "resources/filedialogs_ids.h"

namespace commonq {
namespace {

// The Wavefront page: a plain child dialog over the placeholder static of the 3D dialog. The 3D
// dialog stores the page's value with its own.
class WavefrontOptionsPage : public DialogWindow {
 public:
  // Creates the page window as a child of `parent`; null when that fails.
  HWND Create(HWND parent);
  // The value to store: read from the controls, or the defaults when the page could not be made.
  std::uint32_t Read() noexcept;

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void EnableTextureControls();
  FieldValues values_ = DecodeFields(WavefrontPage().fields, std::nullopt);
};

class ObjOptionsDialog : public FormatOptionsDialog {
 public:
  using FormatOptionsDialog::FormatOptionsDialog;
  // A failure in the page ended this dialog from inside it, as a cancel.
  bool PageFailed() const noexcept { return page_.AbandonedBy() != Abandoned::kNo; }

 private:
  void OnInitDialog() override;
  void OnOk() override;
  bool OnCommand(int id, int code) override;
  void EnableScaleBox();
  void AddPage();
  // Reads the scale box; false (after the message or the beep) when it holds no valid scale.
  bool ReadScale();
  void ShowScaleError();

  float scale_ = kDefaultScale;
  WavefrontOptionsPage page_;
};

constexpr const char* kScaleValue = "3dScale";
constexpr int kPageTemplate = IDD_WAVEFRONT_PAGE;
constexpr const char* kScaleErrorText = "Invalid Scale";
constexpr const char* kScaleErrorCaption = "Qelm Explorer pro";
constexpr int kScaleBoxChars = 32;

}  // namespace

HWND WavefrontOptionsPage::Create(HWND parent) {
  return ::CreateDialogParamA(LibraryInstance(), MAKEINTRESOURCEA(kPageTemplate), parent, Procedure(), BindingParam());
}

bool WavefrontOptionsPage::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message == WM_INITDIALOG) {
    LoadFields(Window(), WavefrontPage(), values_);
    EnableTextureControls();
    ::EnableWindow(::GetDlgItem(Window(), IDC_OBJ_VISIBLE_GROUPS), FALSE);
    result = TRUE;
    return true;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDC_OBJ_MATERIAL_FILE) {
    EnableTextureControls();
    return true;
  }
  return false;
}

void WavefrontOptionsPage::EnableTextureControls() {
  const bool enabled = ::SendDlgItemMessageA(Window(), IDC_OBJ_MATERIAL_FILE, BM_GETCHECK, 0, 0) == BST_CHECKED;
  for (int id : {IDC_OBJ_TEXTURE_LABEL, IDC_OBJ_TEXTURE_ABSOLUTE, IDC_OBJ_TEXTURE_RELATIVE, IDC_OBJ_TEXTURE_IN_OBJ_DIR,
                 IDC_OBJ_TEXTURE_NONE}) {
    ::EnableWindow(::GetDlgItem(Window(), id), enabled);
  }
}

std::uint32_t WavefrontOptionsPage::Read() noexcept {
  if (Window() == nullptr) return EncodeFields(WavefrontPage().fields, values_);
  return ReadFields(Window(), WavefrontPage(), values_);
}

void ObjOptionsDialog::OnInitDialog() {
  // The scale counts only together with the switches it was stored with.
  if (LoadFields(Window(), format_, values_)) {
    if (const std::optional<std::string> text = FormatKey::ReadText(kScaleValue, kScaleSettingBytes)) {
      scale_ = static_cast<float>(LeadingNumber(*text));
    }
  }
  EnableScaleBox();
  if (!::SetDlgItemTextA(Window(), IDC_3D_SCALE_BOX, ScaleForFirstPut(scale_).c_str())) ShowScaleError();
  CenterDialog(Window());
  AddPage();
  ::SetDlgItemTextA(Window(), IDC_3D_SCALE_BOX, ScaleForBox(scale_).c_str());
}

void ObjOptionsDialog::AddPage() {
  // The placeholder and the page both take part in the dialog's keyboard navigation.
  const auto takeKeys = [](HWND window) {
    ::SetWindowLongA(window, GWL_EXSTYLE, ::GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  };
  HWND host = ::GetDlgItem(Window(), IDC_3D_PAGE_HOST);
  if (host == nullptr) return;
  takeKeys(host);
  HWND page = page_.Create(host);
  if (page == nullptr) return;
  takeKeys(page);
  RECT client{};
  ::GetClientRect(host, &client);
  ::SetWindowPos(page, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void ObjOptionsDialog::EnableScaleBox() {
  const bool enabled = ::SendDlgItemMessageA(Window(), IDC_3D_SCALE, BM_GETCHECK, 0, 0) == BST_CHECKED;
  ::EnableWindow(::GetDlgItem(Window(), IDC_3D_SCALE_BOX), enabled);
}

bool ObjOptionsDialog::OnCommand(int id, int) {
  if (id != IDC_3D_SCALE) return false;
  EnableScaleBox();
  return true;
}

void ObjOptionsDialog::ShowScaleError() { ::MessageBoxA(Window(), kScaleErrorText, kScaleErrorCaption, MB_ICONHAND); }

bool ObjOptionsDialog::ReadScale() {
  const ScaleReading reading = ReadScaleText(DialogItemText(Window(), IDC_3D_SCALE_BOX, kScaleBoxChars).c_str());
  switch (reading.verdict) {
    case ScaleVerdict::kAccepted:
      scale_ = reading.scale;
      return true;
    case ScaleVerdict::kOutOfRange:
      scale_ = reading.scale;
      ::MessageBeep(0xFFFFFFFF);
      ::SetFocus(::GetDlgItem(Window(), IDC_3D_SCALE_BOX));
      return false;
    case ScaleVerdict::kNotANumber:
      break;
  }
  ShowScaleError();
  return false;
}

void ObjOptionsDialog::OnOk() {
  const std::uint32_t placement = ReadFields(Window(), format_, values_);
  // A disabled box is validated as well: the host reads the stored scale in any case.
  if (!ReadScale()) return;
  const std::uint32_t wavefront = page_.Read();
  const FormatKey key;
  key.Write(format_.value, placement);
  key.Write(kScaleValue, ScaleForStore(scale_));
  key.Write(WavefrontPage().value, wavefront);
  ::EndDialog(Window(), IDOK);
}

int RunObjOptionsDialog(const FormatTable& format, HWND parent) {
  ObjOptionsDialog dialog(format);
  const int result = dialog.Run(parent);
  return dialog.PageFailed() ? static_cast<int>(kDialogFailed) : result;
}

}  // namespace commonq
