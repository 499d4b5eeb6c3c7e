#include "filedialogs/jpeg_dialog.h"

#include <commctrl.h>

#include "filedialogs/format_options.h"
#include "resources/filedialogs_ids.h"

namespace commonq {
namespace {

// JPEG adds the up-down control's range and step to the table, and refuses a factor of 100 or
// more with a beep; the dialog closes either way and the host keeps the stored factor.
class JpegOptionsDialog : public FormatOptionsDialog {
 public:
  using FormatOptionsDialog::FormatOptionsDialog;

 private:
  static constexpr std::size_t kFactorField = 1;

  void OnInitDialog() override {
    FormatOptionsDialog::OnInitDialog();
    ::SendDlgItemMessageA(Window(), IDC_JPEG_FACTOR_SPIN, UDM_SETRANGE, 0, MAKELPARAM(kJpegFactorLimit, 0));
  }

  void OnOk() override {
    const std::uint32_t factor = ReadFields(Window(), format_, values_);
    if (IsStorableJpegFactor(values_[kFactorField])) {
      const FormatKey key;
      // "jpeg" is always stored as 0 beside the factor.
      key.Write("jpeg", 0);
      key.Write(format_.value, factor);
    } else {
      ::MessageBeep(0xFFFFFFFF);
      ::SetFocus(::GetDlgItem(Window(), IDC_JPEG_FACTOR));
    }
    ::EndDialog(Window(), IDOK);
  }

  bool OnNotify(NMHDR& header, LRESULT& result) override {
    if (header.idFrom != IDC_JPEG_FACTOR_SPIN || header.code != UDN_DELTAPOS) return false;
    // UDN_DELTAPOS comes with an NMUPDOWN, whose delta the dialog may change before it is applied.
    auto& change = reinterpret_cast<NMUPDOWN&>(header);
    change.iDelta = JpegArrowDelta(change.iPos, change.iDelta);
    result = 0;
    return true;
  }
};

}  // namespace

int RunJpegOptionsDialog(const FormatTable& format, HWND parent) { return JpegOptionsDialog(format).Run(parent); }

}  // namespace commonq
