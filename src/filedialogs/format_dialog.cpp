#include "filedialogs/format_dialog.h"

#include <cstring>
#include <string>

#include "CommonQ.h"
#include "filedialogs/jpeg_dialog.h"
#include "filedialogs/obj_dialog.h"
#include "frame/export_call.h"
#include "resources/filedialogs_ids.h"

namespace commonq {
namespace {

// The formats whose dialog does more than its table says; every other format runs the table's.
struct SpecialisedFormat {
  int templateId;
  int (*run)(const FormatTable&, HWND);
};
constexpr SpecialisedFormat kSpecialisedFormats[] = {
    {IDD_JPEG_OPTIONS, &RunJpegOptionsDialog},
    {IDD_3D_OPTIONS, &RunObjOptionsDialog},
};

}  // namespace

int RunFormatOptionsDialog(const char* extension, HWND owner) {
  const FormatTable* format = extension != nullptr ? FindFormat(extension) : nullptr;
  if (format == nullptr) return IDOK;
  HWND parent = owner != nullptr ? owner : ::GetActiveWindow();
  for (const SpecialisedFormat& special : kSpecialisedFormats) {
    if (special.templateId == format->templateId) return special.run(*format, parent);
  }
  return RunTableFormatOptionsDialog(*format, parent);
}

}  // namespace commonq

extern "C" int __cdecl DlgFormatOptionDoModal(DlgFormatOptionParams* params) noexcept {
  try {
    if (params == nullptr) return 0;
    commonq::ExportCall call;
    if (!call.Started()) return 0;
    // The buffer need not hold a NUL: nothing past its 260 bytes is read.
    const std::string extension(params->szExtension, ::strnlen(params->szExtension, sizeof params->szExtension));
    return commonq::RunFormatOptionsDialog(extension.c_str());
  } catch (...) {
    return 0;
  }
}
