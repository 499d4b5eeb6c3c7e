// The emulated task dialog's model: fonts, base units, metrics, colours, the resolved texts and
// the in-memory template that the layout fills.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "frame/module_state.h"
#include "frame/text_conversion.h"
#include "taskdialog/dialog_units.h"
#include "taskdialog/task_dialog_run.h"
#include "taskdialog/task_dialog_values.h"

namespace commonq {
namespace {

constexpr size_t kTextBufferSize = 2048;
constexpr size_t kTitleBufferSize = 120;
constexpr UINT kNonClientMetricsSize = 340;
constexpr int kMeasureHeight = 9999;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

std::u16string ToTemplateText(const std::string& text) {
  const std::wstring wide = WidenAnsi(text);
  return std::u16string(wide.begin(), wide.end());
}

bool IsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

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

TaskDialogIcon LoadTaskDialogIcon(HINSTANCE instance, PCWSTR field, int size) {
  if (field == nullptr) return {};
  const UINT sharedFlags = LR_SHARED | LR_LOADTRANSPARENT;
  const auto system = [&](WORD id) {
    return TaskDialogIcon::Shared(
        static_cast<HICON>(::LoadImageA(nullptr, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, sharedFlags)));
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
        icon = system(32513);
        break;
      case td::kWarningIcon:
        icon = system(32515);
        break;
      case td::kInformationIcon:
        icon = system(32516);
        break;
      case 1027:
      case 1028:
      case 1029:
      case 1030:
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
  if (!icon) icon = system(32512);
  return icon;
}

void DestroyCallerIcons(const TASKDIALOGCONFIG& config) noexcept {
  const UniqueIcon main((config.dwFlags & TDF_USE_HICON_MAIN) ? config.hMainIcon : nullptr);
  const bool footerGiven = (config.dwFlags & TDF_USE_HICON_FOOTER) && config.hFooterIcon != main.get();
  const UniqueIcon footer(footerGiven ? config.hFooterIcon : nullptr);
}

GlobalTemplateBlock::~GlobalTemplateBlock() {
  if (locked_ != nullptr) ::GlobalUnlock(memory_.get());
}

bool GlobalTemplateBlock::Resize(size_t size) {
  if (!memory_) {
    UniqueGlobal fresh(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!fresh) return false;
    auto* locked = static_cast<uint8_t*>(::GlobalLock(fresh.get()));
    if (locked == nullptr) return false;
    memory_ = std::move(fresh);
    locked_ = locked;
    return true;
  }
  ::GlobalUnlock(memory_.get());
  locked_ = nullptr;
  HGLOBAL grown = ::GlobalReAlloc(memory_.get(), size, GMEM_MOVEABLE | GMEM_ZEROINIT);
  if (grown != nullptr) {
    memory_.release();
    memory_.reset(grown);
  }
  locked_ = static_cast<uint8_t*>(::GlobalLock(memory_.get()));
  return grown != nullptr && locked_ != nullptr;
}

TaskDialogRun::TaskDialogRun(const TASKDIALOGCONFIG& config, const TaskDialogPlatform& platform)
    : config_(config), platform_(platform) {
  const LONG units = ::GetDialogBaseUnits();
  bx_ = LOWORD(units);
  by_ = HIWORD(units);
  timerBase_ = ::GetTickCount();
  if (config_.pszExpandedInformation != nullptr) {
    if (config_.pszExpandedControlText == nullptr) config_.pszExpandedControlText = L"Hide details";
    if (config_.pszCollapsedControlText == nullptr) config_.pszCollapsedControlText = L"Show details";
  }
}

HRESULT TaskDialogRun::Show() {
  if (!BuildModel()) return E_OUTOFMEMORY;
  WriteItems();
  if (writer_.Failed()) return E_OUTOFMEMORY;
  RunModalIndirect(reinterpret_cast<const DLGTEMPLATE*>(block_.Data()), config_.hwndParent);
  switch (AbandonedBy()) {
    case Abandoned::kOutOfMemory:
      return E_OUTOFMEMORY;
    case Abandoned::kOther:
      return E_FAIL;
    default:
      return S_OK;
  }
}

void TaskDialogRun::MeasureBaseUnits(HDC dc) {
  if (dc == nullptr) return;
  const SelectedObject selected(dc, bodyFont_.get());
  SIZE extent{};
  TEXTMETRICA metrics{};
  if (::GetTextExtentPoint32A(dc, kAlphabet, 52, &extent) && ::GetTextMetricsA(dc, &metrics)) {
    bx_ = (extent.cx + 26) / 52;
    by_ = metrics.tmHeight + metrics.tmExternalLeading;
  }
}

void TaskDialogRun::ResolveLayoutInput(HDC dc) {
  TaskDialogLayoutInput& in = input_;
  in.flags = config_.dwFlags;
  in.commonButtons = static_cast<uint32_t>(config_.dwCommonButtons);
  in.defaultButton = config_.nDefaultButton;
  in.hasMainIcon = config_.pszMainIcon != nullptr || (config_.dwFlags & TDF_USE_HICON_MAIN);
  in.hasFooterIcon = config_.pszFooterIcon != nullptr || (config_.dwFlags & TDF_USE_HICON_FOOTER);
  in.mainInstruction = OptionalText(config_.pszMainInstruction);
  in.content = OptionalText(config_.pszContent);
  in.expandedInformation = OptionalText(config_.pszExpandedInformation);
  in.verification = OptionalText(config_.pszVerificationText);
  in.footer = OptionalText(config_.pszFooter);
  in.collapsedLabel = ResolveTaskDialogString(config_.pszCollapsedControlText, kTextBufferSize);
  in.expandedLabel = ResolveTaskDialogString(config_.pszExpandedControlText, kTextBufferSize);
  in.buttons.clear();
  for (UINT i = 0; i < config_.cButtons; ++i) {
    in.buttons.push_back(
        {config_.pButtons[i].nButtonID, ResolveTaskDialogString(config_.pButtons[i].pszButtonText, kTextBufferSize)});
  }
  in.radioButtons.clear();
  for (UINT i = 0; i < config_.cRadioButtons; ++i) {
    in.radioButtons.push_back({config_.pRadioButtons[i].nButtonID,
                               ResolveTaskDialogString(config_.pRadioButtons[i].pszButtonText, kTextBufferSize)});
  }
  in.commonButtonTexts.clear();
  for (const td::CommonButton& common : td::kCommonButtons) {
    in.commonButtonTexts.push_back(ResolveTaskDialogString(MAKEINTRESOURCEW(common.stringId), kTextBufferSize));
  }
  in.modernControls = platform_.modernControls;
  in.windows6 = platform_.windows6;
  MeasureBaseUnits(dc);
  in.x = bx_;
  in.y = by_;
  SystemSizes sizes;
  sizes.menuCheckWidth = ::GetSystemMetrics(SM_CXMENUCHECK);
  sizes.menuCheckHeight = ::GetSystemMetrics(SM_CYMENUCHECK);
  sizes.smallIcon = ::GetSystemMetrics(SM_CYSMICON);
  sizes.largeIcon = ::GetSystemMetrics(SM_CYICON);
  metrics_ = MakeTaskDialogMetrics(bx_, by_, sizes);
  in.metrics = metrics_;
  in.isLeadByte = &IsLeadByte;
}

bool TaskDialogRun::BuildModel() {
  ::InitCommonControls();
  NONCLIENTMETRICSA nonClient{};
  nonClient.cbSize = kNonClientMetricsSize;
  ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &nonClient, 0);
  messageFont_ = nonClient.lfMessageFont;
  bodyFont_.reset(::CreateFontIndirectA(&messageFont_));
  LOGFONTA mainFont = messageFont_;
  mainFont.lfHeight = MainInstructionHeight(mainFont.lfHeight, platform_.modernControls);
  mainFont.lfWeight = MainInstructionWeight(mainFont.lfWeight, platform_.modernControls);
  mainFont_.reset(::CreateFontIndirectA(&mainFont));

  // The configuration's defaults, before anything is measured.
  if (config_.dwCommonButtons == 0 && config_.cButtons == 0) config_.dwCommonButtons = TDCBF_OK_BUTTON;
  if (config_.dwCommonButtons & TDCBF_CANCEL_BUTTON) config_.dwFlags |= TDF_ALLOW_DIALOG_CANCELLATION;

  const WindowDc dc(config_.hwndParent);
  ResolveLayoutInput(dc.get());

  SystemColors colors;
  colors.buttonText = ::GetSysColor(COLOR_BTNTEXT);
  colors.buttonShadow = ::GetSysColor(COLOR_BTNSHADOW);
  colors.buttonHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  colors.buttonFace = ::GetSysColor(COLOR_BTNFACE);
  colors.window = ::GetSysColor(COLOR_WINDOW);
  const COLORREF adjusted = ::ColorAdjustLuma(colors.buttonShadow, SeparatorLumaStep(platform_.windows6), TRUE);
  palette_ = MakeTaskDialogPalette(colors, adjusted, platform_.modernControls);
  bandBrush_.reset(::CreateSolidBrush(palette_.band));
  faceBrush_.reset(::CreateSolidBrush(palette_.face));

  GdiTextMeasurer measurer(dc.get(), bodyFont_.get(), mainFont_.get());
  layout_ = TaskDialogLayoutState{};
  const TaskDialogSize size = MeasureTaskDialog(input_, measurer, layout_, config_.cxWidth);
  width_ = size.width;
  height_ = size.height;

  RECT reference{};
  if ((config_.dwFlags & TDF_POSITION_RELATIVE_TO_WINDOW) && ::IsWindow(config_.hwndParent)) {
    ::GetWindowRect(config_.hwndParent, &reference);
  } else {
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &reference, 0);
  }
  const DialogFrame frame = MakeDialogFrame(config_.dwFlags, width_, height_, bx_, by_,
                                            {reference.left, reference.top, reference.right, reference.bottom});
  TemplateHeader header;
  header.extended = true;
  header.title = ToTemplateText(ResolveTaskDialogString(config_.pszWindowTitle, kTitleBufferSize));
  header.style = frame.style;
  header.exStyle = frame.exStyle;
  header.x = static_cast<int16_t>(frame.x);
  header.y = static_cast<int16_t>(frame.y);
  header.cx = static_cast<int16_t>(frame.cx);
  header.cy = static_cast<int16_t>(frame.cy);
  header.face = ToTemplateText(messageFont_.lfFaceName);
  const WindowDc screen(nullptr);
  header.pointSize =
      static_cast<uint16_t>(TemplatePointSize(messageFont_.lfHeight, ::GetDeviceCaps(screen.get(), LOGPIXELSY)));
  header.weight = static_cast<uint16_t>(messageFont_.lfWeight);
  header.italic = messageFont_.lfItalic;
  header.charSet = messageFont_.lfCharSet;
  writer_.BeginTemplate(header);
  return !writer_.Failed();
}

void TaskDialogRun::WriteItems() {
  const WindowDc dc(config_.hwndParent);
  GdiTextMeasurer measurer(dc.get(), bodyFont_.get(), mainFont_.get());
  std::vector<LayoutItem> items;
  LayoutTaskDialog(input_, measurer, layout_, width_, &items);
  for (const LayoutItem& item : items) {
    const DialogUnitRect units =
        PixelsToDialogUnits(item.rect.left, item.rect.top, item.rect.right, item.rect.bottom, bx_, by_);
    TemplateItem out;
    out.windowClass = TemplateName::Text(ToTemplateText(item.className));
    out.id = static_cast<uint32_t>(item.id);
    out.x = static_cast<int16_t>(units.x);
    out.y = static_cast<int16_t>(units.y);
    out.cx = static_cast<int16_t>(units.cx);
    out.cy = static_cast<int16_t>(units.cy);
    out.style = item.style;
    out.text = TemplateName::Text(ToTemplateText(item.text));
    writer_.AddItem(out);
  }
}

}  // namespace commonq
