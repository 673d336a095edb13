// The search-engine parsers, driven through DispatchPage with real queues.
// Every admission is recorded by an AddUrlTrace and written as one line
// "queue<TAB>url<TAB>referer<TAB>nodup|dup", the same form as the .expected
// files beside the sample pages in tests/data/search.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/url_queue.h"
#include "sources/page_dispatch.h"

namespace harvio {
namespace {

const char* QueueName(ItemKind kind) {
  static const char* const kNames[] = {"WEB2", "WEB1", "PIC"};
  return kind < kNoKind ? kNames[kind] : "?";
}

std::string Line(const char* queue, const std::string& url,
                 const std::string& referer) {
  return std::string(queue) + "\t" + url + "\t" + referer + "\tnodup";
}

class Recorder : public AddUrlTrace {
 public:
  void OnAddUrl(ItemKind queue, const char* url, const char* title,
                const char* referer, bool checkDuplicate,
                AddResult result) override {
    EXPECT_STREQ(title, "") << url;
    lines.push_back(std::string(QueueName(queue)) + "\t" + url + "\t" +
                    referer + (checkDuplicate ? "\tdup" : "\tnodup"));
    if (result == AddResult::kAdmitted) ++admitted[queue];
  }
  std::vector<std::string> lines;
  uint32_t admitted[3] = {0, 0, 0};
};

// One parse of one page: a fresh task's queues, the picture-format flags of
// a new search task, and the page in a buffer of exactly its size, so that a
// sanitizer build notices any access past the terminating zero.
struct PageRun {
  PageRun(uint32_t sourceId, ItemKind kind, const std::string& pageUrl,
          const std::string& text) {
    info.sourceId = sourceId;
    info.jpgLarge = info.jpgSmall = info.gif = 1;
    SetPage(kind, pageUrl, text);
  }

  void SetPage(ItemKind itemKind, const std::string& pageUrl,
               const std::string& text) {
    kind = itemKind;
    const std::string scheme = "http://";
    size_t slash = pageUrl.find('/', scheme.size());
    std::string host = pageUrl.substr(scheme.size(), slash - scheme.size());
    std::string path = pageUrl.substr(slash);
    std::memcpy(item.host, host.c_str(), host.size() + 1);
    std::memcpy(item.path, path.c_str(), path.size() + 1);
    page.assign(text.begin(), text.end());
    page.push_back('\0');
  }

  std::vector<std::string> Parse() {
    PageContext ctx{page.data(), page.data() + page.size() - 1,
                    &item,       kind,
                    {&queues[kWeb2], &queues[kWeb1], &queues[kPic]},
                    &info,       &recorder};
    DispatchPage(ctx);
    for (uint32_t q = kWeb2; q <= kPic; ++q) {
      EXPECT_EQ(queues[q].Count(), recorder.admitted[q]) << QueueName(ItemKind(q));
    }
    return recorder.lines;
  }

  TaskInfo info{};
  UrlItem item{};
  ItemKind kind = kWeb2;
  std::vector<char> page;
  UrlQueue queues[3];
  Recorder recorder;
};

std::string ReadDataFile(const std::string& name) {
  std::ifstream in(std::string(HARVIO_SEARCH_DATA) + "/" + name,
                   std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A sample page and what parsing it must admit. The first line of the
// .expected file names the page: "page<TAB>SourceId<TAB>kind<TAB>URL".
struct SamplePage {
  uint32_t sourceId = 0;
  ItemKind kind = kWeb2;
  std::string url;
  std::string text;
  std::vector<std::string> expected;
};

SamplePage LoadSample(const std::string& name) {
  SamplePage sample;
  sample.text = ReadDataFile(name + ".html");
  std::istringstream expected(ReadDataFile(name + ".expected"));
  std::string header, kindName;
  std::getline(expected, header);
  std::istringstream fields(header);
  std::getline(fields, kindName, '\t');  // "page"
  fields >> sample.sourceId >> kindName >> sample.url;
  sample.kind = kindName == "WEB1" ? kWeb1 : kWeb2;
  for (std::string line; std::getline(expected, line);) {
    sample.expected.push_back(line);
  }
  return sample;
}

const char* const kSamplePages[] = {
    "google", "yahoo",    "msn",   "baidu",       "iask",
    "zhongsou", "sogou", "yahoo_china", "iask_detail", "sogou_detail",
};

class SamplePageTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SamplePageTest, AdmitsExactlyTheExpectedItemsInPageOrder) {
  SamplePage sample = LoadSample(GetParam());
  ASSERT_FALSE(sample.expected.empty());
  PageRun run(sample.sourceId, sample.kind, sample.url, sample.text);
  EXPECT_EQ(run.Parse(), sample.expected);
  EXPECT_EQ(run.recorder.admitted[kWeb2] + run.recorder.admitted[kWeb1] +
                run.recorder.admitted[kPic],
            sample.expected.size())
      << "every sample URL is one the queues accept";
}

// Every prefix of a sample page is a page a server may send; none may lead
// a parser past the page end (checked by the sanitizer build).
TEST_P(SamplePageTest, EveryTruncationStaysInsideThePage) {
  SamplePage sample = LoadSample(GetParam());
  for (size_t length = 0; length <= sample.text.size(); ++length) {
    for (ItemKind kind : {kWeb2, kWeb1}) {
      PageRun run(sample.sourceId, kind, sample.url,
                  sample.text.substr(0, length));
      run.Parse();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, SamplePageTest,
                         ::testing::ValuesIn(kSamplePages));

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

class EngineTest : public ::testing::TestWithParam<EngineSample> {
 protected:
  std::vector<std::string> ParseAs(ItemKind kind, const std::string& text) {
    PageRun run(GetParam().sourceId, kind, GetParam().pageUrl, text);
    return run.Parse();
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

TEST_P(EngineTest, ResultsThenTheNextPage) {
  const EngineSample& e = GetParam();
  std::string page = std::string("<html>") + e.result + "\n" + e.result +
                     "\n" + e.nextLink + e.nextMarker + "</html>";
  EXPECT_EQ(ParseAs(kWeb2, page),
            (std::vector<std::string>{ResultLine(), ResultLine(), NextLine()}));
}

TEST_P(EngineTest, PageWithoutResultsStillYieldsItsNextPage) {
  const EngineSample& e = GetParam();
  EXPECT_EQ(ParseAs(kWeb2, std::string("<p>none</p>") + e.nextLink +
                               e.nextMarker),
            std::vector<std::string>{NextLine()});
}

TEST_P(EngineTest, PageWithoutNextPageMarkerEndsTheCrawl) {
  EXPECT_EQ(ParseAs(kWeb2, std::string(GetParam().result) + "<p>end</p>"),
            std::vector<std::string>{ResultLine()});
}

// The last "<" (Yahoo: "*") before the marker must open the link; when it
// opens something else there is no next page, rather than a link cut from
// the bytes after the marker's start.
TEST_P(EngineTest, NextPageMarkerWithoutItsLinkOpenerYieldsNothing) {
  const EngineSample& e = GetParam();
  const char* foreign = e.sourceId == 2 ? "*" : "<b>";
  EXPECT_EQ(ParseAs(kWeb2, std::string(e.nextLink) + foreign + e.nextMarker),
            std::vector<std::string>{});
}

TEST_P(EngineTest, ResultPageMarkersOnAWeb1ItemYieldNothing) {
  const EngineSample& e = GetParam();
  EXPECT_EQ(ParseAs(kWeb1, std::string(e.result) + e.nextLink + e.nextMarker),
            std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Engines, EngineTest, ::testing::ValuesIn(kEngines),
    [](const ::testing::TestParamInfo<EngineSample>& p) {
      return std::string(p.param.name);
    });

std::vector<std::string> ParsePage(uint32_t sourceId, ItemKind kind,
                                   const std::string& pageUrl,
                                   const std::string& text) {
  PageRun run(sourceId, kind, pageUrl, text);
  return run.Parse();
}

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
                     "&h=1><a href=/images?q=car&start=20><img src=/nav_next.gif>";
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
      std::vector<std::string>{Line("PIC", "http://x.example.cn/a b.jpg", page)});
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
    PageRun run(1, kWeb2, page,
                std::string("<a href=/imgres?imgurl=") + c.url + "&h=1>");
    run.info.jpgLarge = c.jpgLarge;
    run.info.jpgSmall = c.jpgSmall;
    run.info.gif = c.gif;
    std::vector<std::string> expected;
    if (c.queued) expected.push_back(Line("PIC", c.url, page));
    EXPECT_EQ(run.Parse(), expected)
        << c.url << " " << c.jpgLarge << c.jpgSmall << c.gif;
  }
}

TEST(SearchDetailPages, YieldAtMostOneWantedPictureOfBoundedLength) {
  const std::string iask = "http://p.iask.com/showpic.php?id=1";
  const std::string sogou = "http://pic.sogou.com/pics/detail.jsp?id=1";
  const std::string sogouImg = "<img id=image_right name=\"rimage\" src=";
  const std::string longUrl = "http://x.example.com/" + std::string(1004, 'd');
  ASSERT_EQ(longUrl.size(), 1025u);
  const struct {
    uint32_t sourceId;
    const std::string& pageUrl;
    std::string text;
    std::vector<std::string> expected;
  } cases[] = {
      {12, iask, "&bigpic=http://x.example.com/1.png&refurl=", {}},
      {12, iask, "&bigpic=http://x.example.com/1.jpg", {}},
      {12, iask, "&bigpic=" + longUrl + "&refurl=", {}},
      {12, iask, "&bigpic=" + longUrl.substr(1) + "&refurl=",
       {Line("PIC", longUrl.substr(1), iask)}},
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
