#include "taskdialog/task_message_box.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "taskdialog/message_box_request.h"
#include "taskdialog/task_dialog_run.h"

namespace commonq {
namespace {

// A NUL-terminated UTF-16 copy; empty (and then left out) when the text is null or cannot be
// converted.
std::vector<wchar_t> Widen(const char* text) {
  if (text == nullptr) return {};
  const int length = lstrlenA(text) + 1;
  std::vector<wchar_t> wide(static_cast<size_t>(length), L'\0');
  if (::MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), length) == 0) return {};
  return wide;
}

const wchar_t* FieldOf(const std::vector<wchar_t>& text) { return text.empty() ? nullptr : text.data(); }

}  // namespace

int TaskMessageBox(HWND owner, const char* instruction, const char* content, UINT type) {
  std::string title;
  if (owner != nullptr) {
    const int length = ::GetWindowTextLengthA(owner);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    ::GetWindowTextA(owner, buffer.data(), length + 1);
    title = buffer.data();
  }
  const std::vector<wchar_t> wideTitle = Widen(title.c_str());
  const std::vector<wchar_t> wideInstruction = Widen(instruction);
  const std::vector<wchar_t> wideContent = Widen(content);
  const MessageBoxRequest request = TaskDialogForMessageBox(type);

  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = owner;
  config.dwFlags = request.flags;
  config.dwCommonButtons = static_cast<TASKDIALOG_COMMON_BUTTON_FLAGS>(request.commonButtons);
  config.pszWindowTitle = FieldOf(wideTitle);
  config.pszMainIcon = request.mainIcon != 0 ? MAKEINTRESOURCEW(request.mainIcon) : nullptr;
  config.pszMainInstruction = FieldOf(wideInstruction);
  config.pszContent = FieldOf(wideContent);
  int button = 0;
  int radio = 0;
  BOOL verification = FALSE;
  RunTaskDialog(&config, &button, &radio, &verification);
  return button;
}

}  // namespace commonq
