#include "app/wizard_rules.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sources/catalog.h"
#include "tests/core/fixtures.h"
#include "tests/platform/case_files.h"

namespace harvio {
namespace {

using testing::InfoOf;

uint32_t Number(const std::string& text) { return static_cast<uint32_t>(std::stoul(text)); }

// The pages from PAGE on, each the one STEP leads to from the one before.
std::string Walk(WizardPage page, uint32_t sourceId, WizardPage (*step)(WizardPage, uint32_t)) {
  std::string pages = std::to_string(page);
  for (int i = 0; i < 5 && step(page, sourceId) != page; ++i) {
    page = step(page, sourceId);
    pages += " " + std::to_string(page);
  }
  return pages;
}

// The cases of tests/data/app/wizard_rules.txt.
TEST(WizardRules, CasesAsListed) {
  TaskSet set;
  std::unique_ptr<Task> google(CreateTask(set, InfoOf(1, "flower"), 0));
  std::unique_ptr<Task> board(CreateTask(set, InfoOf(45), 1));
  const std::vector<Task*> tasks{google.get(), board.get()};
  testing::CheckCaseFile("app/wizard_rules.txt", {
      {"route", {1, [](const testing::Fields& f) {
         std::string forward = Walk(kSourcePage, Number(f[0]), NextPage);
         WizardPage last = static_cast<WizardPage>(std::stoul(forward.substr(forward.rfind(' ') + 1)));
         return forward + "\t" + Walk(last, Number(f[0]), PreviousPage);
       }}},
      {"sheet pages", {1, [](const testing::Fields& f) {
         WizardPage pages[2];
         uint32_t count = SheetPages(Number(f[0]), pages);
         return count == 1 ? std::to_string(pages[0]) : testing::Spaced({pages[0], pages[1]});
       }}},
      {"classify", {1, [](const testing::Fields& f) {
         return std::to_string(HasClassifyBox(Number(f[0])));
       }}},
      {"format boxes", {1, [](const testing::Fields& f) {
         FormatBoxes boxes = WizardFormatBoxes(Number(f[0]));
         return std::to_string(boxes.ticked) + "\t" + std::to_string(boxes.enabled);
       }}},
      {"series", {1, [](const testing::Fields& f) { return std::to_string(IsSeriesEntry(f[0])); }}},
      {"bound", {1, [](const testing::Fields& f) { return std::to_string(BatchBoundFromText(f[0])); }}},
      {"duplicate", {2, [&tasks](const testing::Fields& f) {
         return std::to_string(IsDuplicateTask(InfoOf(Number(f[0]), f[1].c_str()), tasks));
       }}},
      {"sheet formats", {2, [](const testing::Fields& f) {
         TaskInfo info = InfoOf(Number(f[0]));
         info.state = Number(f[1]);
         return std::to_string(SheetFormatBoxes(info).enabled);
       }}},
      {"count label", {1, [](const testing::Fields& f) { return UrlCountLabel(Number(f[0])); }}},
      {"editable", {2, [](const testing::Fields& f) {
         SheetEditable e = EditableIn(Number(f[0]), static_cast<TaskState>(Number(f[1])));
         std::string bits;
         for (bool b : {e.keywordAndOption, e.urlList, e.savePath, e.classifyBox, e.threadCount, e.notes}) {
           bits += b ? '1' : '0';
         }
         return bits;
       }}},
  });
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
TEST(SheetRules, CustomListAndRunningTask) {
  TaskSet set;
  Task* task = CreateTask(set, InfoOf(162, "", "Z:\\old\\"), 0);
  task->queues[kWeb1].AddUrl("http://a/1", "", "", true);
  task->queues[kWeb1].AddUrl("http://a/2", "", "", true);
  WizardData data;
  LoadSheetData(*task, &data);
  ASSERT_EQ(data.urlList.Count(), 2u);
  data.urlList.AddUrl("http://a/3", "", "", true);
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

  testing::FakeWorkers();
  task->info.state = kRunning;
  LoadSheetData(*task, &data);
  EXPECT_EQ(data.urlList.Count(), 0u);  // not New: nothing to edit
  EXPECT_EQ(CheckSheetCustomPage(data, kRunning, 0), "");
  EXPECT_EQ(CheckSheetProgramPage(data, kRunning, "bad path", "20", true, "note"), "");
  ApplySheet(*task, data, {false, true, true});
  for (uint32_t slot = 0; slot < kMaxThreads; ++slot) {  // slots 15..19 started at once
    EXPECT_EQ(testing::g_workers.created[slot], slot >= 15 && slot < 20) << slot;
  }
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
