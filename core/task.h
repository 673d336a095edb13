// A Task is one download job: its TaskInfo, three UrlQueues (indexed by
// ItemKind), the flags through which its workers and the main window talk,
// and the engine state (workers, host cache) that the download engine keeps
// for it. The core knows the engine only through WorkerHooks, so the task
// model builds and is tested without sockets or threads of workers.
//
// Signals: a worker writes stopReason first and then raises stopSignal; the
// main window polls both once a second and calls PauseTask. harvio-cli and
// the close threads are woken through the TaskSet instead (WaitForTasks).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/options.h"
#include "core/task_info.h"
#include "core/url_queue.h"

namespace harvio {

// Shared by every task and worker of the program.
struct TaskSet {
  std::atomic<uint32_t> liveTasks{0};
  std::atomic<uint32_t> receivedBytes{0};  // since the last tick
  std::atomic<uint64_t> receivedEver{0};   // by every worker, never cleared
  const Options* options = nullptr;
  std::string home;  // directory holding Task\ (ends in "\\")
  // The close threads, joined by WaitForClosedTasks (or at the latest here:
  // each one still counts itself out of this set).
  std::mutex closeLock;
  std::vector<std::thread> closeThreads;
  // Task files a close thread could not write.
  std::atomic<uint32_t> failedSaves{0};
  // Whoever waits for the tasks (the tick of harvio-cli, close threads, the
  // exit) sleeps on `wake`; it is notified, under `wakeLock`, whenever a
  // worker raises its task's stop signal or ends and whenever a task is
  // freed, so nobody polls in slices.
  std::mutex wakeLock;
  std::condition_variable wake;

  ~TaskSet() {
    for (std::thread& thread : closeThreads) thread.join();
  }
};

// What the task list shows of a task.
struct TaskStatus {
  int32_t pictureCount;
  uint32_t pending[3];  // WEB2, WEB1, PIC
  char workers[16];     // "%d/%d/%d/%d"
  char elapsed[16];     // "%02d:%02d:%02d"
  const char* savePath;
  const char* catalogPath;
};

// The display block of one worker, copied for the thread list.
struct ThreadView {
  uint32_t state;  // WorkerState
  uint32_t kind;   // ItemKind
  uint32_t size;
  uint32_t done;
  uint32_t retry;
  char url[1025];
  char file[263];
};

struct Task;
struct TaskEngine;    // defined by the download engine
struct Checkpoints;   // core/checkpoint

// Filled in by the download engine at start-up; until then tasks start and
// pause without any worker running.
struct WorkerHooks {
  // Creates the worker of `slot` and its thread (runningWorkers += 1).
  void (*createWorker)(Task& task, uint32_t slot);
  // Asks the worker of `slot`, if any, to end at its next step.
  void (*stopWorker)(Task& task, uint32_t slot);
  // Copies the display block of the worker of `slot`; false if none.
  bool (*viewWorker)(const Task& task, uint32_t slot, ThreadView* out);
  // Releases the engine state once every worker has ended.
  void (*releaseEngine)(Task& task);
};
void SetWorkerHooks(const WorkerHooks* hooks);

struct Task {
  ~Task();
  // Guards `info` against a checkpoint copying it while the main window
  // changes it (state, running time, thread count, properties).
  std::mutex infoLock;
  TaskInfo info{};
  UrlQueue queues[3];  // indexed by ItemKind
  TaskEngine* engine = nullptr;
  TaskStatus status{};
  TaskSet* taskSet = nullptr;
  uint32_t orderKey = 0;
  std::atomic<uint32_t> runningWorkers{0};
  uint32_t needsSave = 0;
  std::atomic<uint32_t> deleteOnClose{0};
  std::atomic<uint32_t> stopSignal{0};
  std::atomic<int32_t> stopReason{-1};  // -1 no work, 0 network, 1 write,
                                        // 2 a start page's certificate refused
  std::atomic<int32_t> pictureCount{0};  // live; copied into info when saved
  std::atomic<bool> closing{false};      // its close thread has started
  // Raised by the workers at every change worth a checkpoint.
  std::atomic<uint32_t> changes{0};
  Checkpoints* checkpoints = nullptr;  // from the first start to the close
};


// A new task for `info`: it receives a fresh taskName, empty queues and
// needsSave 1, and counts as live. Null when 10 tasks are already live.
Task* CreateTask(TaskSet& taskSet, const TaskInfo& info, uint32_t orderKey);
// The same for a task read from its file: the stored taskName stays and
// needsSave stays 0.
Task* RestoreTask(TaskSet& taskSet, const TaskInfo& info, uint32_t orderKey);

// Creates the workers of slots 0..threadCount-1; the task runs.
void StartTask(Task& task);
// Asks every worker to stop (without waiting); the task becomes Done when
// no queue has work left, else Paused.
void PauseTask(Task& task);
// Resizes a running task at once; n is kept within 5..25.
void SetThreadCount(Task& task, uint32_t n);
// One second of running time.
void TickSecond(Task& task);
const TaskStatus& RefreshStatus(Task& task);
// The display blocks of slots 0..threadCount-1 into `out` (25 entries);
// returns how many were written.
uint32_t GetThreadViews(const Task& task, ThreadView* out);
// Pauses a running task and hands it to a close thread of its own, which
// waits for the workers, deletes the partial files of a deleted task or
// writes the task file, and frees the task. Returns at once.
void CloseTask(Task* task);
// Deletes the task file now, then closes the task with its partial files.
void DeleteTask(Task* task);
// For the workers: writes the reason, raises the stop signal and wakes
// whoever waits for the tasks.
void RaiseStopSignal(Task& task, int32_t reason);
// For a worker thread at its end: runningWorkers -= 1 and the same wake.
// The task may be freed right after, so this is its last touch of it.
void CountWorkerOut(Task& task);
// Waits until `done` holds or `ms` have passed; `done` is looked at again at
// every wake of the set (see TaskSet). True when it holds.
bool WaitForTasks(TaskSet& taskSet, uint32_t ms,
                  const std::function<bool()>& done);
// Blocks until every task of the set has been freed by its close thread;
// false when one of them could not write its task file (failedSaves).
bool WaitForClosedTasks(TaskSet& taskSet);

}  // namespace harvio
