// harvio-cli new: creates a task through the same checks and defaults as
// the new-task wizard, page by page, and saves it (task file and list).
// Texts from the command line are UTF-8 and are turned into GBK; a save
// folder may be given as a Windows path or a POSIX one (its Z:\ form).
// Without --save the task gets the wizard's default folder under
// <home>Download\, the CLI's WorkPath.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "sources/catalog.h"
#include "app/new_task.h"
#include "app/url_batch.h"

namespace harvio::cli {
namespace {

constexpr uint32_t kLastKeywordSource = 30;
constexpr uint32_t kFirstCustomSource = 161;

// Prints the system's own message and tells the caller to stop.
bool Refused(const std::string& message) {
  if (message.empty()) return false;
  PrintError(message);
  return true;
}

bool Usage(const char* what) {
  std::fprintf(stderr, "harvio-cli new: %s\n", what);
  return false;
}

bool ToGbk(const std::string& argument, std::string* gbk) {
  return platform::ArgumentToGbk(argument, gbk) ||
         Usage("text is not in the system's encoding");
}

bool ReadNumber(CliContext& ctx, const char* name, uint32_t* value) {
  std::string text;
  if (!ctx.TakeValue(name, &text)) return true;
  if (text.empty() || text.size() > 9 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return Usage("a number is expected after an option");
  }
  *value = static_cast<uint32_t>(std::stoul(text));
  return true;
}

bool ChooseSource(CliContext& ctx, WizardData& data) {
  if (!ReadNumber(ctx, "--source", &data.sourceId)) return false;
  std::vector<CatalogEntry> tree = LoadSourceTree();
  int index = FindCatalogEntry(tree, data.sourceId);
  if (data.sourceId != 0 && index < 0) {
    return Usage("no such SourceId (see harvio-cli catalog)");
  }
  if (Refused(CheckSourcePage(data))) return false;
  data.catalogPath = BuildCatalogPath(tree, index);
  return true;
}

bool SearchPage(CliContext& ctx, WizardData& data) {
  std::string keyword, gbk;
  uint32_t option = 0, first = 0, last = 0;
  ctx.TakeValue("--keyword", &keyword);
  if (!ReadNumber(ctx, "--option", &option) || !ToGbk(keyword, &gbk)) {
    return false;
  }
  SizeOptionList(data.sourceId, &first, &last);
  if (option > last - first) return Usage("--option is outside the list");
  return !Refused(CheckSearchPage(data, gbk, option));
}

bool CustomPage(CliContext& ctx, WizardData& data) {
  UrlBatch batch;
  if (!ReadNumber(ctx, "--from", &batch.from) ||
      !ReadNumber(ctx, "--to", &batch.to)) {
    return false;
  }
  batch.fixedWidth = ctx.TakeFlag("--fixed");
  for (const std::string& url : ctx.TakeValues("--url")) {
    if (!ToGbk(url, &batch.entry) ||
        Refused(AddUrlBatch(data.urlList, batch))) {
      return false;
    }
  }
  std::string formats = "jpg-large";  // the custom page's initial ticks
  ctx.TakeValue("--formats", &formats);
  formats = "," + formats + ",";
  auto ticked = [&](const char* name) {
    return formats.find(std::string(",") + name + ",") != std::string::npos
               ? 1u : 0u;
  };
  return !Refused(CheckCustomPage(data, ticked("jpg-large"),
                                  ticked("jpg-small"), ticked("gif")));
}

bool ProgramPage(CliContext& ctx, const std::string& home, WizardData& data) {
  std::string save, threads = "15", notes, gbkNotes, path;
  ctx.TakeValue("--threads", &threads);
  ctx.TakeValue("--notes", &notes);
  if (!ToGbk(notes, &gbkNotes)) return false;
  if (!ctx.TakeValue("--save", &save)) {
    path = DefaultSavePath((home + "Download\\").c_str(), data);
  } else if (!save.empty() && save[0] == '/') {
    path = platform::FromNativePath(save);
  } else if (!ToGbk(save, &path)) {
    return false;
  }
  return !Refused(CheckProgramPage(data, path, threads,
                                   ctx.TakeFlag("--classify"), gbkNotes));
}

}  // namespace

int NewCommand(CliContext& ctx) {
  WizardData data;
  if (!ChooseSource(ctx, data)) return 1;
  if (data.sourceId <= kLastKeywordSource && !SearchPage(ctx, data)) return 1;
  if (data.sourceId >= kFirstCustomSource && !CustomPage(ctx, data)) return 1;
  if (!ProgramPage(ctx, ctx.home, data)) return 1;
  if (!ctx.args.empty()) {
    std::fprintf(stderr, "harvio-cli new: unexpected '%s'\n",
                 ctx.args[0].c_str());
    return 2;
  }
  TaskRows tasks(ctx.home);
  std::string refusal;
  Task* task = FinishWizard(tasks.taskSet, data, tasks.rows, &refusal);
  if (Refused(refusal)) return 1;
  std::string line = std::to_string(tasks.rows.size() + 1) + "\t" +
                     task->info.taskName + "\t" + task->info.catalogPath +
                     "\t" + task->info.savePath;
  tasks.rows.push_back(task);
  if (!tasks.SaveAll()) return kSaveFailedExit;
  Print(line);
  return 0;
}

}  // namespace harvio::cli
