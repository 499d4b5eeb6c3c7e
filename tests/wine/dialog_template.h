#pragma once
// A small in-memory dialog template for the white-box tests of the frame.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace commonq::testing {

class DialogTemplate {
 public:
  DialogTemplate(const std::string& caption, short width, short height,
                 DWORD style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT);
  // Predefined classes by name ("BUTTON", "STATIC", "EDIT", "COMBOBOX").
  DialogTemplate& Add(const std::string& className, const std::string& text, WORD id, short x, short y, short cx,
                      short cy, DWORD style = WS_CHILD | WS_VISIBLE);
  const DLGTEMPLATE* Get();

 private:
  void Align();
  void Word(WORD value);
  void Text(const std::string& text);
  std::vector<WORD> words_;
  WORD count_ = 0;
};

}  // namespace commonq::testing
