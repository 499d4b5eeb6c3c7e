// Writes a random sequence of headers and items and checks that the block reads back to exactly
// what was written, with every item on a 4-byte boundary.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "native/template_reader.h"
#include "taskdialog/template_writer.h"

namespace {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
  uint32_t Dword() { return Word() | (static_cast<uint32_t>(Word()) << 16); }
  bool Done() const { return pos_ >= size_; }
  std::u16string Text() {
    std::u16string text(Byte() % 64 == 63 ? Word() % 3000 : Byte() % 40, u'a');
    for (char16_t& c : text) c = static_cast<char16_t>(1 + Word() % 0xFFFE);
    return text;
  }
  commonq::TemplateName Name() {
    if (Byte() & 1) return commonq::TemplateName::Ordinal(Word());
    return commonq::TemplateName::Text(Text());
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

void Check(bool condition) {
  if (!condition) std::abort();
}

bool SameName(const commonq::TemplateName& written, const commonq::testing::ReadName& read) {
  if (written.isOrdinal) return read.isOrdinal && read.ordinal == written.ordinal;
  return !read.isOrdinal && read.text == written.text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  commonq::VectorTemplateBlock block;
  commonq::TemplateWriter writer(block);
  commonq::TemplateHeader header;
  header.extended = (in.Byte() & 1) != 0;
  header.style = in.Dword();
  header.title = in.Text();
  header.face = in.Text();
  // A classic style that is 0xFFFF0001 once DS_SETFONT follows the face reads as the extended
  // form's version and signature; the system tells the forms apart the same way.
  const uint32_t written =
      header.face.empty() ? header.style & ~commonq::kDsSetFont : header.style | commonq::kDsSetFont;
  if (!header.extended && written == 0xFFFF0001) header.style ^= 0x2;
  header.exStyle = in.Dword();
  header.x = static_cast<int16_t>(in.Word());
  header.cx = static_cast<int16_t>(in.Word());
  header.menu = in.Name();
  header.windowClass = in.Name();
  writer.BeginTemplate(header);
  std::vector<commonq::TemplateItem> items;
  while (!in.Done() && items.size() < 300) {
    commonq::TemplateItem item;
    item.windowClass = in.Name();
    item.text = in.Name();
    item.id = in.Dword();
    item.style = in.Dword();
    item.x = static_cast<int16_t>(in.Word());
    item.cy = static_cast<int16_t>(in.Word());
    writer.AddItem(item);
    items.push_back(item);
  }
  Check(!writer.Failed());
  Check(writer.Reserved() % commonq::kTemplateGrowthStep == 0);
  Check(writer.Used() <= writer.Reserved());
  const auto read = commonq::testing::TemplateReader(block.Bytes().data(), writer.Used()).Read();
  Check(read.has_value());
  Check(read->end == writer.Used());
  Check(read->extended == header.extended);
  Check(read->title == header.title);
  Check(SameName(header.menu, read->menu) && SameName(header.windowClass, read->windowClass));
  Check(header.face.empty() ? (read->style & commonq::kDsSetFont) == 0 : read->face == header.face);
  Check(read->items.size() == items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    const auto& r = read->items[i];
    Check(r.offset % 4 == 0);
    Check(r.style == (items[i].style | commonq::kItemBaseStyle));
    Check(r.id == (header.extended ? items[i].id & 0xFFFF : static_cast<uint16_t>(items[i].id)));
    Check(r.x == items[i].x && r.cy == items[i].cy);
    Check(SameName(items[i].windowClass, r.windowClass) && SameName(items[i].text, r.text));
  }
  return 0;
}
