// The thread list of one running task, as the main window shows it below
// the task list: state, kind, size, bytes received, percent, retry, URL and
// file of every worker slot.
#include <string>

#include "cli/commands.h"
#include "app/list_rules.h"
#include "core/task.h"

namespace harvio::cli {

std::string ThreadRow(const ThreadView& view) {
  std::string row = ThreadCellText(view, 0);
  for (int column = 1; column < kThreadColumns; ++column) row += "\t" + ThreadCellText(view, column);
  return row;
}

void PrintThreadList(const Task& task) {
  ThreadView views[kMaxThreads];
  uint32_t n = GetThreadViews(task, views);
  for (uint32_t i = 0; i < n; ++i) Print("  " + ThreadRow(views[i]));
}

}  // namespace harvio::cli
