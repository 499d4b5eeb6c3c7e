/* The public header must compile as plain C99. */
#include "CommonQ.h"

int commonq_header_c99_check(void) {
  DlgColorParams color = {0, 0, 0, NULL, 0};
  ImageInfo image = {0, 640, 480, 32, 0, 0, 1};
  FileInfoNode node = {FILEINFO_NODE_IMAGE, &image, NULL};
  DlgFileInfoParams info = {0};
  int (__cdecl *message_box)(HWND, LPCSTR, LPCSTR, UINT, UINT) = MessageBoxDoModal;
  int (__cdecl *choose_color)(DlgColorParams*) = DlgColorDialogDoModal;
  int (__cdecl *file_info)(const DlgFileInfoParams*) = DlgFileInfoDoModal;
  info.cbSize = sizeof info;
  info.pInfoList = &node;
  return (int)sizeof color + (int)info.cbSize + (message_box != NULL) + (choose_color != NULL) + (file_info != NULL);
}
