// The search-engine parsers, driven through DispatchPage with real queues.
// Every admission is written as the line harvio-cli parse prints, the form
// of the .expected files beside the sample pages in tests/data/search.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/search/sample_pages.h"
#include "tests/sources/page_run.h"

namespace harvio {
namespace {

using test::Admission;
using test::AdmissionLine;
using test::PageRun;
using test::ReadSearchData;
using test::SamplePage;

// What a search parser admits: no title, the page as referer, no duplicate
// check.
std::string Line(const char* queue, const std::string& url,
                 const std::string& referer) {
  return std::string(queue) + "\t" + url + "\t\t" + referer +
         "\toff\tadmitted\n";
}

std::vector<std::string> Lines(const std::vector<Admission>& calls) {
  std::vector<std::string> lines;
  for (const Admission& a : calls) lines.push_back(AdmissionLine(a));
  return lines;
}

// Parses `text` as a page of `sourceId` fetched from `pageUrl` by a fresh
// task with every picture format wanted; the queues must hold exactly what
// was admitted.
std::vector<std::string> ParsePage(PageRun& run, ItemKind kind,
                                   const std::string& pageUrl,
                                   const std::string& text) {
  std::vector<Admission> calls = run.Run(kind, pageUrl.c_str(), text);
  uint32_t admitted[3] = {0, 0, 0};
  for (const Admission& a : calls) {
    if (a.result == AddResult::kAdmitted) ++admitted[a.queue];
  }
  for (ItemKind q : {kWeb2, kWeb1, kPic}) {
    EXPECT_EQ(run.queues[q].Count(), admitted[q]) << q;
  }
  return Lines(calls);
}

std::vector<std::string> ParsePage(uint32_t sourceId, ItemKind kind,
                                   const std::string& pageUrl,
                                   const std::string& text) {
  PageRun run(sourceId);
  return ParsePage(run, kind, pageUrl, text);
}

class SearchSamplePageTest : public ::testing::TestWithParam<SamplePage> {};

TEST_P(SearchSamplePageTest, AdmitsExactlyTheExpectedItemsInPageOrder) {
  const SamplePage& page = GetParam();
  std::vector<std::string> expected =
      test::SplitLines(ReadSearchData(page.name + ".expected"));
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(ParsePage(page.sourceId, page.kind, page.url,
                      ReadSearchData(page.name + ".html")),
            expected);
}

// Every prefix of a sample page is a page a server may send; none may lead
// a parser past the page end (checked by the sanitizer build).
TEST_P(SearchSamplePageTest, EveryTruncationStaysInsideThePage) {
  const SamplePage& page = GetParam();
  std::string text = ReadSearchData(page.name + ".html");
  for (size_t length = 0; length <= text.size(); ++length) {
    for (ItemKind kind : {kWeb2, kWeb1}) {
      ParsePage(page.sourceId, kind, page.url, text.substr(0, length));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Engines, SearchSamplePageTest, ::testing::ValuesIn(test::LoadSamplePages()),
    [](const ::testing::TestParamInfo<SamplePage>& p) {
      return p.param.name;
    });

// One result and one next-page link as each engine marks them.
struct EngineSample {
  const char* name;
  uint32_t sourceId;
  const char* pageUrl;
  const char* result;  // twice over for the engines that link results twice
  const char* resultQueue;
  const char* resultUrl;
  const char* nextLink;  // from the link opener to the marker
  const char* nextMarker;
  const char* nextUrl;
};

void PrintTo(const EngineSample& sample, std::ostream* out) {
  *out << sample.name;
}

#define NEXT_PAGE "\xcf\xc2\xd2\xbb\xd2\xb3"  // 下一页

const EngineSample kEngines[] = {
    {"Google", 1, "http://images.google.com/images?q=car",
     "<a href=/imgres?imgurl=http://x.example.com/g.jpg&h=1>", "PIC",
     "http://x.example.com/g.jpg",
     "<a href=/images?q=car&start=20", "><img src=/nav_next.gif>",
     "http://images.google.com/images?q=car&start=20"},
    {"Yahoo", 2, "http://images.search.yahoo.com/search/images?p=car",
     "<a href=\"v?back=1&imgurl=x.example.com/y.jpg&rurl=z\">", "PIC",
     "http://x.example.com/y.jpg",
     "<a href=\"http://rds.yahoo.com/K=car/*-http%3A//"
     "images.search.yahoo.com/search/images?p=car&b=21",
     "\">Next</a>",
     "http://images.search.yahoo.com/search/images?p=car&b=21"},
    {"Msn", 3, "http://search.msn.com/images/results.aspx?q=car",
     "<a href=\"r.aspx?q=car&amp;iu=http://x.example.com/m.jpg&amp;ru=z\">",
     "PIC", "http://x.example.com/m.jpg",
     "<a href=\"results.aspx?q=car&first=16", "\">Next</a>",
     "http://search.msn.com/images/results.aspx?q=car&first=16"},
    {"Baidu", 11, "http://image.baidu.com/i?word=car",
     "<a href=\"/i?z=0&u=http://x.example.com/b.jpg&img=1\">", "PIC",
     "http://x.example.com/b.jpg",
     "<a href=http://image.baidu.com/i?word=car&pn=18",
     "><font>" NEXT_PAGE "</font></a>",
     "http://image.baidu.com/i?word=car&pn=18"},
    {"Iask", 12, "http://p.iask.com/p?k=car",
     "<a href=\"showpic.php?id=7\"><img></a><a href=\"showpic.php?id=7\">",
     "WEB1", "http://p.iask.com/showpic.php?id=7",
     "<a href=p?k=car&p=2", ">" NEXT_PAGE ">></a>",
     "http://p.iask.com/p?k=car&p=2"},
    {"Zhongsou", 13, "http://image.zhongsou.com/i?w=car",
     "<a href=\"v?w=car&i1=http://x.example.com/z.jpg&t=1\"><img></a>"
     "<a href=\"v?w=car&i1=http://x.example.com/z.jpg&t=2\">",
     "PIC", "http://x.example.com/z.jpg",
     "<a href=\"i?w=car&p=2", "\">" NEXT_PAGE "</a>",
     "http://image.zhongsou.com/i?w=car&p=2"},
    {"Sogou", 14, "http://pic.sogou.com/pics/pics?query=car",
     "<a onclick=\"return window.open('/pics/detail.jsp?id=7')\">", "WEB1",
     "http://pic.sogou.com/pics/detail.jsp?id=7",
     "<a id=sogou_next href=\"pics?query=car&page=2",
     "\" ><span style=font-size:14px>" NEXT_PAGE "</span></a>",
     "http://pic.sogou.com/pics/pics?query=car&page=2"},
    {"YahooChina", 15, "http://image.cn.yahoo.com/search?p=car",
     "<input type=\"hidden\" name=\"imgurl\" "
     "value=\"http://x.example.com/c.jpg\">",
     "PIC", "http://x.example.com/c.jpg",
     "<a href=\"?p=car&b=21", "\" >" NEXT_PAGE ">></a>",
     "http://image.cn.yahoo.com/search?p=car&b=21"},
};

class SearchEngineTest : public ::testing::TestWithParam<EngineSample> {
 protected:
  std::vector<std::string> ParseAs(ItemKind kind, const std::string& text) {
    return ParsePage(GetParam().sourceId, kind, GetParam().pageUrl, text);
  }
  std::string ResultLine() const {
    const EngineSample& e = GetParam();
    return Line(e.resultQueue, e.resultUrl, e.pageUrl);
  }
  std::string NextLine() const {
    const EngineSample& e = GetParam();
    return Line("WEB2", e.nextUrl, e.pageUrl);
  }
};

TEST_P(SearchEngineTest, PageWithoutResultsStillYieldsItsNextPage) {
  const EngineSample& e = GetParam();
  EXPECT_EQ(ParseAs(kWeb2, std::string("<p>none</p>") + e.nextLink +
                               e.nextMarker),
            std::vector<std::string>{NextLine()});
}

TEST_P(SearchEngineTest, PageWithoutNextPageMarkerEndsTheCrawl) {
  EXPECT_EQ(ParseAs(kWeb2, std::string(GetParam().result) + "<p>end</p>"),
            std::vector<std::string>{ResultLine()});
}

// The last "<" (Yahoo: "*") before the marker must open the link; when it
// opens something else there is no next page, rather than a link cut from
// the bytes after the marker's start.
TEST_P(SearchEngineTest, NextPageMarkerWithoutItsLinkOpenerYieldsNothing) {
  const EngineSample& e = GetParam();
  const char* foreign = e.sourceId == 2 ? "*" : "<b>";
  EXPECT_EQ(ParseAs(kWeb2, std::string(e.nextLink) + foreign + e.nextMarker),
            std::vector<std::string>{});
}

TEST_P(SearchEngineTest, ResultPageMarkersOnAWeb1ItemYieldNothing) {
  const EngineSample& e = GetParam();
  EXPECT_EQ(ParseAs(kWeb1, std::string(e.result) + e.nextLink + e.nextMarker),
            std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Engines, SearchEngineTest, ::testing::ValuesIn(kEngines),
    [](const ::testing::TestParamInfo<EngineSample>& p) {
      return std::string(p.param.name);
    });

const char kZhongsouPage[] = "http://image.zhongsou.com/i?w=car";

std::string ZhongsouOccurrences(int count) {
  std::string page;
  for (int i = 1; i <= count; ++i) {
    page += "<a href=\"v?w=car&i1=http://x.example.com/z" +
            std::to_string(i) + ".jpg&t=1\">";
  }
  return page;
}

TEST(SearchPassOverEven, ZhongsouTakesOddOccurrencesWithALaterTwin) {
  auto pic = [](int i) {
    return Line("PIC", "http://x.example.com/z" + std::to_string(i) + ".jpg",
                kZhongsouPage);
  };
  const struct {
    int occurrences;
    std::vector<std::string> expected;
  } cases[] = {
      {5, {pic(1), pic(3)}},
      {4, {pic(1), pic(3)}},
      {2, {pic(1)}},
      {1, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParsePage(13, kWeb2, kZhongsouPage,
                        ZhongsouOccurrences(c.occurrences)),
              c.expected)
        << c.occurrences << " occurrences";
  }
}

TEST(SearchPassOverEven, IaskUsesShowpicThroughoutWhenThePageHasIt) {
  const std::string page = "http://p.iask.com/p?k=car";
  const std::string zsou = "<a href=\"showzsou.php?id=1\">";
  const std::string pic = "<a href=\"showpic.php?id=2\">";
  EXPECT_EQ(ParsePage(12, kWeb2, page, zsou + zsou + pic + pic),
            std::vector<std::string>{
                Line("WEB1", "http://p.iask.com/showpic.php?id=2", page)});
  EXPECT_EQ(ParsePage(12, kWeb2, page, zsou + zsou + zsou),
            std::vector<std::string>{
                Line("WEB1", "http://p.iask.com/showzsou.php?id=1", page)});
}

// Yahoo puts "http://" (7 bytes) before each value.
const char kYahooPage[] = "http://images.search.yahoo.com/search/images?p=car";

TEST(SearchLimits, ValueOf1024BytesWithItsPrefixIsTaken) {
  std::string value = "x.example.com/" + std::string(1024 - 7 - 14, 'a');
  std::vector<std::string> lines =
      ParsePage(2, kWeb2, kYahooPage, "&imgurl=" + value + "&rurl=z");
  EXPECT_EQ(lines, std::vector<std::string>{
                       Line("PIC", "http://" + value, kYahooPage)});
  EXPECT_EQ(value.size() + 7, 1024u);
}

TEST(SearchLimits, RefusedValueEndsResultsAndNextPageSearchStartsThere) {
  // 1018 bytes + "http://" = 1025: refused. The next-page link that the
  // search then finds starts inside that value, after its "*-".
  std::string value = "*-http://n.example.com/" + std::string(1018 - 23, 'b');
  ASSERT_EQ(value.size(), 1018u);
  std::string page = "&imgurl=" + value + "&\">Next</a>";
  EXPECT_EQ(ParsePage(2, kWeb2, kYahooPage, page),
            std::vector<std::string>{
                Line("WEB2", value.substr(2) + "&", kYahooPage)});
}

TEST(SearchLimits, ResultsAfterARefusedValueAreNotTaken) {
  const std::string googlePage = "http://images.google.com/images?q=car";
  std::string page = "<a href=/imgres?imgurl=" + std::string(1025, 'c') +
                     "&h=1><a href=/imgres?imgurl=http://x.example.com/l.jpg"
                     "&h=1><a href=/images?q=car&start=20>"
                     "<img src=/nav_next.gif>";
  EXPECT_EQ(ParsePage(1, kWeb2, googlePage, page),
            std::vector<std::string>{Line(
                "WEB2", "http://images.google.com/images?q=car&start=20",
                googlePage)});
}

TEST(SearchLimits, NextPageLinkOf1024BytesWithItsPrefixIsTheLongestTaken) {
  // Google's next-page prefix "http://images.google.com" has 24 bytes.
  const std::string googlePage = "http://images.google.com/images?q=car";
  for (size_t total : {1024u, 1025u}) {
    std::string link = "/images?q=" + std::string(total - 24 - 10, 'q');
    std::vector<std::string> lines = ParsePage(
        1, kWeb2, googlePage, "<a href=" + link + "><img src=/nav_next.gif>");
    if (total == 1024) {
      EXPECT_EQ(lines, std::vector<std::string>{Line(
                           "WEB2", "http://images.google.com" + link,
                           googlePage)});
    } else {
      EXPECT_EQ(lines, std::vector<std::string>{});
    }
  }
}

TEST(SearchCleanUp, YahooChinaLineBreaksBecomeSpacesAndEndsAreTrimmed) {
  const std::string page = "http://image.cn.yahoo.com/search?p=car";
  EXPECT_EQ(
      ParsePage(15, kWeb2, page,
                "<input type=\"hidden\" name=\"imgurl\" value=\"\n "
                "http://x.example.cn/a\nb.jpg \n\">"),
      std::vector<std::string>{
          Line("PIC", "http://x.example.cn/a b.jpg", page)});
}

TEST(SearchCleanUp, SogouNextPageLinkLosesItsLineFeeds) {
  const std::string page = "http://pic.sogou.com/pics/pics?query=car";
  EXPECT_EQ(ParsePage(14, kWeb2, page,
                      "<a id=sogou_next href=\"\npics?query=\ncar&amp;page=3\n"
                      "\" ><span style=font-size:14px>" NEXT_PAGE
                      "</span></a>"),
            std::vector<std::string>{Line(
                "WEB2", "http://pic.sogou.com/pics/pics?query=car&page=3",
                page)});
}

TEST(SearchPictureFormats, FlagsDecideJpgAndGifPngAndBmpNeverQueued) {
  const std::string page = "http://images.google.com/images?q=car";
  const struct {
    const char* url;
    uint32_t jpgLarge, jpgSmall, gif;
    bool queued;
  } cases[] = {
      {"http://x.example.com/a.jpg", 1, 1, 1, true},
      {"http://x.example.com/a.JPG", 0, 1, 0, true},
      {"http://x.example.com/a.jpg", 0, 0, 1, false},
      {"http://x.example.com/a.gif", 0, 0, 1, true},
      {"http://x.example.com/a.gif", 1, 1, 0, false},
      {"http://x.example.com/a.png", 1, 1, 1, false},
      {"http://x.example.com/a.bmp", 1, 1, 1, false},
      {"http://x.example.com/picture", 0, 0, 0, true},
  };
  for (const auto& c : cases) {
    PageRun run(1);
    run.info.jpgLarge = c.jpgLarge;
    run.info.jpgSmall = c.jpgSmall;
    run.info.gif = c.gif;
    std::vector<std::string> expected;
    if (c.queued) expected.push_back(Line("PIC", c.url, page));
    EXPECT_EQ(ParsePage(run, kWeb2, page,
                        std::string("<a href=/imgres?imgurl=") + c.url +
                            "&h=1>"),
              expected)
        << c.url << " " << c.jpgLarge << c.jpgSmall << c.gif;
  }
}

TEST(SearchDetailPages, YieldAtMostOneWantedPictureOfBoundedLength) {
  const std::string iask = "http://p.iask.com/showpic.php?id=1";
  const std::string sogou = "http://pic.sogou.com/pics/detail.jsp?id=1";
  const std::string sogouImg = "<img id=image_right name=\"rimage\" src=";
  const std::string fitting = "http://x.example.com/" + std::string(1003, 'd');
  const std::string tooLong = fitting + "d";
  ASSERT_EQ(tooLong.size(), 1025u);
  const struct {
    uint32_t sourceId;
    const std::string& pageUrl;
    std::string text;
    std::vector<std::string> expected;
  } cases[] = {
      {12, iask, "&bigpic=http://x.example.com/1.png&refurl=", {}},
      {12, iask, "&bigpic=http://x.example.com/1.jpg", {}},
      {12, iask, "&bigpic=" + tooLong + "&refurl=", {}},
      {12, iask, "&bigpic=" + fitting + "&refurl=",
       {Line("PIC", fitting, iask)}},
      {14, sogou, sogouImg + "http://x.example.com/2.gif alt=x",
       {Line("PIC", "http://x.example.com/2.gif", sogou)}},
      {14, sogou, sogouImg + "http://x.example.com/2.gif", {}},
      {1, iask, "&bigpic=http://x.example.com/1.jpg&refurl=", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParsePage(c.sourceId, kWeb1, c.pageUrl, c.text), c.expected)
        << c.text.substr(0, 60);
  }
}

#undef NEXT_PAGE

}  // namespace
}  // namespace harvio
