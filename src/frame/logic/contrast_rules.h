#pragma once
// The colours the library picks itself, named by what they paint, and the system colour that
// takes each one's part while the user has high contrast on. Outside high contrast every dialog
// keeps its own colours; in high contrast nothing of ours may stand out of the user's scheme.
#include <cstdint>

#include "frame/platform_values.h"

namespace commonq {

enum class NamedColour : std::uint8_t {
  kBand,              // the white bands: task dialog upper band, header bands of Add a Favorite and file information
  kBandText,          // text on those bands: the task dialog's instruction and command links, the header titles
  kSeparator,         // the task dialog's line between its bands
  kDefaultLinkFrame,  // the frame of the default command link
  kShadow,            // the preview's drop shadow, solid in high contrast: a fade is no contrast
  kGlyphLine,         // ring and chevron of the disclosure pictures
  kGlyphFill,         // inside of the disclosure pictures
};

// The COLOR_* index whose colour `colour` takes in high contrast.
constexpr int HighContrastSystemColour(NamedColour colour) noexcept {
  switch (colour) {
    case NamedColour::kBand:
      return platform::kSysColorWindow;
    case NamedColour::kBandText:
      return platform::kSysColorWindowText;
    case NamedColour::kDefaultLinkFrame:
      return platform::kSysColorHighlight;
    case NamedColour::kSeparator:
    case NamedColour::kShadow:
      return platform::kSysColor3dShadow;
    case NamedColour::kGlyphLine:
      return platform::kSysColorButtonText;
    case NamedColour::kGlyphFill:
      return platform::kSysColorButtonFace;
  }
  return platform::kSysColorWindowText;
}

}  // namespace commonq
