#include "sources/page_dispatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "sources/text_helpers.h"
#include "tests/sources/page_run.h"

namespace harvio::test {
namespace {

// A page that every generic scanner finds something in.
constexpr char kRichPage[] =
    "<a href=big1.jpg><img src=t1.jpg></a><img src=p.jpg>"
    "<a href=\"http://x.cn/show?id=1\"><img src=t2.jpg></a>";

TEST(DispatchPage, SourcesOutsideTheTableParseNothing) {
  for (uint32_t source : {0u, 4u, 10u, 16u, 20u, 23u, 37u, 160u, 164u,
                          1000u}) {
    PageRun run(source);
    EXPECT_TRUE(run.Run(kWeb2, "http://h.cn/", kRichPage).empty()) << source;
    EXPECT_TRUE(run.Run(kWeb1, "http://h.cn/", kRichPage).empty()) << source;
  }
}

TEST(DispatchPage, CustomSourcesChooseTheScannerByTheItemKind) {
  for (uint32_t source : {161u, 162u, 163u}) {
    PageRun run(source);
    auto web1 = run.Run(kWeb1, "http://h.cn/", kRichPage);
    ASSERT_EQ(web1.size(), 3u) << source;
    EXPECT_EQ(web1[0].url, "http://h.cn/t1.jpg");
    EXPECT_EQ(web1[0].queue, kPic);
    auto web2 = run.Run(kWeb2, "http://h.cn/", kRichPage);
    ASSERT_EQ(web2.size(), 1u) << source;  // two patterns, one link each
    EXPECT_EQ(web2[0].url, "http://h.cn/big1.jpg");
    EXPECT_EQ(web2[0].queue, kPic);
  }
}

TEST(QueueUrl, AdmitsIntoTheNamedQueueAndReportsTheResult) {
  PageRun run(162);
  UrlItem item{};
  PageContext ctx{nullptr, nullptr, &item, kWeb1,
                  {&run.queues[0], &run.queues[1], &run.queues[2]}, &run.info,
                  &run.trace};
  EXPECT_EQ(QueueUrl(ctx, kWeb1, "http://h.cn/a", "t", "r", true),
            AddResult::kAdmitted);
  EXPECT_EQ(QueueUrl(ctx, kWeb1, "http://H.CN/a", "t", "r", true),
            AddResult::kDuplicate);
  EXPECT_EQ(QueueUrl(ctx, kPic, "ftp://h.cn/a", "", "", false),
            AddResult::kInvalid);
  EXPECT_EQ(run.queues[kWeb1].Count(), 1u);
  EXPECT_EQ(run.queues[kPic].Count(), 0u);
  ASSERT_EQ(run.trace.calls.size(), 3u);
  EXPECT_EQ(AdmissionLine(run.trace.calls[1]),
            "WEB1\thttp://H.CN/a\tt\tr\ton\tduplicate\n");
  ctx.trace = nullptr;  // without a watcher the admission still happens
  EXPECT_EQ(QueueUrl(ctx, kWeb2, "http://h.cn/b", "", "", false),
            AddResult::kAdmitted);
  EXPECT_EQ(run.trace.calls.size(), 3u);
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

TEST(RemoveTabsAndLineBreaks, KeepsEverythingElseAndTerminates) {
  char text[] = "\ta\r\nb c\t\n";
  char* end = RemoveTabsAndLineBreaks(text, text + sizeof text - 1);
  EXPECT_STREQ(text, "ab c");
  EXPECT_EQ(end, text + 4);
}

std::string ReadData(const std::string& name) {
  std::ifstream in(std::string(HARVIO_TEST_DATA) + "/custom/" + name,
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A saved page as a worker of a default task of `source` parses it: tabs and
// line breaks removed, only large JPEG pictures wanted.
std::string AdmissionsOf(const std::string& name, uint32_t source,
                         ItemKind kind, const char* pageUrl) {
  std::string page = ReadData(name);
  page.resize(RemoveTabsAndLineBreaks(page.data(), page.data() + page.size()) -
              page.data());
  PageRun run(source);
  run.info.jpgSmall = 0;
  run.info.gif = 0;
  return AdmissionLines(run.Run(kind, pageUrl, page));
}

TEST(SavedPages, GalleryOfThumbnailsYieldsTheLargePictures) {
  EXPECT_EQ(AdmissionsOf("gallery.html", 163, kWeb2,
                         "http://pics.example.com/gallery/index.html?page=2"),
            ReadData("gallery.163.expected"));
}

TEST(SavedPages, PageWithRelativeAndAbsoluteImagesYieldsItsPictures) {
  EXPECT_EQ(AdmissionsOf("mixed_img.html", 162, kWeb1,
                         "http://www.example.com/news/2008/story.html"),
            ReadData("mixed_img.162.expected"));
}

}  // namespace
}  // namespace harvio::test
