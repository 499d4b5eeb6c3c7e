#pragma once
// The task dialog's published flag, message and control values, spelled once for the logic tier.
// The Win32 tier checks them against the SDK's definitions.
#include <cstdint>

#include "frame/platform_values.h"
#include "resources/taskdialog_ids.h"

namespace commonq::td {

// dwFlags
inline constexpr uint32_t kEnableHyperlinks = 0x1;
inline constexpr uint32_t kAllowDialogCancellation = 0x8;
inline constexpr uint32_t kUseCommandLinks = 0x10;
inline constexpr uint32_t kUseCommandLinksNoIcon = 0x20;
inline constexpr uint32_t kExpandFooterArea = 0x40;
inline constexpr uint32_t kShowProgressBar = 0x200;
inline constexpr uint32_t kShowMarqueeProgressBar = 0x400;
inline constexpr uint32_t kCallbackTimer = 0x800;
inline constexpr uint32_t kPositionRelativeToWindow = 0x1000;
inline constexpr uint32_t kRtlLayout = 0x2000;
inline constexpr uint32_t kNoDefaultRadioButton = 0x4000;
inline constexpr uint32_t kCanBeMinimized = 0x8000;

// dwCommonButtons
inline constexpr uint32_t kOkButton = 0x1;
inline constexpr uint32_t kYesButton = 0x2;
inline constexpr uint32_t kNoButton = 0x4;
inline constexpr uint32_t kCancelButton = 0x8;
inline constexpr uint32_t kRetryButton = 0x10;
inline constexpr uint32_t kCloseButton = 0x20;

// Dialog result ids of the common buttons.
using platform::kIdCancel;
using platform::kIdClose;
using platform::kIdNo;
using platform::kIdOk;
using platform::kIdRetry;
using platform::kIdYes;

// Main and footer icon values.
inline constexpr uint32_t kWarningIcon = 0xFFFF;
inline constexpr uint32_t kErrorIcon = 0xFFFE;
inline constexpr uint32_t kInformationIcon = 0xFFFD;

inline constexpr int kMaxButtons = 20;
// The default control id that leaves the default to a native command link's own style.
inline constexpr uint32_t kNativeDefault = 0xFFFFFFFF;

// Window and control styles used in the template.
inline constexpr uint32_t kStaticTextStyle = 0x50000080;
inline constexpr uint32_t kIconStaticStyle = 0x5000000D;
inline constexpr uint32_t kVerificationStyle = 0x50012503;
inline constexpr uint32_t kExpandoButtonStyle = 0x5000010D;
inline constexpr uint32_t kExpandoLabelStyle = 0x50000180;
inline constexpr uint32_t kProgressBarStyle = 0x50000001;
inline constexpr uint32_t kCommandLinkStyle = 0x50012400;
inline constexpr uint32_t kPushButtonStyle = 0x50012000;
inline constexpr uint32_t kRadioButtonStyle = 0x50012409;
inline constexpr uint32_t kGroupStyle = 0x00020000;
inline constexpr uint32_t kTabStopStyle = 0x00010000;
inline constexpr uint32_t kCommandLinkKind = 0xE;
inline constexpr uint32_t kDefCommandLinkKind = 0xF;
inline constexpr uint32_t kOwnerDrawKind = 0xB;

// DrawText formats the layout asks the measurer for.
inline constexpr unsigned kWordBreak = 0x10;
inline constexpr unsigned kNoPrefix = 0x800;

struct CommonButton {
  uint32_t flag;
  int id;
  int stringId;
};
// The order in which common buttons appear in the button row.
inline constexpr CommonButton kCommonButtons[] = {
    {kOkButton, kIdOk, IDS_BUTTON_OK},
    {kYesButton, kIdYes, IDS_BUTTON_YES},
    {kNoButton, kIdNo, IDS_BUTTON_NO},
    {kRetryButton, kIdRetry, IDS_BUTTON_RETRY},
    {kCancelButton, kIdCancel, IDS_BUTTON_CANCEL},
    {kCloseButton, kIdClose, IDS_BUTTON_CLOSE},
};

}  // namespace commonq::td
