#include "wine/dialog_template.h"

namespace commonq::testing {

void DialogTemplate::Word(WORD value) { words_.push_back(value); }

void DialogTemplate::Text(const std::string& text) {
  for (unsigned char c : text) Word(c);
  Word(0);
}

void DialogTemplate::Align() {
  if (words_.size() % 2 != 0) Word(0);
}

DialogTemplate::DialogTemplate(const std::string& caption, short width, short height, DWORD style) {
  words_.resize(sizeof(DLGTEMPLATE) / sizeof(WORD));
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words_.data());
  header->style = style;
  header->cx = width;
  header->cy = height;
  Word(0);  // no menu
  Word(0);  // default class
  Text(caption);
  if (style & DS_SETFONT) {
    Word(8);
    Text("MS Shell Dlg");
  }
}

DialogTemplate& DialogTemplate::Add(const std::string& className, const std::string& text, WORD id, short x, short y,
                                    short cx, short cy, DWORD style) {
  Align();
  const std::size_t at = words_.size();
  words_.resize(at + sizeof(DLGITEMTEMPLATE) / sizeof(WORD));
  auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(words_.data() + at);
  item->style = style;
  item->x = x;
  item->y = y;
  item->cx = cx;
  item->cy = cy;
  item->id = id;
  Text(className);
  Text(text);
  Word(0);  // no creation data
  ++count_;
  return *this;
}

const DLGTEMPLATE* DialogTemplate::Get() {
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words_.data());
  header->cdit = count_;
  return header;
}

}  // namespace commonq::testing
