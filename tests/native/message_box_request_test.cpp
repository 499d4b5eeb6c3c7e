#include "taskdialog/message_box_request.h"

#include <gtest/gtest.h>

#include "taskdialog/task_dialog_values.h"

namespace commonq {
namespace {

TEST(TaskDialogForMessageBox, ButtonsFollowTheYesNoBit) {
  EXPECT_EQ(TaskDialogForMessageBox(0x34).commonButtons, td::kYesButton | td::kNoButton);  // MB_YESNO
  EXPECT_EQ(TaskDialogForMessageBox(0x03).commonButtons, td::kOkButton);  // MB_YESNOCANCEL lacks the bit
  EXPECT_EQ(TaskDialogForMessageBox(0x05).commonButtons, td::kYesButton | td::kNoButton);  // MB_CANCELTRYCONTINUE
  EXPECT_EQ(TaskDialogForMessageBox(0x00).commonButtons, td::kOkButton);
  EXPECT_EQ(TaskDialogForMessageBox(0x01).flags, td::kAllowDialogCancellation);
}

TEST(TaskDialogForMessageBox, IconsByTheirBits) {
  EXPECT_EQ(TaskDialogForMessageBox(0x10).mainIcon, td::kErrorIcon);
  EXPECT_EQ(TaskDialogForMessageBox(0x20).mainIcon, td::kWarningIcon);
  EXPECT_EQ(TaskDialogForMessageBox(0x30).mainIcon, td::kWarningIcon);
  EXPECT_EQ(TaskDialogForMessageBox(0x24).mainIcon, td::kWarningIcon);
  EXPECT_EQ(TaskDialogForMessageBox(0x40).mainIcon, td::kInformationIcon);
  // 0x50 has the hand bit without the question bit: still the error icon.
  EXPECT_EQ(TaskDialogForMessageBox(0x50).mainIcon, td::kErrorIcon);
  EXPECT_EQ(TaskDialogForMessageBox(0x60).mainIcon, td::kWarningIcon);
  EXPECT_EQ(TaskDialogForMessageBox(0x80).mainIcon, 0u);
  EXPECT_EQ(TaskDialogForMessageBox(0x04).mainIcon, 0u);
}

}  // namespace
}  // namespace commonq
