// The worker's life around one item: start pages that fail and a full disk
// (many workers at once: tests/net/response_test.cpp); the stall floor and
// the host cache beneath them. (The connection routing is the seam every
// engine test runs through.)
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>

#include "net/host_cache.h"
#include "net/worker.h"
#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

using WorkerTest = EngineTest;

// A start page that fails means the network is gone (a name that does not
// resolve) or the site cannot be trusted (a refused certificate): the task
// pauses with the reason and keeps the page for the next start; a page
// found on a page that fails is just dropped.
TEST_F(WorkerTest, AStartPageThatFailsPausesTheTask) {
  const struct { const char* url; int32_t reason; } cases[] = {
      {"http://nonexistent.invalid/start.html", 0}, {"https://self.test/start.html", 2}};
  for (const auto& c : cases) {
    Task* task = NewTask(162);
    task->queues[kWeb1].AddUrl(c.url, "", "", true);
    if (c.reason == 2) {
      task->queues[kWeb1].AddUrl("https://wrong.test/found.html", "", "https://good.test/", true);
    }
    EXPECT_EQ(RunUntilStopped(task), c.reason) << c.url;
    EXPECT_EQ(task->info.state, kPaused);
    std::vector<UrlItem> left = Entries(task, kWeb1);
    ASSERT_EQ(left.size(), 1u) << c.url;
    EXPECT_STREQ(left[0].path, "/start.html");
    EXPECT_EQ(left[0].state, kWaiting);
  }
}

TEST_F(WorkerTest, FullDiskPausesAndKeepsWhatWasSaved) {
  std::string body = Bytes(700000);
  fixture::Reply big = Body(body);
  big.range = fixture::RangeMode::kHonour;
  Serve("/big.jpg", big);
  Task* task = NewTask();
  Queue(task, "/big.jpg");
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
  // before the pause reaches it); the file holds exactly what `done` says
  // (resumed with a Range: the broken-off answers of answers.txt).
  uint32_t done = entries[0].done;
  EXPECT_GE(done, 307200u);
  std::string name = entries[0].fileName;
  // (Resuming it with a Range: the broken-off answers of answers.txt.)
  EXPECT_EQ(ReadSaved(name + ".!").substr(0, done), body.substr(0, done));
}

// A drip is cut only when it falls far below its share of what the whole
// program receives: every worker of three tasks sharing a slow line fairly
// never does, a server sending 1100 bytes every 8 s beside a line that
// moves 80 KB/s does within two minutes.
TEST(StallFloor, FarBelowItsShareOfAllThatArrives) {
  const struct { uint64_t mine, all; bool drip; } cases[] = {
      {0, 0, false},
      {1000, 75 * 1000, false},   // 75 transfers, one share each
      {1000, 300 * 1000, false},  // a quarter of its share
      {1000, 300 * 1000 + 1, true},
      {1100 * 15, 120 * 80 * 1024, true},
      {1100 * 15, 120 * 1100 / 8 * 75, false}};  // every transfer drips
  for (const auto& c : cases) {
    EXPECT_EQ(FarBelowFairShare(c.mine, c.all), c.drip) << c.mine << " of " << c.all;
  }
}

TEST(HostCacheTest, LeastUsedEntryMakesRoomAndForgetFrees) {
  HostCache cache;
  platform::SocketAddress address{}, found{};
  for (int i = 0; i < HostCache::kEntries; ++i) {
    address.bytes[4] = static_cast<unsigned char>(i);
    cache.Add(("h" + std::to_string(i)).c_str(), address);
  }
  for (int i = 0; i < HostCache::kEntries; ++i) {
    EXPECT_TRUE(i == 3 || cache.Lookup(("h" + std::to_string(i)).c_str(), &found)) << i;
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

}  // namespace
}  // namespace harvio::testing
