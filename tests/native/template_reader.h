#pragma once
// Reads a dialog template back, independently of the writer, for the tests and the fuzz target.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace commonq::testing {

struct ReadName {
  bool isOrdinal = false;
  uint16_t ordinal = 0;
  std::u16string text;
};

struct ReadItem {
  size_t offset = 0;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint32_t id = 0;
  ReadName windowClass;
  ReadName text;
  uint16_t extraCount = 0;
};

struct ReadTemplate {
  bool extended = false;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  uint16_t itemCount = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  ReadName menu;
  ReadName windowClass;
  std::u16string title;
  uint16_t pointSize = 0;
  uint16_t weight = 0;
  uint8_t italic = 0;
  uint8_t charSet = 0;
  std::u16string face;
  std::vector<ReadItem> items;
  size_t end = 0;
};

class TemplateReader {
 public:
  TemplateReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  std::optional<ReadTemplate> Read() {
    ReadTemplate t;
    uint16_t version = 0, signature = 0;
    if (!Peek16(0, version) || !Peek16(2, signature)) return std::nullopt;
    t.extended = version == 1 && signature == 0xFFFF;
    if (t.extended) {
      uint32_t help = 0;
      if (!U16(version) || !U16(signature) || !U32(help) || !U32(t.exStyle) || !U32(t.style)) return std::nullopt;
    } else if (!U32(t.style) || !U32(t.exStyle)) {
      return std::nullopt;
    }
    if (!U16(t.itemCount) || !S16(t.x) || !S16(t.y) || !S16(t.cx) || !S16(t.cy)) return std::nullopt;
    if (!Name(t.menu) || !Name(t.windowClass) || !Text(t.title)) return std::nullopt;
    if (t.style & 0x40) {
      if (!U16(t.pointSize)) return std::nullopt;
      if (t.extended && (!U16(t.weight) || !U8(t.italic) || !U8(t.charSet))) return std::nullopt;
      if (!Text(t.face)) return std::nullopt;
    }
    for (uint16_t i = 0; i < t.itemCount; ++i) {
      pos_ = (pos_ + 3) & ~size_t{3};
      ReadItem item;
      item.offset = pos_;
      if (t.extended) {
        uint32_t help = 0;
        if (!U32(help) || !U32(item.exStyle) || !U32(item.style)) return std::nullopt;
      } else if (!U32(item.style) || !U32(item.exStyle)) {
        return std::nullopt;
      }
      if (!S16(item.x) || !S16(item.y) || !S16(item.cx) || !S16(item.cy)) return std::nullopt;
      if (t.extended) {
        if (!U32(item.id)) return std::nullopt;
      } else {
        uint16_t id = 0;
        if (!U16(id)) return std::nullopt;
        item.id = id;
      }
      if (!Name(item.windowClass) || !Name(item.text) || !U16(item.extraCount)) return std::nullopt;
      pos_ += item.extraCount;
      if (pos_ > size_) return std::nullopt;
      t.items.push_back(item);
    }
    t.end = pos_;
    return t;
  }

 private:
  bool Peek16(size_t at, uint16_t& v) const {
    if (at + 2 > size_) return false;
    std::memcpy(&v, data_ + at, 2);
    return true;
  }
  template <typename T>
  bool Take(T& v) {
    if (pos_ + sizeof(T) > size_) return false;
    std::memcpy(&v, data_ + pos_, sizeof(T));
    pos_ += sizeof(T);
    return true;
  }
  bool U8(uint8_t& v) { return Take(v); }
  bool U16(uint16_t& v) { return Take(v); }
  bool S16(int16_t& v) { return Take(v); }
  bool U32(uint32_t& v) { return Take(v); }
  bool Text(std::u16string& out) {
    for (;;) {
      uint16_t c = 0;
      if (!U16(c)) return false;
      if (c == 0) return true;
      out += static_cast<char16_t>(c);
    }
  }
  bool Name(ReadName& name) {
    uint16_t first = 0;
    if (!Peek16(pos_, first)) return false;
    if (first == 0xFFFF) {
      name.isOrdinal = true;
      pos_ += 2;
      return U16(name.ordinal);
    }
    return Text(name.text);
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace commonq::testing
