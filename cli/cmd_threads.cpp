// The thread list of one running task, as the main window shows it below
// the task list: state, kind, size, bytes received, percent, retry, URL and
// file of every worker slot.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "core/string_table.h"
#include "core/task.h"
#include "net/worker.h"

namespace harvio::cli {
namespace {

constexpr uint32_t kWorkerStateLabel = 1120;
constexpr uint32_t kKindLabel = 1140;

std::string Kilobytes(uint32_t bytes) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.2fKB", bytes / 1024.0);
  return text;
}

}  // namespace

std::string ThreadRow(const ThreadView& view) {
  bool receiving = view.state == kReceiving || view.state == kProcessing;
  bool busy = view.state != kIdle && view.state != kFinishing;
  bool sized = receiving && view.size != 0;
  std::string row = StringText(kWorkerStateLabel + (view.state <= kFinishing ? view.state : kIdle));
  row += '\t';
  row += StringText(kKindLabel + (view.kind <= kNoKind ? view.kind : kNoKind));
  row += '\t';
  row += sized ? Kilobytes(view.size) : "";
  row += '\t';
  row += receiving ? Kilobytes(view.done) : "";
  row += '\t';
  if (sized) row += std::to_string(uint64_t{view.done} * 100 / view.size) + "%";
  row += '\t';
  if (busy) row += std::to_string(view.retry) + '\t' + view.url + '\t' + view.file;
  return row;
}

void PrintThreadList(const Task& task) {
  ThreadView views[kMaxThreads];
  uint32_t n = GetThreadViews(task, views);
  for (uint32_t i = 0; i < n; ++i) Print("  " + ThreadRow(views[i]));
}

}  // namespace harvio::cli
