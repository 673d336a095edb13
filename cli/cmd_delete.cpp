// harvio-cli delete N: deletes task N with its partial files, as the
// main window's delete command does, and rewrites the task list.
#include <algorithm>

#include "cli/commands.h"

namespace harvio::cli {

int DeleteCommand(CliContext& ctx) {
  TaskRows tasks(ctx.home);
  Task* task = tasks.Numbered(ctx.args.empty() ? "" : ctx.args[0]);
  if (task == nullptr) return 2;
  tasks.rows.erase(std::find(tasks.rows.begin(), tasks.rows.end(), task));
  DeleteTask(task);
  return tasks.SaveAll() ? 0 : kSaveFailedExit;
}

}  // namespace harvio::cli
