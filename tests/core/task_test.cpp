#include "core/task.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/item_folder.h"
#include "core/task_store.h"
#include "tests/core/fixtures.h"

namespace harvio {
namespace {

using testing::g_workers;
using testing::InfoOf;

class TaskTest : public ::testing::Test {
 protected:
  void SetUp() override { set_.home = home_.Path(); }
  void TearDown() override { SetWorkerHooks(nullptr); }
  testing::TempHome home_;
  TaskSet set_;
};

TEST_F(TaskTest, WorkersFollowStartPauseAndThreadCount) {
  testing::FakeWorkers();
  Task* task = CreateTask(set_, InfoOf(31, "", "Z:\\pics\\", 5), 0);
  task->stopSignal = 1;
  StartTask(*task);
  EXPECT_EQ(task->stopSignal.load(), 0u);
  EXPECT_EQ(g_workers.created[4], 1);
  EXPECT_EQ(g_workers.created[5], 0);
  SetThreadCount(*task, 7);
  EXPECT_EQ(g_workers.created[6], 1);
  SetThreadCount(*task, 6);
  EXPECT_EQ(g_workers.stopped[6], 1);
  EXPECT_EQ(g_workers.stopped[5], 0);
  PauseTask(*task);
  EXPECT_EQ(g_workers.stopped[5], 1);
  SetThreadCount(*task, 40);  // not running: no worker, count clamped
  EXPECT_EQ(task->info.threadCount, 25u);
  EXPECT_EQ(g_workers.created[20], 0);
  delete task;
}

// Only pictures of a classified forum task with a title get a sub-folder.
TEST(ItemFolderTest, ThreadSubFolderOnlyForClassifiedForumPictures) {
  const struct { uint32_t sourceId, classify; const char* title; ItemKind kind; const char* folder; }
      cases[] = {{21, 0, "t1", kPic, ""}, {21, 1, "t1", kPic, "t1\\"}, {21, 1, "t1", kWeb1, ""},
                 {161, 1, "t1", kPic, ""}, {153, 1, "", kPic, ""}};
  for (const auto& c : cases) {
    TaskInfo info = InfoOf(c.sourceId);
    info.classifyByTitle = c.classify;
    UrlItem item{};
    std::strcpy(item.title, c.title);
    EXPECT_EQ(ItemFolder(info, item, c.kind), std::string("Z:\\pics\\") + c.folder) << c.sourceId;
  }
}

TEST_F(TaskTest, DeleteRemovesFileAndPartialsButKeepsFinishedPictures) {
  std::filesystem::create_directories(home_.Native() + "/pics");
  Task* task = CreateTask(set_, InfoOf(31, "", (home_.Path() + "pics\\").c_str()), 0);
  // "..\\keep" is a name from a damaged task file: it must not reach outside
  // the folder.
  for (const char* name : {"done.jpg", "part.jpg", "..\\keep"}) {
    UrlItem item{};
    std::strcpy(item.host, "a");
    std::strcpy(item.fileName, name);
    item.state = name[0] == 'd' ? kFinished : kWaiting;
    task->queues[kPic].AppendCopy(item);
  }
  for (const char* f : {"/pics/done.jpg.!", "/pics/part.jpg.!", "/keep.!"}) {
    std::ofstream(home_.Native() + f) << "x";
  }
  ASSERT_TRUE(SaveTask(*task));
  std::string name = task->info.taskName;
  DeleteTask(task);
  WaitForClosedTasks(set_);
  EXPECT_FALSE(std::filesystem::exists(home_.Native() + "/Task/" + name));
  EXPECT_FALSE(std::filesystem::exists(home_.Native() + "/pics/part.jpg.!"));
  EXPECT_TRUE(std::filesystem::exists(home_.Native() + "/pics/done.jpg.!"));
  EXPECT_TRUE(std::filesystem::exists(home_.Native() + "/keep.!"));
}

// Closing saves a new task and frees it, once its last worker has ended.
TEST_F(TaskTest, CloseWaitsForRunningWorkersThenSaves) {
  Task* task = CreateTask(set_, InfoOf(31), 0);
  task->runningWorkers = 1;
  std::string name = task->info.taskName;
  CloseTask(task);
  EXPECT_EQ(set_.liveTasks.load(), 1u);
  EXPECT_FALSE(std::filesystem::exists(home_.Native() + "/Task/" + name));
  CountWorkerOut(*task);  // the last worker ends
  WaitForClosedTasks(set_);
  EXPECT_EQ(set_.liveTasks.load(), 0u);
  EXPECT_EQ(std::filesystem::file_size(home_.Native() + "/Task/" + name), 500u);
}

}  // namespace
}  // namespace harvio
