// harvio-cli: the task engine without windows. It works on the same Task
// folder and the same task files as harvio.exe.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "core/version.h"
#include "platform/paths.h"

namespace harvio::cli {
namespace {

struct Command {
  const char* name;
  int (*run)(CliContext& ctx);
  const char* usage;
};

// Each command lives in cli/cmd_<name>.cpp and is declared in commands.h.
const std::vector<Command> kCommands = {
    {"catalog", CatalogCommand, "catalog   the sources and their SourceId"},
    {"new", NewCommand,
     "new --source ID [--keyword TEXT] [--option N] [--save PATH] "
     "[--threads N] [--classify] [--notes TEXT] "
     "[--formats jpg-large,jpg-small,gif] [--url URL ...] "
     "[--from N --to N [--fixed]]   create a task"},
    {"list", ListCommand, "list   the tasks in list order"},
    {"show", ShowCommand, "show N   task N and its queues"},
    {"delete", DeleteCommand, "delete N   delete task N"},
    {"parse", ParseCommand,
     "parse --source ID --kind WEB2|WEB1 --url PAGEURL [--title T] "
     "[--formats LIST] FILE   show what a saved page yields"},
    {"run", RunCommand,
     "run [N ...] [--option Key=Value] [--threads-of N]   run tasks headless"},
};

int PrintUsage() {
  std::printf("harvio-cli %s\nusage: harvio-cli [--home DIR] COMMAND ...\n",
              kProductVersion);
  for (const Command& c : kCommands) std::printf("  %s\n", c.usage);
  return 0;
}

}  // namespace

bool CliContext::TakeValue(const std::string& name, std::string* value) {
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == name) {
      *value = args[i + 1];
      args.erase(args.begin() + i, args.begin() + i + 2);
      return true;
    }
  }
  return false;
}

std::vector<std::string> CliContext::TakeValues(const std::string& name) {
  std::vector<std::string> values;
  std::string value;
  while (TakeValue(name, &value)) values.push_back(value);
  return values;
}

bool CliContext::TakeFlag(const std::string& name) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == name) {
      args.erase(args.begin() + i);
      return true;
    }
  }
  return false;
}

int Main(int argc, char** argv) {
  CliContext ctx;
  for (int i = 1; i < argc; ++i) ctx.args.push_back(argv[i]);
  std::string home;
  if (ctx.TakeValue("--home", &home)) {
    ctx.home = platform::FromNativePath(home);
    if (ctx.home.empty() || ctx.home.back() != '\\') ctx.home += '\\';
  } else {
    ctx.home = platform::ExecutableDirectory();
  }
  if (ctx.args.empty() || ctx.args[0] == "--help") return PrintUsage();
  if (ctx.args[0] == "--version") {
    std::printf("harvio-cli %s\n", kProductVersion);
    return 0;
  }
  std::string name = ctx.args[0];
  ctx.args.erase(ctx.args.begin());
  for (const Command& c : kCommands) {
    if (name == c.name) return c.run(ctx);
  }
  std::fprintf(stderr, "harvio-cli: unknown command '%s' (see --help)\n",
               name.c_str());
  return 2;
}

}  // namespace harvio::cli

int main(int argc, char** argv) { return harvio::cli::Main(argc, argv); }
