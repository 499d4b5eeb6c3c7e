#pragma once
// TemplateReader reads any dialog template back, independently of the library's own writer.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "taskdialog/logic/template_writer.h"

namespace commonq::testing {

// Names read back use the writer's TemplateName: ordinal or text.
using ReadName = TemplateName;

// What the tests look at; the other fields are read past.
struct ReadItem {
  uint32_t style = 0, id = 0;
  int16_t x = 0;
  ReadName windowClass, text;
};

struct ReadTemplate {
  bool extended = false;
  uint32_t style = 0;
  ReadName menu, windowClass;
  std::u16string title, face;
  std::vector<ReadItem> items;
  size_t end = 0;  // where the last item ends
};

class TemplateReader {
 public:
  TemplateReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // Null when the bytes end before the template does.
  std::optional<ReadTemplate> Read() {
    ReadTemplate t;
    uint16_t count = 0;
    t.extended = size_ >= 4 && data_[0] == 1 && data_[1] == 0 && data_[2] == 0xFF && data_[3] == 0xFF;
    // Extended: version, signature, help id, extended style, style. Classic: style, extended style.
    bool ok = t.extended ? Skip(12) && Take(t.style) : Take(t.style) && Skip(4);
    ok = ok && Take(count) && Skip(8) && Name(t.menu) && Name(t.windowClass) && Text(t.title);
    // The point size, and in the extended form weight, italic and character set.
    if (ok && (t.style & kDsSetFont)) ok = Skip(t.extended ? 6 : 2) && Text(t.face);
    for (uint16_t i = 0; ok && i < count; ++i) {
      pos_ = (pos_ + 3) & ~size_t{3};
      ReadItem item;
      uint16_t shortId = 0, extra = 0;
      ok = (t.extended ? Skip(8) && Take(item.style) : Take(item.style) && Skip(4)) && Take(item.x) && Skip(6) &&
           (t.extended ? Take(item.id) : Take(shortId)) && Name(item.windowClass) && Name(item.text) && Take(extra) &&
           Skip(extra);
      if (!t.extended) item.id = shortId;
      t.items.push_back(item);
    }
    t.end = pos_;
    return ok ? std::optional<ReadTemplate>(t) : std::nullopt;
  }

 private:
  bool Skip(size_t count) {
    if (count > size_ - pos_) return false;
    pos_ += count;
    return true;
  }
  template <typename T>
  bool Take(T& v) {
    if (sizeof(T) > size_ - pos_) return false;
    std::memcpy(&v, data_ + pos_, sizeof(T));
    pos_ += sizeof(T);
    return true;
  }
  bool Text(std::u16string& out) {
    for (uint16_t c = 0; Take(c); out += static_cast<char16_t>(c)) {
      if (c == 0) return true;
    }
    return false;
  }
  bool Name(ReadName& name) {
    if (pos_ + 2 > size_ || data_[pos_] != 0xFF || data_[pos_ + 1] != 0xFF) return Text(name.text);
    name.isOrdinal = true;
    pos_ += 2;
    return Take(name.ordinal);
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace commonq::testing
