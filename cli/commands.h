// The commands of harvio-cli, one file each (cli/cmd_<name>.cpp).
#pragma once

#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "core/picture_formats.h"
#include "core/task.h"

namespace harvio::cli {

int ParseCommand(CliContext& ctx);  // cmd_parse.cpp

int RunCommand(CliContext& ctx);  // cmd_run.cpp
// The thread list of a running task (cmd_threads.cpp).
std::string ThreadRow(const ThreadView& view);
void PrintThreadList(const Task& task);

int CatalogCommand(CliContext& ctx);  // cmd_catalog.cpp
int NewCommand(CliContext& ctx);      // cmd_new.cpp
// "jpg-large,jpg-small,gif,png,webp" in any selection, "none" for no
// format; false on another word (cmd_new.cpp).
bool ParseFormatList(const std::string& list, FormatSet* formats);
int ListCommand(CliContext& ctx);     // cmd_list.cpp
int ShowCommand(CliContext& ctx);     // cmd_show.cpp
int DeleteCommand(CliContext& ctx);   // cmd_delete.cpp

// Exit code of a command whose task list or task file could not be written.
inline constexpr int kSaveFailedExit = 4;

// Writes the list naming `rows` and closes every task, like closing the
// window; false, with a message, when the list or a task file could not be
// written (cmd_list.cpp).
bool SaveAndClose(TaskSet& taskSet, std::vector<Task*>& rows);

// The tasks of taskSet.home's task list, telling the user when a damaged
// list had to be rebuilt from the task files (cmd_list.cpp).
std::vector<Task*> LoadRows(TaskSet& taskSet);

// The tasks of <home>Task\List, loaded as the program loads them at
// start-up (cmd_list.cpp). Released without writing anything unless
// SaveAll is called, which writes the list and the changed task files.
struct TaskRows {
  explicit TaskRows(const std::string& home);
  ~TaskRows();
  TaskRows(const TaskRows&) = delete;
  TaskRows& operator=(const TaskRows&) = delete;
  // False, with a message, when a file could not be written.
  bool SaveAll();
  // Task N (1-based, list order); null, with a message, when there is none.
  Task* Numbered(const std::string& text);

  TaskSet taskSet;
  std::vector<Task*> rows;
};

}  // namespace harvio::cli
