// The emulated task dialog's message handling: initialisation, clicks and results, the caller's
// notifications, the TDM_* messages, the callback timer, hot tracking and the expando's clicks.
// What changes lives in TaskDialogState, what is painted in TaskDialogPainter.
#include <windows.h>
#include <commctrl.h>

#include <iterator>

#include "frame/export_call.h"
#include "frame/guarded_callback.h"
#include "frame/high_contrast.h"
#include "resources/taskdialog_ids.h"
#include "taskdialog/logic/task_dialog_values.h"
#include "taskdialog/task_dialog_run.h"

namespace commonq {
namespace {

constexpr UINT_PTR kCallbackTimerId = 4050;
constexpr UINT_PTR kHotTrackingTimerId = 4051;
constexpr UINT kCallbackPeriod = 200;
constexpr UINT kHotTrackingPeriod = 100;
constexpr int kMarqueeSpeed = 30;
constexpr int kLastCommonButtonId = 64;

bool IsCustomButton(int id) { return id >= IDC_TD_FIRST_BUTTON && id <= IDC_TD_LAST_BUTTON; }
bool IsRadioButton(int id) { return id >= IDC_TD_FIRST_RADIO && id <= IDC_TD_LAST_RADIO; }

// The control of a TDE_* element (content, expanded information, footer, main instruction); 0 for
// any other value.
int ElementControl(WPARAM element) {
  constexpr int kControls[] = {IDC_TD_CONTENT, IDC_TD_EXPANDED_INFORMATION, IDC_TD_FOOTER, IDC_TD_MAIN_INSTRUCTION};
  static_assert(TDE_CONTENT == 0 && TDE_MAIN_INSTRUCTION == 3);
  return element < std::size(kControls) ? kControls[element] : 0;
}

}  // namespace

HRESULT TaskDialogRun::NotifyCallback(UINT notification, WPARAM wParam, LPARAM lParam) noexcept {
  if (!created_ || model_.config.pfCallback == nullptr) return S_OK;
  return CallHostGuarded(*this, notification, S_OK, [&] {
    return model_.config.pfCallback(Window(), notification, wParam, lParam, model_.config.lpCallbackData);
  });
}

void TaskDialogRun::ApplyFonts() {
  const auto font = reinterpret_cast<WPARAM>(model_.bodyFont.get());
  ForEachChildWindow(Window(), [font](HWND child) { ::SendMessageA(child, WM_SETFONT, font, 0); });
  ::SendDlgItemMessageA(Window(), IDC_TD_MAIN_INSTRUCTION, WM_SETFONT, reinterpret_cast<WPARAM>(model_.mainFont.get()),
                        0);
}

void TaskDialogRun::StartTimers() {
  timerBase_ = ::GetTickCount();
  if (state_.Layout().state.ownerDrawnLinks) hotTimer_ = UniqueTimer(Window(), kHotTrackingTimerId, kHotTrackingPeriod);
  if (model_.config.dwFlags & TDF_CALLBACK_TIMER) {
    callbackTimer_ = UniqueTimer(Window(), kCallbackTimerId, kCallbackPeriod);
  }
}

void TaskDialogRun::SelectDefaultRadio() {
  const TASKDIALOGCONFIG& config = model_.config;
  if ((config.dwFlags & TDF_NO_DEFAULT_RADIO_BUTTON) || config.cRadioButtons == 0) return;
  UINT chosen = 0;
  for (UINT i = 0; i < config.cRadioButtons; ++i) {
    if (config.pRadioButtons[i].nButtonID == config.nDefaultRadioButton) {
      chosen = i;
      break;
    }
  }
  ::SendDlgItemMessageA(Window(), IDC_TD_FIRST_RADIO + static_cast<int>(chosen), BM_CLICK, 0, 0);
}

void TaskDialogRun::SetInitialStates() {
  HWND dialog = Window();
  const TASKDIALOGCONFIG& config = model_.config;
  if (config.dwFlags & TDF_VERIFICATION_FLAG_CHECKED) ::CheckDlgButton(dialog, IDC_TD_VERIFICATION, BST_CHECKED);
  if (config.dwFlags & TDF_SHOW_MARQUEE_PROGRESS_BAR) {
    HWND progress = ::GetDlgItem(dialog, IDC_TD_PROGRESS_BAR);
    ::SetWindowLongA(progress, GWL_STYLE, ::GetWindowLongA(progress, GWL_STYLE) | PBS_MARQUEE);
    ::SendMessageA(progress, PBM_SETMARQUEE, TRUE, kMarqueeSpeed);
  }
  SelectDefaultRadio();
  if (!state_.Layout().state.ownerDrawnLinks && (config.dwFlags & TDF_USE_COMMAND_LINKS_NO_ICON)) {
    BUTTON_IMAGELIST noGlyph{};
    noGlyph.himl = BCCL_NOGLYPH;
    for (UINT i = 0; i < config.cButtons; ++i) {
      ::SendDlgItemMessageA(dialog, IDC_TD_FIRST_BUTTON + static_cast<int>(i), BCM_SETIMAGELIST, 0,
                            reinterpret_cast<LPARAM>(&noGlyph));
    }
  }
  if (config.pszExpandedInformation != nullptr && !(config.dwFlags & TDF_EXPANDED_BY_DEFAULT)) {
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TD_EXPANDO_BUTTON, 0), 0);
  }
}

void TaskDialogRun::FocusDefaultControl() {
  const uint32_t id = state_.Layout().state.defaultControlId;
  if (id == 0 || id == td::kNativeDefault) return;
  ::SendMessageA(Window(), DM_SETDEFID, id, 0);
  ::SetFocus(::GetDlgItem(Window(), static_cast<int>(id)));
}

// The main icon also stands for the window (without an owner) and chooses the sound.
void TaskDialogRun::ShowMainIcon() {
  const TASKDIALOGCONFIG& config = model_.config;
  if (model_.mainIcon && config.hwndParent == nullptr) {
    ::SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(model_.mainIcon.get()));
  }
  if (config.pszMainIcon == nullptr || !IS_INTRESOURCE(config.pszMainIcon)) return;
  const auto icon = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(config.pszMainIcon));
  if (icon == td::kErrorIcon) ::MessageBeep(MB_ICONHAND);
  if (icon == td::kWarningIcon) ::MessageBeep(MB_ICONEXCLAMATION);
  if (icon == td::kInformationIcon) ::MessageBeep(MB_ICONASTERISK);
}

void TaskDialogRun::OnInitDialog() {
  created_ = false;
  state_.Restart();
  ApplyFonts();
  StartTimers();
  SetInitialStates();
  FocusDefaultControl();
  LoadShownIcons(model_);
  ShowMainIcon();
  InstallCopyHook();
  if (HWND expando = ::GetDlgItem(Window(), IDC_TD_EXPANDO_BUTTON)) {
    expandoKeys_.Install(expando, &GuardedSubclassProcedure<TaskDialogRun, &TaskDialogRun::OnExpandoMessage>,
                         reinterpret_cast<DWORD_PTR>(this));
  }
  created_ = true;
  NotifyCallback(TDN_DIALOG_CONSTRUCTED, 0, 0);
  NotifyCallback(TDN_CREATED, 0, 0);
}

LRESULT TaskDialogRun::OnExpandoMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCDESTROY:
      expandoKeys_.Remove();
      break;
    case WM_GETDLGCODE:
      // Enter toggles, rather than pressing the default button.
      if (lParam != 0 && IsEnterKey(*reinterpret_cast<const MSG*>(lParam))) {
        return DefaultSubclassProc(window, message, wParam, lParam) | DLGC_WANTMESSAGE;
      }
      break;
    case WM_KEYDOWN:
      if (wParam != VK_SPACE && wParam != VK_RETURN) break;
      if ((lParam & (1 << 30)) == 0) OnCommand(IDC_TD_EXPANDO_BUTTON, STN_CLICKED);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
      ::InvalidateRect(window, nullptr, TRUE);
      break;
    default:
      break;
  }
  return DefaultSubclassProc(window, message, wParam, lParam);
}

void TaskDialogRun::OnDestroy() {
  callbackTimer_.reset();
  hotTimer_.reset();
  RemoveCopyHook();
  NotifyCallback(TDN_DESTROYED, 0, 0);
  state_.results.verification = ::IsDlgButtonChecked(Window(), IDC_TD_VERIFICATION) == BST_CHECKED;
}

void TaskDialogRun::OnCommand(int id, int code) {
  HWND dialog = Window();
  if (id == IDC_TD_EXPANDO_BUTTON || id == IDC_TD_EXPANDO_LABEL) {
    if (code != STN_CLICKED && code != STN_DBLCLK) return;
    if (model_.config.pszExpandedInformation == nullptr) return;
    state_.ToggleExpanded();
    NotifyCallback(TDN_EXPANDO_BUTTON_CLICKED, state_.Expanded() ? 1 : 0, 0);
    RelayoutExpando();
    return;
  }
  if (id == IDC_TD_VERIFICATION) {
    NotifyCallback(TDN_VERIFICATION_CLICKED, ::IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0, 0);
    return;
  }
  if (id >= 1 && id <= kLastCommonButtonId) {
    // Also without a control of that id: a host may close the dialog with IDOK or IDABORT, and
    // Enter on a dialog without a default button asks for IDOK.
    EndWith(id, id);
    return;
  }
  if (IsCustomButton(id)) {
    const UINT index = static_cast<UINT>(id - IDC_TD_FIRST_BUTTON);
    if (index >= model_.config.cButtons) return;
    EndWith(model_.config.pButtons[index].nButtonID, id);
    return;
  }
  if (IsRadioButton(id)) {
    const UINT index = static_cast<UINT>(id - IDC_TD_FIRST_RADIO);
    if (index >= model_.config.cRadioButtons) return;
    state_.results.radio = model_.config.pRadioButtons[index].nButtonID;
    NotifyCallback(TDN_RADIO_BUTTON_CLICKED, static_cast<WPARAM>(state_.results.radio), 0);
  }
}

// The caller's callback may refuse the click with S_FALSE; otherwise the dialog ends with the button's id.
void TaskDialogRun::EndWith(int buttonId, int controlId) {
  if (NotifyCallback(TDN_BUTTON_CLICKED, static_cast<WPARAM>(buttonId), 0) == S_FALSE) return;
  state_.results.button = buttonId;
  ::EndDialog(Window(), controlId);
}

// Each toggle lays the dialog out again in the new state.
void TaskDialogRun::RelayoutExpando() { state_.ApplyLayout(Window()); }

void TaskDialogRun::OnTimer(UINT_PTR id) {
  if (id == kCallbackTimerId) {
    if (NotifyCallback(TDN_TIMER, ::GetTickCount() - timerBase_, 0) != S_OK) timerBase_ = ::GetTickCount();
  } else if (id == kHotTrackingTimerId) {
    OnHotTracking();
  }
}

void TaskDialogRun::OnHotTracking() {
  HWND dialog = Window();
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::ScreenToClient(dialog, &cursor);
  HWND under = ::ChildWindowFromPoint(dialog, cursor);
  int id = under != nullptr && under != dialog ? ::GetDlgCtrlID(under) : 0;
  if (!IsCustomButton(id)) id = 0;
  if (id == state_.hotLinkId) return;
  if (state_.hotLinkId != 0) ::InvalidateRect(::GetDlgItem(dialog, state_.hotLinkId), nullptr, TRUE);
  if (id != 0) ::InvalidateRect(::GetDlgItem(dialog, id), nullptr, TRUE);
  state_.hotLinkId = id;
}

// The control of the caller's button or radio button `buttonId` (the last one of that id); a
// button not in the list may still be a common button.
HWND TaskDialogRun::FindButton(WPARAM buttonId, bool radio) const {
  const TASKDIALOGCONFIG& config = model_.config;
  const TASKDIALOG_BUTTON* list = radio ? config.pRadioButtons : config.pButtons;
  HWND control = radio ? nullptr : ::GetDlgItem(Window(), static_cast<int>(buttonId));
  for (UINT i = 0; i < (radio ? config.cRadioButtons : config.cButtons); ++i) {
    if (list[i].nButtonID == static_cast<int>(buttonId)) {
      control = ::GetDlgItem(Window(), (radio ? IDC_TD_FIRST_RADIO : IDC_TD_FIRST_BUTTON) + static_cast<int>(i));
    }
  }
  return control;
}

bool TaskDialogRun::OnTaskDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND dialog = Window();
  result = 0;
  switch (message) {
    case TDM_CLICK_BUTTON:
      if (HWND button = FindButton(wParam)) ::SendMessageA(button, BM_CLICK, 0, 0);
      return true;
    case TDM_CLICK_RADIO_BUTTON:
      if (HWND radio = FindButton(wParam, true)) ::SendMessageA(radio, BM_CLICK, 0, 0);
      return true;
    case TDM_CLICK_VERIFICATION:
      if (::CheckDlgButton(dialog, IDC_TD_VERIFICATION, wParam != 0 ? BST_CHECKED : BST_UNCHECKED) && lParam != 0) {
        ::SetFocus(::GetDlgItem(dialog, IDC_TD_VERIFICATION));
      }
      return true;
    case TDM_ENABLE_BUTTON:
      if (HWND button = FindButton(wParam)) result = ::EnableWindow(button, lParam != 0);
      return true;
    case TDM_ENABLE_RADIO_BUTTON:
      if (HWND radio = FindButton(wParam, true)) result = ::EnableWindow(radio, lParam != 0);
      return true;
    case TDM_SET_ELEMENT_TEXT:
    case TDM_UPDATE_ELEMENT_TEXT: {
      const int control = ElementControl(wParam);
      if (control == 0) return true;
      const std::string text = ResolveTaskDialogString(reinterpret_cast<PCWSTR>(lParam), kTextBufferSize);
      ::SetDlgItemTextA(dialog, control, text.c_str());
      result = 1;
      return true;
    }
    default:
      return OnProgressBarMessage(message, wParam, lParam, result);
  }
}

// The TDM_* messages for the progress bar; `result` is 0 when it comes in.
bool TaskDialogRun::OnProgressBarMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND progress = ::GetDlgItem(Window(), IDC_TD_PROGRESS_BAR);
  switch (message) {
    case TDM_SET_PROGRESS_BAR_POS:
      ::SendMessageA(progress, PBM_SETPOS, wParam, 0);
      return true;
    case TDM_SET_PROGRESS_BAR_RANGE:
      ::SendMessageA(progress, PBM_SETRANGE, 0, lParam);
      return true;
    case TDM_SET_PROGRESS_BAR_STATE:
      result = ::SendMessageA(progress, PBM_SETSTATE, wParam, 0) != 0 ? 1 : 0;
      return true;
    case TDM_SET_PROGRESS_BAR_MARQUEE:
      if (progress != nullptr) result = ::SendMessageA(progress, PBM_SETMARQUEE, wParam, lParam) != 0 ? 1 : 0;
      return true;
    case TDM_SET_MARQUEE_PROGRESS_BAR:
      if (progress != nullptr) {
        const LONG style = ::GetWindowLongA(progress, GWL_STYLE);
        const LONG wanted = wParam != 0 ? (style | PBS_MARQUEE) : (style & ~PBS_MARQUEE);
        if (wanted != style) ::SetWindowLongA(progress, GWL_STYLE, wanted);
        ::SendMessageA(progress, PBM_SETMARQUEE, TRUE, kMarqueeSpeed);
      }
      return true;
    default:
      return false;
  }
}

// A click on a link in the content, the details or the footer.
bool TaskDialogRun::OnNotify(const NMHDR& header) {
  const bool fromLink =
      header.idFrom == IDC_TD_EXPANDED_INFORMATION || header.idFrom == IDC_TD_FOOTER || header.idFrom == IDC_TD_CONTENT;
  // NM_RETURN is Enter on the focused link.
  if ((header.code != NM_CLICK && header.code != NM_RETURN) || !fromLink) return false;
  const auto& link = reinterpret_cast<const NMLINK&>(header);
  const WCHAR* target = link.item.szID[0] != 0 ? link.item.szID : link.item.szUrl;
  NotifyCallback(TDN_HYPERLINK_CLICKED, 0, reinterpret_cast<LPARAM>(target));
  return true;
}

// The user switched high contrast or changed colours while the dialog is up.
void TaskDialogRun::OnColourChange(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsColourChange(message, wParam)) return;
  RefreshTaskDialogPalette(model_);
  RepaintForNewColours(Window(), message, wParam, lParam);
}

bool TaskDialogRun::OnPaintMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_ERASEBKGND:
      painter_.PaintContent(Window(), reinterpret_cast<HDC>(wParam));
      result = TRUE;
      return true;
    case WM_PRINTCLIENT:
      // The dialog manager's own WM_PAINT erases through WM_ERASEBKGND above, which is all the
      // dialog paints, so the screen needs no WM_PAINT of ours.
      if (lParam & (PRF_CLIENT | PRF_ERASEBKGND)) painter_.PaintContent(Window(), reinterpret_cast<HDC>(wParam));
      result = 0;
      return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      result = reinterpret_cast<LRESULT>(
          painter_.ControlColors(reinterpret_cast<HDC>(wParam), ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam))));
      return true;
    default:  // WM_DRAWITEM
      result = TRUE;
      return painter_.OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
  }
}

bool TaskDialogRun::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      result = FALSE;
      return true;
    case WM_DESTROY:
      OnDestroy();
      return false;
    case WM_HELP:
      NotifyCallback(TDN_HELP, 0, 0);
      result = 0;
      return true;
    case WM_TIMER:
      OnTimer(wParam);
      return true;
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
      return OnPaintMessage(message, wParam, lParam, result);
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE || (model_.config.dwFlags & TDF_ALLOW_DIALOG_CANCELLATION)) return false;
      return true;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      result = 0;
      return true;
    case WM_NOTIFY:
      result = 0;
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      OnColourChange(message, wParam, lParam);
      return false;
    default:
      return OnTaskDialogMessage(message, wParam, lParam, result);
  }
}

}  // namespace commonq
