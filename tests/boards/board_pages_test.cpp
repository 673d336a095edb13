// Every board of the catalog, one list page and one thread page each,
// written from the boards' markers (tests/data/boards/cases.txt); then the
// limits of the board skeleton on pages built here: title and URL lengths at
// their boundaries, and the form value that a POST body cannot carry.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/boards/board_files.h"
#include "tests/search/sample_pages.h"
#include "tests/sources/page_run.h"

namespace harvio::test {
namespace {

// Each page admits exactly its expected items in order. Whatever a server
// sends, a parser stays inside the page: every page cut short at every
// length, and with NUL bytes in place of its line feeds, parses without
// touching bytes outside it (a sanitizer build checks this; the page buffer
// has exactly the page's size).
TEST(BoardPages, QueueExactlyTheExpectedItemsAndStayInsideCutPages) {
  for (const SamplePage& c : LoadSamplePages("boards")) {
    EXPECT_EQ(BoardLines(c.sourceId, c.kind, c.url, c.Html(), c.title),
              c.Expected())
        << c.name;
    std::string page = Gbk(c.Html());
    std::string nulled = page;
    std::replace(nulled.begin(), nulled.end(), '\n', '\0');
    PageRun run(c.sourceId);
    run.Run(c.kind, c.url.c_str(), nulled);
    for (size_t length = 0; length < page.size(); ++length) {
      PageRun cut(c.sourceId);
      cut.Run(c.kind, c.url.c_str(), page.substr(0, length));
    }
  }
}

std::string Line(const char* queue, const std::string& url,
                 const std::string& title, const std::string& referer,
                 bool checkDuplicate) {
  return std::string(queue) + "\t" + url + "\t" + title + "\t" + referer +
         "\t" + (checkDuplicate ? "on" : "off") + "\tadmitted\n";
}

// 百度贴吧, the board the skeleton is described on.
const std::string kTiebaRoot = "http://post.baidu.com";
const std::string kTiebaPage = kTiebaRoot + "/f?kw=meinv";
const std::string kTiebaNextPage =
    "<a href=/f?kw=meinv&pn=50><font>下一页</font></a>\n";

std::string TiebaRow(const std::string& link, const std::string& title,
                     const std::string& hits = "500") {
  return "<tr><td align=\"left\" class=\"d\">&nbsp;&nbsp;" + hits + "</td>"
         "<td><a class=t href=\"" +
         link + "\" target=_blank > " + title + "</a></td></tr>\n";
}

std::string TiebaLine(const std::string& link, const std::string& title) {
  return link.rfind("/f?kz=", 0) == 0
             ? Line("WEB1", kTiebaRoot + link, title, kTiebaPage, true)
             : Line("WEB2", kTiebaRoot + link, "", kTiebaPage, false);
}

TEST(BoardLimits, TitlesOver127AndLinksOver1024SkipRowsNotPaging) {
  // A title of 128 bytes skips only its row; a link of 1025 (the site root
  // counts) ends the rows.
  std::string fits = "/f?kz=" + std::string(1024 - kTiebaRoot.size() - 6, '1');
  std::string page = TiebaRow("/f?kz=1", std::string(128, 'T')) +
                     TiebaRow("/f?kz=2", std::string(127, 'U')) +
                     TiebaRow("/f?kz=3", "下一行") + TiebaRow(fits, "fits") +
                     TiebaRow(fits + "2", "over") +
                     TiebaRow("/f?kz=5", "after") + kTiebaNextPage;
  EXPECT_EQ(BoardLines(21, kWeb2, kTiebaPage, page),
            TiebaLine("/f?kz=2", std::string(127, 'U')) +
                TiebaLine("/f?kz=3", "下一行") + TiebaLine(fits, "fits") +
                TiebaLine("/f?kw=meinv&pn=50", ""));
}

// 99 hits stay below the crawl; counts too large for 32 bits are still large.
TEST(BoardLimits, HitCountsAtTheThresholdAndBeyond32Bits) {
  std::string page = TiebaRow("/f?kz=1", "a", "99") +
                     TiebaRow("/f?kz=2", "b", "100") +
                     TiebaRow("/f?kz=3", "c", "4294967296") + kTiebaNextPage;
  EXPECT_EQ(BoardLines(21, kWeb2, kTiebaPage, page),
            TiebaLine("/f?kz=2", "b") + TiebaLine("/f?kz=3", "c") +
                TiebaLine("/f?kw=meinv&pn=50", ""));
}

TEST(BoardLimits, PictureOf1024IsTakenAnd1025EndsTheScan) {
  const std::string root = "http://www.meitu8.com/";
  const std::string thread = root + "read.php?tid=1";
  auto picture = [&](size_t length) {
    return root + std::string(length - root.size() - 4, 'p') + ".jpg";
  };
  auto call = [](const std::string& url) {
    return "<img onclick=\"window.open('" + url + "')\">\n";
  };
  std::string page =
      call(picture(1024)) + call(picture(1025)) + call(root + "after.jpg");
  EXPECT_EQ(BoardLines(101, kWeb1, thread, page, "标题"),
            Line("PIC", picture(1024), "标题", thread, true));
}

// 西陆社区: the note number travels in a POST body with room for 55 bytes
// of it. A longer value cannot be sent, so that next page is left; the rows
// of the page are read all the same.
TEST(BoardLimits, XiluNextPageOnlyWhenThePostBodyCanHoldItsValue) {
  const std::string host = "http://club.xilu.com";
  const std::string listPage = host + "/index/pastime.html";
  for (size_t length : {55u, 56u}) {
    std::string value = "2" + std::string(length - 1, 'x');
    std::string page =
        "<FORM action=/cgi-bin/bbs/index?forum=pastime&style=b method=post "
        "name=indexform>\n<INPUT type=hidden name=notenum value=" +
        value +
        ">\n</FORM>\n<script>printindex('class=tt','0','1','2','3','pastime',"
        "'7001','7','美眉','9','10','11','12','350','14');</script>\n";
    std::string thread =
        Line("WEB1", host + "/cgi-bin/bbs/view?forum=pastime&message=7001",
             "美眉", listPage, true);
    std::string next =
        Line("WEB2", host + "/cgi-bin/bbs/index?forum=pastime&style=b*" + value,
             "", listPage, false);
    EXPECT_EQ(BoardLines(45, kWeb2, listPage, page),
              length == 55 ? next + thread : thread);
  }
}

}  // namespace
}  // namespace harvio::test
