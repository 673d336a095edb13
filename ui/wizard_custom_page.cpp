// The custom page: the working list of URLs, filled through the Add-URL
// dialog, and the picture formats of the custom sources.
#include "res/resource.h"
#include "ui/add_url_dialog.h"
#include "ui/wizard_pages.h"

namespace harvio::ui {
namespace {

// One box per PictureFormat, in its order.
constexpr int kFormatBoxes[kFormatCount] = {IDC_JPG_LARGE, IDC_JPG_SMALL,
                                            IDC_GIF, IDC_PNG, IDC_WEBP};

void ShowCount(HWND page, TaskDialog& dialog) {
  SetDlgItemTextA(page, IDC_URL_COUNT, UrlCountLabel(dialog.data.urlList.Count()).c_str());
}

void ShowFormats(HWND page, const FormatBoxes& boxes) {
  for (uint32_t i = 0; i < kFormatCount; ++i) {
    SetTicked(page, kFormatBoxes[i],
              (boxes.ticked & FormatBit(static_cast<PictureFormat>(i))) != 0);
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
  FormatSet ticked = 0;
  for (uint32_t i = 0; i < kFormatCount; ++i) {
    if (IsTicked(page, kFormatBoxes[i])) {
      ticked |= FormatBit(static_cast<PictureFormat>(i));
    }
  }
  if (dialog.IsSheet()) {
    return CheckSheetCustomPage(dialog.data, dialog.State(), ticked);
  }
  return CheckCustomPage(dialog.data, ticked);
}

}  // namespace

const PageHandlers kCustomPageHandlers = {
    kCustomPage, IDC_CUSTOM_TITLE, IDC_ADD_URL, Init, Activate, Leave, Command, nullptr};

}  // namespace harvio::ui
