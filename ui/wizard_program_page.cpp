// The program page: save folder, thread count, classify-by-title and note.
#include "core/string_table.h"
#include "res/resource.h"
#include "ui/browse_folder.h"
#include "ui/wizard_pages.h"

namespace harvio::ui {
namespace {

constexpr int kSavePathMax = 126;
constexpr int kSavePathRead = 127;
constexpr int kThreadTextMax = 8;
constexpr int kNotesMax = 127;
constexpr uint32_t kChooseFolderTitle = 1463;  // "选择文件夹: "

// The folder picker (which starts without a preselected folder); the edit
// keeps its text when the user cancels.
void BrowseIntoEdit(HWND page) {
  std::string path = ControlText(page, IDC_SAVE_PATH, kSavePathRead);
  if (BrowseForFolder(StringText(kChooseFolderTitle), GetParent(page), &path)) {
    SetDlgItemTextA(page, IDC_SAVE_PATH, path.c_str());
  }
}

void ShowClassifyBox(HWND page, uint32_t sourceId, bool ticked) {
  ShowWindow(GetDlgItem(page, IDC_CLASSIFY), HasClassifyBox(sourceId) ? SW_SHOW : SW_HIDE);
  SetTicked(page, IDC_CLASSIFY, ticked);
}

void ShowSheetValues(HWND page, const TaskInfo& info, TaskState state) {
  SetDlgItemTextA(page, IDC_SAVE_PATH, info.savePath);
  SetDlgItemTextA(page, IDC_NOTES, info.notes);
  ShowClassifyBox(page, info.sourceId, info.classifyByTitle != 0);
  SheetEditable editable = EditableIn(info.sourceId, state);
  EnableControl(page, IDC_SAVE_PATH, editable.savePath);
  EnableControl(page, IDC_BROWSE, editable.savePath);
  EnableControl(page, IDC_CLASSIFY, editable.classifyBox);
  EnableControl(page, IDC_THREAD_COUNT, editable.threadCount);
  EnableControl(page, IDC_THREAD_SPIN, editable.threadCount);
}

void Init(HWND page, TaskDialog& dialog) {
  SendDlgItemMessageA(page, IDC_SAVE_PATH, EM_LIMITTEXT, kSavePathMax, 0);
  SendDlgItemMessageA(page, IDC_THREAD_COUNT, EM_LIMITTEXT, kThreadTextMax, 0);
  SendDlgItemMessageA(page, IDC_NOTES, EM_LIMITTEXT, kNotesMax, 0);
  SendDlgItemMessageA(page, IDC_THREAD_SPIN, UDM_SETRANGE32, kMinThreads, kMaxThreads);
  uint32_t threads = dialog.IsSheet() ? dialog.task->info.threadCount : kDefaultThreads;
  SendDlgItemMessageA(page, IDC_THREAD_SPIN, UDM_SETPOS32, 0, static_cast<LPARAM>(threads));
  if (dialog.IsSheet()) ShowSheetValues(page, dialog.task->info, dialog.State());
}

// A new source gets its own default folder and check box; a changed
// keyword a new default folder, replacing an edited one.
void Activate(HWND page, TaskDialog& dialog) {
  if (dialog.IsSheet()) return;
  const WizardData& data = dialog.data;
  bool fresh = dialog.preparation.NeedsPreparing(kProgramPage, data.sourceId);
  if (fresh) ShowClassifyBox(page, data.sourceId, false);
  if (dialog.preparation.NeedsDefaultPath(fresh, data.keyword)) {
    SetDlgItemTextA(page, IDC_SAVE_PATH,
                    DefaultSavePath(dialog.options->WorkPath, data).c_str());
  }
}

void Command(HWND page, TaskDialog&, int id, int code) {
  if (id == IDC_BROWSE && code == BN_CLICKED) BrowseIntoEdit(page);
}

std::string Leave(HWND page, TaskDialog& dialog) {
  std::string path = ControlText(page, IDC_SAVE_PATH, kSavePathRead);
  std::string threads = ControlText(page, IDC_THREAD_COUNT, kThreadTextMax);
  bool classify = IsTicked(page, IDC_CLASSIFY);
  std::string notes = ControlText(page, IDC_NOTES, kNotesMax);
  if (dialog.IsSheet()) {
    return CheckSheetProgramPage(dialog.data, dialog.State(), path, threads, classify, notes);
  }
  return CheckProgramPage(dialog.data, path, threads, classify, notes);
}

}  // namespace

const PageHandlers kProgramPageHandlers = {
    kProgramPage, IDC_PROGRAM_TITLE, IDC_SAVE_PATH, Init, Activate, Leave, Command, nullptr};

}  // namespace harvio::ui
