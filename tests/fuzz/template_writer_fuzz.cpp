// Writes a random header and items and checks that the block reads back to exactly what was
// written: names, texts (now and then longer than a growth step), ids and styles; or, in a
// block that cannot grow, that the failure is reported and nothing is written past it.
#include <cstdint>
#include <cstdlib>

#include "dialog_template.h"
#include "vector_template_block.h"

namespace {

using namespace commonq;

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

// A block that cannot grow beyond `limit`, as when GlobalReAlloc fails.
struct LimitedBlock : VectorTemplateBlock {
  size_t limit = SIZE_MAX;
  bool Resize(size_t size) override { return size <= limit && VectorTemplateBlock::Resize(size); }
};

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Same(const TemplateName& written, const testing::ReadName& read) {
  return written.isOrdinal ? read.isOrdinal && read.ordinal == written.ordinal
                           : !read.isOrdinal && read.text == written.text;
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
  const auto read = testing::TemplateReader(block.Bytes().data(), writer.Used()).Read();
  Check(read && read->end == writer.Used() && read->extended && read->title == header.title);
  Check(Same(header.menu, read->menu) && Same(header.windowClass, read->windowClass));
  Check(header.face.empty() ? (read->style & kDsSetFont) == 0 : read->face == header.face);
  Check(read->items.size() == items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    const testing::ReadItem& r = read->items[i];
    Check(r.style == items[i].style && r.x == items[i].x);
    Check(r.id == (items[i].id & 0xFFFF));
    Check(Same(items[i].windowClass, r.windowClass) && Same(items[i].text, r.text));
  }
  return 0;
}
