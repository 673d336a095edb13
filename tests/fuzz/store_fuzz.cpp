// Fuzz target: any bytes as the task list, as a task file, or as the
// journal a crash left beside a task file. The first byte chooses which;
// the rest is the file. The other files are whole ones written here: a
// list naming the task "{T}" and that task's file with an entry of each
// kind. Loading must never read past a file's end, and what it makes of
// the bytes must be a task the program can run and save.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/checkpoint.h"
#include "core/task.h"
#include "core/task_store.h"
#include "platform/paths.h"
#include "tests/fuzz/scratch_folder.h"

namespace {

using namespace harvio;

constexpr char kTaskName[] = "{T}";
constexpr char kSavePath[] = "Z:\\tmp\\harvio-fuzz-store\\";

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// A whole list naming kTaskName and a whole task file of that name.
void WriteWholeFiles(const fuzz::ScratchFolder& scratch) {
  TaskSet taskSet;
  taskSet.home = scratch.home;
  TaskInfo info{};
  info.sourceId = 31;
  info.classifyByTitle = 1;
  // A fixed folder, so seeded journals can name files inside it.
  std::strcpy(info.savePath, kSavePath);
  Task* task = CreateTask(taskSet, info, 0);
  std::strcpy(task->info.taskName, kTaskName);
  task->queues[kWeb2].AddUrl("http://a.test/list.html", "", "", true);
  task->queues[kWeb1].AddUrl("http://a.test/thread.html", "t", "", true);
  task->queues[kPic].AddUrl("http://a.test/p.jpg", "t", "", true);
  std::vector<Task*> rows{task};
  SaveTaskList(taskSet, rows);
  WaitForClosedTasks(taskSet);
  // Kept aside: every input overwrites one of them.
  std::string dir = scratch.native + "/Task/";
  std::filesystem::copy_file(dir + "List", dir + "List.whole");
  std::filesystem::copy_file(dir + kTaskName, dir + kTaskName + ".whole");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const fuzz::ScratchFolder& scratch = fuzz::Scratch("harvio-fuzz-store");
  std::string dir = scratch.native + "/Task/";
  static const bool written = (WriteWholeFiles(scratch), true);
  (void)written;
  std::string list = dir + "List", file = dir + kTaskName;
  std::string journal = file + ".journal";
  for (const std::string& whole : {list, file}) {
    std::filesystem::copy_file(whole + ".whole", whole,
                               std::filesystem::copy_options::overwrite_existing);
  }
  std::string target = data[0] % 3 == 0 ? list : data[0] % 3 == 1 ? file : journal;
  WriteFile(target, data + 1, size - 1);

  TaskSet taskSet;
  taskSet.home = scratch.home;
  std::vector<Task*> rows = LoadTaskList(taskSet);
  for (Task* task : rows) {
    // What a start does before its workers: the journal's repairs.
    StartCheckpoints(*task);
    RefreshStatus(*task);
    delete task;
  }
  std::filesystem::remove(journal);
  return 0;
}
