#pragma once
// How a message-box type (MB_* buttons and icon) becomes a task dialog's buttons and icon.
#include <cstdint>

namespace commonq {

struct MessageBoxRequest {
  uint32_t commonButtons = 0;
  // A TD_*_ICON value, or 0 for no icon.
  uint32_t mainIcon = 0;
  uint32_t flags = 0;
};

// Yes and No when the button bits include 4 (MB_YESNO), else OK; the error icon for MB_ICONHAND
// alone, the warning icon for the question and exclamation bits, the information icon for
// MB_ICONASTERISK. Esc and the close box always answer IDCANCEL.
MessageBoxRequest TaskDialogForMessageBox(uint32_t type);

}  // namespace commonq
