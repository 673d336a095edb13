// The main window's commands (5000-5018): the menu, the accelerators and
// the toolbar all arrive here; and which of them the rows allow.
#include "platform/win32/win_api.h"

#include <shellapi.h>

#include <vector>

#include "app/command_states.h"
#include "core/string_table.h"
#include "res/resource.h"
#include "ui/about.h"
#include "ui/help_viewer.h"
#include "ui/main_window.h"
#include "ui/new_task_wizard.h"
#include "ui/options_sheet.h"
#include "ui/task_properties_sheet.h"

namespace harvio::ui {
namespace {

constexpr uint32_t kTooManyTasks = 1510;
constexpr int kViewMenu = 1;
constexpr int kToolsMenu = 2;

std::vector<RowFlags> FlagsOf(const std::vector<ListRow>& rows) {
  std::vector<RowFlags> flags;
  flags.reserve(rows.size());
  for (const ListRow& row : rows) flags.push_back({row.task->info.state, row.selected, row.focused});
  return flags;
}

void CheckItem(HMENU popup, UINT command, uint32_t on) {
  CheckMenuItem(popup, command, MF_BYCOMMAND | (on != 0 ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void MainWindow::OnCommand(WPARAM wparam) {
  switch (LOWORD(wparam)) {
    case CMD_NEW_TASK:
      NewTask();
      break;
    case CMD_DELETE_TASK:
      taskList_.DeleteSelectedRows();
      break;
    case CMD_START_TASK:
      StartSelectedRows();
      break;
    case CMD_PAUSE_TASK:
      PauseSelectedRows();
      break;
    case CMD_MOVE_UP:
      taskList_.MoveSelectedUp();
      break;
    case CMD_MOVE_DOWN:
      taskList_.MoveSelectedDown();
      break;
    case CMD_TASK_PROPERTIES:
      taskList_.ForEachRow(RowFilter::kFocusedSelected, [this](Task* task, int row) {
        ShowTaskProperties(window_, *task);
        taskList_.RefreshTaskRow(task, row, true);
        task->needsSave = 1;
        return false;
      });
      break;
    case CMD_OPEN_SAVE_FOLDER:
      OpenSaveFolder();
      break;
    case CMD_OPTIONS:
      ShowOptions();
      break;
    case CMD_HELP:
      ShowHelp();
      break;
    case CMD_ABOUT:
      ShowAbout(window_, instance_, uiFont_);
      break;
    case CMD_EXIT:
      DestroyWindow(window_);
      break;
    case CMD_SHOW_CAPTIONS:
      ToggleCaptions();
      break;
    case CMD_SHOW_GRID_LINES:
      options_.ShowGridLine = options_.ShowGridLine != 0 ? 0 : 1;
      taskList_.SetGridLines(options_.ShowGridLine != 0);
      break;
    case CMD_SHUTDOWN_WHEN_DONE:
      options_.shutdownWhenDone = options_.shutdownWhenDone != 0 ? 0 : 1;
      break;
    case CMD_SEND_MAIL:
      OpenLink(window_, kMailLink);
      break;
    case CMD_HOME_PAGE:
      OpenLink(window_, kHomePage);
      break;
    case CMD_SHOW_WINDOW:
      ShowMainWindow();
      break;
    case CMD_SELECT_ALL:
      taskList_.SelectAllRows();
      break;
    default:
      break;
  }
}

void MainWindow::NewTask() {
  if (taskSet_->liveTasks.load() >= kMaxTasks) {
    ShowErrorBox(window_, StringWithNumber(kTooManyTasks, kMaxTasks).c_str());
    return;
  }
  RunNewTaskWizard(window_, *taskSet_, options_, taskList_.Tasks(),
                   [this](Task* task) { taskList_.AppendTaskRow(task); });
}

void MainWindow::UpdateCommandStates() {
  CommandStates states = ComputeCommandStates(FlagsOf(taskList_.Rows()));
  HMENU menu = GetMenu(window_);
  for (int command = CMD_DELETE_TASK; command <= CMD_OPEN_SAVE_FOLDER; ++command) {
    bool enabled = states.IsEnabled(static_cast<uint32_t>(command));
    EnableMenuItem(menu, static_cast<UINT>(command),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    EnableToolbarButton(toolbar_.toolbar, command, enabled);
  }
}

bool MainWindow::StartTaskRow(Task* task, int row) {
  if (MayStartTask(task->info.state, taskList_.runningCount())) {
    StartTask(*task);
    // The state cell rebuilds the running table at once.
    taskList_.RefreshStateCell(task, row);
    taskList_.RefreshTaskRow(task, row, true);
  }
  return taskList_.runningCount() < kMaxRunningTasks;
}

bool MainWindow::PauseTaskRow(Task* task, int row) {
  if (task->info.state == kRunning) {
    PauseTask(*task);
    taskList_.RefreshStateCell(task, row);
    taskList_.RefreshTaskRow(task, row, true);
  }
  return taskList_.runningCount() > 0;
}

void MainWindow::StartSelectedRows() {
  std::vector<ListRow> rows = taskList_.Rows();
  for (size_t index : RowsToStart(FlagsOf(rows), taskList_.runningCount())) {
    StartTaskRow(rows[index].task, static_cast<int>(index));
  }
}

void MainWindow::PauseSelectedRows() {
  std::vector<ListRow> rows = taskList_.Rows();
  for (size_t index : RowsToPause(FlagsOf(rows))) PauseTaskRow(rows[index].task, static_cast<int>(index));
}

void MainWindow::ShowOptions() { ShowOptionsSheet(window_, options_); }

void MainWindow::OpenSaveFolder() {
  taskList_.ForEachRow(RowFilter::kFocusedSelected, [this](Task* task, int) {
    ShellExecuteA(window_, "explore", task->info.savePath, nullptr, nullptr, SW_SHOWNORMAL);
    return false;
  });
}

void MainWindow::ToggleCaptions() {
  options_.ShowTBBCaption = options_.ShowTBBCaption != 0 ? 0 : 1;
  ApplyToolbarStyle(toolbar_.toolbar, options_.ShowTBBCaption != 0);
  // The button size changes with the captions, and with it the layout.
  LayOutAgain();
}

void MainWindow::OnMenuPopup(HMENU popup) {
  HMENU bar = GetMenu(window_);
  if (popup == GetSubMenu(bar, kViewMenu)) {
    CheckItem(popup, CMD_SHOW_CAPTIONS, options_.ShowTBBCaption);
    CheckItem(popup, CMD_SHOW_GRID_LINES, options_.ShowGridLine);
  } else if (popup == GetSubMenu(bar, kToolsMenu)) {
    CheckItem(popup, CMD_SHUTDOWN_WHEN_DONE, options_.shutdownWhenDone);
  }
}

void MainWindow::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
  // The menu closed.
  if (flags == 0xFFFF && menu == nullptr) {
    SetStatusHelp(StringText(IDS_READY));
    return;
  }
  uint32_t help = (flags & MF_POPUP) != 0 ? 0 : HelpStringId(item);
  SetStatusHelp(help != 0 ? StringText(help) : "");
}

bool MainWindow::OnNotify(const NMHDR& header, LRESULT* result) {
  HWND tips = reinterpret_cast<HWND>(SendMessageA(toolbar_.toolbar, TB_GETTOOLTIPS, 0, 0));
  if (header.hwndFrom == tips && header.code == TTN_GETDISPINFOA) {
    FillToolbarTooltip(reinterpret_cast<NMTTDISPINFOA*>(const_cast<NMHDR*>(&header)),
                       options_.ShowTBBCaption != 0);
    *result = 0;
    return true;
  }
  if (header.hwndFrom == toolbar_.toolbar && header.code == TBN_HOTITEMCHANGE) {
    const auto& hot = reinterpret_cast<const NMTBHOTITEM&>(header);
    uint32_t help = (hot.dwFlags & HICF_LEAVING) != 0 ? 0 : HelpStringId(hot.idNew);
    SetStatusHelp(StringText(help != 0 ? help : IDS_READY));
    *result = 0;
    return true;
  }
  return taskList_.OnNotify(header, result);
}

}  // namespace harvio::ui
