#include "taskdialog/logic/template_writer.h"

#include <cstring>
#include <new>

namespace commonq {
namespace {

constexpr uint16_t kOrdinalMarker = 0xFFFF;
constexpr size_t kCountOffset = 16;

}  // namespace

bool TemplateWriter::Ensure(size_t count) {
  if (failed_) return false;
  if (reserved_ - used_ >= count) return true;
  const size_t grown = reserved_ + (count / kTemplateGrowthStep + 1) * kTemplateGrowthStep;
  if (!block_.Resize(grown)) {
    failed_ = true;
    return false;
  }
  reserved_ = grown;
  return true;
}

void TemplateWriter::AppendBytes(const void* data, size_t count) {
  if (count == 0 || !Ensure(count)) return;
  std::memcpy(block_.Data() + used_, data, count);
  used_ += count;
}

void TemplateWriter::AppendText(std::u16string_view text) {
  const size_t length = text.find(u'\0') == std::u16string_view::npos ? text.size() : text.find(u'\0');
  if (!Ensure((length + 1) * sizeof(char16_t))) return;
  AppendBytes(text.data(), length * sizeof(char16_t));
  Append16(0);
}

void TemplateWriter::AppendName(const TemplateName& name) {
  if (name.isOrdinal) {
    Append16(kOrdinalMarker);
    Append16(name.ordinal);
  } else {
    AppendText(name.text);
  }
}

void TemplateWriter::AlignTo4() {
  const size_t padding = (4 - used_ % 4) % 4;
  const uint8_t zeros[4] = {};
  AppendBytes(zeros, padding);
}

void TemplateWriter::BeginTemplate(const TemplateHeader& header) {
  if (begun_ || !Ensure(kHeaderSize)) return;
  begun_ = true;
  const bool hasFont = !header.face.empty();
  Append16(1);  // version 1 and the signature make the template an extended one
  Append16(kOrdinalMarker);
  Append32(header.helpId);
  Append32(header.exStyle);
  Append32(hasFont ? (header.style | kDsSetFont) : (header.style & ~kDsSetFont));
  Append16(0);
  for (const int16_t value : {header.x, header.y, header.cx, header.cy}) Append16(static_cast<uint16_t>(value));
  AppendName(header.menu);
  AppendName(header.windowClass);
  AppendText(header.title);
  if (!hasFont) return;
  Append16(header.pointSize);
  Append16(header.weight);
  const uint8_t italicAndCharSet[2] = {header.italic, header.charSet};
  AppendBytes(italicAndCharSet, sizeof italicAndCharSet);
  AppendText(header.face);
}

void TemplateWriter::AddItem(const TemplateItem& item) {
  if (!begun_ || failed_) return;
  AlignTo4();
  if (!Ensure(kItemSize)) return;
  uint16_t count = 0;
  std::memcpy(&count, block_.Data() + kCountOffset, sizeof count);
  ++count;
  std::memcpy(block_.Data() + kCountOffset, &count, sizeof count);
  Append32(0);  // help id
  Append32(item.exStyle);
  Append32(item.style);
  for (const int16_t value : {item.x, item.y, item.cx, item.cy}) Append16(static_cast<uint16_t>(value));
  Append32(item.id & 0xFFFF);
  AppendName(item.windowClass);
  AppendName(item.text);
  Append16(0);
}

}  // namespace commonq
