// The custom sources: how DispatchPage picks their scan, QueueUrl and
// PageUrl, the URL helpers of the custom parser, and its two scans run the
// way those sources run them: the img scan (162) on a WEB1 page, its
// pictures to PIC; the thumbnail-link scan (163) on a WEB2 page, the links
// around thumbnails to WEB1 (pages) or PIC (pictures). The saved pages of
// tests/data/custom show quoting, letter case, decoding, format filters and
// duplicates; the cases here are the edges.
#include "sources/custom_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "sources/page_dispatch.h"
#include "sources/text_helpers.h"
#include "tests/sources/page_run.h"

namespace harvio::test {
namespace {

// A page that every generic scanner finds something in.
constexpr char kRichPage[] =
    "<a href=big1.jpg><img src=t1.jpg></a><img src=p.jpg>"
    "<a href=\"http://x.cn/show?id=1\"><img src=t2.jpg></a>";

// Sources outside the table parse nothing; the custom ones run the img scan
// on WEB1 items and the thumbnail links (two patterns of one link each: the
// first wins) on WEB2.
TEST(DispatchPage, ChoosesTheParserBySourceAndItemKind) {
  for (uint32_t source :
       {0u, 4u, 10u, 16u, 20u, 23u, 37u, 160u, 164u, 1000u, 161u, 162u, 163u}) {
    PageRun run(source);
    bool custom = source >= 161 && source <= 163;
    EXPECT_EQ(run.Run(kWeb1, "http://h.cn/", kRichPage).size(),
              custom ? 3u : 0u)
        << source;
    EXPECT_EQ(AdmissionLines(run.Run(kWeb2, "http://h.cn/", kRichPage)),
              custom
                  ? "PIC\thttp://h.cn/big1.jpg\t\thttp://h.cn/\ton\tadmitted\n"
                  : "")
        << source;
  }
}

// The watcher hears every result; without one the admission still happens.
TEST(QueueUrl, AdmitsIntoTheNamedQueueAndReportsTheResult) {
  PageRun run(162);
  UrlItem item{};
  PageContext ctx{nullptr,
                  nullptr,
                  &item,
                  kWeb1,
                  {&run.queues[0], &run.queues[1], &run.queues[2]},
                  &run.info,
                  &run};
  EXPECT_EQ(QueueUrl(ctx, kWeb1, "http://h.cn/a", "t", "r", true),
            AddResult::kAdmitted);
  QueueUrl(ctx, kWeb1, "http://H.CN/a", "t", "r", true);
  QueueUrl(ctx, kPic, "ftp://h.cn/a", "", "", false);
  ctx.trace = nullptr;
  EXPECT_EQ(QueueUrl(ctx, kWeb2, "http://h.cn/b", "", "", false),
            AddResult::kAdmitted);
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
  EXPECT_EQ(std::string(url, 7 + 63 + 1),
            "http://" + std::string(63, 'h') + "p");
}

std::string Resolve(const std::string& link, const char* base) {
  char buffer[kWorkBuffer] = {};
  std::memcpy(buffer, link.data(), std::min(link.size(), kUrlMax));
  ResolveUrl(buffer, base);
  return buffer;
}

constexpr char kBase[] = "http://h.cn/a/b.html?x=1/2";

// Relative links against the directory of a page with a query; absolute
// and empty ones as they are; root links with scheme and host of the base;
// empty when there is nothing to resolve against or the result is too long.
TEST(ResolveUrl, ResolvesAgainstTheBaseOrEmpties) {
  EXPECT_EQ(Resolve("c.jpg", kBase), "http://h.cn/a/c.jpg");
  EXPECT_EQ(Resolve("../c.jpg", kBase), "http://h.cn/c.jpg");
  EXPECT_EQ(Resolve("../../c.jpg", kBase), "http://h.cn/c.jpg");
  EXPECT_EQ(Resolve("./c.jpg", kBase), "http://h.cn/a/c.jpg");
  EXPECT_EQ(Resolve("/c.jpg", kBase), "http://h.cn/c.jpg");
  EXPECT_EQ(Resolve("?p=2", kBase), "http://h.cn/a/?p=2");
  EXPECT_EQ(Resolve("..", kBase), "http://h.cn/a/..");
  EXPECT_EQ(Resolve("d//e/./f.jpg", kBase), "http://h.cn/a/d//e/f.jpg");
  EXPECT_EQ(Resolve("http://x.cn/p.jpg", kBase), "http://x.cn/p.jpg");
  EXPECT_EQ(Resolve("HtTp://x.cn/p.jpg", kBase), "HtTp://x.cn/p.jpg");
  EXPECT_EQ(Resolve("", kBase), "");
  // Exactly "http://" is not longer than 7 bytes: it is a relative piece.
  EXPECT_EQ(Resolve("http://", kBase), "http://h.cn/a/http://");
  EXPECT_EQ(Resolve("/x/y.jpg", "http://h.cn"), "http://h.cn/x/y.jpg");
  EXPECT_EQ(Resolve("/x?y=/z", "http://H.cn/q/r?s=/t"), "http://H.cn/x?y=/z");
  EXPECT_EQ(Resolve("c.jpg", "nothing"), "");
  // https pages: the scheme is kept, never cut into, and lent to "//" links.
  EXPECT_EQ(Resolve("../../c.jpg", "https://h.cn:8443/a/b.html"), "https://h.cn:8443/c.jpg");
  EXPECT_EQ(Resolve("/c.jpg", "https://h.cn/a/b.html"), "https://h.cn/c.jpg");
  EXPECT_EQ(Resolve("//x.cn/c.jpg", "https://h.cn/a/"), "https://x.cn/c.jpg");
  EXPECT_EQ(Resolve("//x.cn/c.jpg", kBase), "http://x.cn/c.jpg");
  EXPECT_EQ(Resolve("HTTPS://x.cn/p.jpg", kBase), "HTTPS://x.cn/p.jpg");
  std::string longPath(1010, 'p');
  std::string base = "http://h.cn/" + longPath + "/index.html";
  EXPECT_EQ(Resolve("c.jpg", base.c_str()), "");
  EXPECT_EQ(Resolve("/" + longPath + "/0123456789.jpg", "http://h.cn/"), "");
  // 1024 bytes fit exactly, 1025 do not.
  std::string fits = "/" + std::string(1024 - 12, 'q');
  EXPECT_EQ(Resolve(fits, "http://h.cn/"), "http://h.cn" + fits);
  EXPECT_EQ(Resolve(fits + "q", "http://h.cn/"), "");
}

std::string Pattern(const char* url) {
  char out[kWorkBuffer];
  LinkPattern(url, out);
  return out;
}

TEST(LinkPattern, KeepsThePrefixAndDropsLaterDigits) {
  EXPECT_EQ(Pattern("http://h/show.php?id=123&p=4"),
            "http://h/show.php?id=&p=");
  EXPECT_EQ(Pattern("http://h2/2008/list_12.html"),
            "http://h2/2008/list_.html");
  EXPECT_EQ(Pattern("http://h/a?b/c9"), "http://h/a?b/c");
  EXPECT_EQ(Pattern("no-slash-7"), "no-slash-");
}

constexpr char kImgPage[] = "http://www.h.cn/a/b.html";
constexpr char kGalleryPage[] = "http://www.h.cn/g/index.html";

using Queued = std::vector<std::pair<ItemKind, std::string>>;

// Queue and URL of each admission of `source` from `page`. Every admission
// names the page as referer and asks for the duplicate check; the img scan
// passes the item's title on, the thumbnail scan none.
Queued Scan(uint32_t source, const std::string& page) {
  bool img = source == 162;
  const char* url = img ? kImgPage : kGalleryPage;
  PageRun run(source);
  Queued queued;
  for (const Admission& a : run.Run(img ? kWeb1 : kWeb2, url, page, "T")) {
    EXPECT_EQ(a.title, img ? "T" : "");
    EXPECT_EQ(a.referer, url);
    EXPECT_TRUE(a.checkDuplicate);
    queued.emplace_back(a.queue, a.url);
  }
  return queued;
}

// The pictures `names` (relative to the img page's folder) as queued.
Queued Pics(std::initializer_list<const char*> names) {
  Queued queued;
  for (const char* n : names)
    queued.emplace_back(kPic, std::string("http://www.h.cn/a/") + n);
  return queued;
}

TEST(ImgScan, FindsOnlyImgSrcAndEndsWhereATagBreaks) {
  std::string nul = "<img src=1.jpg>";
  nul += '\0';
  nul += "<img src=2.jpg>";
  const struct {
    std::string page;
    Queued expected;
  } cases[] = {
      // Blanks after "="; only an img tag with a spaced src counts.
      {"<img src=   /p.jpg>", {{kPic, "http://www.h.cn/p.jpg"}}},
      {"<image src=1.jpg><imgsrc=2.jpg><img data-src=3.jpg><img src=4.jpg>",
       Pics({"4.jpg"})},
      // A tag without src takes the next src further on. A value ends at
      // its first blank, so ' sp.jpg' is empty and the queue refuses it.
      {"<img alt=x><script src=later.js></script><img src=next.jpg>",
       Pics({"later.js", "next.jpg"})},
      {"<img src=' sp.jpg'>", {{kPic, ""}}},
      // A truncated or overlong tag ends the scan, keeping what came before.
      {"<img src=1.jpg><img src=2.jpg", Pics({"1.jpg"})},
      {"<img src=1.jpg><img src=\"2.jpg\" alt=x", Pics({"1.jpg"})},
      {"<img src=1.jpg><img src=", Pics({"1.jpg"})},
      {"<img src=1.jpg><img ", Pics({"1.jpg"})},
      {"<img src=1.jpg><img src=" + std::string(1025, 'x') +
           ".jpg><img src=3.jpg>",
       Pics({"1.jpg"})},
      {nul, Pics({"1.jpg", "2.jpg"})},  // NUL bytes inside the page
  };
  for (const auto& c : cases)
    EXPECT_EQ(Scan(162, c.page), c.expected) << c.page;
}

std::string Thumb(const std::string& href) {
  return "<a href=\"" + href + "\"><img src=\"t.gif\" border=0></a> ";
}

TEST(ThumbnailLinks, QueueOnlyTheDominantPatternOfLinksAroundThumbnails) {
  std::string many = Thumb("/list_1.html") + Thumb("/list_2.html");
  Queued shows;
  for (int i = 0; i < 10; ++i) {
    std::string id = std::to_string(100 + i * 7);
    many += Thumb("/show.php?id=" + id);
    shows.emplace_back(kWeb1, "http://www.h.cn/show.php?id=" + id);
  }
  const std::string g = "http://www.h.cn/g/";
  const std::string head = Thumb("1.jpg") + Thumb("2.jpg");
  const Queued headPics{{kPic, g + "1.jpg"}, {kPic, g + "2.jpg"}};
  const struct {
    std::string page;
    Queued expected;
  } cases[] = {
      {many + Thumb("/list_3.html"), shows},
      // On a tie the pattern seen first wins.
      {Thumb("b1.html") + Thumb("a1.htm") + Thumb("b2.html") + Thumb("a2.htm"),
       {{kWeb1, g + "b1.html"}, {kWeb1, g + "b2.html"}}},
      // JPEG links are pictures, other pictures dropped, the rest pages.
      {Thumb("P1.JPG") + Thumb("P2.JPG"),
       {{kPic, g + "P1.JPG"}, {kPic, g + "P2.JPG"}}},
      {Thumb("p.jpg?x=1") + Thumb("p.jpg?x=2"),
       {{kPic, g + "p.jpg?x=1"}, {kPic, g + "p.jpg?x=2"}}},
      {Thumb("p1.jpeg") + Thumb("p2.jpeg"),
       {{kWeb1, g + "p1.jpeg"}, {kWeb1, g + "p2.jpeg"}}},
      {Thumb("1.gif") + Thumb("2.gif"), {}},
      {Thumb("1.png") + Thumb("2.png"), {}},
      {Thumb("1.BMP") + Thumb("2.BMP"), {}},
      // Only anchors around an img with a src count: three text links of
      // one pattern lose against one thumbnail. Lower-casing the link texts
      // leaves the links alone.
      {"<a href=t1.html>one</a><a href=t2.html>two</a><a href=t3.html><img "
       "alt=x>"
       "</a><A HREF='Big.JPG' class=z><IMG  SRC=small.jpg></A><abbr "
       "href=x.html>"
       "<img src=y></abbr>",
       {{kPic, g + "Big.JPG"}}},
      // A page ending inside an anchor keeps the links before it.
      {head + "<a href=\"3.jpg\"><img src=s.gif>", headPics},
      {head + "<a href=3.jpg", headPics},
      {head + "<a href=", headPics},
      {head + "<a ", headPics},
      {head + "<a", headPics},
      {head + "<", headPics},
      {"", {}},
      {"<p>plain</p><a href=x.html>x</a>", {}},
      {std::string(4096, '<'), {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Scan(163, c.page), c.expected) << c.page;
}

}  // namespace
}  // namespace harvio::test
