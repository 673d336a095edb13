// Progress kept while a task runs: the task file follows the run, and what
// a crash leaves (pictures finished after the last checkpoint, partial files
// it never named) is put right by the next start.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/checkpoint.h"
#include "core/task_store.h"
#include "platform/paths.h"
#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

using fixture::Reply;

using CheckpointTest = EngineTest;

std::string Name(int n) {
  char name[64];
  std::snprintf(name, sizeof(name), "{%08d-1111-2222-3333-444444444444}.jpg", n);
  return name;
}

// The task as its file on disk holds it now, read into a set of its own.
struct StoredTask {
  StoredTask(const std::string& home, const std::string& name) {
    set.home = home;
    task = LoadTask(set, name, 0);
  }
  ~StoredTask() {
    if (task != nullptr) CloseTask(task);
    WaitForClosedTasks(set);
  }
  TaskSet set;
  Task* task;
};

TEST_F(CheckpointTest, TaskFileFollowsTheRun) {
  Serve("/quick/*", Body(Bytes(3000)));
  std::string slowBody = Bytes(400000);
  Reply slow = Body(slowBody);
  slow.dripBytes = 20000;
  slow.dripMs = 250;
  Serve("/slow.jpg", slow);
  Task* task = NewTask();
  for (int i = 0; i < 5; ++i) {
    task->queues[kPic].AddUrl(Url("/quick/" + std::to_string(i) + ".jpg").c_str(), "", "", true);
  }
  task->queues[kPic].AddUrl(Url("/slow.jpg").c_str(), "", "", true);
  StartTask(*task);
  // Within a checkpoint or two: five pictures finished, and the slow one
  // active with its partial file named and a block of it written.
  bool seen = WaitFor(
      [&] {
        StoredTask stored(set_.home, task->info.taskName);
        if (stored.task == nullptr || stored.task->pictureCount.load() != 5) return false;
        bool named = false;
        stored.task->queues[kPic].ForEachHeadToTail([&](const UrlItem& item) {
          named |= item.state != kFinished && item.fileName[0] != '\0' && item.done >= 307200;
        });
        return named;
      },
      15);
  EXPECT_TRUE(seen);
  PauseAndWait(task);
}

// The crash state is made by hand: a task file from the last checkpoint,
// the journal written since, and the files on disk.
TEST_F(CheckpointTest, NextStartRepairsWhatACrashLeft) {
  for (const char* p : {"/a.jpg", "/b.jpg", "/d.jpg", "/e.jpg"}) Serve(p, Body(Bytes(3000, p[1])));
  Task* task = NewTask();
  std::string save = platform::FromNativePath(SaveNative()) + "\\";
  UrlItem d = StoredEntry("/d.jpg");  // named by the checkpoint, then finished
  std::strcpy(d.fileName, Name(4).c_str());
  UrlItem e = StoredEntry("/e.jpg");  // named with progress, file never made
  std::strcpy(e.fileName, Name(5).c_str());
  e.size = 3000;
  e.done = 1000;
  for (const UrlItem& item : {StoredEntry("/a.jpg"), StoredEntry("/b.jpg"), d, e}) {
    task->queues[kPic].AppendCopy(item);
  }
  WriteSaved(Name(1), Bytes(3000, 'a'));  // a: finished after the checkpoint
  WriteSaved(Name(2) + ".!", "part");     // b: begun after the checkpoint
  WriteSaved(Name(3) + ".!", "orphan");   // an entry the checkpoint never had
  WriteSaved(Name(4), Bytes(3000, 'd'));
  std::filesystem::create_directories(SaveNative() + "/../Task");
  std::ofstream(SaveNative() + "/../Task/" + task->info.taskName + ".journal")
      << "2\t" << save << Name(1) << "\tpics.test/a.jpg\n"
      << "2\t" << save << Name(2) << "\tpics.test/b.jpg\n"
      << "2\t" << save << Name(3) << "\tpics.test/gone.jpg\n"
      << "2\t" << save << Name(9) << "\tpics.test/cut";  // torn last line

  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_TRUE(RequestsFor("/a.jpg").empty());
  EXPECT_TRUE(RequestsFor("/d.jpg").empty());
  ASSERT_EQ(RequestsFor("/b.jpg").size(), 1u);
  EXPECT_EQ(RequestsFor("/b.jpg")[0], FreshRequest(kPicHost, "/b.jpg"));
  ASSERT_EQ(RequestsFor("/e.jpg").size(), 1u);
  EXPECT_EQ(RequestsFor("/e.jpg")[0], FreshRequest(kPicHost, "/e.jpg"));
  EXPECT_EQ(task->pictureCount.load(), 4);
  EXPECT_EQ(ReadSaved(Name(2)), Bytes(3000, 'b'));  // the adopted file
  std::vector<std::string> files = SavedFiles();
  EXPECT_EQ(files.size(), 4u);  // a, b, d and e's new name: no partial left
  for (const std::string& f : files) EXPECT_EQ(f.find(".!"), std::string::npos) << f;
  // Closed, every file is named in the task file: the journal goes.
  std::string journal = SaveNative() + "/../Task/" + task->info.taskName + ".journal";
  tasks_.clear();
  CloseTask(task);
  WaitForClosedTasks(set_);
  EXPECT_FALSE(std::filesystem::exists(journal));
}

// Pictures a page found after the last checkpoint have no entry in the
// task file; those saved before the crash are counted once and never
// fetched again when the page is parsed anew.
TEST_F(CheckpointTest, PicturesOfAPageParsedAfterTheCheckpointAreKept) {
  Serve("/page.html", Body("<img src=\"http://pics.test/p1.jpg\"><img src=\"http://pics.test/p2.jpg\">"
                           "<img src=\"http://pics.test/p3.jpg\">" + std::string(1024, ' '),
                           "text/html"));
  for (const char* p : {"/p1.jpg", "/p2.jpg", "/p3.jpg"}) Serve(p, Body(Bytes(3000, p[2])));
  Task* task = NewTask(162);
  task->queues[kWeb1].AddUrl(Url("/page.html", kPageHost).c_str(), "", "", true);
  std::string save = platform::FromNativePath(SaveNative()) + "\\";
  WriteSaved(Name(1), Bytes(3000, '1'));
  WriteSaved(Name(2), Bytes(3000, '2'));
  WriteSaved(Name(3) + ".!", "part");
  std::filesystem::create_directories(SaveNative() + "/../Task");
  std::ofstream(SaveNative() + "/../Task/" + task->info.taskName + ".journal")
      << "2\t" << save << Name(1) << "\tpics.test/p1.jpg\n"
      << "2\t" << save << Name(2) << "\tpics.test/p2.jpg\n"
      << "2\t" << save << Name(3) << "\tpics.test/p3.jpg\n";

  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(RequestsFor("/page.html").size(), 1u);
  EXPECT_TRUE(RequestsFor("/p1.jpg").empty());
  EXPECT_TRUE(RequestsFor("/p2.jpg").empty());
  EXPECT_EQ(RequestsFor("/p3.jpg").size(), 1u);
  EXPECT_EQ(task->pictureCount.load(), 3);
  EXPECT_EQ(SavedFiles().size(), 3u);
  // Refused from now on even where a source queues without the check.
  EXPECT_EQ(task->queues[kPic].AddUrl(Url("/p1.jpg").c_str(), "", "", false),
            AddResult::kDuplicate);
}

}  // namespace
}  // namespace harvio::testing
