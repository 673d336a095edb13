// How answers are judged and written, all in one run of four tasks that
// differ in the pictures they want: the answers of
// tests/data/net/answers.txt (statuses, redirects of every kind, types and
// header names in any letter case, lengths, size classes, the picture limit
// of the options, broken, silent and dripping connections), resumes of
// entries a task file holds, pages at the write buffer's edge and beyond a
// page's limit; then the folders pictures land in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "core/picture_formats.h"
#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

using fixture::RangeMode;
using fixture::Reply;

// What a route of answers.txt expects.
struct Expected {
  std::string task;  // "linked": no task queues it
  std::string path;
  size_t requests;
  size_t saved;  // bytes of the generated body kept
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
      words >> next.task >> next.requests >> next.saved;
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
    if (e.task != "linked") Queue(tasks.at(e.task), e.path);
    if (e.saved != 0) wanted.push_back(fixture::PathBody(e.path, e.saved, e.saved));
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

  // Entries a task file holds with part of their picture on disk: a 206
  // continues the partial file, a 200 restarts it, a 416 queues the URL
  // afresh, and a 206 that does not continue the file restarts it from
  // zero (other bytes than asked for, no Content-Range, a length that is
  // not the rest).
  const std::string body = Bytes(20000, 'o'), replaced = Bytes(30000, 'x');
  Reply resumable = Body(body), refusing = Body(body);
  resumable.range = RangeMode::kHonour;
  refusing.range = RangeMode::kRefuse;
  Serve("/resumed.jpg", resumable);
  Serve("/restart.jpg", Body(replaced));
  Serve("/refused.jpg", refusing);
  const struct { const char* path; std::string body, range; } wrong206[] = {
      {"/shifted.jpg", body.substr(1000), "bytes 1000-19999/20000"},
      {"/norange.jpg", body, ""},
      {"/badlength.jpg", body, "bytes 4000-19999/20000"}};
  for (const auto& w : wrong206) {
    Reply wrong = Body(w.body);
    wrong.status = "HTTP/1.0 206 Partial Content";
    if (!w.range.empty()) wrong.headers.push_back("Content-Range: " + w.range);
    wrong.times = 1;
    Serve(w.path, wrong);
    Serve(w.path, Body(body));
  }
  const struct { const char* path; uint32_t done; std::string partial; } stored[] = {
      {"/resumed.jpg", 5000, body}, {"/restart.jpg", 12000, Bytes(30000, 'q')},
      {"/refused.jpg", 3000, body}, {"/shifted.jpg", 4000, body},
      {"/norange.jpg", 4000, body}, {"/badlength.jpg", 4000, body}};
  auto storedName = [](int i) {
    char name[64];
    std::snprintf(name, sizeof(name), "{%08d-2222-3333-4444-555555555555}.jpg", i);
    return std::string(name);
  };
  for (int i = 0; i < 6; ++i) {
    UrlItem item = StoredEntry(stored[i].path);
    std::strcpy(item.fileName, storedName(i).c_str());
    item.size = static_cast<uint32_t>(stored[i].partial.size());
    item.done = stored[i].done;
    tasks["jpeg-gif"]->queues[kPic].AppendCopy(item);
    WriteSaved(storedName(i) + ".!", stored[i].partial.substr(0, stored[i].done));
    wanted.push_back(i == 1 ? replaced : body);
  }

  std::vector<Task*> all;
  for (const char* wants : kWants) all.push_back(tasks[wants]);
  EXPECT_EQ(RunUntilStopped(all), -1);
  int pictures = 0;
  for (Task* task : all) {
    EXPECT_EQ(task->info.state, kDone);
    EXPECT_EQ(task->queues[kPic].Count(), static_cast<size_t>(task->pictureCount.load()));
    pictures += task->pictureCount.load();
  }
  for (const Expected& e : expected) EXPECT_EQ(RequestsFor(e.path).size(), e.requests) << e.path;
  EXPECT_TRUE(RequestsFor("/in-big.jpg").empty());
  std::sort(wanted.begin(), wanted.end());
  EXPECT_TRUE(SavedContents() == wanted);  // no partial file left either
  EXPECT_EQ(pictures, static_cast<int>(wanted.size()));
  // Each picture is saved under the extension of its type.
  for (const std::string& name : SavedFiles()) {
    std::string content = ReadSaved(name);
    for (const Expected& e : expected) {
      if (e.saved == content.size() && fixture::PathBody(e.path, e.saved, e.saved) == content) {
        EXPECT_EQ(e.path.substr(e.path.rfind('.')), name.substr(name.rfind('.'))) << e.path;
      }
    }
  }

  EXPECT_NE(RequestsFor("/target.jpg")[0].find("Referer: http://pics.test/moved.jpg\r\n"),
            std::string::npos);
  for (int status : {301, 302, 303, 307, 308}) {
    std::string n = std::to_string(status);
    EXPECT_NE(RequestsFor("/pic" + n + ".jpg")[0].find("Referer: http://pages.test/r" + n +
                                                       ".jpg\r\n"), std::string::npos) << n;
  }
  // An early close is resumed where the body broke off.
  EXPECT_NE(RequestsFor("/cut.jpg")[1].find("Range: bytes=15000-\r\n"), std::string::npos);
  std::string resumed = FreshRequest(kPicHost, "/resumed.jpg");
  resumed.insert(resumed.find("User-Agent"), "Range: bytes=5000-\r\n");
  EXPECT_EQ(RequestsFor("/resumed.jpg"), std::vector<std::string>{resumed});
  EXPECT_EQ(ReadSaved(storedName(0)), body);
  EXPECT_EQ(ReadSaved(storedName(1)), replaced);
  for (int i = 2; i < 6; ++i) {
    std::vector<std::string> asks = RequestsFor(stored[i].path);
    ASSERT_EQ(asks.size(), 2u) << stored[i].path;
    EXPECT_NE(asks[0].find("Range: bytes=" + std::to_string(stored[i].done) + "-"),
              std::string::npos);
    EXPECT_EQ(asks[1], FreshRequest(kPicHost, stored[i].path));
    if (i > 2) {
      EXPECT_EQ(ReadSaved(storedName(i)), body) << storedName(i);
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
  Queue(task, "/t1.jpg", "a/b");
  // Device names Windows keeps get a "_" on every system.
  Queue(task, "/con.jpg", "CON");
  Queue(task, "/com1.jpg", "com1 ");
  // A lead byte without its trail, and a character code page 936 lacks.
  Queue(task, "/lone.jpg", "lone\x81");
  Queue(task, "/unmapped.jpg", "un\xD7\xFAmapped");
  UrlItem sneaky = StoredEntry("/t2.jpg");
  std::strcpy(sneaky.title, "..\\..\\escape");
  task->queues[kPic].AppendCopy(sneaky);
  UrlItem named = StoredEntry("/named.jpg");
  std::strcpy(named.fileName, "..\\pics\\victim");
  task->queues[kPic].AppendCopy(named);
  EXPECT_EQ(RunUntilStopped(task), -1);
  for (const char* folder : {"a b", "lone", "CON_", "com1_", "un  mapped"}) {
    EXPECT_EQ(SavedFiles(folder).size(), 1u) << folder;
  }
  // victim.!, the sneaky one, and the named one under a name of its own.
  EXPECT_EQ(SavedFiles().size(), 3u);
  EXPECT_EQ(ReadSaved("victim.!"), "keep me");
  EXPECT_EQ(task->pictureCount.load(), 7);
}

}  // namespace
}  // namespace harvio::testing
