// The task list: one row per task, in the tasks' orderKey order, each row
// carrying its Task pointer as item data. Besides formatting the rows it
// keeps the state derived from them: the RunningTable (the running tasks and
// their rows, for the one-second tick) and the ThreadViewTask (whose workers
// the thread list shows). Both are rebuilt by RowChanged whenever a row's
// selection, focus or state changes, before the caller goes on.
#pragma once

#include <functional>
#include <vector>

#include "app/list_rules.h"
#include "core/task.h"
#include "platform/win32/win_api.h"
#include "ui/thread_list_view.h"

#include <commctrl.h>

namespace harvio::ui {

// What the task list asks of the window around it.
struct TaskListHost {
  // After every change of the rows, their selection or a task's state.
  std::function<void()> updateCommandStates;
  // A double-click on a New or Paused row, and on a Running row.
  std::function<void(Task* task, int row)> startTaskRow;
  std::function<void(Task* task, int row)> pauseTaskRow;
  // The pointer moved over the column header: the status bar says "就绪".
  std::function<void()> showReady;
};

// Which rows ForEachRow visits.
enum class RowFilter {
  kAll,
  kSelected,
  kFocusedSelected,  // the one row that is both focused and selected
};

class TaskListView {
 public:
  // Creates the view as child IDC_TASK_LIST of `parent`, with the state
  // icons of the bitmap "TASKSTATE". `threads` is the thread list it fills.
  HWND Create(HWND parent, HFONT font, bool gridLines, ThreadListView* threads,
              TaskListHost host);
  HWND handle() const { return view_; }

  // A row at the end for `task`, with all its cells; returns its index.
  int AppendTaskRow(Task* task);
  // Column 0: state label and icon; then RowChanged.
  void RefreshStateCell(Task* task, int row);
  // Columns 1 to 6, and 7 and 8 when `full`.
  void RefreshTaskRow(Task* task, int row, bool full);

  int RowCount() const;
  Task* TaskAt(int row) const;
  int RowOf(const Task* task) const;  // -1 when no row holds it
  // Every row with its task, selection and focus, from the top.
  std::vector<ListRow> Rows() const;
  // Visits the rows that match `filter` from the top until `action` returns
  // false; returns 0 then, or -1 when the rows ran out.
  int ForEachRow(RowFilter filter, const std::function<bool(Task*, int)>& action) const;

  // The reaction to any change of selection, focus or state cell.
  void RowChanged();
  const RunningTable& runningTable() const { return running_; }
  uint32_t runningCount() const { return running_.count; }
  Task* threadViewTask() const { return threadViewTask_; }
  // The tick's first step: the thread list of the ThreadViewTask, if any.
  void RefreshThreadList();

  // Commands 5001, 5004, 5005 and 5018.
  void DeleteSelectedRows();
  void MoveSelectedUp();
  void MoveSelectedDown();
  void SelectAllRows();
  // Command 5013 and the settings: grid lines in both views.
  void SetGridLines(bool on);

  // WM_NOTIFY of the parent: true when it came from one of the two lists,
  // with the answer in *result.
  bool OnNotify(const NMHDR& header, LRESULT* result);

  // For the exit sequence: the tasks from the top, then no row is left (the
  // caller closes the tasks after the rows are gone).
  std::vector<Task*> Tasks() const;
  void RemoveAllRows();
  void Destroy();

 private:
  void Reorder(bool (*move)(std::vector<ListRow>&));
  void OnItemChanged(const NMLISTVIEW& change);
  void OnDoubleClick(int row);

  HWND view_ = nullptr;
  ThreadListView* threads_ = nullptr;
  TaskListHost host_;
  RunningTable running_ = {};
  Task* threadViewTask_ = nullptr;
  // Above 0 while a command changes many rows: their notifications wait for
  // one RowChanged at its end.
  int batch_ = 0;
};

}  // namespace harvio::ui
