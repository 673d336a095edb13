// The thumbnail-link scan, run the way the custom source 163 runs it: a WEB2
// page whose links around thumbnails go to WEB1 (pages) or PIC (pictures).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/sources/page_run.h"

namespace harvio::test {
namespace {

constexpr char kPage[] = "http://www.h.cn/g/index.html";

std::string Thumb(const std::string& href) {
  return "<a href=\"" + href + "\"><img src=\"t.gif\" border=0></a> ";
}

using Queued = std::vector<std::pair<ItemKind, std::string>>;

Queued QueuedFrom(const std::string& page) {
  PageRun run(163);
  Queued queued;
  for (const Admission& a : run.Run(kWeb2, kPage, page, "ignored")) {
    EXPECT_EQ(a.title, "");
    EXPECT_EQ(a.referer, kPage);
    EXPECT_TRUE(a.checkDuplicate);
    queued.emplace_back(a.queue, a.url);
  }
  return queued;
}

TEST(ThumbnailLinks, QueuesOnlyTheDominantPattern) {
  std::string page = Thumb("/list_1.html") + Thumb("/list_2.html");
  Queued expected;
  for (int i = 0; i < 10; ++i) {
    std::string id = std::to_string(100 + i * 7);
    page += Thumb("/show.php?id=" + id);
    expected.emplace_back(kWeb1, "http://www.h.cn/show.php?id=" + id);
  }
  page += Thumb("/list_3.html");
  EXPECT_EQ(QueuedFrom(page), expected);
}

TEST(ThumbnailLinks, OnATieThePatternSeenFirstWins) {
  EXPECT_EQ(QueuedFrom(Thumb("b1.html") + Thumb("a1.htm") + Thumb("b2.html") +
                       Thumb("a2.htm")),
            (Queued{{kWeb1, "http://www.h.cn/g/b1.html"},
                    {kWeb1, "http://www.h.cn/g/b2.html"}}));
}

TEST(ThumbnailLinks, JpgLinksArePicturesOtherPicturesDroppedRestPages) {
  // Links of one pattern share their extension, so one page per extension.
  auto queuedOf = [](const char* first, const char* second) {
    return QueuedFrom(Thumb(first) + Thumb(second));
  };
  EXPECT_EQ(queuedOf("P1.JPG", "P2.JPG"),
            (Queued{{kPic, "http://www.h.cn/g/P1.JPG"},
                    {kPic, "http://www.h.cn/g/P2.JPG"}}));
  EXPECT_EQ(queuedOf("p.jpg?x=1", "p.jpg?x=2"),
            (Queued{{kPic, "http://www.h.cn/g/p.jpg?x=1"},
                    {kPic, "http://www.h.cn/g/p.jpg?x=2"}}));
  EXPECT_EQ(queuedOf("p1.jpeg", "p2.jpeg"),
            (Queued{{kWeb1, "http://www.h.cn/g/p1.jpeg"},
                    {kWeb1, "http://www.h.cn/g/p2.jpeg"}}));
  for (const char* dropped : {".gif", ".png", ".bmp", ".GIF"}) {
    EXPECT_EQ(queuedOf((std::string("1") + dropped).c_str(),
                       (std::string("2") + dropped).c_str()),
              Queued{})
        << dropped;
  }
}

TEST(ThumbnailLinks, OnlyAnchorsAroundAnImgWithSrcCount) {
  // Three text links of one pattern lose against one thumbnail.
  std::string page = "<a href=t1.html>one</a><a href=t2.html>two</a>"
                     "<a href=t3.html><img alt=x></a>"
                     "<A HREF='big.jpg' class=z><IMG SRC=small.jpg></A>"
                     "<abbr href=x.html><img src=y></abbr>";
  EXPECT_EQ(QueuedFrom(page), (Queued{{kPic, "http://www.h.cn/g/big.jpg"}}));
}

TEST(ThumbnailLinks, APageEndingInsideAnAnchorKeepsEarlierLinks) {
  std::string head = Thumb("1.jpg") + Thumb("2.jpg");
  Queued expected{{kPic, "http://www.h.cn/g/1.jpg"},
                  {kPic, "http://www.h.cn/g/2.jpg"}};
  for (const char* tail : {"<a href=\"3.jpg\"><img src=s.gif>", "<a href=3.jpg",
                           "<a href=", "<a ", "<a", "<"}) {
    EXPECT_EQ(QueuedFrom(head + tail), expected) << tail;
  }
}

TEST(ThumbnailLinks, NoLinksNoAdmissions) {
  EXPECT_EQ(QueuedFrom(""), Queued{});
  EXPECT_EQ(QueuedFrom("<p>plain</p><a href=x.html>x</a>"), Queued{});
  EXPECT_EQ(QueuedFrom(std::string(4096, '<')), Queued{});
}

TEST(ThumbnailLinks, LowerCasesLinkTextsInThePage) {
  // The scan owns the page: it marks link ends and lower-cases link texts,
  // which must not change the links themselves.
  EXPECT_EQ(QueuedFrom("<a href=/Big/P1.JPG><IMG  SRC=1></a>"),
            (Queued{{kPic, "http://www.h.cn/Big/P1.JPG"}}));
}

}  // namespace
}  // namespace harvio::test
