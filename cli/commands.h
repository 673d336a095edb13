// The commands of harvio-cli, one file each (cli/cmd_<name>.cpp).
#pragma once

#include <string>

#include "cli/cli_context.h"
#include "core/task.h"

namespace harvio::cli {

inline constexpr const char kVersionText[] = "1.10.4.252";

int ParseCommand(CliContext& ctx);  // cmd_parse.cpp

int RunCommand(CliContext& ctx);  // cmd_run.cpp
// The thread list of a running task (cmd_threads.cpp).
std::string ThreadRow(const ThreadView& view);
void PrintThreadList(const Task& task);

}  // namespace harvio::cli
