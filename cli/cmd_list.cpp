// harvio-cli list: the task list as the main window shows it, one line per
// task in list order.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "app/list_rules.h"
#include "core/string_table.h"
#include "core/task_store.h"

namespace harvio::cli {
namespace {

constexpr uint32_t kFirstListColumn = 1070;   // "任务状态" ... "类型信息"
constexpr uint32_t kLastListColumn = 1078;
constexpr uint32_t kListNotSaved = 1760;
constexpr uint32_t kTaskNotSaved = 1761;
constexpr uint32_t kListRebuilt = 1762;

std::string TaskRow(Task& task) {
  const TaskStatus& s = RefreshStatus(task);
  std::string row = TaskStateLabel(task.info.state);
  for (int column = 1; column < kTaskColumns; ++column) row += "\t" + TaskCellText(s, column);
  return row + "\t" + task.info.taskName;
}

}  // namespace

std::vector<Task*> LoadRows(TaskSet& taskSet) {
  bool rebuilt = false;
  std::vector<Task*> loaded = LoadTaskList(taskSet, &rebuilt);
  if (rebuilt) {
    PrintError(StringWithNumber(kListRebuilt, static_cast<int64_t>(loaded.size())));
  }
  return loaded;
}

TaskRows::TaskRows(const std::string& home) {
  taskSet.home = home;
  rows = LoadRows(taskSet);
}

TaskRows::~TaskRows() {
  // Closing a task that nobody changed writes nothing.
  for (Task* task : rows) CloseTask(task);
  rows.clear();
  WaitForClosedTasks(taskSet);
}

bool SaveAndClose(TaskSet& taskSet, std::vector<Task*>& rows) {
  bool listSaved = SaveTaskList(taskSet, rows);
  bool tasksSaved = WaitForClosedTasks(taskSet);
  if (!listSaved) PrintError(StringText(kListNotSaved));
  if (!tasksSaved) PrintError(StringText(kTaskNotSaved));
  return listSaved && tasksSaved;
}

bool TaskRows::SaveAll() { return SaveAndClose(taskSet, rows); }

Task* TaskRows::Numbered(const std::string& text) {
  size_t n = 0;
  if (!text.empty() && text.size() < 4 &&
      text.find_first_not_of("0123456789") == std::string::npos) {
    n = std::stoul(text);
  }
  if (n == 0 || n > rows.size()) {
    std::fprintf(stderr, "harvio-cli: no task %s (see harvio-cli list)\n",
                 text.c_str());
    return nullptr;
  }
  return rows[n - 1];
}

int ListCommand(CliContext& ctx) {
  TaskRows tasks(ctx.home);
  std::string header = "#";
  for (uint32_t id = kFirstListColumn; id <= kLastListColumn; ++id) {
    header += std::string("\t") + StringText(id);
  }
  Print(header + "\ttaskName");
  for (size_t i = 0; i < tasks.rows.size(); ++i) {
    Print(std::to_string(i + 1) + "\t" + TaskRow(*tasks.rows[i]));
  }
  return 0;
}

}  // namespace harvio::cli
