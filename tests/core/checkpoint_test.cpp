// Repairs after a crash, without the engine: what the journal says is put
// right in memory and stays journaled until a checkpoint holds it, so a
// second crash before that checkpoint repeats the same repairs.
#include "core/checkpoint.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/task_store.h"
#include "tests/core/fixtures.h"

namespace harvio {
namespace {

std::string Name(char c) {
  return std::string("{0000000") + c + "-1111-2222-3333-444444444444}.jpg";
}

TEST(CheckpointRecovery, RepairsStayJournaledUntilACheckpointHoldsThem) {
  testing::TempHome home;
  std::string save = home.Path() + "save\\", saveNative = home.Native() + "/save/";
  std::filesystem::create_directories(saveNative);
  TaskSet set;
  set.home = home.Path();
  Task* task = CreateTask(set, testing::InfoOf(161, "", save.c_str()), 0);
  std::string taskName = task->info.taskName;
  for (const char* url : {"http://pics.test/a.jpg", "http://pics.test/b.jpg"}) {
    task->queues[kPic].AddUrl(url, "", "", false);
  }
  ASSERT_TRUE(SaveTask(*task));  // the last checkpoint before the crash
  CloseTask(task);  // nothing started: no checkpoint thread, no journal
  WaitForClosedTasks(set);

  std::ofstream(saveNative + Name('a')) << "whole";
  std::ofstream(saveNative + Name('b') + ".!") << "part";
  std::ofstream(saveNative + Name('c') + ".!") << "orphan";
  std::string journal = home.Path() + "Task\\" + taskName + ".journal";
  std::string lineA = "2\t" + save + Name('a') + "\tpics.test/a.jpg\n";
  std::string lineB = "2\t" + save + Name('b') + "\tpics.test/b.jpg\n";
  SetFileText(journal, lineA + lineB + "2\t" + save + Name('c') + "\tpics.test/c.jpg\n2\t" + save + "{0");

  for (int start = 0; start < 2; ++start) {  // crashed again before a checkpoint
    task = LoadTask(set, taskName, 0);
    ASSERT_NE(task, nullptr);
    StartCheckpoints(*task);
    EXPECT_EQ(task->pictureCount.load(), 1) << start;
    std::string named;
    task->queues[kPic].ForEachHeadToTail([&](const UrlItem& item) {
      if (item.state != kFinished) named = item.fileName;
    });
    EXPECT_EQ(named, Name('b'));
    EXPECT_FALSE(std::filesystem::exists(saveNative + Name('c') + ".!"));
    EXPECT_EQ(FileText(journal), lineA + lineB);
    if (start == 0) {
      delete task;  // the crash: nothing written
      set.liveTasks = 0;
    }
  }
  EXPECT_TRUE(SaveProgress(*task));
  EXPECT_FALSE(std::filesystem::exists(platform::ToNativePath(journal)));
  CloseTask(task);
  WaitForClosedTasks(set);
}

}  // namespace
}  // namespace harvio
