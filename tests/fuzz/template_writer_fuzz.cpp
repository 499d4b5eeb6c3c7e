// Writes a random header and items and checks that the block reads back to exactly what was
// written: names, texts (now and then longer than a growth step), ids and styles; or, in a
// block that cannot grow, that the failure is reported and nothing is written past it. The block
// is read back by a reader of the extended template of its own, independent of the writer.
#include <cstdint>
#include <cstring>
#include <tuple>

#include "fuzz_check.h"
#include "vector_template_block.h"

namespace {

using namespace commonq;
using namespace commonq::fuzz;

struct Input {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
  uint8_t Byte() { return pos < size ? data[pos++] : 0; }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
  uint32_t Dword() { return Word() | (static_cast<uint32_t>(Word()) << 16); }
  std::u16string Text() {
    std::u16string text(Byte() % 64 == 63 ? Word() % 3000 : Byte() % 40, u'a');
    for (char16_t& c : text) c = static_cast<char16_t>(1 + Word() % 0xFFFE);
    return text;
  }
  TemplateName Name() { return Byte() & 1 ? TemplateName::Ordinal(Word()) : TemplateName::Text(Text()); }
};

// What the checks look at; the other fields are read past. Every read fails at the end of the bytes.
struct Reader {
  const uint8_t* data;
  size_t size, pos = 0;
  bool Skip(size_t count) {
    if (count > size - pos) return false;
    pos += count;
    return true;
  }
  template <typename T>
  bool Take(T& v) {
    if (sizeof(T) > size - pos) return false;
    std::memcpy(&v, data + pos, sizeof(T));
    pos += sizeof(T);
    return true;
  }
  bool Text(std::u16string& out) {
    for (uint16_t c = 0; Take(c); out += static_cast<char16_t>(c)) {
      if (c == 0) return true;
    }
    return false;
  }
  bool Name(TemplateName& name) {
    if (pos + 2 > size || data[pos] != 0xFF || data[pos + 1] != 0xFF) return Text(name.text);
    name.isOrdinal = true;
    pos += 2;
    return Take(name.ordinal);
  }
};

// A block that cannot grow beyond `limit`, as when GlobalReAlloc fails.
struct LimitedBlock : VectorTemplateBlock {
  size_t limit = SIZE_MAX;
  bool Resize(size_t size) override { return size <= limit && VectorTemplateBlock::Resize(size); }
};

bool Same(const TemplateName& a, const TemplateName& b) {
  return std::tie(a.isOrdinal, a.ordinal, a.text) == std::tie(b.isOrdinal, b.ordinal, b.text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  LimitedBlock block;
  if (in.Byte() % 8 == 0) block.limit = in.Word();
  TemplateWriter writer(block);
  TemplateHeader header;
  header.style = in.Dword(), header.title = in.Text(), header.face = in.Text();
  header.menu = in.Name();
  header.windowClass = in.Name();
  writer.BeginTemplate(header);
  std::vector<TemplateItem> items;
  while (in.pos < size && items.size() < 300) {
    items.push_back({in.Name(), in.Dword(), static_cast<int16_t>(in.Word()), 0, 0, 0, in.Dword(), 0, in.Name()});
    writer.AddItem(items.back());
  }
  Check(writer.Used() <= writer.Reserved() && writer.Reserved() <= block.limit);
  if (writer.Failed()) {  // reported, and nothing is written after it
    const size_t used = writer.Used();
    writer.AddItem(TemplateItem{});
    Check(writer.Used() == used);
    return 0;
  }
  Check(writer.Reserved() % kTemplateGrowthStep == 0);
  // Version 1 and the 0xFFFF signature, help id and extended style, the style, the item count,
  // the position and size; the names and the title; with a face, point size, weight, italic and
  // character set.
  Reader r{block.Bytes().data(), writer.Used()};
  uint32_t style = 0;
  uint16_t count = 0;
  TemplateName menu, windowClass;
  std::u16string title, face;
  Check(r.size >= 4 && std::memcmp(r.data, "\x01\x00\xFF\xFF", 4) == 0 && r.Skip(12) && r.Take(style));
  Check(r.Take(count) && r.Skip(8) && r.Name(menu) && r.Name(windowClass) && r.Text(title));
  Check(Same(header.menu, menu) && Same(header.windowClass, windowClass) && title == header.title);
  if (style & kDsSetFont) Check(r.Skip(6) && r.Text(face));
  Check(header.face.empty() ? (style & kDsSetFont) == 0 : face == header.face);
  Check(count == items.size());
  // Each item on a DWORD boundary: help id, extended style, style, position, size, id, class,
  // text and the creation data's size.
  for (const TemplateItem& item : items) {
    r.pos = (r.pos + 3) & ~size_t{3};
    TemplateName itemClass, text;
    uint32_t itemStyle = 0, id = 0;
    int16_t x = 0;
    uint16_t extra = 0;
    Check(r.Skip(8) && r.Take(itemStyle) && r.Take(x) && r.Skip(6) && r.Take(id) && r.Name(itemClass) && r.Name(text) &&
          r.Take(extra) && r.Skip(extra));
    Check(itemStyle == item.style && x == item.x && id == (item.id & 0xFFFF));
    Check(Same(item.windowClass, itemClass) && Same(item.text, text));
  }
  Check(r.pos == writer.Used());
  return 0;
}
