// The worker's life around one item: retries after broken connections and
// silent servers, pausing in mid-picture and resuming, names that do not
// resolve, the end of a task, a full disk, and many workers at once.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <map>

#include "core/task_store.h"
#include "net/host_cache.h"
#include "net/connect_to.h"
#include "net/worker.h"
#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

using fixture::Reply;

using WorkerTest = EngineTest;

TEST_F(WorkerTest, EarlyCloseIsRetriedWithRange) {
  std::string body = Bytes(40000);
  Reply cut = Body(body);
  cut.closeAfterBody = 15000;
  ServeThenResume("/cut.jpg", cut, body);
  Task* task = NewTask();
  task->queues[kPic].AddUrl(Url("/cut.jpg").c_str(), "", "", true);
  EXPECT_EQ(RunUntilStopped(task), -1);
  std::vector<std::string> requests = RequestsFor("/cut.jpg");
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_NE(requests[1].find("Range: bytes=15000-\r\n"), std::string::npos);
  ASSERT_EQ(SavedFiles().size(), 1u);
  EXPECT_EQ(ReadSaved(SavedFiles()[0]), body);
}

TEST_F(WorkerTest, CloseWithoutAByteDropsAndRetriesAreCounted) {
  Reply nothing;
  nothing.closeWithoutAnswer = true;
  Serve("/nothing.jpg", nothing);
  // A body longer than announced is retried up to PICRetryTimes, then
  // dropped with its partial file.
  Reply tooLong;
  tooLong.raw = "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n"
                "Content-Length: 2000\r\n\r\n" + Bytes(2500);
  Serve("/long.jpg", tooLong);
  options_.PICRetryTimes = 1;
  Task* task = NewTask();
  task->queues[kPic].AddUrl(Url("/nothing.jpg").c_str(), "", "", true);
  task->queues[kPic].AddUrl(Url("/long.jpg").c_str(), "", "", true);
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(RequestsFor("/nothing.jpg").size(), 1u);
  EXPECT_EQ(RequestsFor("/long.jpg").size(), 2u);
  EXPECT_TRUE(SavedFiles().empty());
  EXPECT_EQ(task->info.state, kDone);
}

TEST_F(WorkerTest, SilentServerIsAbandonedAfterTheDataTimeout) {
  Reply silent;
  silent.silent = true;
  silent.times = 1;
  Serve("/silent.jpg", silent);
  Serve("/silent.jpg", Body(Bytes(6000)));
  Task* task = NewTask();
  task->queues[kPic].AddUrl(Url("/silent.jpg").c_str(), "", "", true);
  EXPECT_EQ(RunUntilStopped(task, 40), -1);
  EXPECT_EQ(RequestsFor("/silent.jpg").size(), 2u);
  EXPECT_EQ(task->pictureCount.load(), 1);
}

TEST_F(WorkerTest, PauseInMidPictureKeepsTheEntryAndResumes) {
  std::string body = Bytes(60000);
  Reply slow = Body(body);
  slow.dripBytes = 2000;
  slow.dripMs = 200;
  ServeThenResume("/slow.jpg", slow, body);
  Task* task = NewTask();
  task->queues[kPic].AddUrl(Url("/slow.jpg").c_str(), "", "", true);
  StartTask(*task);
  ASSERT_TRUE(WaitFor([&] { return set_.receivedBytes.load() >= 10000; }, 20));
  PauseAndWait(task);
  EXPECT_EQ(task->info.state, kPaused);
  std::vector<UrlItem> entries = Entries(task, kPic);
  ASSERT_EQ(entries.size(), 1u);
  const UrlItem& entry = entries[0];
  EXPECT_EQ(entry.state, kWaiting);
  EXPECT_EQ(entry.size, body.size());
  EXPECT_GT(entry.done, 0u);
  EXPECT_LT(entry.done, body.size());
  std::string partial = ReadSaved(std::string(entry.fileName) + ".!");
  EXPECT_EQ(partial, body.substr(0, entry.done));

  EXPECT_EQ(RunUntilStopped(task), -1);
  std::vector<std::string> requests = RequestsFor("/slow.jpg");
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_NE(requests[1].find("Range: bytes=" + std::to_string(entry.done) + "-"),
            std::string::npos);
  EXPECT_EQ(ReadSaved(entry.fileName), body);
}

TEST_F(WorkerTest, UnresolvableHosts) {
  // A picture host that does not resolve is dropped; the task runs out of
  // work normally.
  Task* pictures = NewTask();
  pictures->queues[kPic].AddUrl("http://nonexistent.invalid/a.jpg", "", "", true);
  EXPECT_EQ(RunUntilStopped(pictures), -1);
  EXPECT_EQ(pictures->queues[kPic].Count(), 0u);
  EXPECT_EQ(pictures->info.state, kDone);
  // A page host that does not resolve means the network is gone: pause,
  // and keep the page for the next start.
  Task* pages = NewTask(162);
  pages->queues[kWeb1].AddUrl("http://nonexistent.invalid/p.html", "", "", true);
  EXPECT_EQ(RunUntilStopped(pages), 0);
  EXPECT_EQ(pages->info.state, kPaused);
  ASSERT_EQ(Entries(pages, kWeb1).size(), 1u);
  EXPECT_EQ(Entries(pages, kWeb1)[0].state, kWaiting);
}

TEST_F(WorkerTest, FullDiskPausesAndKeepsWhatWasSaved) {
  std::string body = Bytes(700000);
  ServeThenResume("/big.jpg", Body(body), body);
  Task* task = NewTask();
  task->queues[kPic].AddUrl(Url("/big.jpg").c_str(), "", "", true);
  // Files may grow to 400000 bytes: the second block write fails.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 400000;
  setrlimit(RLIMIT_FSIZE, &small);
  int32_t reason = RunUntilStopped(task);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(reason, 1);
  EXPECT_EQ(task->info.state, kPaused);
  std::vector<UrlItem> entries = Entries(task, kPic);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].state, kWaiting);
  // At least the first block was saved (a worker may resume once more
  // before the pause reaches it); the file holds exactly what `done` says.
  uint32_t done = entries[0].done;
  EXPECT_GE(done, 307200u);
  std::string name = entries[0].fileName;
  EXPECT_EQ(ReadSaved(name + ".!").substr(0, done), body.substr(0, done));

  // With room again the picture resumes where the saved part ends.
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(ReadSaved(name), body);
  EXPECT_NE(RequestsFor("/big.jpg").back().find(
                "Range: bytes=" + std::to_string(done) + "-"),
            std::string::npos);
}

TEST_F(WorkerTest, ManyWorkersFetchEveryPictureOnceIntact) {
  Reply generated;
  generated.headers = {"Content-Type: image/jpeg"};
  generated.generatedMin = 2000;
  generated.generatedMax = 90000;
  Serve("/many/*", generated);
  Task* task = NewTask(161, 25);
  std::map<std::string, int> expected;  // body -> times still to see
  for (int i = 0; i < 300; ++i) {
    std::string path = "/many/" + std::to_string(i) + ".jpg";
    task->queues[kPic].AddUrl(Url(path).c_str(), "", "", true);
    expected[fixture::PathBody(path, 2000, 90000)]++;
  }
  EXPECT_EQ(RunUntilStopped(task, 120), -1);
  EXPECT_EQ(task->pictureCount.load(), 300);
  EXPECT_EQ(server().Requests().size(), 300u);
  std::vector<std::string> files = SavedFiles();
  EXPECT_EQ(files.size(), 300u);
  for (const std::string& f : files) {
    ASSERT_EQ(f.find(".!"), std::string::npos) << f;
    auto it = expected.find(ReadSaved(f));
    ASSERT_NE(it, expected.end()) << "unexpected bytes in " << f;
    if (--it->second == 0) expected.erase(it);
  }
  EXPECT_TRUE(expected.empty());
}

TEST_F(WorkerTest, ThreadViewsShowEachSlot) {
  Reply stalled = Body(Bytes(50000));
  stalled.stallAfterHeader = true;
  Serve("/stalled.jpg", stalled);
  Task* task = NewTask(161, 5);
  task->queues[kPic].AddUrl(Url("/stalled.jpg").c_str(), "", "", true);
  StartTask(*task);
  ThreadView views[kMaxThreads];
  auto receiving = [&] {
    uint32_t n = GetThreadViews(*task, views);
    for (uint32_t i = 0; i < n; ++i) {
      bool receiving = views[i].state == kReceiving || views[i].state == kProcessing;
      if (receiving && views[i].size == 50000) return true;
    }
    return false;
  };
  EXPECT_TRUE(WaitFor(receiving, 10));
  uint32_t n = GetThreadViews(*task, views);
  EXPECT_EQ(n, 5u);
  int onPicture = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if (views[i].kind != kPic) continue;
    onPicture++;
    EXPECT_STREQ(views[i].url, "pics.test/stalled.jpg");
    EXPECT_EQ(std::strlen(views[i].file), 42u);
  }
  EXPECT_EQ(onPicture, 1);
  PauseAndWait(task);
}

TEST(HostCacheTest, LeastUsedEntryMakesRoomAndForgetFrees) {
  HostCache cache;
  platform::SocketAddress address{};
  for (int i = 0; i < HostCache::kEntries; ++i) {
    address.bytes[4] = static_cast<unsigned char>(i);
    cache.Add(("h" + std::to_string(i)).c_str(), address);
  }
  platform::SocketAddress found{};
  for (int i = 0; i < HostCache::kEntries; ++i) {
    if (i == 3) continue;
    ASSERT_TRUE(cache.Lookup(("h" + std::to_string(i)).c_str(), &found));
  }
  address.bytes[4] = 99;
  cache.Add("new", address);  // replaces h3, the only one never looked up
  EXPECT_FALSE(cache.Lookup("h3", &found));
  ASSERT_TRUE(cache.Lookup("new", &found));
  EXPECT_EQ(found.bytes[4], 99);
  cache.Forget("new");
  EXPECT_FALSE(cache.Lookup("new", &found));
  EXPECT_TRUE(cache.Lookup("h4", &found));
  EXPECT_EQ(found.bytes[4], 4);
}

TEST(ConnectToTest, RulesMatchHostAndPortWithEmptyFieldsAsAny) {
  ConnectToRules rules("a.test:80:127.0.0.1:8080,:81:10.0.0.1:9000,bad,x:y:z:1");
  ConnectTarget a = rules.Route("a.test", 80);
  EXPECT_EQ(a.host, "127.0.0.1");
  EXPECT_EQ(a.port, 8080);
  EXPECT_EQ(rules.Route("b.test", 81).host, "10.0.0.1");
  ConnectTarget other = rules.Route("b.test", 80);
  EXPECT_EQ(other.host, "b.test");
  EXPECT_EQ(other.port, 80);
  EXPECT_EQ(ConnectToRules(nullptr).Route("a.test", 80).host, "a.test");
}

}  // namespace
}  // namespace harvio::testing
