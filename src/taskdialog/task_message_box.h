#pragma once
// A message-box question asked through the task dialog, inside an export that is already running.
#include <windows.h>

namespace commonq {

// Shows the question with the owner's title as window title; returns IDYES, IDNO, IDOK, or
// IDCANCEL for Esc and the close box (also what a question that cannot be shown answers, never
// IDYES). Texts are ANSI; a null text is left out.
int TaskMessageBox(HWND owner, const char* instruction, const char* content, UINT type);

}  // namespace commonq
