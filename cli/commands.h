// The commands of harvio-cli, one file each (cli/cmd_<name>.cpp).
#pragma once

#include "cli/cli_context.h"

namespace harvio::cli {

inline constexpr const char kVersionText[] = "1.10.4.252";

int ParseCommand(CliContext& ctx);  // cmd_parse.cpp

}  // namespace harvio::cli
