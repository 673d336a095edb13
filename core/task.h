// A Task is one download job: its TaskInfo, three UrlQueues (indexed by
// ItemKind), the flags through which its workers and the main window talk,
// and the engine state (workers, host cache) that the download engine keeps
// for it. The core knows the engine only through WorkerHooks, so the task
// model builds and is tested without sockets or threads of workers.
//
// Signals: a worker writes stopReason first and then raises stopSignal; the
// main window (or harvio-cli) polls both once a second and calls PauseTask.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "core/options.h"
#include "core/task_info.h"
#include "core/url_queue.h"

namespace harvio {

// Shared by every task and worker of the program.
struct TaskSet {
  std::atomic<uint32_t> liveTasks{0};
  std::atomic<uint32_t> receivedBytes{0};  // since the last tick
  const Options* options = nullptr;
  std::string home;  // directory holding Task\ (ends in "\\")
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
struct TaskEngine;  // defined by the download engine

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
  std::atomic<int32_t> stopReason{-1};  // -1 no work, 0 network, 1 write
  std::atomic<int32_t> pictureCount{0};  // live; copied into info when saved
};

}  // namespace harvio
