#include "taskdialog/task_message_box.h"

#include <commctrl.h>

#include <string>

#include "frame/text_conversion.h"
#include "taskdialog/logic/message_box_request.h"
#include "taskdialog/task_dialog_run.h"

namespace commonq {

int TaskMessageBox(HWND owner, const char* instruction, const char* content, UINT type) {
  const std::wstring wideTitle = WidenAnsi(WindowText(owner));
  const std::wstring wideInstruction = WidenAnsi(instruction != nullptr ? instruction : "");
  const std::wstring wideContent = WidenAnsi(content != nullptr ? content : "");
  const MessageBoxRequest request = TaskDialogForMessageBox(type);

  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = owner;
  config.dwFlags = request.flags;
  config.dwCommonButtons = static_cast<TASKDIALOG_COMMON_BUTTON_FLAGS>(request.commonButtons);
  config.pszWindowTitle = wideTitle.c_str();
  config.pszMainIcon = request.mainIcon != 0 ? MAKEINTRESOURCEW(request.mainIcon) : nullptr;
  config.pszMainInstruction = instruction != nullptr ? wideInstruction.c_str() : nullptr;
  config.pszContent = content != nullptr ? wideContent.c_str() : nullptr;
  int button = 0;
  int radio = 0;
  BOOL verification = FALSE;
  RunTaskDialog(&config, &button, &radio, &verification);
  return button;
}

}  // namespace commonq
