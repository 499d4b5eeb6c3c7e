// The public header must compile as C++ too, with C linkage for the exports.
#include "CommonQ.h"

int CommonqHeaderCxxCheck() {
  DlgColorParams params{};
  auto* messageBox = &MessageBoxDoModal;
  auto* color = &DlgColorDialogDoModal;
  return static_cast<int>(sizeof params) + (messageBox != nullptr) + (color != nullptr);
}
