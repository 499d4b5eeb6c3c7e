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

struct ReadItem {
  uint32_t style = 0, exStyle = 0, id = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  ReadName windowClass, text;
};

struct ReadTemplate {
  bool extended = false;
  uint32_t style = 0, exStyle = 0, help = 0;
  uint16_t version = 0, signature = 0, itemCount = 0, pointSize = 0, weight = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  ReadName menu, windowClass;
  std::u16string title, face;
  uint8_t italic = 0, charSet = 0;
  std::vector<ReadItem> items;
  size_t end = 0;  // where the last item ends
};

class TemplateReader {
 public:
  TemplateReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // Null when the bytes end before the template does.
  std::optional<ReadTemplate> Read() {
    ReadTemplate t;
    t.extended = size_ >= 4 && data_[0] == 1 && data_[1] == 0 && data_[2] == 0xFF && data_[3] == 0xFF;
    bool ok = t.extended ? Take(t.version) && Take(t.signature) && Take(t.help) && Take(t.exStyle) && Take(t.style)
                         : Take(t.style) && Take(t.exStyle);
    ok = ok && Take(t.itemCount) && Take(t.x) && Take(t.y) && Take(t.cx) && Take(t.cy) && Name(t.menu) &&
         Name(t.windowClass) && Text(t.title);
    if (ok && (t.style & kDsSetFont)) {
      ok = Take(t.pointSize) && (!t.extended || (Take(t.weight) && Take(t.italic) && Take(t.charSet))) && Text(t.face);
    }
    for (uint16_t i = 0; ok && i < t.itemCount; ++i) {
      pos_ = (pos_ + 3) & ~size_t{3};
      ReadItem item;
      uint16_t shortId = 0, extra = 0;
      ok = t.extended ? Take(t.help) && Take(item.exStyle) && Take(item.style) : Take(item.style) && Take(item.exStyle);
      ok = ok && Take(item.x) && Take(item.y) && Take(item.cx) && Take(item.cy) &&
           (t.extended ? Take(item.id) : Take(shortId)) && Name(item.windowClass) && Name(item.text) && Take(extra) &&
           (pos_ += extra) <= size_;
      if (!t.extended) item.id = shortId;
      t.items.push_back(item);
    }
    t.end = pos_;
    return ok ? std::optional<ReadTemplate>(t) : std::nullopt;
  }

 private:
  template <typename T>
  bool Take(T& v) {
    if (pos_ + sizeof(T) > size_) return false;
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
