#include "sources/new_task.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/save_path.h"
#include "sources/catalog.h"
#include "sources/string_routines.h"
#include "sources/url_batch.h"
#include "tests/core/gbk.h"

namespace harvio {
namespace {

using testing::Gbk;

std::vector<std::string> Urls(UrlQueue& q) {
  std::vector<std::string> urls;
  q.ForEachTailToHead([&](const UrlItem& i) {
    urls.push_back(std::string("http://") + i.host + i.path);
  });
  return urls;
}

// What the keyword and batch tests below do not reach.
TEST(StringRoutines, EditsInPlaceWithinTheirBuffers) {
  char words[64] = " a  b c ";
  CollapseBlanks(words, false);
  EXPECT_STREQ(words, "abc");
  // 0x81 0x7C is one character whose trail byte looks like "|".
  char gbk[64] = "a|\x81\x7C|";
  ReplaceChar(gbk, '|');
  EXPECT_STREQ(gbk, "a \x81\x7C ");
  char star[16] = "n=*;";
  EXPECT_TRUE(SubstituteStar(star, sizeof(star), 256));
  EXPECT_STREQ(star, "n=256;");
  EXPECT_FALSE(SubstituteStar(star, sizeof(star), 1));
  char tight[6] = "ab*";
  EXPECT_FALSE(SubstituteStar(tight, sizeof(tight), 12345));
  EXPECT_STREQ(tight, "ab*");
}

TEST(KeywordRules, JoinedBySourceAndRefusedWhenEmpty) {
  std::string keyword;
  ASSERT_TRUE(NormalizeKeyword(1, "red  sun", &keyword));
  EXPECT_EQ(keyword, "red+sun");
  ASSERT_TRUE(NormalizeKeyword(21, "red  sun", &keyword));
  EXPECT_EQ(keyword, "redsun");
  ASSERT_TRUE(NormalizeKeyword(11, "\tred+car ", &keyword));
  EXPECT_EQ(keyword, "red+car");
  EXPECT_FALSE(NormalizeKeyword(1, " + \t+ ", &keyword));
  WizardData data;
  data.sourceId = 1;
  EXPECT_EQ(CheckSearchPage(data, "  ", 0), Gbk("请输入关键字。"));
  EXPECT_EQ(CheckSearchPage(data, "a b", 2), "");
  EXPECT_EQ(data.keyword, "a+b");
  EXPECT_EQ(data.sizeOption, 2u);
}

TEST(SavePathRules, NormaliseAndValidate) {
  EXPECT_EQ(NormalizeSavePath("D:\\my.pics"), "D:\\my pics\\");
  EXPECT_EQ(NormalizeSavePath(" \tZ:\\a.b\\ "), "Z:\\a b\\");
  EXPECT_EQ(NormalizeSavePath(""), "\\");
  // Drive D does not exist here; Z (the root) does.
  EXPECT_FALSE(IsValidSavePath("D:\\my pics\\"));
  EXPECT_TRUE(IsValidSavePath("Z:\\my pics\\"));
  EXPECT_TRUE(IsValidSavePath("z:\\"));
  EXPECT_FALSE(IsValidSavePath("Z:"));
  EXPECT_FALSE(IsValidSavePath("Z:/a\\"));
  EXPECT_FALSE(IsValidSavePath("Z:\\a\\\\"));
  EXPECT_FALSE(IsValidSavePath("Z:\\ a\\"));
  EXPECT_FALSE(IsValidSavePath("Z:\\a \\"));
  EXPECT_FALSE(IsValidSavePath("Z:\\a?b\\"));
  EXPECT_FALSE(IsValidSavePath("Z:\\a"));
  EXPECT_FALSE(IsValidSavePath("1:\\"));
  // A double-byte character whose trail byte is "\\" is part of the name.
  EXPECT_TRUE(IsValidSavePath("Z:\\\x95\x5C\\"));
  EXPECT_EQ(NormalizeSavePath("Z:\\\x95\x5C"), "Z:\\\x95\x5C\\");
  EXPECT_FALSE(IsValidSavePath("Z:\\" + std::string(125, 'a') + "\\"));
}

TEST(WizardPages, SourceCustomAndProgramChecks) {
  WizardData data;
  EXPECT_EQ(CheckSourcePage(data), Gbk("请继续选择子类别。"));
  data.sourceId = 162;
  EXPECT_EQ(CheckCustomPage(data, 1, 0, 0), Gbk("URL 队列为空，请添加 URL。"));
  data.urlList.AddUrl("http://a/1", "", "", true);
  EXPECT_EQ(CheckCustomPage(data, 0, 0, 0), Gbk("至少要选择一种图片格式。"));
  EXPECT_EQ(CheckCustomPage(data, 0, 1, 1), "");
  EXPECT_EQ(BuildTaskInfo(data).jpgLarge, 0u);
  EXPECT_EQ(BuildTaskInfo(data).gif, 1u);

  EXPECT_EQ(CheckProgramPage(data, "Q:\\x", "", false, ""),
            Gbk("路径无效，请重新输入。"));
  EXPECT_EQ(CheckProgramPage(data, "Z:\\pics.new", "40", true, "n"), "");
  EXPECT_EQ(data.savePath, "Z:\\pics new\\");
  EXPECT_EQ(data.threadCount, 15u);
  EXPECT_EQ(data.classifyByTitle, 0u);  // not a forum
  EXPECT_EQ(ThreadCountFromText("25", 15), 25u);
  EXPECT_EQ(ThreadCountFromText("4", 9), 9u);
  EXPECT_EQ(ThreadCountFromText("x", 9), 9u);
}

TEST(WizardDefaults, SavePathFromCatalogAndKeyword) {
  std::vector<CatalogEntry> tree = LoadSourceTree();
  WizardData data;
  data.sourceId = 1;
  data.catalogPath = BuildCatalogPath(tree, FindCatalogEntry(tree, 1));
  data.keyword = "red+fl:ower";
  EXPECT_EQ(DefaultSavePath("C:\\Download\\", data),
            Gbk("C:\\Download\\Harvio\\搜索引擎\\Google Image(中英文)\\"
                "red fl ower"));
  data.sourceId = 21;
  data.keyword = "a+b";  // "+" stays for a forum
  data.catalogPath = "X";
  EXPECT_EQ(DefaultSavePath("W\\", data), "W\\X\\a+b");
  data.sourceId = 31;
  EXPECT_EQ(DefaultSavePath("W\\", data), "W\\X");
}

TEST(WizardFinish, FlagsByRangeDuplicatesAndLimit) {
  TaskSet set;
  std::vector<Task*> rows;
  auto finish = [&](uint32_t sourceId, const char* keyword, std::string* why) {
    WizardData data;
    data.sourceId = sourceId;
    data.keyword = keyword;
    data.savePath = "Z:\\p\\";
    data.classifyByTitle = 1;
    data.urlList.AddUrl("http://a/1", "", "", true);
    data.urlList.AddUrl("http://a/2", "", "", true);
    Task* task = FinishWizard(set, data, rows, why);
    if (task != nullptr) rows.push_back(task);
    return task;
  };
  std::string why;
  Task* google = finish(1, "a", &why);
  ASSERT_NE(google, nullptr);
  EXPECT_EQ(google->info.jpgSmall, 1u);
  EXPECT_EQ(google->info.classifyByTitle, 0u);
  EXPECT_EQ(google->queues[kWeb2].Count(), 1u);
  EXPECT_EQ(finish(1, "a", &why), nullptr);
  EXPECT_EQ(why, Gbk("相同的任务已经存在。"));
  EXPECT_NE(finish(1, "b", &why), nullptr);
  Task* board = finish(45, "ignored", &why);
  ASSERT_NE(board, nullptr);
  EXPECT_STREQ(board->info.keyword, "");
  EXPECT_EQ(board->info.classifyByTitle, 1u);
  EXPECT_EQ(board->info.gif, 0u);
  EXPECT_EQ(board->orderKey, 2u);
  EXPECT_EQ(finish(45, "", &why), nullptr);
  Task* custom = finish(163, "", &why);
  ASSERT_NE(custom, nullptr);
  EXPECT_EQ(Urls(custom->queues[kWeb2]),
            (std::vector<std::string>{"http://a/1", "http://a/2"}));
  EXPECT_NE(finish(163, "", &why), nullptr);
  Task* pics = finish(161, "", &why);
  ASSERT_NE(pics, nullptr);
  EXPECT_EQ(pics->queues[kPic].Count(), 2u);
  EXPECT_EQ(pics->info.jpgSmall, 1u);
  for (int i = 0; i < 4; ++i) EXPECT_NE(finish(162, "", &why), nullptr);
  EXPECT_EQ(rows.size(), 10u);
  EXPECT_EQ(finish(1, "c", &why), nullptr);
  EXPECT_EQ(why, Gbk("最多只能添加 10 个任务。"));
  EXPECT_EQ(finish(1, "a", &why), nullptr);  // the limit is told first
  EXPECT_EQ(why, Gbk("最多只能添加 10 个任务。"));
  for (Task* t : rows) delete t;
}

TEST(UrlBatchEntries, SeriesWidthOrderAndLimit) {
  UrlQueue list;
  UrlBatch batch{" http://a.com/p (*) .jpg ", 8, 12, true};
  EXPECT_EQ(BatchPreview(batch),
            "http://a.com/p08.jpg\r\n...\r\nhttp://a.com/p12.jpg");
  EXPECT_EQ(AddUrlBatch(list, batch), "");
  EXPECT_EQ(Urls(list), (std::vector<std::string>{
                            "http://a.com/p08.jpg", "http://a.com/p09.jpg",
                            "http://a.com/p10.jpg", "http://a.com/p11.jpg",
                            "http://a.com/p12.jpg"}));
  UrlQueue reversed;
  UrlBatch down{"http://a.com/p(*).jpg", 12, 8, true};
  EXPECT_EQ(BatchPreview(down),
            "http://a.com/p12.jpg\r\n...\r\nhttp://a.com/p08.jpg");
  AddUrlBatch(reversed, down);
  EXPECT_EQ(Urls(reversed), Urls(list));

  UrlQueue zero;
  AddUrlBatch(zero, {"http://a.com/(*)/(*)", 0, 0, false});
  EXPECT_EQ(Urls(zero), (std::vector<std::string>{"http://a.com/0/(*)"}));
  EXPECT_EQ(AddUrlBatch(zero, {"HTTP://A.com/0/(*)", 0, 0, false}), "");
  EXPECT_EQ(zero.Count(), 2u);  // "http://a.com/0/0"
  EXPECT_EQ(AddUrlBatch(zero, {"http://a.com/0/0", 0, 0, false}), "");
  EXPECT_EQ(zero.Count(), 2u);  // duplicate dropped silently

  EXPECT_EQ(AddUrlBatch(zero, {"http://a.com", 0, 0, false}),
            Gbk("URL 无效，请重新输入。"));
  EXPECT_EQ(BatchPreview({"http://a.com", 0, 0, false}), "");
  EXPECT_EQ(BatchPreview({"http://a.com/x y", 0, 0, false}), "http://a.com/xy");
}

TEST(UrlBatchEntries, TwoHundredFiftySixAtMost) {
  UrlQueue list;
  ASSERT_EQ(AddUrlBatch(list, {"http://a.com/(*)", 1, 250, false}), "");
  ASSERT_EQ(list.Count(), 250u);
  EXPECT_EQ(AddUrlBatch(list, {"http://b.com/(*)", 1, 7, false}),
            Gbk("最多只能添加 256 个 URL。"));
  EXPECT_EQ(list.Count(), 250u);
  EXPECT_EQ(AddUrlBatch(list, {"http://b.com/(*)", 1, 6, false}), "");
  EXPECT_EQ(list.Count(), 256u);
  EXPECT_EQ(AddUrlBatch(list, {"http://c.com/", 0, 0, false}),
            Gbk("最多只能添加 256 个 URL。"));
  // Bounds beyond the spin range are held to 9999.
  UrlQueue wide;
  EXPECT_EQ(AddUrlBatch(wide, {"http://a.com/(*)", 4294967295u, 9000, false}),
            Gbk("最多只能添加 256 个 URL。"));
}

}  // namespace
}  // namespace harvio
