#pragma once
// The logic tier spells the platform values it needs once; here they are checked against the SDK.
#include <windows.h>

#include "frame/logic/path_text.h"
#include "frame/platform_values.h"

namespace commonq::platform {

static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegDword == REG_DWORD &&
              kRegMultiSz == REG_MULTI_SZ);
static_assert(kErrorSuccess == ERROR_SUCCESS && kErrorMoreData == ERROR_MORE_DATA);
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL && kIdAbort == IDABORT && kIdClose == IDCLOSE);
static_assert(kIdRetry == IDRETRY && kIdYes == IDYES && kIdNo == IDNO);
static_assert(kColorWhite == RGB(255, 255, 255) && kColorBlack == RGB(0, 0, 0));
static_assert(kSysColorHighlight == COLOR_HIGHLIGHT && kSysColorButtonFace == COLOR_BTNFACE &&
              kSysColor3dShadow == COLOR_3DSHADOW && kSysColorButtonText == COLOR_BTNTEXT &&
              kSysColorWindow == COLOR_WINDOW && kSysColorWindowText == COLOR_WINDOWTEXT);
// The one spelling of the platform's path buffer size in the library.
static_assert(kPathBytes == MAX_PATH);

}  // namespace commonq::platform
