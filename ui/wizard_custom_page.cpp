// The custom page: the working list of URLs, filled through the Add-URL
// dialog, and the picture formats of the custom sources.
#include "res/resource.h"
#include "ui/add_url_dialog.h"
#include "ui/wizard_pages.h"

namespace harvio::ui {
namespace {

constexpr int kFormatBoxes[3] = {IDC_JPG_LARGE, IDC_JPG_SMALL, IDC_GIF};

void ShowCount(HWND page, TaskDialog& dialog) {
  SetDlgItemTextA(page, IDC_URL_COUNT, UrlCountLabel(dialog.data.urlList.Count()).c_str());
}

void ShowFormats(HWND page, const FormatBoxes& boxes) {
  for (int i = 0; i < 3; ++i) {
    SetTicked(page, kFormatBoxes[i], boxes.ticked[i] != 0);
    EnableControl(page, kFormatBoxes[i], boxes.enabled);
  }
}

void Init(HWND page, TaskDialog& dialog) {
  if (!dialog.IsSheet()) return;
  const TaskInfo& info = dialog.task->info;
  ShowFormats(page, SheetFormatBoxes(info));
  bool editable = EditableIn(info.sourceId, dialog.State()).urlList;
  EnableControl(page, IDC_ADD_URL, editable);
  EnableControl(page, IDC_CLEAR_URLS, editable);
  ShowCount(page, dialog);
}

// Another source starts from an empty list and its own formats.
void Activate(HWND page, TaskDialog& dialog) {
  if (dialog.IsSheet()) return;
  if (dialog.preparation.NeedsPreparing(kCustomPage, dialog.data.sourceId)) {
    dialog.data.urlList.Clear();
    ShowFormats(page, WizardFormatBoxes(dialog.data.sourceId));
  }
  ShowCount(page, dialog);
}

void Command(HWND page, TaskDialog& dialog, int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == IDC_ADD_URL) {
    ShowAddUrlDialog(GetParent(page), dialog.data.urlList);
  } else if (id == IDC_CLEAR_URLS) {
    dialog.data.urlList.Clear();
  } else {
    return;
  }
  ShowCount(page, dialog);
}

std::string Leave(HWND page, TaskDialog& dialog) {
  uint32_t large = IsTicked(page, IDC_JPG_LARGE) ? 1 : 0;
  uint32_t small = IsTicked(page, IDC_JPG_SMALL) ? 1 : 0;
  uint32_t gif = IsTicked(page, IDC_GIF) ? 1 : 0;
  if (dialog.IsSheet()) {
    return CheckSheetCustomPage(dialog.data, dialog.State(), large, small, gif);
  }
  return CheckCustomPage(dialog.data, large, small, gif);
}

}  // namespace

const PageHandlers kCustomPageHandlers = {
    kCustomPage, IDC_CUSTOM_TITLE, IDC_ADD_URL, Init, Activate, Leave, Command, nullptr};

}  // namespace harvio::ui
