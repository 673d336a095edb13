// The search page: the keyword and the size option of a keyword source.
#include "core/string_table.h"
#include "res/resource.h"
#include "ui/wizard_pages.h"

namespace harvio::ui {
namespace {

constexpr int kKeywordMax = 63;

void FillOptions(HWND page, uint32_t sourceId, uint32_t selected) {
  HWND list = GetDlgItem(page, IDC_SIZE_OPTION);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  uint32_t first = 0, last = 0;
  if (SizeOptionList(sourceId, &first, &last)) {
    for (uint32_t id = first; id <= last; ++id) {
      SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(StringText(id)));
    }
  }
  SendMessageA(list, CB_SETCURSEL, selected, 0);
}

void Init(HWND page, TaskDialog& dialog) {
  SendDlgItemMessageA(page, IDC_KEYWORD, EM_LIMITTEXT, kKeywordMax, 0);
  if (!dialog.IsSheet()) return;
  const TaskInfo& info = dialog.task->info;
  SetDlgItemTextA(page, IDC_KEYWORD, KeywordAsShown(info.sourceId, info.keyword).c_str());
  FillOptions(page, info.sourceId, info.sizeOption);
  bool editable = EditableIn(info.sourceId, dialog.State()).keywordAndOption;
  EnableControl(page, IDC_KEYWORD, editable);
  EnableControl(page, IDC_SIZE_OPTION, editable);
}

// Another source has other options; the keyword typed stays.
void Activate(HWND page, TaskDialog& dialog) {
  if (dialog.IsSheet()) return;
  if (dialog.preparation.NeedsPreparing(kSearchPage, dialog.data.sourceId)) {
    FillOptions(page, dialog.data.sourceId, 0);
  }
}

std::string Leave(HWND page, TaskDialog& dialog) {
  std::string keyword = ControlText(page, IDC_KEYWORD, kKeywordMax);
  LRESULT selected = SendDlgItemMessageA(page, IDC_SIZE_OPTION, CB_GETCURSEL, 0, 0);
  uint32_t option = selected == CB_ERR ? 0 : static_cast<uint32_t>(selected);
  if (dialog.IsSheet()) {
    return CheckSheetSearchPage(dialog.data, dialog.State(), keyword, option);
  }
  return CheckSearchPage(dialog.data, keyword, option);
}

}  // namespace

const PageHandlers kSearchPageHandlers = {
    kSearchPage, IDC_SEARCH_TITLE, IDC_KEYWORD, Init, Activate, Leave, nullptr, nullptr};

}  // namespace harvio::ui
