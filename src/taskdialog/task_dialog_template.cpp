// The emulated task dialog's in-memory template: the frame from the model, one item per control
// of the layout, in global memory that stays locked while the dialog runs.
#include "taskdialog/task_dialog_template.h"

#include <string>

#include "frame/text_conversion.h"
#include "taskdialog/logic/dialog_units.h"

namespace commonq {
namespace {

constexpr size_t kTitleBufferSize = 120;

std::u16string ToTemplateText(const std::string& text) {
  const std::wstring wide = WidenAnsi(text);
  return std::u16string(wide.begin(), wide.end());
}

TemplateHeader MakeTemplateHeader(const TaskDialogModel& model, const TaskDialogLayout& layout) {
  const TASKDIALOGCONFIG& config = model.config;
  RECT reference{};
  if ((config.dwFlags & TDF_POSITION_RELATIVE_TO_WINDOW) && ::IsWindow(config.hwndParent)) {
    ::GetWindowRect(config.hwndParent, &reference);
  } else {
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &reference, 0);
  }
  const DialogFrame frame =
      MakeDialogFrame(config.dwFlags, layout.width, layout.height, model.input.baseUnitX, model.input.baseUnitY,
                      {reference.left, reference.top, reference.right, reference.bottom});
  TemplateHeader header;
  header.title = ToTemplateText(ResolveTaskDialogString(config.pszWindowTitle, kTitleBufferSize));
  header.style = frame.style;
  header.exStyle = frame.exStyle;
  header.x = static_cast<int16_t>(frame.x);
  header.y = static_cast<int16_t>(frame.y);
  header.cx = static_cast<int16_t>(frame.cx);
  header.cy = static_cast<int16_t>(frame.cy);
  const LOGFONTA& font = model.messageFont;
  header.face = ToTemplateText(font.lfFaceName);
  const WindowDc screen(nullptr);
  header.pointSize = static_cast<uint16_t>(TemplatePointSize(font.lfHeight, ::GetDeviceCaps(screen.get(), LOGPIXELSY)));
  header.weight = static_cast<uint16_t>(font.lfWeight);
  header.italic = font.lfItalic;
  header.charSet = font.lfCharSet;
  return header;
}

DialogUnitRect TemplateUnits(const TaskDialogModel& model, const LayoutItem& item) {
  return PixelsToDialogUnits(item.rect.left, item.rect.top, item.rect.right, item.rect.bottom, model.input.baseUnitX,
                             model.input.baseUnitY);
}

TemplateItem MakeTemplateItem(const TaskDialogModel& model, const LayoutItem& item) {
  return LaidOutTemplateItem(item, model.input.baseUnitX, model.input.baseUnitY, ToTemplateText(item.className),
                             ToTemplateText(item.text));
}

}  // namespace

bool GlobalTemplateBlock::Resize(size_t size) {
  lock_.reset();
  HGLOBAL grown = memory_ ? ::GlobalReAlloc(memory_.get(), size, GMEM_MOVEABLE | GMEM_ZEROINIT)
                          : ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (grown != nullptr) {
    memory_.release();
    memory_.reset(grown);
  }
  if (memory_) lock_.emplace(memory_.get());
  return grown != nullptr && Data() != nullptr;
}

bool WriteTaskDialogTemplate(const TaskDialogModel& model, const TaskDialogLayout& layout, TemplateBlock& block) {
  TemplateWriter writer(block);
  writer.BeginTemplate(MakeTemplateHeader(model, layout));
  for (const LayoutItem& item : layout.items) writer.AddItem(MakeTemplateItem(model, item));
  return !writer.Failed();
}

RECT CreatedControlRect(HWND dialog, const TaskDialogModel& model, const LayoutItem& item) {
  const DialogUnitRect units = TemplateUnits(model, item);
  // MapDialogRect turns each field on its own, as the dialog manager turns an item's position and
  // size; the converted size then gives the right and bottom edges.
  RECT place{units.x, units.y, units.cx, units.cy};
  ::MapDialogRect(dialog, &place);
  return {place.left, place.top, place.left + place.right, place.top + place.bottom};
}

}  // namespace commonq
