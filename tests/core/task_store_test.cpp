#include "core/task_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "core/gbk_text.h"
#include "tests/core/fixtures.h"
#include "tests/platform/case_files.h"

namespace harvio {
namespace {

TEST(Scramble, RoundTripAndPositionDependent) {
  std::string block(300, 'A'), stored = block;
  ScrambleBlock(reinterpret_cast<unsigned char*>(stored.data()), stored.size());
  EXPECT_NE(stored[0], stored[1]);
  EXPECT_NE(stored[0], stored[255]);
  EXPECT_EQ(stored[0], stored[256]);  // K1 * 256 is a multiple of 256
  UnscrambleBlock(reinterpret_cast<unsigned char*>(stored.data()), stored.size());
  EXPECT_EQ(stored, block);
}

class TaskStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { set_.home = home_.Path(); }

  Task* NewTask(const char* keyword) { return CreateTask(set_, testing::InfoOf(1, keyword), 0); }
  // Saves the tasks as the program does at exit and waits for the files;
  // false when the list or a task file was not written.
  bool SaveAll(std::vector<Task*> rows) {
    bool listSaved = SaveTaskList(set_, rows);
    return WaitForClosedTasks(set_) && listSaved;
  }
  std::string TaskFile(const std::string& name) { return home_.Path() + "Task\\" + name; }
  std::string ReadFile(const std::string& name) { return FileText(TaskFile(name)); }
  void WriteFile(const std::string& name, const std::string& bytes) {
    SetFileText(TaskFile(name), bytes);
  }

  testing::TempHome home_;
  TaskSet set_;
};

TEST_F(TaskStoreTest, OrderStatesAndFieldsSurviveSaveAndLoad) {
  Task* task = NewTask("flower");
  task->pictureCount = 9;
  UrlQueue& web1 = task->queues[kWeb1];
  web1.AddUrl("http://a/old", "", "", false);
  web1.AddUrl("http://a/mid", "", "", false);
  web1.AddUrl("http://a/new", "T", "http://a/", false);
  web1.MarkFinished(web1.TakeNext(1));  // "old" finished
  UrlItem* mid = web1.TakeNext(1);
  mid->size = 500;
  mid->done = 200;
  web1.ReturnToWaiting(mid);
  std::string name = task->info.taskName;
  Task* empty = NewTask("other");
  SaveAll({task, empty});

  std::vector<Task*> loaded = LoadTaskList(set_);
  ASSERT_EQ(loaded.size(), 2u);
  Task* back = loaded[0];
  EXPECT_EQ(back->info.taskName, name);
  EXPECT_STREQ(back->info.keyword, "flower");
  EXPECT_EQ(back->pictureCount.load(), 9);
  EXPECT_STREQ(loaded[1]->info.keyword, "other");
  EXPECT_EQ(loaded[1]->orderKey, 1u);
  std::vector<std::string> order;
  back->queues[kWeb1].ForEachHeadToTail(
      [&](const UrlItem& i) { order.push_back(i.path); });
  EXPECT_EQ(order, (std::vector<std::string>{"/new", "/mid", "/old"}));
  UrlItem* next = back->queues[kWeb1].TakeNext(1);
  ASSERT_NE(next, nullptr);
  EXPECT_STREQ(next->path, "/mid");
  EXPECT_EQ(next->done, 200u);
  // Loaded tasks that were not touched are not rewritten at exit.
  back->queues[kWeb1].ReturnToWaiting(next);
  std::string before = ReadFile(name);
  SaveAll(loaded);
  EXPECT_EQ(ReadFile(name), before);
}

// A missing task file, one shorter than it announces and one announcing a
// huge count are skipped and left as they are; a list naming a task twice
// (two rows would share its files) or announcing more names than it holds
// yields each task it holds once; a name may not lead out of the task folder.
TEST_F(TaskStoreTest, BadFilesAreSkippedLeftAloneAndNeverReadBeyond) {
  std::vector<Task*> rows;
  for (const char* k : {"a", "b", "c", "d", "e"}) rows.push_back(NewTask(k));
  rows[1]->queues[kPic].AddUrl("http://a/1", "", "", false);
  std::string nameB = rows[1]->info.taskName, nameC = rows[2]->info.taskName;
  std::string nameE = rows[4]->info.taskName;
  SaveAll(rows);
  std::filesystem::remove(home_.Native() + "/Task/" + nameC);
  std::string truncated = ReadFile(nameB);
  truncated.resize(truncated.size() - 1);
  WriteFile(nameB, truncated);
  std::string huge = ReadFile(nameE);
  unsigned char count[4] = {0xFF, 0xFF, 0xFF, 0x7F};
  ScrambleBlock(count, 4);
  huge.replace(488, 4, reinterpret_cast<char*>(count), 4);
  WriteFile(nameE, huge);

  std::vector<Task*> loaded = LoadTaskList(set_);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_STREQ(loaded[0]->info.keyword, "a");
  EXPECT_STREQ(loaded[1]->info.keyword, "d");
  EXPECT_EQ(set_.liveTasks.load(), 2u);
  EXPECT_EQ(ReadFile(nameB), truncated);
  EXPECT_EQ(ReadFile(nameE), huge);
  EXPECT_EQ(LoadTask(set_, "..\\List", 0), nullptr);
  SaveAll({loaded[0], loaded[1], loaded[0]});

  std::string list = ReadFile("List");
  unsigned char n[4] = {9, 0, 0, 0};  // more names announced than present
  ScrambleBlock(n, 4);
  list.replace(0, 4, reinterpret_cast<char*>(n), 4);
  WriteFile("List", list);
  loaded = LoadTaskList(set_);
  EXPECT_EQ(loaded.size(), 2u);
  SaveAll(loaded);
}

// The cases of tests/data/core/task_store.txt.
TEST_F(TaskStoreTest, CasesAsListed) {
  testing::CheckCaseFile("core/task_store.txt", {
      {"stored", {3, [this](const testing::Fields& f) {
         std::unique_ptr<Task> a(NewTask("a"));
         CopyBounded(a->info.savePath, sizeof(a->info.savePath), f[0].c_str());
         a->info.state = static_cast<TaskState>(std::stoul(f[1]));
         a->info.threadCount = static_cast<uint32_t>(std::stoul(f[2]));
         a->queues[kWeb2].AddUrl("http://a/1", "", "", false);
         a->queues[kWeb2].TakeNext(1);  // saved while a worker holds it
         const std::string name = a->info.taskName;
         const bool saved = SaveTask(*a);
         a.reset();
         set_.liveTasks = 0;
         std::unique_ptr<Task> back(LoadTask(set_, name, 0));
         set_.liveTasks = 0;
         if (!saved || back == nullptr) return std::string(saved ? "refused" : "not saved");
         return std::string(back->info.savePath) + "\t" + std::to_string(back->info.state) + " " +
                std::to_string(back->info.threadCount) + " " +
                (back->queues[kWeb2].TakeNext(1) != nullptr ? "waiting" : "held");
       }}},
  });
}

// A list that cannot be read loses no task: the task files rebuild it, in
// the order of their names, and it is written again so this is told once.
TEST_F(TaskStoreTest, DamagedListIsRebuiltFromTheTaskFiles) {
  bool rebuilt = true;
  EXPECT_TRUE(LoadTaskList(set_, &rebuilt).empty());
  EXPECT_FALSE(rebuilt);  // a first start
  std::vector<std::string> names;
  std::vector<Task*> rows;
  for (const char* k : {"a", "b", "c"}) {
    rows.push_back(NewTask(k));
    names.push_back(rows.back()->info.taskName);
  }
  SaveAll(rows);
  std::sort(names.begin(), names.end());
  for (const std::string& damage : {std::string("\x17\xC9"), std::string()}) {
    WriteFile("List", damage);
    std::vector<Task*> loaded = LoadTaskList(set_, &rebuilt);
    EXPECT_TRUE(rebuilt);
    ASSERT_EQ(loaded.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(loaded[i]->info.taskName, names[i]);
    EXPECT_EQ(ReadFile("List").size(), 4u + 3 * 64u);
    SaveAll(loaded);
    loaded = LoadTaskList(set_, &rebuilt);
    EXPECT_FALSE(rebuilt);
    EXPECT_EQ(loaded.size(), 3u);
    SaveAll(loaded);
  }
}

// Ten tasks at most live at once, however many a list names.
TEST_F(TaskStoreTest, TenTasksAtMost) {
  std::vector<Task*> rows;
  for (int i = 0; i < 11; ++i) {
    if (Task* task = NewTask("k")) rows.push_back(task);  // all saved: no wait for a lost one
  }
  EXPECT_EQ(rows.size(), 10u);
  SaveAll(rows);
  Task* extra = NewTask("x");  // an eleventh name in the list
  std::vector<Task*> loaded = LoadTaskList(set_);
  EXPECT_EQ(loaded.size(), 9u);
  loaded.push_back(extra);
  SaveAll(loaded);
}

// Files that cannot be written are reported, and the files of the
// previous save stay whole: for the list, no task file changes either.
TEST_F(TaskStoreTest, UnwritableFilesAreReportedAndKeepTheOldOnes) {
  Task* a = NewTask("a");
  std::string name = a->info.taskName;
  EXPECT_TRUE(SaveAll({a}));
  std::string list = ReadFile("List");
  for (std::string blocked : {std::string("List.tmp"), name + ".tmp"}) {
    std::vector<Task*> loaded = LoadTaskList(set_);
    loaded[0]->needsSave = 1;
    loaded[0]->queues[kPic].AddUrl("http://a/1", "", "", false);
    std::string before = ReadFile(name);
    // A directory where the temporary file goes.
    std::filesystem::create_directory(home_.Native() + "/Task/" + blocked);
    EXPECT_FALSE(SaveAll(loaded)) << blocked;
    EXPECT_EQ(ReadFile(name), before);
    EXPECT_EQ(ReadFile("List"), list);
    std::filesystem::remove(home_.Native() + "/Task/" + blocked);
    set_.failedSaves = 0;
  }
}

// Every missing level is made; B1 5C is one GBK character whose second
// byte is a backslash, part of a name, not a separator.
TEST(EnsureDirectoriesTest, CreatesEveryMissingLevel) {
  testing::TempHome home;
  EXPECT_TRUE(EnsureDirectories(home.Path() + "a\\b c\\d\\"));
  EXPECT_TRUE(std::filesystem::is_directory(home.Native() + "/a/b c/d"));
  EXPECT_TRUE(EnsureDirectories(home.Path() + "t\xb1\x5c"
                                              "x\\"));
  EXPECT_TRUE(std::filesystem::is_directory(home.Native() + "/t盶x"));
  std::ofstream(home.Native() + "/file") << "x";
  EXPECT_FALSE(EnsureDirectories(home.Path() + "file\\e\\"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.Native()),
                          std::filesystem::directory_iterator()),
            3);  // a, t盶x and file
}

}  // namespace
}  // namespace harvio
