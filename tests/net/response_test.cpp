// How answers are judged and written, all in one run of five tasks that
// differ in the pictures they want and in their workers: the answers of
// tests/data/net/answers.txt (statuses, redirects of every kind, types and
// header names in any letter case, lengths, size classes, the picture limit
// of the options, broken, silent and dripping connections, resumes of
// entries a task file holds, many workers at once), pages at the write
// buffer's edge and beyond a page's limit; then the folders pictures land in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "core/picture_formats.h"
#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

// What a route of answers.txt expects.
struct Expected {
  std::string task;  // "linked": no task queues it
  std::string path;
  size_t requests;
  size_t saved;  // bytes of the generated body kept
  int stored;    // bytes on disk of the entry the task file holds; -1: none
  bool afresh;   // that entry is queued afresh, under a new name
  std::vector<std::string> asks;  // "N HOST [LINE]"
  std::string Body() const { return fixture::PathBody(path, saved, saved); }
  std::string StoredName() const { return "stored-" + path.substr(1); }
};

std::vector<Expected> ReadExpected(const std::string& path) {
  std::vector<Expected> expected;
  std::ifstream in(path);
  Expected next;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == "#=") {
      next = Expected{"", "", 0, 0, -1, false, {}};
      words >> next.task >> next.requests >> next.saved;
    } else if (word == "#<") {
      words >> next.stored >> word;
      next.afresh = word == "afresh";
    } else if (word == "#>") {
      next.asks.push_back(line.substr(3));
    } else if (word == "route" && !next.task.empty()) {
      words >> word >> next.path;
      expected.push_back(next);
      next.task.clear();
    }
  }
  return expected;
}

using ResponseTest = EngineTest;

TEST_F(ResponseTest, EachAnswerIsSavedRetriedOrDropped) {
  const std::string script = HARVIO_SOURCE_DIR "/tests/data/net/answers.txt";
  std::string error;
  ASSERT_TRUE(fixture::LoadScript(script, &server(), &error)) << error;
  options_.PICRetryTimes = 1;
  options_.MaxPictureKB = 1025;
  const char* const kWants[] = {"jpeg-gif", "every", "large", "small"};
  std::map<std::string, Task*> tasks;
  for (const char* wants : kWants) tasks[wants] = NewTask(162);
  StoreFormats(kEveryFormat, &tasks["every"]->info);
  tasks["large"]->info.jpgSmall = tasks["small"]->info.jpgLarge = 0;
  std::vector<std::string> wanted;
  std::vector<Expected> expected = ReadExpected(script);
  for (const Expected& e : expected) {
    if (e.saved != 0) wanted.push_back(e.Body());
    if (e.stored < 0) {
      if (e.task != "linked") Queue(tasks.at(e.task), e.path);
      continue;
    }
    UrlItem item = StoredEntry(e.path);
    std::strcpy(item.fileName, e.StoredName().c_str());
    item.size = static_cast<uint32_t>(e.saved);
    item.done = static_cast<uint32_t>(e.stored);
    tasks.at(e.task)->queues[kPic].AppendCopy(item);
    WriteSaved(e.StoredName() + ".!", e.Body().substr(0, item.done));
  }
  Task* many = NewTask(161, 25);
  for (int i = 0; i < 150; ++i) {
    std::string path = "/many/" + std::to_string(i) + ".jpg";
    Queue(many, path);
    wanted.push_back(fixture::PathBody(path, 2000, 60000));
  }
  // Each page ends with its picture tag, so a parse that missed the end of
  // the page would queue nothing; a page stays at most 1 MiB.
  for (size_t length : {307200u, 307201u}) {
    std::string n = std::to_string(length), tag = "<img src=\"/from" + n + ".jpg\">";
    Serve("/edge" + n + ".html", Body(std::string(length - tag.size(), ' ') + tag, "text/html"));
    Serve("/from" + n + ".jpg", Body(Bytes(4000, n[5])));
    Queue(tasks["jpeg-gif"], "/edge" + n + ".html");
    wanted.push_back(Bytes(4000, n[5]));
  }
  Serve("/big.html", Body("<img src=/in-big.jpg>" + Bytes(1048577), "text/html"));
  Queue(tasks["jpeg-gif"], "/big.html");
  // A picture host whose name does not resolve: the item is dropped.
  tasks["jpeg-gif"]->queues[kPic].AddUrl("http://nonexistent.invalid/a.jpg", "", "", true);

  std::vector<Task*> all = tasks_;
  EXPECT_EQ(RunUntilStopped(all), -1);
  int pictures = 0;
  for (Task* task : all) {
    EXPECT_EQ(task->info.state, kDone);
    EXPECT_EQ(task->queues[kPic].Count(), static_cast<size_t>(task->pictureCount.load()));
    pictures += task->pictureCount.load();
  }
  for (const Expected& e : expected) {
    std::vector<std::string> requests = RequestsFor(e.path);
    EXPECT_EQ(requests.size(), e.requests) << e.path;
    // "N HOST [LINE]": request N is the fresh one to HOST, with LINE.
    for (const std::string& ask : e.asks) {
      std::istringstream words(ask);
      size_t n = 0;
      std::string host, line;
      words >> n >> host >> std::ws;
      std::getline(words, line);
      std::string fresh = FreshRequest(host, e.path);
      if (!line.empty()) fresh.insert(fresh.find("User-Agent"), line + "\r\n");
      EXPECT_EQ(n <= requests.size() ? requests[n - 1] : "", fresh) << e.path << " " << n;
    }
  }
  for (int i = 0; i < 150; ++i) {
    EXPECT_EQ(RequestsFor("/many/" + std::to_string(i) + ".jpg").size(), 1u) << i;
  }
  EXPECT_TRUE(RequestsFor("/in-big.jpg").empty());
  // Each picture is saved under the extension of its type; a stored entry
  // under its own name unless it was queued afresh.
  std::vector<std::string> saved;
  for (const std::string& name : SavedFiles()) {
    std::string content = ReadSaved(name);
    saved.push_back(content);
    for (const Expected& e : expected) {
      if (e.saved == content.size() && e.Body() == content) {
        EXPECT_EQ(e.path.substr(e.path.rfind('.')), name.substr(name.rfind('.'))) << e.path;
      }
    }
  }
  std::sort(saved.begin(), saved.end());
  std::sort(wanted.begin(), wanted.end());
  EXPECT_TRUE(saved == wanted);  // no partial file left either
  EXPECT_EQ(pictures, static_cast<int>(wanted.size()));
  for (const Expected& e : expected) {
    if (e.stored >= 0 && !e.afresh) {
      EXPECT_TRUE(ReadSaved(e.StoredName()) == e.Body()) << e.path;
    }
  }
}

// Pictures of a classified forum task land in their title's folder; titles
// and file names from a damaged task file never lead outside the save folder.
TEST_F(ResponseTest, TitleFoldersAndNamesStayInsideTheSaveFolder) {
  WriteSaved("victim.!", "keep me");
  Serve("*", Body(Bytes(3000)));
  Task* task = NewTask(31);
  task->info.classifyByTitle = 1;
  // Device names Windows keeps get a "_" on every system; a lead byte
  // without its trail is dropped, a character code page 936 lacks blanked.
  const struct { const char* path; const char* title; const char* folder; } titled[] = {
      {"/t1.jpg", "a/b", "a b"}, {"/con.jpg", "CON", "CON_"}, {"/com1.jpg", "com1 ", "com1_"},
      {"/lone.jpg", "lone\x81", "lone"}, {"/unmapped.jpg", "un\xD7\xFAmapped", "un  mapped"}};
  for (const auto& t : titled) Queue(task, t.path, t.title);
  UrlItem sneaky = StoredEntry("/t2.jpg");
  std::strcpy(sneaky.title, "..\\..\\escape");
  task->queues[kPic].AppendCopy(sneaky);
  UrlItem named = StoredEntry("/named.jpg");
  std::strcpy(named.fileName, "..\\pics\\victim");
  task->queues[kPic].AppendCopy(named);
  EXPECT_EQ(RunUntilStopped(task), -1);
  for (const auto& t : titled) EXPECT_EQ(SavedFiles(t.folder).size(), 1u) << t.folder;
  // victim.!, the sneaky one, and the named one under a name of its own.
  EXPECT_EQ(SavedFiles().size(), 3u);
  EXPECT_EQ(ReadSaved("victim.!"), "keep me");
  EXPECT_EQ(task->pictureCount.load(), 7);
}

}  // namespace
}  // namespace harvio::testing
