#include "taskdialog/logic/message_box_request.h"

#include "taskdialog/logic/task_dialog_values.h"

namespace commonq {
namespace {

constexpr uint32_t kButtonBits = 0xF;
constexpr uint32_t kYesNoBit = 4;
constexpr uint32_t kIconHand = 0x10;
constexpr uint32_t kIconQuestion = 0x20;
constexpr uint32_t kIconAsterisk = 0x40;

}  // namespace

MessageBoxRequest TaskDialogForMessageBox(uint32_t type) {
  MessageBoxRequest request;
  request.flags = td::kAllowDialogCancellation;
  request.commonButtons = (type & kButtonBits & kYesNoBit) ? (td::kYesButton | td::kNoButton) : td::kOkButton;
  const uint32_t handAndQuestion = type & (kIconHand | kIconQuestion);
  if (handAndQuestion == kIconHand) {
    request.mainIcon = td::kErrorIcon;
  } else if (handAndQuestion != 0) {
    request.mainIcon = td::kWarningIcon;
  } else if (type & kIconAsterisk) {
    request.mainIcon = td::kInformationIcon;
  }
  return request;
}

}  // namespace commonq
