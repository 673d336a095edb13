#include "ui/new_task_wizard.h"

#include "ui/wizard_pages.h"

namespace harvio::ui {

Task* RunNewTaskWizard(HWND owner, TaskSet& taskSet, const Options& options,
                       const std::vector<Task*>& tasks,
                       const std::function<void(Task*)>& appendTaskRow) {
  // The templates' order; Next and Back go by the routing, not by it.
  static const WizardPage kPages[] = {kSourcePage, kProgramPage, kFinishPage, kSearchPage,
                                      kCustomPage};
  TaskDialog dialog;
  dialog.options = &options;
  dialog.taskSet = &taskSet;
  dialog.tasks = &tasks;
  dialog.appendTaskRow = appendTaskRow;
  RunTaskPages(owner, dialog, kPages, 5, nullptr);
  return dialog.created;
}

}  // namespace harvio::ui
