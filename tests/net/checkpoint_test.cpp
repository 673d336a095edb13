// Progress kept while a task runs: the task file follows the run (a pause
// in mid-picture that keeps the partial file for a Range: net.cli_run), and
// what a crash leaves (pictures finished or found after the last
// checkpoint, partial files it never named) is put right by the next start.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/task_store.h"
#include "platform/paths.h"
#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

using CheckpointTest = EngineTest;

std::string Name(int n) {
  return "{0000000" + std::to_string(n) + "-1111-2222-3333-444444444444}.jpg";
}

// Five quick pictures and a slow one that drips for about five seconds.
TEST_F(CheckpointTest, TaskFileFollowsTheRun) {
  Serve("/quick/*", Body(Bytes(3000)));
  fixture::Reply drip = Body(Bytes(1000000));
  drip.dripBytes = 40000;
  drip.dripMs = 200;
  Serve("/slow.jpg", drip);
  Task* task = NewTask();
  for (int i = 0; i < 5; ++i) Queue(task, "/quick/" + std::to_string(i) + ".jpg");
  Queue(task, "/slow.jpg");
  StartTask(*task);
  // Within a checkpoint or two the task file on disk holds the five
  // pictures finished and the slow one active with its partial file named
  // and a block of it written.
  EXPECT_TRUE(WaitFor(
      [&] {
        TaskSet stored;
        stored.home = set_.home;
        Task* file = LoadTask(stored, task->info.taskName, 0);
        bool named = false;
        if (file != nullptr && file->pictureCount.load() == 5) {
          file->queues[kPic].ForEachHeadToTail([&](const UrlItem& item) {
            named |= item.state != kFinished && item.fileName[0] != '\0' && item.done >= 307200;
          });
        }
        if (file != nullptr) CloseTask(file);
        WaitForClosedTasks(stored);
        return named;
      },
      15));
  PauseAndWait(task);
}

// The crash state is made by hand: a task file from the last checkpoint,
// the journal written since, and the files on disk. Pictures a page found
// after the checkpoint have no entry: those saved are counted once and
// never fetched again when the page is parsed anew.
TEST_F(CheckpointTest, NextStartRepairsWhatACrashLeft) {
  Serve("/page.html", Body("<img src=\"http://pics.test/p1.jpg\"><img src=\"http://pics.test/p3.jpg\">" +
                           std::string(1024, ' '), "text/html"));
  for (const char* p : {"/a.jpg", "/b.jpg", "/d.jpg", "/e.jpg", "/p1.jpg", "/p3.jpg"}) {
    Serve(p, Body(Bytes(3000, p[std::strlen(p) - 5])));
  }
  Task* task = NewTask(162);
  Queue(task, "/page.html");
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
  WriteSaved(Name(6), Bytes(3000, '1'));  // p1: found and finished
  WriteSaved(Name(7) + ".!", "part");     // p3: found and begun
  std::string journal = SaveNative() + "/../Task/" + task->info.taskName + ".journal";
  std::filesystem::create_directories(SaveNative() + "/../Task");
  std::ofstream(journal) << "2\t" << save << Name(1) << "\tpics.test/a.jpg\n"
                         << "2\t" << save << Name(2) << "\tpics.test/b.jpg\n"
                         << "2\t" << save << Name(3) << "\tpics.test/gone.jpg\n"
                         << "2\t" << save << Name(6) << "\tpics.test/p1.jpg\n"
                         << "2\t" << save << Name(7) << "\tpics.test/p3.jpg\n"
                         << "2\t" << save << Name(9) << "\tpics.test/cut";  // torn last line

  EXPECT_EQ(RunUntilStopped(task), -1);
  for (const char* p : {"/a.jpg", "/d.jpg", "/p1.jpg"}) EXPECT_TRUE(RequestsFor(p).empty()) << p;
  for (const char* p : {"/b.jpg", "/e.jpg"}) {
    EXPECT_EQ(RequestsFor(p), std::vector<std::string>{FreshRequest(kPicHost, p)}) << p;
  }
  EXPECT_EQ(RequestsFor("/p3.jpg").size(), 1u);
  EXPECT_EQ(task->pictureCount.load(), 6);
  EXPECT_EQ(ReadSaved(Name(2)), Bytes(3000, 'b'));  // the adopted file
  std::vector<std::string> files = SavedFiles();
  EXPECT_EQ(files.size(), 6u);  // no partial left
  for (const std::string& f : files) EXPECT_EQ(f.find(".!"), std::string::npos) << f;
  // Refused from now on even where a source queues without the check.
  EXPECT_EQ(task->queues[kPic].AddUrl(Url("/p1.jpg").c_str(), "", "", false),
            AddResult::kDuplicate);
  // Closed, every file is named in the task file: the journal goes.
  tasks_.clear();
  CloseTask(task);
  WaitForClosedTasks(set_);
  EXPECT_FALSE(std::filesystem::exists(journal));
}

}  // namespace
}  // namespace harvio::testing
