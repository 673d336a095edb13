// harvio-cli run [N ...] [--option Key=Value ...] [--threads-of N]
//
// Runs tasks without a window, by the main window's tick (app/scheduler):
// at most three run at once, a task whose workers raise the stop signal is
// paused (Done or Paused by its queues), a failure is reported, the next
// waiting task starts when one finishes. Once a second one progress line.
// The run ends as soon as no task runs any more, or on SIGINT/SIGTERM,
// which pauses and saves every task exactly like closing the window.
// Exit code 3 when a task paused on a network or write failure, 4 when the
// task list or a task file could not be written.
#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "app/options.h"
#include "app/scheduler.h"
#include "core/string_table.h"
#include "core/task.h"
#include "core/task_store.h"
#include "net/worker.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace harvio::cli {
namespace {

constexpr uint32_t kTaskStateLabel = 1110;
constexpr uint32_t kCertRefusedLabel = 1130;  // "证书无效"
constexpr int kTaskFailedExit = 3;  // a task paused on a failure

std::atomic<bool> gInterrupted{false};

void OnInterrupt(int) { gInterrupted = true; }

// An integer read the Windows way: its leading digits, 0 without any.
uint32_t LeadingNumber(const std::string& text) {
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > UINT32_MAX) return UINT32_MAX;
  }
  return static_cast<uint32_t>(value);
}

bool ApplyOptionArguments(CliContext& ctx, Options* options) {
  for (const std::string& setting : ctx.TakeValues("--option")) {
    size_t eq = setting.find('=');
    if (eq == std::string::npos ||
        !SetConnectOption(*options, setting.substr(0, eq), setting.substr(eq + 1))) {
      std::fprintf(stderr, "harvio-cli run: unknown option '%s'\n", setting.c_str());
      return false;
    }
  }
  return true;
}

void PrintConnectOptions(const Options& options) {
  std::printf("options: %s\n", ConnectOptionsText(options).c_str());
}

// The tasks the run may start (1-based numbers in list order; none = all).
bool ChooseTasks(const std::vector<std::string>& numbers, size_t count,
                 std::vector<bool>* chosen) {
  chosen->assign(count, numbers.empty());
  for (const std::string& n : numbers) {
    uint32_t index = LeadingNumber(n);
    if (index == 0 || index > count || std::to_string(index) != n) {
      std::fprintf(stderr, "harvio-cli run: no task %s\n", n.c_str());
      return false;
    }
    (*chosen)[index - 1] = true;
  }
  return true;
}

// The tasks the run may start, in list order: the scheduler sees only
// these, so it never starts another.
std::vector<Task*> ChosenRows(const std::vector<Task*>& rows,
                              const std::vector<bool>& chosen) {
  std::vector<Task*> picked;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (chosen[i]) picked.push_back(rows[i]);
  }
  return picked;
}

// The list number of a task, for the console.
size_t RowNumber(const std::vector<Task*>& rows, const Task* task) {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i] == task) return i + 1;
  }
  return 0;
}

// Prints what the scheduler did; true when a task paused on a failure.
bool PrintOutcomes(const TickResult& result, const std::vector<Task*>& run,
                   const std::vector<Task*>& rows) {
  bool failed = false;
  for (const TickResult::Stop& stop : result.stopped) {
    size_t number = RowNumber(rows, run[stop.row]);
    if (stop.outcome == StopOutcome::kDone) {
      std::printf("task %zu done\n", number);
    } else if (uint32_t id = StopMessageId(stop.outcome)) {
      PrintError("task " + std::to_string(number) + ": " + StringText(id));
      failed = true;
    }
  }
  return failed;
}

// One line per host whose certificate a task refused, when first met.
void PrintRefusedHosts(const std::vector<Task*>& run,
                       const std::vector<Task*>& rows,
                       std::vector<size_t>* printed) {
  for (size_t i = 0; i < run.size(); ++i) {
    std::vector<std::string> hosts = RefusedHosts(*run[i]);
    for (size_t h = (*printed)[i]; h < hosts.size(); ++h) {
      PrintError("task " + std::to_string(RowNumber(rows, run[i])) + ": " +
                 hosts[h] + ": " + StringText(kCertRefusedLabel));
    }
    (*printed)[i] = hosts.size();
  }
}

// One line: every running task's state, counts and time, then the speed.
void PrintProgress(TaskSet& taskSet, const std::vector<Task*>& rows,
                   int threadsOf) {
  std::string line;
  for (size_t i = 0; i < rows.size(); ++i) {
    Task& task = *rows[i];
    if (task.info.state != kRunning) continue;
    const TaskStatus& s = RefreshStatus(task);
    char text[160];
    std::snprintf(text, sizeof(text), "#%zu ", i + 1);
    line += text;
    line += StringText(kTaskStateLabel + task.info.state);
    std::snprintf(text, sizeof(text), " %d pictures, pending %u/%u/%u, workers %s, %s | ",
                  s.pictureCount, s.pending[kWeb2], s.pending[kWeb1],
                  s.pending[kPic], s.workers, s.elapsed);
    line += text;
    if (threadsOf == static_cast<int>(i + 1)) PrintThreadList(task);
  }
  Print(line + TakeSpeedText(taskSet));
  std::fflush(stdout);
}

// True when a running task of `run` has raised its stop signal.
bool AnySignalled(const std::vector<Task*>& run) {
  for (const Task* task : run) {
    if (task->info.state == kRunning && task->stopSignal.load() != 0) return true;
  }
  return false;
}

// Runs the chosen tasks until none runs or an interrupt comes; true when
// a task paused on a network or write failure. A raised stop signal wakes
// the loop at once, so the run ends right after its last task; time counts
// and progress prints once a second. An interrupt cannot wake the wait (a
// signal handler may take no lock), so the wait is cut into short slices.
bool RunTasks(TaskSet& taskSet, const std::vector<Task*>& rows,
              std::vector<Task*> run, int threadsOf) {
  constexpr uint32_t kSecondMs = 1000;
  constexpr uint32_t kInterruptMs = 100;
  bool failed = false;
  std::vector<size_t> refusedPrinted(run.size());
  while (StartNextWaitingRow(run) >= 0) {
  }
  uint32_t secondStart = platform::TickCount();
  while (RunningCount(run) != 0 && !gInterrupted) {
    uint32_t spent = platform::TickCount() - secondStart;
    uint32_t left = spent < kSecondMs ? kSecondMs - spent : 0;
    WaitForTasks(taskSet, left < kInterruptMs ? left : kInterruptMs,
                 [&run] { return AnySignalled(run); });
    if (gInterrupted) break;
    bool second = platform::TickCount() - secondStart >= kSecondMs;
    if (second) secondStart += kSecondMs;
    PrintRefusedHosts(run, rows, &refusedPrinted);
    failed |= PrintOutcomes(TickRunningTasks(run, second), run, rows);
    if (second) PrintProgress(taskSet, rows, threadsOf);
  }
  PrintProgress(taskSet, rows, threadsOf);  // the last bytes, however short the run
  return failed;
}

}  // namespace

int RunCommand(CliContext& ctx) {
  Options options;
  LoadOptions(options, ctx.home + kOptionsFileName);
  if (!ApplyOptionArguments(ctx, &options)) return 2;
  std::string threadsOf;
  ctx.TakeValue("--threads-of", &threadsOf);
  PrintConnectOptions(options);
  TaskSet taskSet;
  taskSet.options = &options;
  taskSet.home = ctx.home;
  InstallWorkerHooks();
  std::vector<Task*> rows = LoadRows(taskSet);
  std::vector<bool> chosen;
  if (!ChooseTasks(ctx.args, rows.size(), &chosen)) {
    SaveAndClose(taskSet, rows);
    return 2;
  }
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
#ifdef SIGBREAK
  std::signal(SIGBREAK, OnInterrupt);  // Ctrl-Break and console close
#endif
  bool failed = RunTasks(taskSet, rows, ChosenRows(rows, chosen),
                         std::atoi(threadsOf.c_str()));
  // Like closing the window: the list is written, every task is closed (a
  // running one paused first) and its close thread saves it.
  bool saved = SaveAndClose(taskSet, rows);
  if (gInterrupted) std::printf("interrupted: tasks paused and saved\n");
  if (!saved) return kSaveFailedExit;
  return failed ? kTaskFailedExit : 0;
}

}  // namespace harvio::cli
