// The finish page: "完成" creates the task, unless the same task exists.
#include "res/resource.h"
#include "ui/wizard_pages.h"

namespace harvio::ui {
namespace {

std::string Leave(HWND, TaskDialog& dialog) {
  std::string refusal;
  Task* task = FinishWizard(*dialog.taskSet, dialog.data, *dialog.tasks, &refusal);
  if (task == nullptr) return refusal;
  dialog.created = task;
  if (dialog.appendTaskRow) dialog.appendTaskRow(task);
  return std::string();
}

}  // namespace

const PageHandlers kFinishPageHandlers = {
    kFinishPage, IDC_FINISH_TITLE, 0, nullptr, nullptr, Leave, nullptr, nullptr};

}  // namespace harvio::ui
