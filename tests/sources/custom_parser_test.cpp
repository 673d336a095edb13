// The custom sources: their two scans on the pages of
// tests/data/custom/scans.txt (the img scan, 162, on WEB1 pages; the
// thumbnail links, 163, on WEB2 pages; which sources run them), and
// QueueUrl and PageUrl beneath every parser.
#include "sources/custom_parser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sources/page_dispatch.h"
#include "sources/text_helpers.h"
#include "tests/search/sample_pages.h"
#include "tests/sources/page_run.h"

namespace harvio::test {
namespace {

TEST(CustomScans, EachPageAdmitsWhatItsCaseSays) {
  for (const PageCase& c : ReadPageCases("custom/scans.txt")) {
    PageRun run(c.sourceId);
    EXPECT_EQ(AdmissionLines(run.Run(c.kind, c.url.c_str(), c.page, c.title.c_str())),
              c.expected)
        << "scans.txt:" << c.line;
  }
}

// The watcher hears every result; without one the admission still happens.
TEST(QueueUrl, AdmitsIntoTheNamedQueueAndReportsTheResult) {
  PageRun run(162);
  UrlItem item{};
  PageContext ctx{nullptr, nullptr, &item, kWeb1,
                  {&run.queues[0], &run.queues[1], &run.queues[2]}, &run.info, &run};
  EXPECT_EQ(QueueUrl(ctx, kWeb1, "http://h.cn/a", "t", "r", true), AddResult::kAdmitted);
  QueueUrl(ctx, kWeb1, "http://H.CN/a", "t", "r", true);
  QueueUrl(ctx, kPic, "ftp://h.cn/a", "", "", false);
  ctx.trace = nullptr;
  EXPECT_EQ(QueueUrl(ctx, kWeb2, "http://h.cn/b", "", "", false), AddResult::kAdmitted);
  EXPECT_EQ(AdmissionLines(run.calls),
            "WEB1\thttp://h.cn/a\tt\tr\ton\tadmitted\n"
            "WEB1\thttp://H.CN/a\tt\tr\ton\tduplicate\n"
            "PIC\tftp://h.cn/a\t\t\toff\tinvalid\n");
  EXPECT_EQ(run.queues[kWeb1].Count() + run.queues[kWeb2].Count(), 2u);
  EXPECT_EQ(run.queues[kPic].Count(), 0u);
}

TEST(PageUrl, JoinsHostAndPathAndStaysWithin1024Bytes) {
  UrlItem item{};
  std::strcpy(item.host, "www.h.cn");
  std::strcpy(item.path, "/a/b.html?x=1");
  char url[kWorkBuffer];
  PageUrl(item, url);
  EXPECT_STREQ(url, "http://www.h.cn/a/b.html?x=1");
  std::memset(item.host, 'h', sizeof item.host);  // lost its terminator
  std::memset(item.path, 'p', sizeof item.path - 1);
  item.path[1024] = '\0';
  PageUrl(item, url);
  EXPECT_EQ(std::strlen(url), kUrlMax);
  EXPECT_EQ(std::string(url, 7 + 63 + 1), "http://" + std::string(63, 'h') + "p");
}

}  // namespace
}  // namespace harvio::test
