#include "core/task.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "core/checkpoint.h"
#include "core/gbk_text.h"
#include "core/item_folder.h"
#include "core/task_store.h"
#include "platform/files.h"

namespace harvio {
namespace {

WorkerHooks g_hooks{};
bool g_hooksSet = false;

uint32_t ClampThreads(uint32_t n) {
  if (n < kMinThreads) return kMinThreads;
  if (n > kMaxThreads) return kMaxThreads;
  return n;
}

void CreateWorkers(Task& task, uint32_t from, uint32_t to) {
  if (!g_hooksSet) return;
  for (uint32_t slot = from; slot < to; ++slot) g_hooks.createWorker(task, slot);
}

void StopWorkers(Task& task, uint32_t from, uint32_t to) {
  if (!g_hooksSet) return;
  for (uint32_t slot = from; slot < to; ++slot) g_hooks.stopWorker(task, slot);
}

// The tasks of the set beyond the limit are refused before they exist.
Task* NewTaskObject(TaskSet& taskSet, const TaskInfo& info,
                    uint32_t orderKey) {
  uint32_t live = taskSet.liveTasks.load();
  do {
    if (live >= kMaxTasks) return nullptr;
  } while (!taskSet.liveTasks.compare_exchange_weak(live, live + 1));
  auto* task = new Task;
  task->info = info;
  task->info.threadCount = ClampThreads(info.threadCount);
  task->taskSet = &taskSet;
  task->orderKey = orderKey;
  task->pictureCount = info.pictureCount;
  return task;
}

void SetState(Task& task, TaskState state) {
  std::lock_guard<std::mutex> guard(task.infoLock);
  task.info.state = state;
}

bool AllQueuesIdle(Task& task) {
  for (UrlQueue& q : task.queues) {
    if (!q.IsIdle()) return false;
  }
  return true;
}

// Partial files of the entries still waiting or active; finished pictures
// stay where they are.
void DeletePartialFiles(Task& task) {
  for (uint32_t kind = kWeb2; kind <= kPic; ++kind) {
    bool pending = true;
    task.queues[kind].ForEachHeadToTail([&](const UrlItem& item) {
      if (item.state == kFinished) pending = false;
      if (!pending || !IsPlainFileName(item.fileName)) return;
      std::string folder =
          ItemFolder(task.info, item, static_cast<ItemKind>(kind));
      platform::DeleteFile(folder + item.fileName + ".!");
    });
  }
}

// Changes the set's state under its wake lock and wakes every waiter, so a
// waiter that has just found nothing to do cannot miss the change.
template <typename Change>
void ChangeAndWake(TaskSet& taskSet, Change change) {
  std::lock_guard<std::mutex> guard(taskSet.wakeLock);
  change();
  taskSet.wake.notify_all();
}

void WaitUntil(TaskSet& taskSet, const std::function<bool()>& done) {
  std::unique_lock<std::mutex> guard(taskSet.wakeLock);
  taskSet.wake.wait(guard, done);
}

void RunCloseThread(Task* task) {
  TaskSet* taskSet = task->taskSet;
  WaitUntil(*taskSet, [task] { return task->runningWorkers.load() == 0; });
  StopCheckpoints(*task);
  // The workers' threads are joined before the task file is written, so
  // the file is the close's last step but for freeing the queues.
  if (g_hooksSet && task->engine != nullptr) g_hooks.releaseEngine(*task);
  if (task->deleteOnClose.load() == 0 && task->needsSave != 0 &&
      !SaveProgress(*task)) {
    task->taskSet->failedSaves.fetch_add(1);
  }
  if (task->deleteOnClose.load() != 0) {
    // Deleted while its file was being written (by this thread or a
    // checkpoint): the file must go again.
    DeleteTaskFile(*task);
    DeletePartialFiles(*task);
    DeleteJournaledFiles(*task);
  }
  delete task;
  ChangeAndWake(*taskSet, [taskSet] { taskSet->liveTasks.fetch_sub(1); });
}

}  // namespace

void SetWorkerHooks(const WorkerHooks* hooks) {
  g_hooksSet = hooks != nullptr;
  g_hooks = g_hooksSet ? *hooks : WorkerHooks{};
}

Task* CreateTask(TaskSet& taskSet, const TaskInfo& info, uint32_t orderKey) {
  Task* task = NewTaskObject(taskSet, info, orderKey);
  if (task == nullptr) return nullptr;
  CopyBounded(task->info.taskName, sizeof(task->info.taskName),
              NewGuidText().c_str());
  task->needsSave = 1;
  return task;
}

Task* RestoreTask(TaskSet& taskSet, const TaskInfo& info, uint32_t orderKey) {
  return NewTaskObject(taskSet, info, orderKey);
}

Task::~Task() { ReleaseCheckpoints(*this); }

void StartTask(Task& task) {
  // Cleared before any worker exists, so a worker's signal is never lost.
  task.stopSignal = 0;
  SetState(task, kRunning);
  task.needsSave = 1;
  StartCheckpoints(task);
  CreateWorkers(task, 0, task.info.threadCount);
}

void PauseTask(Task& task) {
  StopWorkers(task, 0, task.info.threadCount);
  SetState(task, AllQueuesIdle(task) ? kDone : kPaused);
  task.changes.fetch_add(1);  // the paused state is worth a checkpoint
}

void SetThreadCount(Task& task, uint32_t n) {
  n = ClampThreads(n);
  uint32_t old = task.info.threadCount;
  if (task.info.state == kRunning) {
    if (n > old) CreateWorkers(task, old, n);
    if (n < old) StopWorkers(task, n, old);
  }
  std::lock_guard<std::mutex> guard(task.infoLock);
  task.info.threadCount = n;
}

void TickSecond(Task& task) {
  std::lock_guard<std::mutex> guard(task.infoLock);
  task.info.elapsedSeconds += 1;
}

const TaskStatus& RefreshStatus(Task& task) {
  TaskStatus& s = task.status;
  s.pictureCount = task.pictureCount.load();
  for (uint32_t kind = kWeb2; kind <= kPic; ++kind) {
    s.pending[kind] = task.queues[kind].PendingCount();
  }
  uint32_t onKind[4] = {0, 0, 0, 0};
  if (task.info.state == kRunning) {
    ThreadView views[kMaxThreads];
    uint32_t n = GetThreadViews(task, views);
    for (uint32_t i = 0; i < n; ++i) ++onKind[views[i].kind < 3 ? views[i].kind : 3];
  } else {
    onKind[3] = task.info.threadCount;
  }
  std::snprintf(s.workers, sizeof(s.workers), "%u/%u/%u/%u", onKind[0],
                onKind[1], onKind[2], onKind[3]);
  uint32_t t = task.info.elapsedSeconds;
  std::snprintf(s.elapsed, sizeof(s.elapsed), "%02u:%02u:%02u",
                t / 3600, t / 60 % 60, t % 60);
  s.savePath = task.info.savePath;
  s.catalogPath = task.info.catalogPath;
  return s;
}

uint32_t GetThreadViews(const Task& task, ThreadView* out) {
  uint32_t n = ClampThreads(task.info.threadCount);
  for (uint32_t slot = 0; slot < n; ++slot) {
    std::memset(&out[slot], 0, sizeof(ThreadView));
    out[slot].kind = kNoKind;
    if (g_hooksSet) g_hooks.viewWorker(task, slot, &out[slot]);
  }
  return n;
}

void CloseTask(Task* task) {
  // One close thread per task, however often it is asked to close.
  if (task->closing.exchange(true)) return;
  if (task->info.state == kRunning) PauseTask(*task);
  TaskSet& taskSet = *task->taskSet;
  std::lock_guard<std::mutex> guard(taskSet.closeLock);
  taskSet.closeThreads.emplace_back(RunCloseThread, task);
}

void DeleteTask(Task* task) {
  DeleteTaskFile(*task);
  task->deleteOnClose = 1;
  CloseTask(task);
}

void RaiseStopSignal(Task& task, int32_t reason) {
  ChangeAndWake(*task.taskSet, [&task, reason] {
    task.stopReason.store(reason);
    task.stopSignal.store(1);
  });
}

void CountWorkerOut(Task& task) {
  ChangeAndWake(*task.taskSet, [&task] { task.runningWorkers.fetch_sub(1); });
}

bool WaitForTasks(TaskSet& taskSet, uint32_t ms,
                  const std::function<bool()>& done) {
  std::unique_lock<std::mutex> guard(taskSet.wakeLock);
  return taskSet.wake.wait_for(guard, std::chrono::milliseconds(ms), done);
}

bool WaitForClosedTasks(TaskSet& taskSet) {
  WaitUntil(taskSet, [&taskSet] { return taskSet.liveTasks.load() == 0; });
  // Joined, not only counted: a thread still on its way out when the
  // process exits can hold a runtime lock that the exit needs, and the
  // program then hangs instead of ending.
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> guard(taskSet.closeLock);
    threads.swap(taskSet.closeThreads);
  }
  for (std::thread& thread : threads) thread.join();
  return taskSet.failedSaves.load() == 0;
}

}  // namespace harvio
