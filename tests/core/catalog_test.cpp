#include "sources/catalog.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/core/gbk.h"

namespace harvio {
namespace {

using testing::Gbk;

TaskInfo Keyword(uint32_t sourceId, const std::string& keyword,
                 uint32_t option = 0) {
  TaskInfo info{};
  info.sourceId = sourceId;
  std::strcpy(info.keyword, keyword.c_str());
  info.sizeOption = option;
  return info;
}

std::string Url(const TaskInfo& info) {
  StartUrl start;
  EXPECT_TRUE(BuildStartUrl(info, &start));
  return start.url;
}

std::string Path(const TaskInfo& info) {
  std::string url = Url(info);
  return url.substr(url.find('/', 7));
}

TEST(CatalogTree, LevelsParentsAndPaths) {
  std::vector<CatalogEntry> tree = LoadSourceTree();
  ASSERT_EQ(tree.size(), 125u);
  EXPECT_EQ(tree[0].name, "Harvio");
  EXPECT_EQ(tree[0].parent, -1);
  int google = FindCatalogEntry(tree, 1);
  ASSERT_GE(google, 0);
  EXPECT_EQ(BuildCatalogPath(tree, google),
            Gbk("Harvio->搜索引擎->Google Image(中英文)"));
  int folder = FindCatalogEntry(tree, 41) - 1;  // 西陆社区
  EXPECT_EQ(BuildCatalogPath(tree, folder),
            Gbk("Harvio->贴图论坛->西陆社区->继续选择"));
  EXPECT_EQ(BuildCatalogPath(tree, FindCatalogEntry(tree, 135)),
            Gbk("Harvio->贴图论坛->天涯社区->天涯摄影->微距"));
  EXPECT_EQ(FindCatalogEntry(tree, 160), -1);
  int sources = 0;
  for (const CatalogEntry& e : tree) {
    if (e.sourceId != 0) ++sources;
    if (e.parent >= 0) {
      EXPECT_EQ(tree[e.parent].level + 1, e.level);
    }
  }
  EXPECT_EQ(sources, 8 + 2 + 95 + 3);
}

TEST(StartUrls, SearchEnginesEncodeOnlyWhereAsked) {
  std::string scenery = Gbk("风景");
  ASSERT_EQ(scenery, "\xB7\xE7\xBE\xB0");
  EXPECT_EQ(Url(Keyword(1, scenery)),
            "http://images.google.com/images?q=%E9%A3%8E%E6%99%AF&ie=utf-8");
  EXPECT_EQ(Path(Keyword(1, scenery, 1)),
            "/images?q=%E9%A3%8E%E6%99%AF&ie=utf-8&imgsz=xxlarge");
  EXPECT_EQ(Path(Keyword(2, "red+car", 4)),
            "/search/images?p=red+car&ei=utf-8&imgsz=small");
  EXPECT_EQ(Path(Keyword(3, "a", 2)), "/images/results.aspx?q=a&size=50t400");
  EXPECT_EQ(Path(Keyword(11, scenery)),
            "/i?ct=201326592&lm=-1&word=\xB7\xE7\xBE\xB0&z=0");
  EXPECT_EQ(Path(Keyword(12, "a", 3)), "/p?k=a");
  EXPECT_EQ(Path(Keyword(13, "a")), "/i?w=a");
  EXPECT_EQ(Path(Keyword(14, "a")), "/pics/pics?query=a&mode=1");
  EXPECT_EQ(Path(Keyword(15, "a", 6)), "/search?p=a&miw=small");
  EXPECT_EQ(Path(Keyword(15, "a", 7)), "/search?p=a");  // outside the list
}

TEST(StartUrls, PercentSignEscapedOnlyInUtf8) {
  EXPECT_EQ(Path(Keyword(1, "50%")), "/images?q=50%25&ie=utf-8");
  EXPECT_EQ(Path(Keyword(14, "50%")), "/pics/pics?query=50%&mode=1");
  std::string encoded;
  EXPECT_TRUE(EncodeKeywordUtf8("a+b&c=d#", &encoded));
  EXPECT_EQ(encoded, "a+b&c=d#");
  // Not GBK: sent as stored, without the encoding marker.
  EXPECT_FALSE(EncodeKeywordUtf8("\xFF\xFF", &encoded));
  EXPECT_EQ(Path(Keyword(1, "\xFF\xFF")), "/images?q=\xFF\xFF");
}

TEST(StartUrls, KeywordForumsByOption) {
  EXPECT_EQ(Url(Keyword(21, "redcar")), "http://post.baidu.com/f?kw=redcar");
  EXPECT_EQ(Path(Keyword(21, "x", 5)),
            "/f?ct=318767104&tn=baiduKeywordSearch&lm=4&word=x");
  EXPECT_EQ(Path(Keyword(22, "x", 1)), "/say?md=listEliteTopics&name=x");
  EXPECT_EQ(Path(Keyword(22, "x")), "/say?md=listTopics&name=x");
}

TEST(StartUrls, EveryBoardHasOneAndOnlyMopCarriesAReferer) {
  std::vector<CatalogEntry> tree = LoadSourceTree();
  for (const CatalogEntry& e : tree) {
    if (e.sourceId < 31 || e.sourceId > 153) continue;
    StartUrl start;
    ASSERT_TRUE(BuildStartUrl(Keyword(e.sourceId, ""), &start)) << e.sourceId;
    EXPECT_TRUE(IsValidUrl(start.url.c_str())) << e.sourceId;
    EXPECT_EQ(!start.referer.empty(), e.sourceId >= 141) << e.sourceId;
  }
  StartUrl start;
  EXPECT_FALSE(BuildStartUrl(Keyword(161, ""), &start));
  EXPECT_FALSE(BuildStartUrl(Keyword(0, ""), &start));
  EXPECT_FALSE(BuildStartUrl(Keyword(37, ""), &start));
}

TEST(StartUrls, BoardSamples) {
  EXPECT_EQ(Url(Keyword(31, "")), "http://bbs.voc.com.cn/list2.asp?boardid=50");
  EXPECT_EQ(Path(Keyword(45, "")), "/index/pastime.html");
  EXPECT_EQ(Url(Keyword(64, "")),
            "http://bbs.tech.tom.com/forum/list_thread.php?forumid=66");
  EXPECT_EQ(Path(Keyword(79, "")), "/cgi-bin/bbs/show/title?groupid=142:10422");
  EXPECT_EQ(Path(Keyword(111, "")),
            "/new/publicforum/articleslist.asp?stritem=no04");
  EXPECT_EQ(Path(Keyword(113, "")),
            "/new/publicforum/articleslist.asp?stritem=no04&strSubItem=" +
                Gbk("风景"));
  EXPECT_EQ(Path(Keyword(122, "")),
            "/new/publicforum/articleslist.asp?stritem=tianyamyself");
  EXPECT_EQ(Path(Keyword(127, "")),
            "/new/Publicforum/ArticlesList.asp?strItem=tianyaphoto");
  EXPECT_EQ(Path(Keyword(135, "")),
            "/new/Publicforum/ArticlesList.asp?strItem=tianyaphoto"
            "&strSubItem=" +
                Gbk("微距"));
  StartUrl mop;
  BuildStartUrl(Keyword(142, ""), &mop);
  EXPECT_EQ(mop.url, "http://club.mop.com/club/list.jsp?ck=plmm");
  EXPECT_EQ(mop.referer, "http://club.mop.com/club/menu.jsp");
}

TEST(StartUrls, AddStartUrlAdmitsIntoWeb2WithReferer) {
  UrlQueue web2;
  EXPECT_EQ(AddStartUrl(web2, Keyword(150, "")), AddResult::kAdmitted);
  EXPECT_EQ(AddStartUrl(web2, Keyword(150, "")), AddResult::kAdmitted);
  EXPECT_EQ(web2.Count(), 2u);  // no duplicate check
  web2.ForEachHeadToTail([](const UrlItem& i) {
    EXPECT_STREQ(i.referer, "http://club.mop.com/club/menu.jsp");
    EXPECT_STREQ(i.title, "");
  });
}

}  // namespace
}  // namespace harvio
