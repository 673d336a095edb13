// What the core and app tests share: readable UTF-8 turned into the
// program's GBK bytes, a fresh home folder (holding Task\), a task's
// fields and a stand-in for the engine's workers.
#pragma once

#include <cstdint>
#include <string>

#include "core/gbk_text.h"
#include "core/task.h"
#include "core/task_info.h"
#include "platform/codepage.h"
#include "tests/platform/temp_dir.h"

namespace harvio::testing {

inline std::string Gbk(const std::string& utf8) {
  std::string gbk;
  platform::Utf8ToGbk(utf8, &gbk);
  return gbk;
}

using TempHome = platform::TempDir;

// The fields a test names; the rest zero, as a new task's.
inline TaskInfo InfoOf(uint32_t sourceId, const char* keyword = "",
                       const char* savePath = "Z:\\pics\\", uint32_t threads = 15) {
  TaskInfo info{};
  info.sourceId = sourceId;
  info.threadCount = threads;
  CopyBounded(info.keyword, sizeof(info.keyword), keyword);
  CopyBounded(info.savePath, sizeof(info.savePath), savePath);
  return info;
}

// The engine seam, counting the workers it is asked to start and stop;
// a running worker shows the item kind its slot is given.
struct WorkerLog {
  int created[kMaxThreads], stopped[kMaxThreads];
  uint32_t kinds[kMaxThreads];
};
inline WorkerLog g_workers;
inline void FakeWorkers() {
  static const WorkerHooks hooks = {
      [](Task&, uint32_t slot) { ++g_workers.created[slot]; },
      [](Task&, uint32_t slot) { ++g_workers.stopped[slot]; },
      [](const Task&, uint32_t slot, ThreadView* out) {
        out->kind = g_workers.kinds[slot];
        return true;
      },
      [](Task&) {}};
  g_workers = {};
  SetWorkerHooks(&hooks);
}

}  // namespace harvio::testing
