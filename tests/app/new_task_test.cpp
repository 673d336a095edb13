#include "app/new_task.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/save_path.h"
#include "sources/catalog.h"
#include "app/string_routines.h"
#include "app/url_batch.h"
#include "tests/core/fixtures.h"
#include "tests/platform/case_files.h"

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

// The wizard finished for a task of SOURCEID, "classify by thread title"
// ticked and two URLs in its list.
Task* Finish(TaskSet& set, uint32_t sourceId, const std::string& keyword,
             const std::vector<Task*>& rows, std::string* why) {
  WizardData data;
  data.sourceId = sourceId;
  data.keyword = keyword;
  data.savePath = "Z:\\p\\";
  data.classifyByTitle = 1;
  data.urlList.AddUrl("http://a/1", "", "", true);
  data.urlList.AddUrl("http://a/2", "", "", true);
  return FinishWizard(set, data, rows, why);
}

// What the keyword and batch tests below do not reach: 0x81 0x7C is one
// character whose trail byte looks like "|"; a number that does not fit
// leaves the text as it was.
TEST(StringRoutines, EditsInPlaceWithinTheirBuffers) {
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

// The cases of tests/data/app/new_task.txt.
TEST(NewTask, CasesAsListed) {
  testing::CheckCaseFile("app/new_task.txt", {
      {"keyword", {2, [](const testing::Fields& f) {
         std::string keyword;
         return NormalizeKeyword(std::stoul(f[0]), f[1], &keyword) ? keyword : "refused";
       }}},
      {"save path", {1, [](const testing::Fields& f) { return NormalizeSavePath(f[0]); }}},
      {"default path", {4, [](const testing::Fields& f) {
         WizardData data;
         data.sourceId = std::stoul(f[0]);
         data.keyword = f[1];
         const std::vector<CatalogEntry> tree = LoadSourceTree();
         data.catalogPath = f[2].empty() ? BuildCatalogPath(tree, FindCatalogEntry(tree, data.sourceId)) : f[2];
         return DefaultSavePath(f[3].c_str(), data);
       }}},
      {"valid path", {1, [](const testing::Fields& f) {
         return std::to_string(IsValidSavePath(f[0]));
       }}},
      {"formats", {1, [](const testing::Fields& f) {
         std::vector<int32_t> fields = testing::Numbers(f[0]);
         TaskInfo info{}, written{};
         info.jpgLarge = static_cast<uint32_t>(fields[0]);
         info.jpgSmall = static_cast<uint32_t>(fields[1]);
         info.gif = static_cast<uint32_t>(fields[2]);
         StoreFormats(TaskFormats(info), &written);
         return std::to_string(TaskFormats(info)) + "\t" +
                testing::Spaced({written.jpgLarge, written.jpgSmall, written.gif});
       }}},
      {"batch", {4, [](const testing::Fields& f) {
         UrlBatch batch{f[0], static_cast<uint32_t>(std::stoul(f[1])),
                        static_cast<uint32_t>(std::stoul(f[2])), f[3] == "1"};
         UrlQueue queue;
         std::string message = AddUrlBatch(queue, batch);
         return testing::Replaced(BatchPreview(batch), "\r\n", "|") + "\t" + message + "\t" +
                testing::Joined(Urls(queue), " ");
       }}},
      {"finish", {2, [](const testing::Fields& f) {
         TaskSet set;
         std::string why;
         std::unique_ptr<Task> task(Finish(set, std::stoul(f[0]), f[1], {}, &why));
         if (task == nullptr) return "refused: " + why;
         const TaskInfo& i = task->info;
         std::string text = std::string(i.keyword) + "\t" +
                            testing::Spaced({i.jpgLarge, i.jpgSmall, i.gif, i.classifyByTitle});
         for (UrlQueue& queue : task->queues) text += "\t" + testing::Joined(Urls(queue), " ");
         return text;
       }}},
      {"threads", {2, [](const testing::Fields& f) {
         return std::to_string(ThreadCountFromText(f[0], std::stoul(f[1])));
       }}},
  });
  EXPECT_EQ(DefaultFormats(1), kClassicFormats);  // 161..163: the wizard's format boxes
}

// A refused keyword is told; a taken one is stored with the size option.
TEST(WizardPages, SearchSourceCustomAndProgramChecks) {
  WizardData data;
  EXPECT_EQ(CheckSourcePage(data), Gbk("请继续选择子类别。"));
  data.sourceId = 1;
  EXPECT_EQ(CheckSearchPage(data, "  ", 0), Gbk("请输入关键字。"));
  EXPECT_EQ(CheckSearchPage(data, "a b", 2), "");
  EXPECT_EQ(data.keyword, "a+b");
  EXPECT_EQ(data.sizeOption, 2u);
  // The empty-list and bad-path messages are left to cli_tasks_test.sh.
  data.sourceId = 162;
  data.urlList.AddUrl("http://a/1", "", "", true);
  EXPECT_EQ(CheckCustomPage(data, 0), Gbk("至少要选择一种图片格式。"));
  EXPECT_EQ(CheckCustomPage(data, FormatBit(kJpgSmallFormat) | FormatBit(kGifFormat)), "");
  EXPECT_EQ(TaskFormats(BuildTaskInfo(data)), FormatBit(kJpgSmallFormat) | FormatBit(kGifFormat));
  EXPECT_EQ(CheckCustomPage(data, FormatBit(kWebpFormat)), "");
  EXPECT_EQ(TaskFormats(BuildTaskInfo(data)), FormatBit(kWebpFormat));
  EXPECT_EQ(CheckProgramPage(data, "Z:\\pics.new", "40", true, "n"), "");
  EXPECT_EQ(data.savePath, "Z:\\pics new\\");
  EXPECT_EQ(data.threadCount, 15u);
  EXPECT_EQ(data.classifyByTitle, 0u);  // not a forum
}

// Ten tasks at most, told before a duplicate; each new row's key is its place.
TEST(WizardFinish, TenTasksAtMost) {
  TaskSet set;
  std::vector<Task*> rows;
  std::string why;
  for (uint32_t i = 0; i < 10; ++i) {
    rows.push_back(Finish(set, i == 0 ? 1 : 162, "a", rows, &why));
    ASSERT_NE(rows.back(), nullptr);
    EXPECT_EQ(rows.back()->orderKey, i);
  }
  EXPECT_EQ(Finish(set, 1, "a", rows, &why), nullptr);
  EXPECT_EQ(why, Gbk("最多只能添加 10 个任务。"));
  for (Task* t : rows) delete t;
}

// Series that fill the queue or meet what it holds.
TEST(UrlBatchEntries, DuplicatesAndLimit) {
  UrlQueue zero, full;
  AddUrlBatch(zero, {"http://a.com/(*)/(*)", 0, 0, false});
  EXPECT_EQ(AddUrlBatch(zero, {"HTTP://A.com/0/(*)", 0, 0, false}), "");
  EXPECT_EQ(AddUrlBatch(zero, {"http://a.com/0/0", 0, 0, false}), "");
  EXPECT_EQ(zero.Count(), 2u);  // the duplicate dropped silently
  const std::string tooMany = Gbk("最多只能添加 256 个 URL。");
  ASSERT_EQ(AddUrlBatch(full, {"http://a.com/(*)", 1, 250, false}), "");
  EXPECT_EQ(AddUrlBatch(full, {"http://b.com/(*)", 1, 7, false}), tooMany);
  EXPECT_EQ(full.Count(), 250u);
  EXPECT_EQ(AddUrlBatch(full, {"http://b.com/(*)", 1, 6, false}), "");
  EXPECT_EQ(AddUrlBatch(full, {"http://c.com/", 0, 0, false}), tooMany);
  EXPECT_EQ(full.Count(), 256u);
  // Bounds beyond the spin range are held to 9999.
  EXPECT_EQ(AddUrlBatch(zero, {"http://a.com/(*)", 4294967295u, 9000, false}), tooMany);
}

}  // namespace
}  // namespace harvio
