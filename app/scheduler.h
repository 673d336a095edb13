// The decisions of the one-second tick, over the task rows in list order,
// for every program that runs tasks (the main window's tick, harvio-cli
// run). They only look at tasks and start or pause them; showing the
// outcome is the caller's. Nothing here waits for a worker or touches a
// file, so the tick never blocks on the network or the disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/task.h"

namespace harvio {

// What became of a running task whose workers raised the stop signal.
enum class StopOutcome {
  kNone,            // no signal raised, or the task no longer runs
  kDone,            // every queue idle: the next waiting task may start
  kNetworkFailure,  // paused; show string 1511
  kWriteFailure,    // paused; show string 1512
  kCertificateRefused,  // paused on its start page's certificate; 1513
  kStaysPaused,     // ran out of work while entries were still pending
};

// Tasks in Running state among `rows`.
uint32_t RunningCount(const std::vector<Task*>& rows);

// The row that starts next: the first New or Paused one, as long as fewer
// than three tasks run. -1 when none may start.
int NextWaitingRow(const std::vector<Task*>& rows);

// Starts the row NextWaitingRow names; returns it, or -1.
int StartNextWaitingRow(std::vector<Task*>& rows);

// For a running task: if its stop signal is raised, pauses it and tells
// what follows. A task that is not running gives kNone, so a signal is
// acted on once.
StopOutcome ReactToStopSignal(Task& task);

// The string id of the failure message for `outcome`, or 0 when there is
// nothing to show.
uint32_t StopMessageId(StopOutcome outcome);

// Takes the bytes counted since the last call (one atomic exchange) and
// formats them as a speed per second: "%.2fKB/s".
std::string TakeSpeedText(TaskSet& taskSet);

// What one pass over the rows did, for the caller to show.
struct TickResult {
  struct Stop {
    size_t row;
    StopOutcome outcome;
  };
  std::vector<Stop> stopped;   // in row order
  std::vector<size_t> started;  // the next waiting row after each Done
};

// Reacts to the stop signals of the running rows; after each task that
// is done, the next waiting row starts. With `countSecond`, every row
// running at the start also gets its second of running time (TickSecond):
// the task part of the one-second tick. Without, for a caller that polls
// the signals more often than once a second.
TickResult TickRunningTasks(std::vector<Task*>& rows, bool countSecond);

}  // namespace harvio
