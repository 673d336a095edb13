// The search-engine parsers, driven through DispatchPage with real queues.
// Every admission is written as the line harvio-cli parse prints, the form
// of the .expected files beside the sample pages in tests/data/search.
#include <gtest/gtest.h>

#include <string>

#include "tests/search/sample_pages.h"
#include "tests/sources/page_run.h"

namespace harvio::test {
namespace {

// What a search parser admits: no title, the page as referer, no duplicate
// check.
std::string Line(const char* queue, const std::string& url,
                 const std::string& referer) {
  return std::string(queue) + "\t" + url + "\t\t" + referer +
         "\toff\tadmitted\n";
}

// `text` parsed as a page of `sourceId` fetched from `pageUrl` by a fresh
// task with every picture format wanted.
std::string Parse(uint32_t sourceId, ItemKind kind, const std::string& pageUrl,
                  const std::string& text) {
  PageRun run(sourceId);
  return AdmissionLines(run.Run(kind, pageUrl.c_str(), text));
}

// Each sample page admits exactly its expected items, in page order; a
// result page read as a detail page admits nothing; and no prefix of a page
// (what a server may send) leads a parser past its end, which the sanitizer
// build checks.
TEST(SearchSamplePages, AdmitTheExpectedItemsAndStayInsideCutPages) {
  for (const SamplePage& p : LoadSamplePages("search")) {
    std::string text = p.Html();
    EXPECT_EQ(Parse(p.sourceId, p.kind, p.url, text), p.Expected()) << p.name;
    if (p.kind == kWeb2) {
      EXPECT_EQ(Parse(p.sourceId, kWeb1, p.url, text), "") << p.name;
    }
    for (size_t length = 0; length < text.size(); ++length) {
      for (ItemKind kind : {kWeb2, kWeb1}) {
        Parse(p.sourceId, kind, p.url, text.substr(0, length));
      }
    }
  }
}

#define NEXT_PAGE "\xcf\xc2\xd2\xbb\xd2\xb3"  // 下一页

// One result and one next-page link as each engine marks them.
const struct {
  uint32_t sourceId;
  const char* pageUrl;
  const char* result;  // twice over for the engines that link results twice
  const char* resultQueue;
  const char* resultUrl;
  const char* nextLink;  // from the link opener to the marker
  const char* nextMarker;
  const char* nextUrl;
} kEngines[] = {
    {1, "http://images.google.com/images?q=car",
     "<a href=/imgres?imgurl=http://x.example.com/g.jpg&h=1>", "PIC",
     "http://x.example.com/g.jpg", "<a href=/images?q=car&start=20",
     "><img src=/nav_next.gif>",
     "http://images.google.com/images?q=car&start=20"},
    {2, "http://images.search.yahoo.com/search/images?p=car",
     "<a href=\"v?back=1&imgurl=x.example.com/y.jpg&rurl=z\">", "PIC",
     "http://x.example.com/y.jpg",
     "<a href=\"http://rds.yahoo.com/K=car/*-http%3A//"
     "images.search.yahoo.com/search/images?p=car&b=21",
     "\">Next</a>", "http://images.search.yahoo.com/search/images?p=car&b=21"},
    {3, "http://search.msn.com/images/results.aspx?q=car",
     "<a href=\"r.aspx?q=car&amp;iu=http://x.example.com/m.jpg&amp;ru=z\">",
     "PIC", "http://x.example.com/m.jpg",
     "<a href=\"results.aspx?q=car&first=16", "\">Next</a>",
     "http://search.msn.com/images/results.aspx?q=car&first=16"},
    {11, "http://image.baidu.com/i?word=car",
     "<a href=\"/i?z=0&u=http://x.example.com/b.jpg&img=1\">", "PIC",
     "http://x.example.com/b.jpg",
     "<a href=http://image.baidu.com/i?word=car&pn=18",
     "><font>" NEXT_PAGE "</font></a>",
     "http://image.baidu.com/i?word=car&pn=18"},
    {12, "http://p.iask.com/p?k=car",
     "<a href=\"showpic.php?id=7\"><img></a><a href=\"showpic.php?id=7\">",
     "WEB1", "http://p.iask.com/showpic.php?id=7", "<a href=p?k=car&p=2",
     ">" NEXT_PAGE ">></a>", "http://p.iask.com/p?k=car&p=2"},
    {13, "http://image.zhongsou.com/i?w=car",
     "<a href=\"v?w=car&i1=http://x.example.com/z.jpg&t=1\"><img></a>"
     "<a href=\"v?w=car&i1=http://x.example.com/z.jpg&t=2\">",
     "PIC", "http://x.example.com/z.jpg", "<a href=\"i?w=car&p=2",
     "\">" NEXT_PAGE "</a>", "http://image.zhongsou.com/i?w=car&p=2"},
    {14, "http://pic.sogou.com/pics/pics?query=car",
     "<a onclick=\"return window.open('/pics/detail.jsp?id=7')\">", "WEB1",
     "http://pic.sogou.com/pics/detail.jsp?id=7",
     "<a id=sogou_next href=\"pics?query=car&page=2",
     "\" ><span style=font-size:14px>" NEXT_PAGE "</span></a>",
     "http://pic.sogou.com/pics/pics?query=car&page=2"},
    {15, "http://image.cn.yahoo.com/search?p=car",
     "<input type=\"hidden\" name=\"imgurl\" "
     "value=\"http://x.example.com/c.jpg\">",
     "PIC", "http://x.example.com/c.jpg", "<a href=\"?p=car&b=21",
     "\" >" NEXT_PAGE ">></a>", "http://image.cn.yahoo.com/search?p=car&b=21"},
};

TEST(SearchEngines, ResultsAndNextPageAreFoundEachWithoutTheOther) {
  for (const auto& e : kEngines) {
    auto parse = [&](const std::string& text) {
      return Parse(e.sourceId, kWeb2, e.pageUrl, text);
    };
    EXPECT_EQ(parse(std::string("<p>none</p>") + e.nextLink + e.nextMarker),
              Line("WEB2", e.nextUrl, e.pageUrl))
        << e.sourceId;
    EXPECT_EQ(parse(std::string(e.result) + "<p>end</p>"),
              Line(e.resultQueue, e.resultUrl, e.pageUrl))
        << e.sourceId;
    // The last "<" (Yahoo: "*") before the marker must open the link; when
    // it opens something else there is no next page, rather than a link
    // cut from the bytes after the marker's start.
    const char* foreign = e.sourceId == 2 ? "*" : "<b>";
    EXPECT_EQ(parse(std::string(e.nextLink) + foreign + e.nextMarker), "")
        << e.sourceId;
  }
}

TEST(SearchPassOverEven, ZhongsouTakesOddOccurrencesWithALaterTwin) {
  const std::string page = "http://image.zhongsou.com/i?w=car";
  auto pic = [&](int i) {
    return Line("PIC", "http://x.example.com/z" + std::to_string(i) + ".jpg",
                page);
  };
  const struct {
    int occurrences;
    std::string expected;
  } cases[] = {
      {5, pic(1) + pic(3)}, {4, pic(1) + pic(3)}, {2, pic(1)}, {1, ""}};
  for (const auto& c : cases) {
    std::string text;
    for (int i = 1; i <= c.occurrences; ++i) {
      text += "<a href=\"v?w=car&i1=http://x.example.com/z" +
              std::to_string(i) + ".jpg&t=1\">";
    }
    EXPECT_EQ(Parse(13, kWeb2, page, text), c.expected) << c.occurrences;
  }
}

TEST(SearchPassOverEven, IaskUsesShowpicThroughoutWhenThePageHasIt) {
  const std::string page = "http://p.iask.com/p?k=car";
  const std::string zsou = "<a href=\"showzsou.php?id=1\">";
  const std::string pic = "<a href=\"showpic.php?id=2\">";
  EXPECT_EQ(Parse(12, kWeb2, page, zsou + zsou + pic + pic),
            Line("WEB1", "http://p.iask.com/showpic.php?id=2", page));
  EXPECT_EQ(Parse(12, kWeb2, page, zsou + zsou + zsou),
            Line("WEB1", "http://p.iask.com/showzsou.php?id=1", page));
}

TEST(SearchLimits, ValuesOf1024BytesWithTheirPrefixAreTheLongestTaken) {
  // Yahoo puts "http://" (7 bytes) before each value.
  const std::string yahoo =
      "http://images.search.yahoo.com/search/images?p=car";
  std::string value = "x.example.com/" + std::string(1024 - 7 - 14, 'a');
  EXPECT_EQ(Parse(2, kWeb2, yahoo, "&imgurl=" + value + "&rurl=z"),
            Line("PIC", "http://" + value, yahoo));
  // 1018 bytes + "http://" = 1025: refused. The next-page link that the
  // search then finds starts inside that value, after its "*-".
  value = "*-http://n.example.com/" + std::string(1018 - 23, 'b');
  EXPECT_EQ(Parse(2, kWeb2, yahoo, "&imgurl=" + value + "&\">Next</a>"),
            Line("WEB2", value.substr(2) + "&", yahoo));
  // Google's next-page prefix "http://images.google.com" has 24 bytes; a
  // refused result ends the results, not the next-page search.
  const std::string google = "http://images.google.com/images?q=car";
  const std::string after =
      "&h=1><a href=/imgres?imgurl=http://x.cn/l.jpg&h=1>";
  for (size_t total : {1024u, 1025u}) {
    std::string link = "/images?q=" + std::string(total - 24 - 10, 'q');
    EXPECT_EQ(Parse(1, kWeb2, google,
                    "<a href=/imgres?imgurl=" + std::string(1025, 'c') + after +
                        "<a href=" + link + "><img src=/nav_next.gif>"),
              total == 1024
                  ? Line("WEB2", "http://images.google.com" + link, google)
                  : "")
        << total;
  }
}

TEST(SearchCleanUp, LineBreaksLeaveValuesAndOuterSpacesGo) {
  const std::string yahooChina = "http://image.cn.yahoo.com/search?p=car";
  EXPECT_EQ(Parse(15, kWeb2, yahooChina,
                  "<input type=\"hidden\" name=\"imgurl\" value=\"\n "
                  "http://x.example.cn/a\nb.jpg \n\">"),
            Line("PIC", "http://x.example.cn/a b.jpg", yahooChina));
  const std::string sogou = "http://pic.sogou.com/pics/pics?query=car";
  EXPECT_EQ(
      Parse(14, kWeb2, sogou,
            "<a id=sogou_next href=\"\npics?query=\ncar&amp;page=3\n"
            "\" ><span style=font-size:14px>" NEXT_PAGE "</span></a>"),
      Line("WEB2", "http://pic.sogou.com/pics/pics?query=car&page=3", sogou));
}

TEST(SearchPictureFormats, TaskFlagsDecideWhichResultsAreQueued) {
  const std::string google = "http://images.google.com/images?q=car";
  const struct {
    const char* url;
    uint32_t jpgLarge, jpgSmall, gif;
    bool queued;
  } cases[] = {{"http://x.cn/a.JPG", 0, 1, 0, true},
               {"http://x.cn/a.jpg", 0, 0, 1, false},
               {"http://x.cn/a.gif", 0, 0, 1, true},
               {"http://x.cn/a.gif", 1, 1, 0, false}};
  for (const auto& c : cases) {
    PageRun run(1);
    run.info.jpgLarge = c.jpgLarge;
    run.info.jpgSmall = c.jpgSmall;
    run.info.gif = c.gif;
    EXPECT_EQ(AdmissionLines(run.Run(
                  kWeb2, google.c_str(),
                  "<a href=/imgres?imgurl=" + std::string(c.url) + "&h=1>")),
              c.queued ? Line("PIC", c.url, google) : "")
        << c.url << c.jpgLarge << c.jpgSmall << c.gif;
  }
}

TEST(SearchDetailPages, YieldAtMostOneWantedPictureOfBoundedLength) {
  const std::string iask = "http://p.iask.com/showpic.php?id=1";
  const std::string sogou = "http://pic.sogou.com/pics/detail.jsp?id=1";
  const std::string sogouImg = "<img id=image_right name=\"rimage\" src=";
  const std::string fits = "http://x.example.com/" + std::string(1003, 'd');
  const struct {
    uint32_t sourceId;
    const std::string& pageUrl;
    std::string text;
    std::string expected;
  } cases[] = {
      {12, iask, "&bigpic=http://x.example.com/1.png&refurl=", ""},
      {12, iask, "&bigpic=http://x.example.com/1.jpg", ""},
      {12, iask, "&bigpic=" + fits + "d&refurl=", ""},  // 1025 bytes
      {12, iask, "&bigpic=" + fits + "&refurl=", Line("PIC", fits, iask)},
      {14, sogou, sogouImg + "http://x.example.com/2.gif alt=x",
       Line("PIC", "http://x.example.com/2.gif", sogou)},
      {14, sogou, sogouImg + "http://x.example.com/2.gif", ""},
      {1, iask, "&bigpic=http://x.example.com/1.jpg&refurl=", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Parse(c.sourceId, kWeb1, c.pageUrl, c.text), c.expected)
        << c.text.substr(0, 60);
  }
}

#undef NEXT_PAGE

}  // namespace
}  // namespace harvio::test
