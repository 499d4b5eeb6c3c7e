// The Open and Save As rules that need no window: structure size, flags, prompt mode and the
// extension table of the format dispatcher.
#include "filedialogs/logic/file_dialog_rules.h"

#include <gtest/gtest.h>

namespace commonq {
namespace {

TEST(FileDialogRules, StructureSizeFollowsTheWindowsVersion) {
  EXPECT_FALSE(UsesFullOpenFileName(nullptr));
  const WindowsVersion nt4{4, 0};
  const WindowsVersion win98{4, 10};
  const WindowsVersion me{4, 90};
  const WindowsVersion win2000{5, 0};
  const WindowsVersion win10{10, 0};
  const WindowsVersion old{3, 95};
  EXPECT_FALSE(UsesFullOpenFileName(&nt4));
  EXPECT_FALSE(UsesFullOpenFileName(&win98));
  EXPECT_TRUE(UsesFullOpenFileName(&me));
  EXPECT_TRUE(UsesFullOpenFileName(&win2000));
  EXPECT_TRUE(UsesFullOpenFileName(&win10));
  EXPECT_FALSE(UsesFullOpenFileName(&old));
}

TEST(FileDialogRules, FlagsAddTheLibrarysOwn) {
  EXPECT_EQ(FileDialogFlags(0, true), 0x881824u);
  EXPECT_EQ(FileDialogFlags(0, false), 0x880026u);
  EXPECT_EQ(FileDialogFlags(0x40, false), 0x880066u);
  EXPECT_EQ(FileDialogFlags(0x80000000u, true) & 0x80000000u, 0x80000000u);
}

TEST(FileDialogRules, PromptModeNeedsARecordThatCoversIt) {
  // The 32-bit record: the prompt field ends at 32 bytes.
  EXPECT_TRUE(HasPromptField(32));
  EXPECT_TRUE(HasPromptField(40));
  EXPECT_FALSE(HasPromptField(28));
  EXPECT_FALSE(HasPromptField(31));
  // A size of 0 or 4 is no record with a prompt field either.
  EXPECT_FALSE(HasPromptField(0));
  EXPECT_FALSE(HasPromptField(4));
  EXPECT_EQ(PromptValueFromCheck(true, 3), 1);
  EXPECT_EQ(PromptValueFromCheck(true, 2), 0);
  EXPECT_EQ(PromptValueFromCheck(false, 1), 0);
}

TEST(FileDialogRules, ExtensionTableIsWholeTextIgnoringCase) {
  EXPECT_EQ(FindFormatDialog(".png"), FormatDialog::kPng);
  EXPECT_EQ(FindFormatDialog(".PNG"), FormatDialog::kPng);
  EXPECT_EQ(FindFormatDialog(".Bmp"), FormatDialog::kBitmap);
  EXPECT_EQ(FindFormatDialog(".car"), FormatDialog::kCarrara);
  EXPECT_EQ(FindFormatDialog(".CBR"), FormatDialog::kCarrara);
  EXPECT_EQ(FindFormatDialog(".obj"), FormatDialog::kObj);
  EXPECT_EQ(FindFormatDialog(".gif"), FormatDialog::kGif);
  EXPECT_EQ(FindFormatDialog(".rsr"), FormatDialog::kRsr);
  EXPECT_EQ(FindFormatDialog(".jpg"), FormatDialog::kJpeg);
  for (const char* other : {".jpeg", ".tga", ".tif", "png", ".pn", ".pngx", "", "."}) {
    EXPECT_EQ(FindFormatDialog(other), FormatDialog::kNone) << other;
  }
}

TEST(FileDialogRules, EveryDialogHasItsTemplate) {
  EXPECT_EQ(FormatDialogTemplate(FormatDialog::kBitmap), 1010);
  EXPECT_EQ(FormatDialogTemplate(FormatDialog::kGif), 1040);
  EXPECT_EQ(FormatDialogTemplate(FormatDialog::kJpeg), 1019);
  EXPECT_EQ(FormatDialogTemplate(FormatDialog::kPng), 1030);
  EXPECT_EQ(FormatDialogTemplate(FormatDialog::kRsr), 1060);
  EXPECT_EQ(FormatDialogTemplate(FormatDialog::kObj), 1063);
  EXPECT_EQ(FormatDialogTemplate(FormatDialog::kCarrara), 1160);
  EXPECT_EQ(FormatDialogTemplate(FormatDialog::kNone), 0);
}

}  // namespace
}  // namespace commonq
