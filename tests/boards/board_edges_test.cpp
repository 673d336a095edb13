// Limits of the board skeleton, on pages built here: title and URL lengths
// at their boundaries, and the form value that a POST body cannot carry.
#include <gtest/gtest.h>

#include <string>

#include "tests/boards/board_files.h"

namespace harvio::test {
namespace {

std::string Line(const char* queue, const std::string& url,
                 const std::string& title, const std::string& referer,
                 bool checkDuplicate) {
  return std::string(queue) + "\t" + url + "\t" + title + "\t" + referer +
         "\t" + (checkDuplicate ? "on" : "off") + "\tadmitted\n";
}

// 百度贴吧, the board the skeleton is described on.
const std::string kTiebaRoot = "http://post.baidu.com";
const std::string kTiebaPage = kTiebaRoot + "/f?kw=meinv";
const std::string kTiebaNextLink =
    "<a href=/f?kw=meinv&pn=50><font>下一页</font></a>\n";

std::string TiebaRow(const std::string& link, const std::string& title) {
  return "<tr><td align=\"left\" class=\"d\">&nbsp;&nbsp;500</td>"
         "<td><a class=t href=\"" +
         link + "\" target=_blank > " + title + "</a></td></tr>\n";
}

std::string TiebaNextPage() {
  return Line("WEB2", kTiebaRoot + "/f?kw=meinv&pn=50", "", kTiebaPage, false);
}

TEST(BoardLimits, TitleOf128SkipsOnlyItsRowAnd127IsTaken) {
  std::string page = TiebaRow("/f?kz=1", std::string(128, 'T')) +
                     TiebaRow("/f?kz=2", std::string(127, 'U')) +
                     TiebaRow("/f?kz=3", "下一行") + kTiebaNextLink;
  BoardRun board(21);
  EXPECT_EQ(
      board.Lines(kWeb2, kTiebaPage, page),
      Line("WEB1", kTiebaRoot + "/f?kz=2", std::string(127, 'U'), kTiebaPage,
           true) +
          Line("WEB1", kTiebaRoot + "/f?kz=3", "下一行", kTiebaPage, true) +
          TiebaNextPage());
}

TEST(BoardLimits, LinkOf1024IsTakenAnd1025EndsTheRowsButNotThePaging) {
  // The site root counts towards the limit.
  std::string fits = "/f?kz=" + std::string(1024 - kTiebaRoot.size() - 6, '1');
  std::string over = "/f?kz=" + std::string(1025 - kTiebaRoot.size() - 6, '2');
  std::string page = TiebaRow(fits, "fits") + TiebaRow(over, "over") +
                     TiebaRow("/f?kz=3", "after") + kTiebaNextLink;
  BoardRun board(21);
  EXPECT_EQ(board.Lines(kWeb2, kTiebaPage, page),
            Line("WEB1", kTiebaRoot + fits, "fits", kTiebaPage, true) +
                TiebaNextPage());
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
  BoardRun board(101);
  EXPECT_EQ(board.Lines(kWeb1, thread, page, "标题"),
            Line("PIC", picture(1024), "标题", thread, true));
}

// 西陆社区: the note number travels in a POST body with room for 55 bytes
// of it. A longer value cannot be sent, so that next page is left; the rows
// of the page are read all the same.
struct PostValueCase {
  size_t length;
  bool nextPageQueued;
};

class XiluPostValue : public testing::TestWithParam<PostValueCase> {};

TEST_P(XiluPostValue, NextPageOnlyWhenTheBodyCanHoldIt) {
  const std::string host = "http://club.xilu.com";
  const std::string listPage = host + "/index/pastime.html";
  std::string value = "2" + std::string(GetParam().length - 1, 'x');
  std::string page =
      "<FORM action=/cgi-bin/bbs/index?forum=pastime&style=b method=post "
      "name=indexform>\n<INPUT type=hidden name=notenum value=" +
      value +
      ">\n</FORM>\n<script>printindex('class=tt','0','1','2','3','pastime',"
      "'7001','7','美眉','9','10','11','12','350','14');</script>\n";
  std::string expected;
  if (GetParam().nextPageQueued) {
    expected =
        Line("WEB2", host + "/cgi-bin/bbs/index?forum=pastime&style=b*" + value,
             "", listPage, false);
  }
  expected +=
      Line("WEB1", host + "/cgi-bin/bbs/view?forum=pastime&message=7001",
           "美眉", listPage, true);
  BoardRun board(45);
  EXPECT_EQ(board.Lines(kWeb2, listPage, page), expected);
}

INSTANTIATE_TEST_SUITE_P(Lengths, XiluPostValue,
                         testing::Values(PostValueCase{55, true},
                                         PostValueCase{56, false}));

}  // namespace
}  // namespace harvio::test
