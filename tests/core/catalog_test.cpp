#include "sources/catalog.h"

#include <gtest/gtest.h>

#include "tests/core/fixtures.h"
#include "tests/platform/case_files.h"

namespace harvio {
namespace {

using testing::Gbk;
using testing::InfoOf;

std::string Url(const TaskInfo& info) {
  StartUrl start;
  EXPECT_TRUE(BuildStartUrl(info, &start));
  return start.url;
}

std::string Path(const TaskInfo& info) {
  std::string url = Url(info);
  return url.substr(url.find('/', 7));
}

// A search engine's path is in the task list row of cli_tasks_test.sh.
TEST(CatalogTree, LevelsParentsAndPaths) {
  std::vector<CatalogEntry> tree = LoadSourceTree();
  ASSERT_EQ(tree.size(), 125u);
  EXPECT_EQ(tree[0].name, "Harvio");
  EXPECT_EQ(tree[0].parent, -1);
  int folder = FindCatalogEntry(tree, 41) - 1;  // 西陆社区
  EXPECT_EQ(BuildCatalogPath(tree, folder),
            Gbk("Harvio->贴图论坛->西陆社区->继续选择"));
  EXPECT_EQ(BuildCatalogPath(tree, FindCatalogEntry(tree, 135)),
            Gbk("Harvio->贴图论坛->天涯社区->天涯摄影->微距"));
  EXPECT_EQ(FindCatalogEntry(tree, 160), -1);
  for (const CatalogEntry& e : tree) {
    EXPECT_TRUE(e.parent < 0 || tree[e.parent].level + 1 == e.level) << e.name;
  }
}

// The cases of tests/data/core/start_urls.txt.
TEST(StartUrls, AsListed) {
  auto info = [](const testing::Fields& f) {
    TaskInfo info = InfoOf(std::stoul(f[0]), f[2].c_str());
    info.sizeOption = std::stoul(f[1]);
    return info;
  };
  testing::CheckCaseFile("core/start_urls.txt", {
      {"url", {3, [&](const testing::Fields& f) { return Url(info(f)); }}},
      {"path", {3, [&](const testing::Fields& f) { return Path(info(f)); }}},
  });
}

TEST(StartUrls, KeywordThatIsNotGbkIsSentAsStored) {
  std::string encoded;
  EXPECT_TRUE(EncodeKeywordUtf8("a+b&c=d#", &encoded));
  EXPECT_EQ(encoded, "a+b&c=d#");
  EXPECT_FALSE(EncodeKeywordUtf8("\xFF\xFF", &encoded));
  EXPECT_EQ(Path(InfoOf(1, "\xFF\xFF")), "/images?q=\xFF\xFF");
}

// The referer of the boards that need one goes with the start URL, which
// is admitted into WEB2 without a duplicate check.
TEST(StartUrls, EveryBoardHasOneAndOnlyMopCarriesAReferer) {
  std::vector<CatalogEntry> tree = LoadSourceTree();
  for (const CatalogEntry& e : tree) {
    if (e.sourceId < 31 || e.sourceId > 153) continue;
    StartUrl start;
    ASSERT_TRUE(BuildStartUrl(InfoOf(e.sourceId), &start)) << e.sourceId;
    EXPECT_TRUE(IsValidUrl(start.url.c_str())) << e.sourceId;
    EXPECT_EQ(!start.referer.empty(), e.sourceId >= 141) << e.sourceId;
  }
  StartUrl start;
  EXPECT_FALSE(BuildStartUrl(InfoOf(161), &start));
  EXPECT_FALSE(BuildStartUrl(InfoOf(0), &start));
  EXPECT_FALSE(BuildStartUrl(InfoOf(37), &start));
  UrlQueue web2;
  EXPECT_EQ(AddStartUrl(web2, InfoOf(150)), AddResult::kAdmitted);
  EXPECT_EQ(AddStartUrl(web2, InfoOf(150)), AddResult::kAdmitted);
  web2.ForEachHeadToTail([](const UrlItem& i) {
    EXPECT_STREQ(i.referer, "http://club.mop.com/club/menu.jsp");
    EXPECT_STREQ(i.title, "");
  });
}

}  // namespace
}  // namespace harvio
