#include "ui/task_properties_sheet.h"

#include "core/string_table.h"
#include "ui/wizard_pages.h"

namespace harvio::ui {
namespace {

constexpr uint32_t kSheetCaption = 1485;  // "任务属性"

}  // namespace

bool ShowTaskProperties(HWND owner, Task& task) {
  TaskDialog dialog;
  dialog.task = &task;
  LoadSheetData(task, &dialog.data);
  WizardPage pages[2];
  uint32_t count = SheetPages(task.info.sourceId, pages);
  RunTaskPages(owner, dialog, pages, count, StringText(kSheetCaption));
  if (!dialog.applied) return false;
  ApplySheet(task, dialog.data, dialog.shown);
  return true;
}

}  // namespace harvio::ui
