// The decisions of the task list and the thread list that need no window:
// the text of every cell, the running tasks and the thread-view task derived
// from the rows, and the reordering behind Delete, Move up and Move down.
// ui/task_list_view and ui/thread_list_view only carry the results into the
// controls, and harvio-cli prints the same cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/task.h"

namespace harvio {

inline constexpr int kTaskColumns = 9;    // state, counts, workers, time, paths
inline constexpr int kThreadColumns = 8;  // state, kind, size ... file name

// Column 0 of a task's row: "新建", "运行", "暂停" or "完成".
const char* TaskStateLabel(uint32_t state);
// Columns 1 to 8 of a task's row from its refreshed TaskStatus: the picture
// count, the pending WEB2, WEB1 and PIC entries, the worker text, the
// elapsed text, the save folder and the catalog path.
std::string TaskCellText(const TaskStatus& status, int column);
// Columns 0 to 7 of a worker's row; sizes and percent only while it
// receives, retry count, URL and file name only while it is busy.
std::string ThreadCellText(const ThreadView& view, int column);
// "%.2fKB": the bytes divided by 1024, two decimals.
std::string KiloBytesText(uint64_t bytes);

// One task-list row as the rules see it, in list order.
struct ListRow {
  Task* task;
  bool selected;
  bool focused;
};

struct RunningEntry {
  int32_t row;
  Task* task;
};

// The running tasks and their rows, from the top; the one-second tick
// walks it instead of every row.
struct RunningTable {
  RunningEntry entries[kMaxRunningTasks];
  uint32_t count;
};

RunningTable BuildRunningTable(const std::vector<ListRow>& rows);
// The task whose workers the thread list shows: the task of the row that is
// both focused and selected, when it runs; null otherwise.
Task* ThreadViewTaskOf(const std::vector<ListRow>& rows);

// Each selected row with an unselected row directly above (below) it trades
// places with that row, visiting from the top (bottom); the two tasks swap
// their orderKeys. A selected block thus moves by one row as a whole, and a
// block at the edge stays. Returns whether any row moved.
bool MoveSelectedUp(std::vector<ListRow>& rows);
bool MoveSelectedDown(std::vector<ListRow>& rows);
// Takes the selected rows out and renumbers the orderKeys of the rest to
// their new row indices; returns the tasks taken out, from the top.
std::vector<Task*> RemoveSelectedRows(std::vector<ListRow>& rows);

}  // namespace harvio
