// bench_task HOME SAVE_FOLDER URL_FILE...: writes one custom task (161, 25
// workers, every picture format) per URL file, whose PIC queue holds the
// URLs of the file, one a line. The new-task wizard stops a URL list at 256
// entries; the benchmark needs thousands, so it writes the tasks itself.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/task.h"
#include "core/task_store.h"
#include "platform/paths.h"

int main(int argc, char** argv) {
  using namespace harvio;
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_task HOME SAVE_FOLDER URL_FILE...\n");
    return 2;
  }
  Options options;
  TaskSet taskSet;
  taskSet.options = &options;
  taskSet.home = platform::FromNativePath(argv[1]) + "\\";
  TaskInfo info{};
  info.sourceId = 161;
  info.threadCount = kMaxThreads;
  info.jpgLarge = info.jpgSmall = info.gif = 1;
  std::string save = platform::FromNativePath(argv[2]) + "\\";
  std::strncpy(info.savePath, save.c_str(), sizeof(info.savePath) - 1);
  std::strcpy(info.catalogPath, "bench");
  if (!EnsureDirectories(TaskDirectory(taskSet))) return 1;
  std::vector<Task*> rows;
  for (int file = 3; file < argc; ++file) {
    Task* task = CreateTask(taskSet, info, static_cast<uint32_t>(rows.size()));
    if (task == nullptr) return 1;
    std::ifstream urls(argv[file]);
    std::string url;
    while (std::getline(urls, url)) {
      task->queues[kPic].AddUrl(url.c_str(), "", "", false);
    }
    rows.push_back(task);
  }
  SaveTaskList(taskSet, rows);
  WaitForClosedTasks(taskSet);
  return 0;
}
