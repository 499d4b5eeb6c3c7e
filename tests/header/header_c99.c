/* The public header must compile as plain C99. */
#include "CommonQ.h"

int commonq_header_c99_check(void) {
  DlgColorParams params = {0, 0, 0, NULL, 0};
  int (__cdecl *message_box)(HWND, LPCSTR, LPCSTR, UINT, UINT) = MessageBoxDoModal;
  int (__cdecl *color)(DlgColorParams*) = DlgColorDialogDoModal;
  return (int)sizeof params + (message_box != NULL) + (color != NULL);
}
