// harvio-cli show N: the settings of task N and every entry of its three
// queues from head to tail.
#include <string>

#include "cli/commands.h"
#include "core/string_table.h"
#include "core/url_location.h"

namespace harvio::cli {
namespace {

constexpr uint32_t kFirstKindLabel = 1140;  // "WEB2", "WEB1", "PIC"
const char* const kItemStates[] = {"waiting", "active", "finished"};

void Field(const char* name, const std::string& value) {
  Print(std::string(name) + "\t" + value);
}

void PrintInfo(const TaskInfo& info, int32_t pictureCount) {
  Field("state", std::to_string(info.state));
  Field("pictureCount", std::to_string(pictureCount));
  Field("elapsedSeconds", std::to_string(info.elapsedSeconds));
  Field("taskName", info.taskName);
  Field("sourceId", std::to_string(info.sourceId));
  Field("catalogPath", info.catalogPath);
  Field("savePath", info.savePath);
  Field("threadCount", std::to_string(info.threadCount));
  Field("classifyByTitle", std::to_string(info.classifyByTitle));
  Field("notes", info.notes);
  Field("keyword", info.keyword);
  Field("sizeOption", std::to_string(info.sizeOption));
  Field("jpgLarge", std::to_string(info.jpgLarge));
  Field("jpgSmall", std::to_string(info.jpgSmall));
  Field("gif", std::to_string(info.gif));
}

std::string EntryLine(uint32_t kind, const UrlItem& item) {
  std::string state = item.state < 3 ? kItemStates[item.state] : "?";
  char location[80];
  LocationPrefix(item.host, location, sizeof(location));
  return std::string(StringText(kFirstKindLabel + kind)) + "\t" + state +
         "\t" + location + item.path + "\t" + item.title + "\t" +
         item.referer + "\t" + item.fileName + "\t" +
         std::to_string(item.size) + "\t" + std::to_string(item.done);
}

}  // namespace

int ShowCommand(CliContext& ctx) {
  TaskRows tasks(ctx.home);
  Task* task = tasks.Numbered(ctx.args.empty() ? "" : ctx.args[0]);
  if (task == nullptr) return 2;
  PrintInfo(task->info, task->pictureCount.load());
  for (uint32_t kind = kWeb2; kind <= kPic; ++kind) {
    task->queues[kind].ForEachHeadToTail(
        [&](const UrlItem& item) { Print(EntryLine(kind, item)); });
  }
  return 0;
}

}  // namespace harvio::cli
