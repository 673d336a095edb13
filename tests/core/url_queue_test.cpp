#include "core/url_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/url_location.h"
#include "tests/platform/case_files.h"

namespace harvio {
namespace {

std::string Url(int n) { return "http://h.example/p" + std::to_string(n); }

std::vector<std::string> PathsHeadToTail(UrlQueue& q) {
  std::vector<std::string> paths;
  q.ForEachHeadToTail([&](const UrlItem& item) { paths.push_back(item.path); });
  return paths;
}

const char* ResultName(AddResult result) {
  return result == AddResult::kAdmitted ? "admitted"
         : result == AddResult::kDuplicate ? "duplicate" : "invalid";
}

// The cases of tests/data/core/url_queue.txt.
TEST(UrlQueueAdd, CasesAsListed) {
  testing::CheckCaseFile("core/url_queue.txt", {
      {"url", {1, [](const testing::Fields& f) {
         return std::to_string(IsValidUrl(f[0].c_str())) + " " +
                ResultName(UrlQueue().AddUrl(f[0].c_str(), "", "", false));
       }}},
      {"stored", {1, [](const testing::Fields& f) {
         UrlQueue q;
         q.AddUrl(f[0].c_str(), "", "", true);
         std::string host, path;
         q.ForEachHeadToTail([&](const UrlItem& item) { host = item.host, path = item.path; });
         char prefix[80];
         LocationPrefix(host.c_str(), prefix, sizeof(prefix));
         Endpoint e = DecodeLocation(host.c_str());
         return host + path + "\t" + prefix + "\t" + (e.secure ? "1 " : "0 ") + e.name + " " +
                std::to_string(e.port) + "\t" +
                ResultName(q.AddUrl((prefix + std::string("/X")).c_str(), "", "", true));
       }}},
      {"title", {1, [](const testing::Fields& f) {
         UrlQueue q;
         q.AddUrl("http://a/", testing::Replaced(f[0], "\\t", "\t").c_str(), "", false);
         std::string title;
         q.ForEachHeadToTail([&](const UrlItem& item) { title = item.title; });
         return title;
       }}},
  });
}

// A control byte from a page or a Location value would reach the request
// line.
TEST(UrlQueueAdd, ControlBytesAreRefused) {
  for (const char* url : {"http://a/c.jpg\rX-Evil: 1", "http://a/\n", "http://a\tb/",
                          "http://a/\x7f", "http://a/\x01"}) {
    EXPECT_FALSE(IsValidUrl(url)) << url;
    EXPECT_EQ(UrlQueue().AddUrl(url, "", "", false), AddResult::kInvalid) << url;
  }
  // The same path with another scheme or port is another place.
  UrlQueue q;
  ASSERT_EQ(q.AddUrl("http://a.com/x", "", "", true), AddResult::kAdmitted);
  EXPECT_EQ(q.AddUrl("https://a.com/x", "", "", true), AddResult::kAdmitted);
  EXPECT_EQ(q.AddUrl("http://a.com:81/x", "", "", true), AddResult::kAdmitted);
}

// The path is 1024 bytes at most. The duplicate check ignores letter case,
// but only of ASCII letters: 0xC4 0x41 is one GBK character whose trail
// byte is an ASCII "A", a different URL from the one with 0xC4 0x61.
// Finished entries still count.
TEST(UrlQueueAdd, AdmissionAndDuplicatesIgnoringAsciiCase) {
  UrlQueue q;
  ASSERT_EQ(q.AddUrl("HTTP://A.COM/Dir/A.JPG?X=1", "", "", true), AddResult::kAdmitted);
  EXPECT_EQ(q.AddUrl("http://a.com/dir/a.jpg?x=1", "", "", true), AddResult::kDuplicate);
  EXPECT_EQ(q.AddUrl("http://a.com/dir/a.jpg?x=1", "", "", false), AddResult::kAdmitted);
  ASSERT_EQ(q.AddUrl("http://a/\xC4\x41", "", "", true), AddResult::kAdmitted);
  EXPECT_EQ(q.AddUrl("http://a/\xC4\x61", "", "", true), AddResult::kAdmitted);
  q.MarkFinished(q.TakeNext(25));  // both a.com entries
  q.MarkFinished(q.TakeNext(25));
  EXPECT_EQ(q.AddUrl("http://a.com/DIR/a.jpg?X=1", "", "", true), AddResult::kDuplicate);
  std::string path = "/" + std::string(1023, 'x');
  EXPECT_EQ(q.AddUrl(("http://a" + path).c_str(), "", "", false), AddResult::kAdmitted);
  EXPECT_EQ(q.AddUrl(("http://a" + path + "x").c_str(), "", "", false),
            AddResult::kInvalid);
  EXPECT_EQ(q.Count(), 5u);
}

// At 2048 entries a new one pushes out a finished tail first, else the
// oldest entry not held by a worker.
TEST(UrlQueueCap, FinishedTailFirstThenTheOldestNotHeld) {
  UrlQueue q;
  q.AddUrl(Url(9999).c_str(), "", "", false);
  q.MarkFinished(q.TakeNext(1));
  for (int i = 0; i < 2048; ++i) q.AddUrl(Url(i).c_str(), "", "", false);
  EXPECT_EQ(q.Count(), 2048u);
  UrlItem* held = q.TakeNext(25);  // the oldest, at the tail
  // The finished entry is gone, so it is no duplicate; /p1 makes room.
  EXPECT_EQ(q.AddUrl(Url(9999).c_str(), "", "", true), AddResult::kAdmitted);
  EXPECT_EQ(q.Count(), 2048u);
  std::vector<std::string> paths = PathsHeadToTail(q);
  EXPECT_EQ(paths.back(), "/p0");             // still held, still there
  EXPECT_EQ(paths[paths.size() - 2], "/p2");
  held->done = 7;                             // the worker may still write
  q.MarkFinished(held);
}

TEST(UrlQueueTake, FirstInFirstOutWithinTheLimit) {
  UrlQueue q;
  for (int i = 1; i <= 3; ++i) q.AddUrl(Url(i).c_str(), "", "", false);
  UrlItem* first = q.TakeNext(1);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->path, "/p1");
  EXPECT_EQ(q.TakeNext(1), nullptr);  // one active already
  UrlItem* second = q.TakeNext(2);
  ASSERT_NE(second, nullptr);
  EXPECT_STREQ(second->path, "/p2");
  EXPECT_EQ(q.PendingCount(), 3u);

  q.MarkFinished(first);
  q.MarkFinished(second);
  // Finished entries collect at the tail, most recent last.
  EXPECT_EQ(PathsHeadToTail(q),
            (std::vector<std::string>{"/p3", "/p1", "/p2"}));
  EXPECT_EQ(q.PendingCount(), 1u);
  EXPECT_FALSE(q.IsIdle());

  UrlItem* third = q.TakeNext(1);
  q.ReturnToWaiting(third);
  EXPECT_EQ(q.TakeNext(1), third);
  q.RemoveItem(third);
  EXPECT_TRUE(q.IsIdle());
  EXPECT_EQ(q.Count(), 2u);
  EXPECT_EQ(q.TakeNext(25), nullptr);
}

// A damaged task file's entry: its texts end inside their fields. (That an
// active entry loads as waiting is TaskStoreTest's.)
TEST(UrlQueueCopy, TextsEndInside) {
  UrlQueue q;
  UrlItem record;
  std::memset(&record, 'x', sizeof(record));
  record.state = kFinished;
  q.AppendCopy(record);
  q.ForEachTailToHead([&](const UrlItem& i) {
    EXPECT_EQ(std::strlen(i.path), 1024u);
    EXPECT_EQ(std::strlen(i.fileName), 65u);
  });
}

TEST(UrlQueueThreads, ConcurrentAdmitAndTakeLosesNothing) {
  UrlQueue q;
  constexpr int kThreads = 3, kPerProducer = 400;
  std::atomic<int> producersLeft{kThreads};
  std::vector<std::string> taken[kThreads];
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerProducer; ++i) q.AddUrl(Url(t * kPerProducer + i).c_str(), "", "", true);
      producersLeft.fetch_sub(1);
    });
    // Bounded: every round either takes an entry or sees producers busy.
    threads.emplace_back([&, t] {
      for (int round = 0; round < 1000000; ++round) {
        UrlItem* item = q.TakeNext(25);
        if (item != nullptr) {
          taken[t].push_back(item->path);
          q.MarkFinished(item);
        } else if (producersLeft.load() == 0 && q.IsIdle()) {
          break;
        } else {
          std::this_thread::yield();
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::set<std::string> all;
  for (const auto& list : taken) all.insert(list.begin(), list.end());
  EXPECT_EQ(all.size(), taken[0].size() + taken[1].size() + taken[2].size());
  EXPECT_EQ(all.size(), static_cast<size_t>(kThreads * kPerProducer));
  EXPECT_EQ(q.Count(), all.size());
  EXPECT_TRUE(q.IsIdle());
}

}  // namespace
}  // namespace harvio
