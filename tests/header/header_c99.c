/* The public header must compile as plain C99. */
#include "CommonQ.h"

int commonq_header_c99_check(void) {
  DlgColorParams params = {0, 0, 0, NULL, 0};
  int (__cdecl *message_box)(HWND, LPCSTR, LPCSTR, UINT, UINT) = MessageBoxDoModal;
  int (__cdecl *color)(DlgColorParams*) = DlgColorDialogDoModal;
  return (int)sizeof params + (message_box != NULL) + (color != NULL);
}

int commonq_header_c99_file_info_check(void) {
  ImageInfo image = {0, 640, 480, 32, 0, 0, 1};
  FileInfoNode node = {FILEINFO_NODE_IMAGE, &image, NULL};
  DlgFileInfoParams params = {0};
  int (__cdecl *file_info)(const DlgFileInfoParams*) = DlgFileInfoDoModal;
  params.cbSize = sizeof params;
  params.pInfoList = &node;
  return (int)params.cbSize + (file_info != NULL);
}
