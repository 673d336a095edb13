#include "app/wizard_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "sources/catalog.h"
#include "tests/core/fixtures.h"

namespace harvio {
namespace {

using testing::Gbk;
using testing::InfoOf;

TEST(WizardRouting, NextAndBackBySourceRange) {
  // forward: from the source page to the finish
  const struct { uint32_t sourceId; std::vector<WizardPage> forward; } routes[] = {
      {1, {kSourcePage, kSearchPage, kProgramPage, kFinishPage}},
      {22, {kSourcePage, kSearchPage, kProgramPage, kFinishPage}},
      {31, {kSourcePage, kProgramPage, kFinishPage}},
      {153, {kSourcePage, kProgramPage, kFinishPage}},
      {161, {kSourcePage, kCustomPage, kProgramPage, kFinishPage}},
      {163, {kSourcePage, kCustomPage, kProgramPage, kFinishPage}},
  };
  for (const auto& r : routes) {
    for (size_t i = 0; i + 1 < r.forward.size(); ++i) {
      EXPECT_EQ(NextPage(r.forward[i], r.sourceId), r.forward[i + 1]) << r.sourceId;
      EXPECT_EQ(PreviousPage(r.forward[i + 1], r.sourceId), r.forward[i]) << r.sourceId;
    }
    EXPECT_EQ(NextPage(kFinishPage, r.sourceId), kFinishPage);
  }
  EXPECT_EQ(NextPage(kSourcePage, 0), kSourcePage);  // a folder: stays
  EXPECT_EQ(PreviousPage(kSourcePage, 1), kSourcePage);
}

// The program page's walk: Google "flower", back to change the keyword,
// then back to the tree for a board, then forward again.
TEST(WizardPreparation, PagesResetOnlyForANewSourceOrKeyword) {
  PagePreparation pages;
  auto enterProgramPage = [&](uint32_t sourceId, const std::string& keyword) {
    bool fresh = pages.NeedsPreparing(kProgramPage, sourceId);
    return pages.NeedsDefaultPath(fresh, keyword);
  };
  EXPECT_TRUE(pages.NeedsPreparing(kSearchPage, 1));
  EXPECT_TRUE(enterProgramPage(1, "flower"));
  EXPECT_FALSE(pages.NeedsPreparing(kSearchPage, 1));  // back: option list kept
  EXPECT_FALSE(enterProgramPage(1, "flower"));          // an edited path stays
  EXPECT_TRUE(enterProgramPage(1, "rose"));
  EXPECT_TRUE(enterProgramPage(45, ""));                // another source
  EXPECT_FALSE(enterProgramPage(45, ""));
  EXPECT_TRUE(pages.NeedsPreparing(kSearchPage, 2));
  EXPECT_TRUE(pages.NeedsPreparing(kFinishPage, 2));
  EXPECT_FALSE(pages.NeedsPreparing(kFinishPage, 2));
}

TEST(WizardControls, ClassifyBoxFormatBoxesAndCountLabel) {
  for (uint32_t id : {1u, 20u, 154u, 161u}) EXPECT_FALSE(HasClassifyBox(id)) << id;
  for (uint32_t id : {21u, 31u, 153u}) EXPECT_TRUE(HasClassifyBox(id)) << id;

  const FormatSet large = FormatBit(kJpgLargeFormat);
  const struct { uint32_t sourceId; FormatSet ticked; bool enabled; } wizard[] = {
      {161, kEveryFormat, false}, {162, large, true}, {163, large, false}};
  for (const auto& w : wizard) {
    FormatBoxes got = WizardFormatBoxes(w.sourceId);
    EXPECT_EQ(got.ticked, w.ticked) << w.sourceId;
    EXPECT_EQ(got.enabled, w.enabled) << w.sourceId;
  }
  // The sheet ticks the formats the task accepts (see PictureFormats) and
  // takes a change only for a New 162 task.
  TaskInfo stored = InfoOf(162);
  EXPECT_TRUE(SheetFormatBoxes(stored).enabled);
  stored.state = kPaused;
  EXPECT_FALSE(SheetFormatBoxes(stored).enabled);
  EXPECT_FALSE(SheetFormatBoxes(InfoOf(161)).enabled);

  EXPECT_EQ(UrlCountLabel(256), Gbk("URL 数量: 256"));
}

TEST(AddUrlDialogRules, SeriesControlsAndBounds) {
  const struct { const char* entry; bool series; } entries[] = {
      {" http://a.com/p (*) .jpg", true}, {"http://a.com/p1.jpg", false},
      {"http://a.com(*)", false}, {"", false}};
  for (const auto& e : entries) EXPECT_EQ(IsSeriesEntry(e.entry), e.series) << e.entry;
  const struct { const char* text; uint32_t bound; } bounds[] = {
      {"0", 0}, {"12", 12}, {"9999", 9999}, {"", 0}, {"10000", 0}, {"1a", 0},
      {"00012", 12}, {"00000000", 0}, {"00009999", 9999}, {"00010000", 0}};
  for (const auto& b : bounds) EXPECT_EQ(BatchBoundFromText(b.text), b.bound) << b.text;
}

TEST(WizardRules, Duplicates) {
  TaskSet set;
  Task* rows[] = {CreateTask(set, InfoOf(1, "flower"), 0), CreateTask(set, InfoOf(45), 1)};
  std::vector<Task*> tasks(rows, rows + 2);
  const struct { uint32_t sourceId; const char* keyword; bool duplicate; } cases[] = {
      {1, "flower", true}, {1, "Flower", false}, {2, "flower", false},
      {45, "", true},      {45, "x", true},      {46, "", false},  {161, "", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsDuplicateTask(InfoOf(c.sourceId, c.keyword), tasks), c.duplicate)
        << c.sourceId << c.keyword;
  }
  for (Task* t : rows) delete t;
}

TEST(SheetRules, PagesAndWhatEachStateMayChange) {
  WizardPage pages[2];
  ASSERT_EQ(SheetPages(11, pages), 2u);
  EXPECT_EQ(pages[0], kSearchPage);
  ASSERT_EQ(SheetPages(162, pages), 2u);
  EXPECT_EQ(pages[0], kCustomPage);
  ASSERT_EQ(SheetPages(100, pages), 1u);
  EXPECT_EQ(pages[0], kProgramPage);

  const struct { uint32_t sourceId; TaskState state; SheetEditable e; } cases[] = {
      {45, kNew, {true, true, true, true, true, true}},
      {1, kNew, {true, true, true, false, true, true}},
      {45, kRunning, {false, false, false, false, true, true}},
      {45, kPaused, {false, false, false, false, true, true}},
      {45, kDone, {false, false, false, false, false, true}}};
  auto bits = [](const SheetEditable& e) {
    return std::vector<bool>{e.keywordAndOption, e.urlList, e.savePath,
                             e.classifyBox,      e.threadCount, e.notes};
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bits(EditableIn(c.sourceId, c.state)), bits(c.e)) << c.sourceId << " " << c.state;
  }
}

// A New search task: the keyword is shown with blanks, an empty one is
// refused, a new one replaces the start URL in WEB2.
TEST(SheetRules, KeywordChangeReplacesTheStartUrl) {
  TaskSet set;
  Task* task = CreateTask(set, InfoOf(1, "red+sun", "Z:\\old\\", 9), 0);
  AddStartUrl(task->queues[kWeb2], task->info);
  WizardData data;
  LoadSheetData(*task, &data);
  EXPECT_EQ(KeywordAsShown(1, task->info.keyword), "red sun");
  EXPECT_EQ(KeywordAsShown(21, "a+b"), "a+b");

  EXPECT_EQ(CheckSheetSearchPage(data, kNew, " + ", 0), Gbk("请输入关键字。"));
  EXPECT_EQ(CheckSheetSearchPage(data, kNew, "blue  moon", 1), "");
  EXPECT_EQ(CheckSheetProgramPage(data, kNew, "Z:\\a.b", "40", true, "n"), "");
  EXPECT_EQ(data.threadCount, 9u);  // the task's own count, not 15
  ApplySheet(*task, data, {true, false, true});
  EXPECT_STREQ(task->info.keyword, "blue+moon");
  EXPECT_EQ(task->info.sizeOption, 1u);
  EXPECT_STREQ(task->info.savePath, "Z:\\a b\\");
  EXPECT_EQ(task->info.classifyByTitle, 0u);
  StartUrl start;
  ASSERT_TRUE(BuildStartUrl(task->info, &start));
  std::vector<std::string> web2;
  task->queues[kWeb2].ForEachTailToHead([&](const UrlItem& i) {
    web2.push_back(std::string("http://") + i.host + i.path);
  });
  EXPECT_EQ(web2, std::vector<std::string>{start.url});
  delete task;
}

// The sheet's copy of a New custom task's queue goes back in order; a
// task that is no longer New keeps its queue and only takes thread count
// and notes, a running one at once.
uint32_t g_created = 0;
TEST(SheetRules, CustomListAndRunningTask) {
  TaskSet set;
  Task* task = CreateTask(set, InfoOf(162, "", "Z:\\old\\"), 0);
  task->queues[kWeb1].AddUrl("http://a/1", "", "", true);
  task->queues[kWeb1].AddUrl("http://a/2", "", "", true);
  WizardData data;
  LoadSheetData(*task, &data);
  ASSERT_EQ(data.urlList.Count(), 2u);
  data.urlList.AddUrl("http://a/3", "", "", true);
  EXPECT_EQ(CheckSheetCustomPage(data, kNew, 0), Gbk("至少要选择一种图片格式。"));
  EXPECT_EQ(CheckSheetCustomPage(data, kNew, FormatBit(kGifFormat) | FormatBit(kPngFormat)), "");
  ApplySheet(*task, data, {false, true, false});
  std::vector<std::string> paths;
  task->queues[kWeb1].ForEachTailToHead([&](const UrlItem& i) { paths.push_back(i.path); });
  EXPECT_EQ(paths, (std::vector<std::string>{"/1", "/2", "/3"}));
  EXPECT_EQ(task->info.gif, 3u);  // GIF and PNG
  EXPECT_EQ(task->info.jpgLarge, 0u);

  // Started by the tick while the sheet was open: the list is not applied.
  data.urlList.AddUrl("http://a/4", "", "", true);
  task->info.state = kPaused;
  ApplySheet(*task, data, {false, true, false});
  EXPECT_EQ(task->queues[kWeb1].Count(), 3u);
  task->info.state = kNew;

  static const WorkerHooks hooks = {
      [](Task&, uint32_t) { ++g_created; }, [](Task&, uint32_t) {},
      [](const Task&, uint32_t, ThreadView*) { return false; }, [](Task&) {}};
  SetWorkerHooks(&hooks);
  task->info.state = kRunning;
  LoadSheetData(*task, &data);
  EXPECT_EQ(data.urlList.Count(), 0u);  // not New: nothing to edit
  EXPECT_EQ(CheckSheetCustomPage(data, kRunning, 0), "");
  EXPECT_EQ(CheckSheetProgramPage(data, kRunning, "bad path", "20", true, "note"), "");
  ApplySheet(*task, data, {false, true, true});
  EXPECT_EQ(g_created, 5u);  // slots 15..19 started at once
  EXPECT_EQ(task->info.threadCount, 20u);
  EXPECT_STREQ(task->info.savePath, "Z:\\old\\");
  EXPECT_STREQ(task->info.notes, "note");
  EXPECT_EQ(task->queues[kWeb1].Count(), 3u);

  task->info.state = kDone;
  EXPECT_EQ(CheckSheetProgramPage(data, kDone, "", "7", false, ""), "");
  ApplySheet(*task, data, {false, false, true});
  EXPECT_EQ(task->info.threadCount, 20u);
  SetWorkerHooks(nullptr);
  delete task;
}

}  // namespace
}  // namespace harvio
