// harvio-cli run [N ...] [--option Key=Value ...] [--threads-of N]
//
// Runs tasks without a window, by the rules of the main window's tick: at
// most three run at once, a task whose workers raise the stop signal is
// paused (Done or Paused by its queues), a failure is reported, the next
// waiting task starts when one finishes. Once a second one progress line.
// The run ends when no task runs any more, or on SIGINT/SIGTERM, which
// pauses and saves every task exactly like closing the window.
#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/options.h"
#include "core/string_table.h"
#include "core/task.h"
#include "core/task_store.h"
#include "net/worker.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace harvio::cli {
namespace {

constexpr uint32_t kMessageBase = 1511;  // + stopReason 0 or 1
constexpr uint32_t kTaskStateLabel = 1110;

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

class Runner {
 public:
  Runner(TaskSet& taskSet, std::vector<Task*>& rows, std::vector<bool> chosen,
         int threadsOf)
      : taskSet_(taskSet), rows_(rows), chosen_(std::move(chosen)),
        threadsOf_(threadsOf) {}

  void StartWaiting() {
    while (RunningCount() < kMaxRunningTasks && StartNext()) {
    }
  }

  // One second of the main window's tick.
  void Tick() {
    for (size_t i = 0; i < rows_.size(); ++i) {
      Task& task = *rows_[i];
      if (task.info.state != kRunning) continue;
      TickSecond(task);
      if (task.stopSignal.load() != 0) React(task, i);
    }
    PrintProgress();
  }

  bool AnyRunning() const { return RunningCount() != 0; }

 private:
  uint32_t RunningCount() const {
    uint32_t n = 0;
    for (Task* t : rows_) n += t->info.state == kRunning ? 1 : 0;
    return n;
  }

  // The first chosen task that is New or Paused; false when none is left.
  bool StartNext() {
    for (size_t i = 0; i < rows_.size(); ++i) {
      TaskState state = static_cast<TaskState>(rows_[i]->info.state);
      if (chosen_[i] && (state == kNew || state == kPaused)) {
        StartTask(*rows_[i]);
        return true;
      }
    }
    return false;
  }

  void React(Task& task, size_t row) {
    PauseTask(task);
    int32_t reason = task.stopReason.load();
    if (task.info.state == kDone) {
      std::printf("task %zu done\n", row + 1);
      StartWaiting();
    } else if (reason == 0 || reason == 1) {
      Print("task " + std::to_string(row + 1) + ": " +
            StringText(kMessageBase + static_cast<uint32_t>(reason)));
    }
  }

  void PrintProgress() {
    uint32_t bytes = taskSet_.receivedBytes.exchange(0);
    std::string line;
    for (size_t i = 0; i < rows_.size(); ++i) {
      Task& task = *rows_[i];
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
      if (threadsOf_ == static_cast<int>(i + 1)) PrintThreadList(task);
    }
    char speed[32];
    std::snprintf(speed, sizeof(speed), "%.2fKB/s", bytes / 1024.0);
    Print(line + speed);
    std::fflush(stdout);
  }

  TaskSet& taskSet_;
  std::vector<Task*>& rows_;
  std::vector<bool> chosen_;
  int threadsOf_;
};

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
  std::vector<Task*> rows = LoadTaskList(taskSet);
  std::vector<bool> chosen;
  if (!ChooseTasks(ctx.args, rows.size(), &chosen)) {
    SaveTaskList(taskSet, rows);
    WaitForClosedTasks(taskSet);
    return 2;
  }
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
#ifdef SIGBREAK
  std::signal(SIGBREAK, OnInterrupt);  // Ctrl-Break and console close
#endif
  Runner runner(taskSet, rows, chosen, std::atoi(threadsOf.c_str()));
  runner.StartWaiting();
  while (runner.AnyRunning() && !gInterrupted) {
    // Sleep in slices so an interrupt is acted on at once.
    for (int slice = 0; slice < 10 && !gInterrupted; ++slice) {
      platform::SleepMs(100);
    }
    if (!gInterrupted) runner.Tick();
  }
  // Like closing the window: the list is written, every task is closed (a
  // running one paused first) and its close thread saves it.
  SaveTaskList(taskSet, rows);
  WaitForClosedTasks(taskSet);
  if (gInterrupted) std::printf("interrupted: tasks paused and saved\n");
  return 0;
}

}  // namespace harvio::cli
