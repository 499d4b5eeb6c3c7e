#include "taskdialog/template_writer.h"

#include <gtest/gtest.h>

#include "taskdialog/dialog_units.h"
#include "template_reader.h"

namespace commonq {
namespace {

using testing::TemplateReader;

TemplateHeader TaskDialogHeader() {
  TemplateHeader h;
  h.title = u"Title";
  h.x = 10;
  h.y = 20;
  h.cx = 300;
  h.cy = 200;
  h.style = 0x86C00881;
  h.face = u"Tahoma";
  h.pointSize = 8;
  h.weight = 400;
  h.charSet = 1;
  return h;
}

TemplateItem Item(uint32_t id, std::u16string text) {
  TemplateItem item;
  item.windowClass = TemplateName::Text(u"BUTTON");
  item.id = id;
  item.x = 1;
  item.y = 2;
  item.cx = 3;
  item.cy = 4;
  item.style = 0x50012000;
  item.text = TemplateName::Text(std::move(text));
  return item;
}

TEST(TemplateWriter, ExtendedHeaderIsByteExact) {
  VectorTemplateBlock block;
  TemplateWriter writer(block);
  TemplateHeader h = TaskDialogHeader();
  h.title = u"T";
  h.face = u"A";
  writer.BeginTemplate(h);
  const std::vector<uint8_t> expected = {
      0x01, 0x00, 0xFF, 0xFF,                          // dlgVer, signature
      0x00, 0x00, 0x00, 0x00,                          // helpID
      0x00, 0x00, 0x00, 0x00,                          // exStyle
      0xC1, 0x08, 0xC0, 0x86,                          // style with DS_SETFONT
      0x00, 0x00,                                      // cDlgItems
      0x0A, 0x00, 0x14, 0x00, 0x2C, 0x01, 0xC8, 0x00,  // x, y, cx, cy
      0x00, 0x00, 0x00, 0x00,                          // menu, class
      'T',  0x00, 0x00, 0x00,                          // title
      0x08, 0x00, 0x90, 0x01, 0x00, 0x01,              // point size, weight, italic, charset
      'A',  0x00, 0x00, 0x00,                          // face
  };
  ASSERT_EQ(writer.Used(), expected.size());
  EXPECT_EQ(std::vector<uint8_t>(block.Bytes().begin(), block.Bytes().begin() + expected.size()), expected);
  EXPECT_EQ(writer.Reserved(), 1024u);
  EXPECT_EQ(block.Bytes().size(), 1024u);
}

TEST(TemplateWriter, ExtendedItemIsAlignedAndByteExact) {
  VectorTemplateBlock block;
  TemplateWriter writer(block);
  TemplateHeader h = TaskDialogHeader();
  h.title = u"Tt";
  h.face = u"A";
  writer.BeginTemplate(h);  // 46 bytes: the item starts at 48
  TemplateItem item;
  item.windowClass = TemplateName::Ordinal(0x0080);
  item.id = 0x17401;  // only the low 16 bits are kept
  item.x = 1;
  item.y = 2;
  item.cx = 3;
  item.cy = 4;
  item.style = 0x80;
  writer.AddItem(item);
  const std::vector<uint8_t> expected = {
      0x00, 0x00, 0x00, 0x00,                          // helpID
      0x00, 0x00, 0x00, 0x00,                          // exStyle
      0x80, 0x00, 0x00, 0x56,                          // style with the child bits
      0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00,  // x, y, cx, cy
      0x01, 0x74, 0x00, 0x00,                          // id
      0xFF, 0xFF, 0x80, 0x00,                          // class atom
      0x00, 0x00,                                      // empty text
      0x00, 0x00,                                      // creation data size
  };
  ASSERT_EQ(writer.Used(), 48 + expected.size());
  EXPECT_EQ(block.Bytes()[46], 0);
  EXPECT_EQ(block.Bytes()[47], 0);
  EXPECT_EQ(std::vector<uint8_t>(block.Bytes().begin() + 48, block.Bytes().begin() + 48 + expected.size()), expected);
  EXPECT_EQ(writer.ItemCount(), 1);
}

TEST(TemplateWriter, ClassicFormWithoutFaceDropsTheFont) {
  VectorTemplateBlock block;
  TemplateWriter writer(block);
  TemplateHeader h;
  h.extended = false;
  h.style = 0x80C800C0;  // DS_SETFONT given but no face
  h.title = u"";
  h.menu = TemplateName::Ordinal(7);
  writer.BeginTemplate(h);
  TemplateItem item = Item(0x1234, u"");
  item.text = TemplateName::Ordinal(42);
  writer.AddItem(item);
  const auto read = TemplateReader(block.Bytes().data(), writer.Used()).Read();
  ASSERT_TRUE(read.has_value());
  EXPECT_FALSE(read->extended);
  EXPECT_EQ(read->style, 0x80C80080u);
  EXPECT_TRUE(read->menu.isOrdinal);
  EXPECT_EQ(read->menu.ordinal, 7);
  ASSERT_EQ(read->items.size(), 1u);
  EXPECT_EQ(read->items[0].offset, 28u);  // 18 + menu 4 + class 2 + title 2, aligned
  EXPECT_EQ(read->items[0].id, 0x1234u);
  EXPECT_TRUE(read->items[0].text.isOrdinal);
  EXPECT_EQ(read->items[0].text.ordinal, 42);
  EXPECT_EQ(read->end, writer.Used());
  // Classic item: 18 fixed bytes, class "BUTTON" 14, ordinal text 4, creation data 2.
  EXPECT_EQ(writer.Used(), 28u + 18 + 14 + 4 + 2);
}

TEST(TemplateWriter, GrowsInSteps_KeepingItemsAlignedAndCounted) {
  VectorTemplateBlock block;
  TemplateWriter writer(block);
  writer.BeginTemplate(TaskDialogHeader());
  for (int i = 0; i < 60; ++i) writer.AddItem(Item(0x7420 + i, std::u16string(i % 7, u'x')));
  EXPECT_GT(writer.Used(), 2048u);
  EXPECT_EQ(writer.Reserved() % 1024, 0u);
  EXPECT_LT(writer.Reserved() - writer.Used(), 1024u);
  const auto read = TemplateReader(block.Bytes().data(), writer.Used()).Read();
  ASSERT_TRUE(read.has_value());
  ASSERT_EQ(read->items.size(), 60u);
  EXPECT_EQ(writer.ItemCount(), 60);
  for (int i = 0; i < 60; ++i) {
    EXPECT_EQ(read->items[i].offset % 4, 0u);
    EXPECT_EQ(read->items[i].id, static_cast<uint32_t>(0x7420 + i));
    EXPECT_EQ(read->items[i].text.text.size(), static_cast<size_t>(i % 7));
    EXPECT_EQ(read->items[i].style, 0x56012000u);
  }
}

TEST(TemplateWriter, LongTextGrowsByMoreThanOneStep) {
  VectorTemplateBlock block;
  TemplateWriter writer(block);
  writer.BeginTemplate(TaskDialogHeader());
  writer.AddItem(Item(1, std::u16string(3000, u'a')));
  // 6002 bytes of text at once: (6002 / 1024 + 1) steps are added in one go.
  EXPECT_EQ(writer.Reserved(), 1024u + 6u * 1024u);
  const auto read = TemplateReader(block.Bytes().data(), writer.Used()).Read();
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->items[0].text.text.size(), 3000u);
}

class RefusingBlock : public TemplateBlock {
 public:
  explicit RefusingBlock(size_t limit) : limit_(limit) {}
  bool Resize(size_t size) override {
    if (size > limit_) return false;
    bytes_.resize(size);
    return true;
  }
  uint8_t* Data() override { return bytes_.data(); }

 private:
  size_t limit_;
  std::vector<uint8_t> bytes_;
};

TEST(TemplateWriter, ReportsAFailedGrowthAndWritesNothingAfterIt) {
  RefusingBlock block(1024);
  TemplateWriter writer(block);
  writer.BeginTemplate(TaskDialogHeader());
  EXPECT_FALSE(writer.Failed());
  writer.AddItem(Item(1, std::u16string(600, u'a')));
  EXPECT_TRUE(writer.Failed());
  const size_t used = writer.Used();
  writer.AddItem(Item(2, u"b"));
  EXPECT_EQ(writer.Used(), used);
  EXPECT_LE(writer.Used(), 1024u);

  RefusingBlock none(0);
  TemplateWriter empty(none);
  empty.BeginTemplate(TaskDialogHeader());
  EXPECT_TRUE(empty.Failed());
  empty.AddItem(Item(1, u"a"));
  EXPECT_EQ(empty.Used(), 0u);
  EXPECT_EQ(empty.ItemCount(), 0);
}

TEST(TemplateWriter, ClassicStyleWithTheSignatureBitsStaysClassic) {
  // Found by fuzzing: a classic style whose high word is 0xFFFF made the items extended.
  VectorTemplateBlock block;
  TemplateWriter writer(block);
  TemplateHeader h;
  h.extended = false;
  h.style = 0xFFFFFF28;
  writer.BeginTemplate(h);
  writer.AddItem(Item(7, u"a"));
  EXPECT_FALSE(writer.Extended());
  const auto read = TemplateReader(block.Bytes().data(), writer.Used()).Read();
  ASSERT_TRUE(read.has_value());
  ASSERT_EQ(read->items.size(), 1u);
  EXPECT_EQ(read->items[0].id, 7u);
  EXPECT_EQ(read->end, writer.Used());
}

TEST(TemplateWriter, ItemBeforeHeaderIsIgnored) {
  VectorTemplateBlock block;
  TemplateWriter writer(block);
  writer.AddItem(Item(1, u"a"));
  EXPECT_EQ(writer.Used(), 0u);
}

TEST(DialogUnits, MulDivRoundsToNearestAwayFromZero) {
  EXPECT_EQ(RoundingMulDiv(10, 8, 13), 6);   // 6.15
  EXPECT_EQ(RoundingMulDiv(42, 8, 13), 26);  // 25.85
  EXPECT_EQ(RoundingMulDiv(3, 1, 2), 2);     // 1.5 rounds up
  EXPECT_EQ(RoundingMulDiv(-3, 1, 2), -2);   // -1.5 rounds away from zero
  EXPECT_EQ(RoundingMulDiv(3, 1, -2), -2);
  EXPECT_EQ(RoundingMulDiv(5, 7, 0), -1);
  EXPECT_EQ(RoundingMulDiv(0x7FFFFFFF, 4, 1), -1);
  EXPECT_EQ(RoundingMulDiv(0x40000000, 4, 2), -1);  // the 64-bit product fits, the result does not
  EXPECT_EQ(RoundingMulDiv(0x40000000, 2, 4), 0x20000000);
}

TEST(DialogUnits, RectangleConvertsEdgesThenTakesDifferences) {
  const DialogUnitRect r = PixelsToDialogUnits(15, 10, 45, 42, 6, 13);
  EXPECT_EQ(r.x, 10);
  EXPECT_EQ(r.y, 6);
  EXPECT_EQ(r.cx, 20);
  EXPECT_EQ(r.cy, 20);
  // Two adjacent rectangles stay adjacent in dialog units.
  const DialogUnitRect a = PixelsToDialogUnits(0, 0, 17, 17, 7, 15);
  const DialogUnitRect b = PixelsToDialogUnits(17, 17, 40, 40, 7, 15);
  EXPECT_EQ(a.x + a.cx, b.x);
  EXPECT_EQ(a.y + a.cy, b.y);
}

}  // namespace
}  // namespace commonq
