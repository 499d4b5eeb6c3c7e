#include "task_dialog_samples.h"

#include <shellapi.h>

namespace demo {
namespace {

const TASKDIALOG_BUTTON kLinks[] = {
    {101, L"&Save the model\nKeeps the textures beside the file."},
    {102, L"Save &without textures\nSmaller, but other programs show the model grey."},
    {103, L"&Cancel\nReturns to the editor."},
};
const TASKDIALOG_BUTTON kFormats[] = {{201, L"Wavefront OBJ"}, {202, L"Carrara (.car)"}, {203, L"Raw triangles"}};
const TASKDIALOG_BUTTON kRichLinks[] = {
    {301, L"Open the model\nShows it in the viewer."},    {302, L"Open a copy\nThe original stays untouched."},
    {303, L"Import into the scene\nMerges its objects."}, {304, L"Show in folder\nSelects the file."},
    {305, L"Do nothing\nCloses this question."},
};
const TASKDIALOG_BUTTON kRichRadios[] = {
    {401, L"Metres"}, {402, L"Centimetres"}, {403, L"Millimetres"}, {404, L"Inches"}, {405, L"Feet"}};

TASKDIALOGCONFIG Base(const wchar_t* title) {
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.pszWindowTitle = title;
  config.pfCallback = &SampleCallback;
  return config;
}

}  // namespace

HRESULT CALLBACK SampleCallback(HWND window, UINT notification, WPARAM wParam, LPARAM lParam, LONG_PTR) {
  if (notification == TDN_CREATED) {
    SendMessageW(window, TDM_SET_PROGRESS_BAR_RANGE, 0, MAKELPARAM(0, 100));
    SendMessageW(window, TDM_SET_PROGRESS_BAR_POS, 35, 0);
  } else if (notification == TDN_TIMER) {
    SendMessageW(window, TDM_SET_PROGRESS_BAR_POS, (wParam / 50) % 101, 0);
  } else if (notification == TDN_HYPERLINK_CLICKED) {
    ShellExecuteW(window, L"open", reinterpret_cast<PCWSTR>(lParam), nullptr, nullptr, SW_SHOWNORMAL);
  }
  return S_OK;
}

TASKDIALOGCONFIG RichTaskDialog() {
  TASKDIALOGCONFIG config = Base(L"Rich task dialog");
  config.dwFlags = TDF_USE_COMMAND_LINKS | TDF_SHOW_PROGRESS_BAR | TDF_ALLOW_DIALOG_CANCELLATION;
  config.pszMainIcon = TD_INFORMATION_ICON;
  config.pszMainInstruction = L"What should happen with chair.obj?";
  config.pszContent = L"The model was found in the download folder. It has 12 objects and 3 textures.";
  config.cButtons = 5;
  config.pButtons = kRichLinks;
  config.cRadioButtons = 5;
  config.pRadioButtons = kRichRadios;
  config.pszVerificationText = L"Do this for every model";
  config.pszExpandedInformation = L"Path: C:\\Users\\Ann\\Downloads\\chair.obj\nSize: 1.2 MB";
  config.pszFooter = L"The unit decides the size of the model in the scene.";
  config.pszFooterIcon = TD_WARNING_ICON;
  config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
  return config;
}

std::vector<TaskDialogSample> TaskDialogSamples() {
  std::vector<TaskDialogSample> samples;

  TASKDIALOGCONFIG plain = Base(L"Plain");
  plain.pszMainInstruction = L"The model was saved.";
  samples.push_back({"Plain OK", "taskdialog_plain", "Plain", plain});

  TASKDIALOGCONFIG question = Base(L"Question");
  question.pszMainIcon = TD_WARNING_ICON;
  question.pszMainInstruction = L"Replace chair.obj?";
  question.pszContent = L"A file with this name already exists in the folder. Replacing it cannot be undone.";
  question.dwCommonButtons = TDCBF_YES_BUTTON | TDCBF_NO_BUTTON;
  question.nDefaultButton = IDNO;
  samples.push_back({"Yes/No with warning", "taskdialog_yes_no", "Question", question});

  TASKDIALOGCONFIG links = Base(L"Command links");
  links.dwFlags = TDF_USE_COMMAND_LINKS | TDF_ALLOW_DIALOG_CANCELLATION;
  links.pszMainInstruction = L"The model refers to textures that are not saved yet.";
  links.cButtons = 3;
  links.pButtons = kLinks;
  links.nDefaultButton = 101;
  samples.push_back({"Command links with notes", "taskdialog_command_links", "Command links", links});

  TASKDIALOGCONFIG choices = Base(L"Export");
  choices.dwFlags = TDF_EXPANDED_BY_DEFAULT;
  choices.pszMainIcon = TD_INFORMATION_ICON;
  choices.pszMainInstruction = L"Export the scene";
  choices.pszContent = L"Choose the format of the exported file.";
  choices.cRadioButtons = 3;
  choices.pRadioButtons = kFormats;
  choices.nDefaultRadioButton = 202;
  choices.pszVerificationText = L"Remember my choice";
  choices.pszExpandedInformation = L"Carrara files keep the materials; OBJ files keep only the geometry.";
  choices.dwCommonButtons = TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON;
  samples.push_back({"Radio, verification, details", "taskdialog_radio_details", "Export", choices});

  TASKDIALOGCONFIG footer = choices;
  footer.pszWindowTitle = L"Export (footer)";
  footer.dwFlags = TDF_EXPANDED_BY_DEFAULT | TDF_EXPAND_FOOTER_AREA;
  footer.pszFooter = L"Exports go to the folder of the scene.";
  footer.pszFooterIcon = TD_INFORMATION_ICON;
  samples.push_back({"Details in the footer", "taskdialog_footer_details", "Export (footer)", footer});

  TASKDIALOGCONFIG progress = Base(L"Progress");
  progress.dwFlags = TDF_SHOW_PROGRESS_BAR | TDF_CALLBACK_TIMER;
  progress.pszMainInstruction = L"Loading textures...";
  progress.pszContent = L"The bar follows the callback timer.";
  progress.dwCommonButtons = TDCBF_CANCEL_BUTTON;
  samples.push_back({"Progress bar (timer)", "taskdialog_progress", "Progress", progress});

  TASKDIALOGCONFIG marquee = progress;
  marquee.pszWindowTitle = L"Marquee";
  marquee.dwFlags = TDF_SHOW_MARQUEE_PROGRESS_BAR | TDF_CALLBACK_TIMER;
  marquee.pszMainInstruction = L"Searching the library...";
  samples.push_back({"Marquee progress bar", "taskdialog_marquee", "Marquee", marquee});

  TASKDIALOGCONFIG links2 = Base(L"Hyperlinks");
  links2.dwFlags = TDF_ENABLE_HYPERLINKS;
  links2.pszMainInstruction = L"A newer version is available.";
  links2.pszContent = L"Read <a href=\"https://example.com/notes\">what is new</a> before you update.";
  links2.pszFooter = L"<a href=\"https://example.com/help\">Help on updates</a>";
  samples.push_back({"Hyperlinks", "taskdialog_hyperlinks", "Hyperlinks", links2});

  TaskDialogSample rich{"Rich (benchmark)", "taskdialog_rich", "Rich task dialog", RichTaskDialog()};
  samples.push_back(rich);
  return samples;
}

}  // namespace demo
