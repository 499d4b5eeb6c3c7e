#pragma once
// Writes an in-memory dialog template (the extended DLGTEMPLATEEX form) into a
// growable block of bytes. Texts arrive as UTF-16; the Win32 tier converts from ANSI.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace commonq {

// The storage under a template: the Win32 tier backs it with global memory, the fuzz target and
// the benchmark with a vector.
class TemplateBlock {
 public:
  virtual ~TemplateBlock() = default;
  // Makes the block `size` bytes long, keeping its contents and zero-filling the new bytes.
  // Returns false (and keeps the old block) when the memory cannot be had.
  virtual bool Resize(size_t size) = 0;
  virtual uint8_t* Data() = 0;
};

// A menu, class or text field: an ordinal (0xFFFF then the value), a string, or nothing (one 0).
struct TemplateName {
  bool isOrdinal = false;
  uint16_t ordinal = 0;
  std::u16string text;
  static TemplateName Ordinal(uint16_t value) { return {true, value, {}}; }
  static TemplateName Text(std::u16string value) { return {false, 0, std::move(value)}; }
};

struct TemplateHeader {
  std::u16string title;
  int16_t x = 0;
  int16_t y = 0;
  int16_t cx = 0;
  int16_t cy = 0;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  // An empty face means no font: DS_SETFONT is cleared from the style.
  std::u16string face;
  uint16_t pointSize = 0;
  uint16_t weight = 0;
  uint8_t italic = 0;
  uint8_t charSet = 0;
  uint32_t helpId = 0;
  TemplateName windowClass;
  TemplateName menu;
};

struct TemplateItem {
  TemplateName windowClass;
  uint32_t id = 0;
  int16_t x = 0;
  int16_t y = 0;
  int16_t cx = 0;
  int16_t cy = 0;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  TemplateName text;
};

inline constexpr uint32_t kDsSetFont = 0x40;
// The task dialog's items are visible children that clip their siblings and children.
inline constexpr uint32_t kItemBaseStyle = 0x56000000;
inline constexpr uint32_t kItemVisible = 0x10000000;
inline constexpr size_t kTemplateGrowthStep = 1024;
inline constexpr size_t kHeaderSize = 26;
inline constexpr size_t kItemSize = 24;

class TemplateWriter {
 public:
  explicit TemplateWriter(TemplateBlock& block) : block_(block) {}

  // Starts the template: header and its trailing menu, class, title and font.
  void BeginTemplate(const TemplateHeader& header);
  // Appends one item on a 4-byte boundary and counts it in the header. Does nothing before
  // BeginTemplate.
  void AddItem(const TemplateItem& item);
  void AppendBytes(const void* data, size_t count);
  void AppendText(std::u16string_view text);

  size_t Used() const { return used_; }
  size_t Reserved() const { return reserved_; }
  // Set once a write could not get memory; the template is then incomplete and must not be shown.
  bool Failed() const { return failed_; }

 private:
  bool Ensure(size_t count);
  void Append16(uint16_t value) { AppendBytes(&value, sizeof value); }
  void Append32(uint32_t value) { AppendBytes(&value, sizeof value); }
  void AppendName(const TemplateName& name);
  void AlignTo4();

  TemplateBlock& block_;
  size_t used_ = 0;
  size_t reserved_ = 0;
  bool begun_ = false;
  bool failed_ = false;
};

}  // namespace commonq
