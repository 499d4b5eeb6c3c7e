// The raster formats' options dialogs: Bitmap, Jpeg, Png, Rsr, Carrara and Gif.
#include <windows.h>
#include <commctrl.h>

#include "filedialogs/format_dialogs.h"

namespace commonq {
namespace {

constexpr int kSameAsSourceCheck = 1018;

constexpr const char* kBitmapValue = "bmp";
constexpr int kBitmapDepthGroup = 1017;

constexpr const char* kJpegValue = "jpeg";
constexpr const char* kJpegFactorValue = "jpegComp";
constexpr int kJpegEncodingGroup = 1021;
constexpr int kJpegFactorEdit = 1025;
constexpr int kJpegFactorSpin = 1026;

constexpr const char* kPngValue = "png";
constexpr int kPngDepthGroup = 1015;
constexpr int kInterlaceGroup = 1032;

constexpr const char* kRsrValue = "rsr";
constexpr int kRsrOpacityGroup = 1013;

constexpr const char* kCarraraValue = "carr";
constexpr int kCarraraFormatGroup = 1162;

}  // namespace

void BitmapOptionsDialog::OnInitDialog() {
  options_ = DecodeBitmapOptions(ReadFormatValue(kBitmapValue));
  PutRadioGroup(Window(), kBitmapDepthGroup, options_.depthIndex);
  PutCheck(Window(), kSameAsSourceCheck, options_.sameAsSource);
  CenterAndTranslate();
}

void BitmapOptionsDialog::OnOk() {
  options_.depthIndex = ReadRadioGroup(Window(), kBitmapDepthGroup);
  options_.sameAsSource = ReadCheck(Window(), kSameAsSourceCheck);
  WriteFormatValue(kBitmapValue, EncodeBitmapOptions(options_));
  ::EndDialog(Window(), IDOK);
}

void JpegOptionsDialog::OnInitDialog() {
  // "jpeg" is read as the host's older versions did, but nothing in it is used.
  (void)ReadFormatValue(kJpegValue);
  factor_ = DecodeJpegFactor(ReadFormatValue(kJpegFactorValue));
  PutRadioGroup(Window(), kJpegEncodingGroup, encodingIndex_);
  ::SetDlgItemInt(Window(), kJpegFactorEdit, static_cast<UINT>(factor_), FALSE);
  ::SendDlgItemMessageA(Window(), kJpegFactorSpin, UDM_SETRANGE, 0, MAKELPARAM(kJpegFactorLimit, 0));
  CenterAndTranslate();
}

void JpegOptionsDialog::OnOk() {
  encodingIndex_ = ReadRadioGroup(Window(), kJpegEncodingGroup);
  BOOL isNumber = FALSE;
  const UINT factor = ::GetDlgItemInt(Window(), kJpegFactorEdit, &isNumber, FALSE);
  if (IsStorableJpegFactor(isNumber != FALSE, factor)) {
    factor_ = static_cast<int>(factor);
    WriteFormatValue(kJpegValue, 0);
    WriteFormatValue(kJpegFactorValue, factor);
  } else {
    ::MessageBeep(0xFFFFFFFF);
    ::SetFocus(::GetDlgItem(Window(), kJpegFactorEdit));
  }
  // The dialog closes even when the factor was refused: the host keeps the stored one.
  ::EndDialog(Window(), IDOK);
}

bool JpegOptionsDialog::OnNotify(NMHDR& header, LRESULT& result) {
  if (header.idFrom != kJpegFactorSpin || header.code != UDN_DELTAPOS) return false;
  // UDN_DELTAPOS comes with an NMUPDOWN, whose delta the dialog may change before it is applied.
  auto& change = reinterpret_cast<NMUPDOWN&>(header);
  change.iDelta = JpegArrowDelta(change.iPos, change.iDelta);
  result = 0;
  return true;
}

void PngOptionsDialog::OnInitDialog() {
  options_ = DecodePngOptions(ReadFormatValue(kPngValue));
  PutRadioGroup(Window(), kPngDepthGroup, options_.depthIndex);
  PutRadioGroup(Window(), kInterlaceGroup, options_.interlaceIndex);
  CenterAndTranslate();
}

void PngOptionsDialog::OnOk() {
  options_.depthIndex = ReadRadioGroup(Window(), kPngDepthGroup);
  options_.interlaceIndex = ReadRadioGroup(Window(), kInterlaceGroup);
  WriteFormatValue(kPngValue, EncodePngOptions(options_));
  ::EndDialog(Window(), IDOK);
}

void RsrOptionsDialog::OnInitDialog() {
  options_ = DecodeRsrOptions(ReadFormatValue(kRsrValue));
  PutRadioGroup(Window(), kRsrOpacityGroup, options_.opacityIndex);
  PutCheck(Window(), kSameAsSourceCheck, options_.sameAsSource);
  CenterAndTranslate();
}

void RsrOptionsDialog::OnOk() {
  options_.opacityIndex = ReadRadioGroup(Window(), kRsrOpacityGroup);
  options_.sameAsSource = ReadCheck(Window(), kSameAsSourceCheck);
  WriteFormatValue(kRsrValue, EncodeRsrOptions(options_));
  ::EndDialog(Window(), IDOK);
}

void CarraraOptionsDialog::OnInitDialog() {
  formatIndex_ = DecodeCarraraIndex(ReadFormatValue(kCarraraValue));
  PutRadioGroup(Window(), kCarraraFormatGroup, formatIndex_);
  CenterAndTranslate();
}

void CarraraOptionsDialog::OnOk() {
  formatIndex_ = ReadRadioGroup(Window(), kCarraraFormatGroup);
  WriteFormatValue(kCarraraValue, EncodeCarraraIndex(formatIndex_));
  ::EndDialog(Window(), IDOK);
}

void GifOptionsDialog::OnInitDialog() {
  PutRadioGroup(Window(), kInterlaceGroup, interlaceIndex_);
  CenterAndTranslate(false);
}

void GifOptionsDialog::OnOk() {
  interlaceIndex_ = ReadRadioGroup(Window(), kInterlaceGroup);
  ::EndDialog(Window(), IDOK);
}

}  // namespace commonq
