// Every board of the catalog, one list page and one thread page each, written
// from the boards' markers. Each case names the page, the item it came from
// and the file holding the complete list of admissions expected, in order:
// queue, URL, title, referer, duplicate check, and what the real queue said.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/boards/board_files.h"

namespace harvio::test {
namespace {

struct BoardCase {
  const char* name;  // also the .html and .expected file names
  const char* page;  // when another case's page is read from another URL
  uint32_t source;
  ItemKind kind;
  const char* url;
  const char* title;
};

const BoardCase kCases[] = {
    {"baidu_tieba_list", nullptr, 21, kWeb2, "http://post.baidu.com/f?kw=meinv",
     ""},
    {"baidu_tieba_thread", nullptr, 21, kWeb1,
     "http://post.baidu.com/f?kz=1001", "海边日落"},
    {"sogou_shuoba_list", nullptr, 22, kWeb2,
     "http://shuoba.sogou.com/say?md=listTopics&name=meinv", ""},
    {"sogou_shuoba_thread", nullptr, 22, kWeb1,
     "http://shuoba.sogou.com/say?md=topic&id=11", "春天的花"},
    {"voc_list", nullptr, 31, kWeb2,
     "http://bbs.voc.com.cn/list2.asp?boardid=50", ""},
    {"voc_thread", nullptr, 31, kWeb1,
     "http://bbs.voc.com.cn/topic-50-101-1.html", "美女 贴图"},
    // A list page fetched by POST: the referer drops the form value.
    {"xilu_list", nullptr, 45, kWeb2,
     "http://club.xilu.com/cgi-bin/bbs/index?forum=pastime&style=b*3", ""},
    {"xilu_list_last", nullptr, 45, kWeb2,
     "http://club.xilu.com/cgi-bin/bbs/index?forum=pastime&style=b*2", ""},
    {"xilu_thread", nullptr, 45, kWeb1,
     "http://club.xilu.com/cgi-bin/bbs/view?forum=pastime&message=7001",
     "美眉 集中营"},
    // A technology board: links stay on the host of the page.
    {"tom_list", nullptr, 64, kWeb2,
     "http://bbs.tech.tom.com/forum/list_thread.php?forumid=66", ""},
    {"tom_thread", nullptr, 64, kWeb1,
     "http://bbs.tech.tom.com/forum/view_thread.php?forumid=66&threadid=501",
     "我行我摄 作品"},
    {"qq_list", nullptr, 71, kWeb2,
     "http://bbs.qq.com/cgi-bin/bbs/show/title?groupid=128:10115", ""},
    {"qq_thread", nullptr, 71, kWeb1,
     "http://bbs.qq.com/cgi-bin/bbs/show/"
     "content?groupid=128:10115&messageid=5001",
     "视频 贴图"},
    {"sohu_list", nullptr, 81, kWeb2,
     "http://club.yule.sohu.com/list-myphoto-0-0.html", ""},
    {"sohu_thread", nullptr, 81, kWeb1,
     "http://club.yule.sohu.com/r-myphoto-1001-0-0-0.html", "我的照片"},
    {"sohu_script", nullptr, 81, kWeb1,
     "http://club.yule.sohu.com/c/myphoto/1001/1.js", "我的照片"},
    {"ximanni_list", nullptr, 91, kWeb2,
     "http://bbs.ximanni.com/cgi-bin/topic?f=8", ""},
    {"ximanni_thread", nullptr, 91, kWeb1,
     "http://bbs.ximanni.com/cgi-bin/read?f=8&t=301", "美媚 图秀"},
    {"meitu_list", nullptr, 101, kWeb2,
     "http://www.meitu8.com/thread.php?fid=10", ""},
    {"meitu_thread", nullptr, 101, kWeb1,
     "http://www.meitu8.com/read.php?tid=7001", "亚洲 唯美"},
    {"tianya_list_new", nullptr, 111, kWeb2,
     "http://www.tianyaclub.com/new/publicforum/"
     "articleslist.asp?stritem=no04",
     ""},
    {"tianya_list_old", nullptr, 127, kWeb2,
     "http://www.tianyaclub.com/new/Publicforum/"
     "ArticlesList.asp?strItem=tianyaphoto",
     ""},
    {"tianya_thread", nullptr, 111, kWeb1,
     "http://www.tianyaclub.com/publicforum/Content/no04/1/2001.shtml",
     "新版 帖子"},
    {"mop_list", nullptr, 142, kWeb2,
     "http://club.mop.com/club/list.jsp?ck=plmm", ""},
    // The page number replaces everything from the first "&page=" on.
    {"mop_list_paged", "mop_list", 142, kWeb2,
     "http://club.mop.com/club/list.jsp?ck=plmm&page=3&order=hot", ""},
    {"mop_thread", nullptr, 142, kWeb1,
     "http://club.mop.com/club/view.jsp?id=9001", "漂亮 MM"},
};

void PrintTo(const BoardCase& c, std::ostream* os) { *os << c.name; }

class BoardPageTest : public testing::TestWithParam<BoardCase> {};

TEST_P(BoardPageTest, QueuesExactlyTheExpectedItems) {
  const BoardCase& c = GetParam();
  std::string page =
      ReadBoardFile(std::string(c.page ? c.page : c.name) + ".html");
  BoardRun board(c.source);
  EXPECT_EQ(board.Lines(c.kind, c.url, page, c.title),
            ReadBoardFile(std::string(c.name) + ".expected"));
}

INSTANTIATE_TEST_SUITE_P(Boards, BoardPageTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<BoardCase>& info) {
                           return std::string(info.param.name);
                         });

// Whatever a server sends, a parser stays inside the page: every sample page
// cut short at every length, and with NUL bytes in place of its line feeds,
// parses without touching bytes outside it (a sanitizer build checks this;
// the page buffer has exactly the page's size).
TEST(BoardPageSafety, CutAndNulFilledPagesStayInside) {
  for (const BoardCase& c : kCases) {
    std::string page =
        Gbk(ReadBoardFile(std::string(c.page ? c.page : c.name) + ".html"));
    std::string nulled = page;
    for (char& ch : nulled) {
      if (ch == '\n') ch = '\0';
    }
    for (size_t length = 0; length <= page.size(); ++length) {
      PageRun run(c.source);
      run.Run(c.kind, c.url, page.substr(0, length));
    }
    PageRun run(c.source);
    run.Run(c.kind, c.url, nulled);
  }
}

}  // namespace
}  // namespace harvio::test
