// The emulated task dialog's model: fonts, base units, metrics, colours, the resolved texts and
// the icons, and its layout measured with the owner's DC.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "frame/export_call.h"
#include "frame/high_contrast.h"
#include "frame/text_conversion.h"
#include "resources/taskdialog_ids.h"
#include "taskdialog/logic/dialog_units.h"
#include "taskdialog/logic/task_dialog_values.h"
#include "taskdialog/task_dialog_model.h"

namespace commonq {
namespace {

constexpr UINT kNonClientMetricsSize = 340;
constexpr int kMeasureHeight = 9999;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// Measures with DrawTextA on one DC of the owner window, in either of the run's two fonts.
class GdiTextMeasurer : public TextMeasurer {
 public:
  GdiTextMeasurer(HDC dc, HFONT body, HFONT main) : dc_(dc), body_(body), main_(main) {}
  TextSize Measure(std::string_view text, TextFont font, unsigned format, int width) override {
    if (text.empty() || dc_ == nullptr) return {};
    const SelectedObject selected(dc_, font == TextFont::kMain ? main_ : body_);
    RECT rect{0, 0, width, kMeasureHeight};
    ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
    return {rect.right - rect.left + 1, rect.bottom - rect.top + 1};
  }

 private:
  HDC dc_;
  HFONT body_;
  HFONT main_;
};

std::optional<std::string> OptionalText(PCWSTR field) {
  if (field == nullptr) return std::nullopt;
  return ResolveTaskDialogString(field, kTextBufferSize);
}

}  // namespace

std::string ResolveTaskDialogString(PCWSTR field, size_t size) {
  if (field == nullptr || size == 0) return {};
  std::vector<char> buffer(size, '\0');
  if (IS_INTRESOURCE(field)) {
    ::LoadStringA(LibraryInstance(), static_cast<UINT>(reinterpret_cast<ULONG_PTR>(field)), buffer.data(),
                  static_cast<int>(size));
    return buffer.data();
  }
  const size_t length = ::lstrlenW(field);
  std::vector<char> converted(length * 2 + 2, '\0');
  if (::WideCharToMultiByte(CP_ACP, 0, field, -1, converted.data(), static_cast<int>(converted.size()), nullptr,
                            nullptr) == 0) {
    return {};
  }
  ::lstrcpynA(buffer.data(), converted.data(), static_cast<int>(size));
  return buffer.data();
}

namespace {

// An icon of the configuration at size x size: owned when loaded from a module, shared for the
// system's icons (and the IDI_APPLICATION fallback).
TaskDialogIcon LoadTaskDialogIcon(HINSTANCE instance, PCWSTR field, int size) {
  if (field == nullptr) return {};
  const UINT sharedFlags = LR_SHARED | LR_LOADTRANSPARENT;
  const auto system = [&](LPCSTR id) {
    return TaskDialogIcon::Shared(static_cast<HICON>(::LoadImageA(nullptr, id, IMAGE_ICON, size, size, sharedFlags)));
  };
  const auto fromModule = [&](HINSTANCE module, LPCSTR name) {
    return TaskDialogIcon::Owned(
        static_cast<HICON>(::LoadImageA(module, name, IMAGE_ICON, size, size, LR_LOADTRANSPARENT)));
  };
  TaskDialogIcon icon;
  if (IS_INTRESOURCE(field)) {
    const auto value = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(field));
    switch (value) {
      case td::kErrorIcon:
        icon = system(IDI_HAND);
        break;
      case td::kWarningIcon:
        icon = system(IDI_EXCLAMATION);
        break;
      case td::kInformationIcon:
        icon = system(IDI_ASTERISK);
        break;
      case IDI_COMMAND_LINK_HOT:
      case IDI_COMMAND_LINK:
      case IDI_EXPANDO_EXPANDED:
      case IDI_EXPANDO_COLLAPSED:
        icon = fromModule(LibraryInstance(), MAKEINTRESOURCEA(value));
        break;
      default:
        icon = fromModule(instance, MAKEINTRESOURCEA(value));
        break;
    }
  } else {
    const std::string name = ResolveTaskDialogString(field, kTextBufferSize);
    icon = fromModule(instance, name.c_str());
  }
  if (!icon) icon = system(IDI_APPLICATION);
  return icon;
}

void ApplyConfigurationDefaults(TASKDIALOGCONFIG& config) {
  if (config.pszExpandedInformation != nullptr) {
    if (config.pszExpandedControlText == nullptr) config.pszExpandedControlText = L"Hide details";
    if (config.pszCollapsedControlText == nullptr) config.pszCollapsedControlText = L"Show details";
  }
  if (config.dwCommonButtons == 0 && config.cButtons == 0) config.dwCommonButtons = TDCBF_OK_BUTTON;
  if (config.dwCommonButtons & TDCBF_CANCEL_BUTTON) config.dwFlags |= TDF_ALLOW_DIALOG_CANCELLATION;
}

void CreateFonts(TaskDialogModel& model) {
  NONCLIENTMETRICSA nonClient{};
  nonClient.cbSize = kNonClientMetricsSize;
  ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &nonClient, 0);
  model.messageFont = nonClient.lfMessageFont;
  model.bodyFont.reset(::CreateFontIndirectA(&model.messageFont));
  LOGFONTA mainFont = model.messageFont;
  mainFont.lfHeight = MainInstructionHeight(mainFont.lfHeight, model.platform.modernControls);
  mainFont.lfWeight = MainInstructionWeight(mainFont.lfWeight, model.platform.modernControls);
  model.mainFont.reset(::CreateFontIndirectA(&mainFont));
}

// The body font's average character width and line height: the dialog units of the template.
void MeasureBaseUnits(TaskDialogModel& model, HDC dc) {
  const LONG units = ::GetDialogBaseUnits();
  model.input.baseUnitX = LOWORD(units);
  model.input.baseUnitY = HIWORD(units);
  if (dc == nullptr) return;
  const SelectedObject selected(dc, model.bodyFont.get());
  SIZE extent{};
  TEXTMETRICA metrics{};
  if (::GetTextExtentPoint32A(dc, kAlphabet, 52, &extent) && ::GetTextMetricsA(dc, &metrics)) {
    model.input.baseUnitX = (extent.cx + 26) / 52;
    model.input.baseUnitY = metrics.tmHeight + metrics.tmExternalLeading;
  }
}

std::vector<LayoutButton> ResolveButtons(const TASKDIALOG_BUTTON* buttons, UINT count) {
  std::vector<LayoutButton> resolved;
  for (UINT i = 0; i < count; ++i) {
    resolved.push_back({buttons[i].nButtonID, ResolveTaskDialogString(buttons[i].pszButtonText, kTextBufferSize)});
  }
  return resolved;
}

void ResolveTexts(TaskDialogLayoutInput& in, const TASKDIALOGCONFIG& config) {
  in.flags = config.dwFlags;
  in.commonButtons = static_cast<uint32_t>(config.dwCommonButtons);
  in.defaultButton = config.nDefaultButton;
  in.hasMainIcon = config.pszMainIcon != nullptr || (config.dwFlags & TDF_USE_HICON_MAIN);
  in.hasFooterIcon = config.pszFooterIcon != nullptr || (config.dwFlags & TDF_USE_HICON_FOOTER);
  in.mainInstruction = OptionalText(config.pszMainInstruction);
  in.content = OptionalText(config.pszContent);
  in.expandedInformation = OptionalText(config.pszExpandedInformation);
  in.verification = OptionalText(config.pszVerificationText);
  in.footer = OptionalText(config.pszFooter);
  in.collapsedLabel = ResolveTaskDialogString(config.pszCollapsedControlText, kTextBufferSize);
  in.expandedLabel = ResolveTaskDialogString(config.pszExpandedControlText, kTextBufferSize);
  in.buttons = ResolveButtons(config.pButtons, config.cButtons);
  in.radioButtons = ResolveButtons(config.pRadioButtons, config.cRadioButtons);
  for (const td::CommonButton& common : td::kCommonButtons) {
    in.commonButtonTexts.push_back(ResolveTaskDialogString(MAKEINTRESOURCEW(common.stringId), kTextBufferSize));
  }
  in.isLeadByte = &IsSystemLeadByte;
}

void MakeMetrics(TaskDialogModel& model) {
  SystemSizes sizes;
  sizes.menuCheckWidth = ::GetSystemMetrics(SM_CXMENUCHECK);
  sizes.menuCheckHeight = ::GetSystemMetrics(SM_CYMENUCHECK);
  sizes.smallIcon = ::GetSystemMetrics(SM_CYSMICON);
  sizes.largeIcon = ::GetSystemMetrics(SM_CYICON);
  model.input.metrics = MakeTaskDialogMetrics(model.input.baseUnitX, model.input.baseUnitY, sizes);
  model.input.modernControls = model.platform.modernControls;
  model.input.windows6 = model.platform.windows6;
}

void MakePalette(TaskDialogModel& model) {
  SystemColors colors;
  colors.buttonText = ::GetSysColor(COLOR_BTNTEXT);
  colors.buttonShadow = ::GetSysColor(COLOR_BTNSHADOW);
  colors.buttonHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  colors.buttonFace = ::GetSysColor(COLOR_BTNFACE);
  colors.window = ::GetSysColor(COLOR_WINDOW);
  colors.windowText = HighContrastColour(NamedColour::kBandText);
  colors.selection = HighContrastColour(NamedColour::kDefaultLinkFrame);
  const COLORREF adjusted = ::ColorAdjustLuma(colors.buttonShadow, SeparatorLumaStep(model.platform.windows6), TRUE);
  model.palette = MakeTaskDialogPalette(colors, adjusted, model.platform.modernControls, HighContrastOn());
  model.bandBrush.reset(::CreateSolidBrush(model.palette.band));
  model.faceBrush.reset(::CreateSolidBrush(model.palette.face));
}

}  // namespace

void RefreshTaskDialogPalette(TaskDialogModel& model) { MakePalette(model); }

void BuildTaskDialogModel(TaskDialogModel& model, const TASKDIALOGCONFIG& config, const TaskDialogPlatform& platform) {
  ::InitCommonControls();
  model.config = config;
  model.platform = platform;
  ApplyConfigurationDefaults(model.config);
  CreateFonts(model);
  const WindowDc dc(model.config.hwndParent);
  MeasureBaseUnits(model, dc.get());
  ResolveTexts(model.input, model.config);
  MakeMetrics(model);
  MakePalette(model);
}

TaskDialogLayout LayOutTaskDialog(const TaskDialogModel& model, bool expanded) {
  const WindowDc dc(model.config.hwndParent);
  GdiTextMeasurer measurer(dc.get(), model.bodyFont.get(), model.mainFont.get());
  return LayOutTaskDialog(model.input, measurer, model.config.cxWidth, expanded);
}

void LoadShownIcons(TaskDialogModel& model) {
  const TASKDIALOGCONFIG& config = model.config;
  const TaskDialogMetrics& metrics = model.Metrics();
  if (config.dwFlags & TDF_USE_HICON_MAIN) {
    model.mainIcon = TaskDialogIcon::Owned(config.hMainIcon);
  } else {
    model.mainIcon = LoadTaskDialogIcon(config.hInstance, config.pszMainIcon, metrics.largeIcon);
  }
  if (config.dwFlags & TDF_USE_HICON_FOOTER) {
    const bool heldByMain = model.mainIcon.IsOwned() && config.hFooterIcon == model.mainIcon.get();
    model.footerIcon =
        heldByMain ? TaskDialogIcon::Shared(config.hFooterIcon) : TaskDialogIcon::Owned(config.hFooterIcon);
  } else {
    model.footerIcon = LoadTaskDialogIcon(config.hInstance, config.pszFooterIcon, metrics.smallIcon);
  }
  const auto glyph = [&](int id) { return LoadTaskDialogIcon(config.hInstance, MAKEINTRESOURCEW(id), kGlyphSize); };
  model.linkGlyph = glyph(IDI_COMMAND_LINK);
  model.hotLinkGlyph = glyph(IDI_COMMAND_LINK_HOT);
  model.expandedGlyph = glyph(IDI_EXPANDO_EXPANDED);
  model.collapsedGlyph = glyph(IDI_EXPANDO_COLLAPSED);
}

}  // namespace commonq
