#include "app/scheduler.h"

#include <cstdio>

namespace harvio {
namespace {

constexpr uint32_t kStopMessageBase = 1511;  // + stopReason 0, 1 or 2

bool IsWaiting(const Task& task) {
  return task.info.state == kNew || task.info.state == kPaused;
}

}  // namespace

uint32_t RunningCount(const std::vector<Task*>& rows) {
  uint32_t running = 0;
  for (const Task* task : rows) running += task->info.state == kRunning ? 1 : 0;
  return running;
}

int NextWaitingRow(const std::vector<Task*>& rows) {
  if (RunningCount(rows) >= kMaxRunningTasks) return -1;
  for (size_t row = 0; row < rows.size(); ++row) {
    if (IsWaiting(*rows[row])) return static_cast<int>(row);
  }
  return -1;
}

int StartNextWaitingRow(std::vector<Task*>& rows) {
  int row = NextWaitingRow(rows);
  if (row >= 0) StartTask(*rows[static_cast<size_t>(row)]);
  return row;
}

StopOutcome ReactToStopSignal(Task& task) {
  if (task.info.state != kRunning || task.stopSignal.load() == 0) {
    return StopOutcome::kNone;
  }
  PauseTask(task);
  if (task.info.state == kDone) return StopOutcome::kDone;
  switch (task.stopReason.load()) {
    case 0: return StopOutcome::kNetworkFailure;
    case 1: return StopOutcome::kWriteFailure;
    case 2: return StopOutcome::kCertificateRefused;
    default: return StopOutcome::kStaysPaused;
  }
}

uint32_t StopMessageId(StopOutcome outcome) {
  if (outcome == StopOutcome::kNetworkFailure) return kStopMessageBase;
  if (outcome == StopOutcome::kWriteFailure) return kStopMessageBase + 1;
  if (outcome == StopOutcome::kCertificateRefused) return kStopMessageBase + 2;
  return 0;
}

std::string TakeSpeedText(TaskSet& taskSet) {
  uint32_t bytes = taskSet.receivedBytes.exchange(0);
  char text[32];
  std::snprintf(text, sizeof(text), "%.2fKB/s", bytes / 1024.0);
  return text;
}

TickResult TickRunningTasks(std::vector<Task*>& rows, bool countSecond) {
  TickResult result;
  // Rows started during the pass have run for no second yet.
  std::vector<bool> ranBefore(rows.size());
  for (size_t row = 0; row < rows.size(); ++row) {
    ranBefore[row] = rows[row]->info.state == kRunning;
  }
  for (size_t row = 0; row < rows.size(); ++row) {
    if (!ranBefore[row]) continue;
    Task& task = *rows[row];
    if (countSecond) TickSecond(task);
    StopOutcome outcome = ReactToStopSignal(task);
    if (outcome == StopOutcome::kNone) continue;
    result.stopped.push_back({row, outcome});
    if (outcome != StopOutcome::kDone) continue;
    int started = StartNextWaitingRow(rows);
    if (started >= 0) result.started.push_back(static_cast<size_t>(started));
  }
  return result;
}

}  // namespace harvio
