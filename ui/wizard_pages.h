// The pages of the new-task wizard, which the task properties sheet shows
// too. One generic dialog procedure does what every page does (the title
// line, buttons, routing, checks when a page is left, initial focus); each
// page supplies a few handlers in a file of its own. The decisions are the
// portable ones of app/wizard_rules and app/new_task.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/options.h"
#include "core/task.h"
#include "platform/win32/win_api.h"

#include <commctrl.h>

#include "sources/catalog.h"
#include "app/wizard_rules.h"

namespace harvio::ui {

// What the pages of one wizard or one properties sheet share, from its
// opening to its closing.
struct TaskDialog {
  WizardData data;
  PagePreparation preparation;
  std::vector<CatalogEntry> tree;
  HBRUSH infoBrush = nullptr;  // the title line's background
  HFONT titleFont = nullptr;   // 宋体 9 points, bold
  HIMAGELIST treeIcons = nullptr;
  const Options* options = nullptr;
  // The wizard's: where the new task goes.
  TaskSet* taskSet = nullptr;
  const std::vector<Task*>* tasks = nullptr;
  std::function<void(Task*)> appendTaskRow;
  Task* created = nullptr;
  // The sheet's: the task edited, the pages shown, whether OK was pressed.
  Task* task = nullptr;
  ShownPages shown = {false, false, false};
  bool applied = false;

  bool IsSheet() const { return task != nullptr; }
  TaskState State() const { return static_cast<TaskState>(task->info.state); }
};

// What one page adds to the generic procedure. Missing handlers do nothing.
struct PageHandlers {
  WizardPage page;
  int titleLineId;
  int focusId;  // initial focus; 0 leaves it to the sheet
  void (*init)(HWND page, TaskDialog& dialog);
  // The page becomes active (the title line is already shown).
  void (*activate)(HWND page, TaskDialog& dialog);
  // Next, Finish, or leaving a sheet page: reads the controls into the
  // dialog's data; empty, or the message to show while the page stays.
  std::string (*leave)(HWND page, TaskDialog& dialog);
  void (*command)(HWND page, TaskDialog& dialog, int id, int code);
  // Notifications of the page's own controls.
  LRESULT (*notify)(HWND page, TaskDialog& dialog, const NMHDR& header);
};

extern const PageHandlers kSourcePageHandlers;
extern const PageHandlers kSearchPageHandlers;
extern const PageHandlers kCustomPageHandlers;
extern const PageHandlers kProgramPageHandlers;
extern const PageHandlers kFinishPageHandlers;

// Runs the pages modally as a wizard-lite sheet or, with `caption`, as a
// properties sheet; the drawing objects live as long as the sheet.
void RunTaskPages(HWND owner, TaskDialog& dialog, const WizardPage* pages,
                  uint32_t count, const char* caption);

// Helpers for the page files.
std::string ControlText(HWND page, int id, int capacity);
// An error box with the program's caption.
void ShowError(HWND owner, const std::string& text);
bool IsTicked(HWND page, int id);
void SetTicked(HWND page, int id, bool ticked);
void EnableControl(HWND page, int id, bool enabled);

}  // namespace harvio::ui
