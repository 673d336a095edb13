// The rules behind the task list and the thread list: cell texts, the
// running table and thread-view task, and the reordering of Delete, Move up
// and Move down, on tasks that never run a worker.
#include "app/list_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "net/worker.h"
#include "tests/core/fixtures.h"
#include "tests/platform/case_files.h"

namespace harvio {
namespace {

using testing::Gbk;

// Tasks in list order, their keys the row indices as after loading.
class Rows {
 public:
  explicit Rows(const std::vector<TaskState>& states) {
    for (TaskState state : states) {
      tasks_.push_back(std::make_unique<Task>());
      tasks_.back()->info.state = state;
      tasks_.back()->orderKey = static_cast<uint32_t>(tasks_.size() - 1);
      rows.push_back({tasks_.back().get(), false, false});
    }
  }
  Rows(size_t count, TaskState state) : Rows(std::vector<TaskState>(count, state)) {}

  // From the top, each row's original index, "*" when selected and "!"
  // when its key is not its position.
  std::string Order() const {
    std::string order;
    for (size_t i = 0; i < rows.size(); ++i) {
      order += std::to_string(Index(rows[i].task)) + (rows[i].selected ? "*" : "") +
               (rows[i].task->orderKey == i ? "" : "!");
    }
    return order;
  }
  size_t Index(const Task* task) const {
    for (size_t i = 0; i < tasks_.size(); ++i) {
      if (tasks_[i].get() == task) return i;
    }
    return SIZE_MAX;
  }
  Task& task(size_t i) { return *tasks_[i]; }

  std::vector<ListRow> rows;

 private:
  std::vector<std::unique_ptr<Task>> tasks_;
};

std::vector<std::string> TaskCells(Task& task) {
  const TaskStatus& status = RefreshStatus(task);
  std::vector<std::string> cells;
  for (int column = 1; column < kTaskColumns; ++column) {
    cells.push_back(TaskCellText(status, column));
  }
  return cells;
}

TEST(TaskCells, CountsTimesAndPathsOfAStoppedTask) {
  Task task;
  task.info.state = kPaused;
  task.info.threadCount = 15;
  task.info.elapsedSeconds = 100 * 3600 + 61;  // past 100 hours
  task.pictureCount = 42;
  std::strcpy(task.info.savePath, "D:\\my.pics\\");
  std::strcpy(task.info.catalogPath, Gbk("自定义").c_str());
  task.queues[kWeb2].AddUrl("http://a.test/1.html", "", "", false);
  task.queues[kWeb2].AddUrl("http://a.test/2.html", "", "", false);
  task.queues[kPic].AddUrl("http://a.test/1.jpg", "", "", false);
  EXPECT_EQ(TaskCells(task),
            (std::vector<std::string>{"42", "2", "0", "1", "0/0/0/15", "100:01:01",
                                      "D:\\my.pics\\", Gbk("自定义")}));

  task.info.elapsedSeconds = 3599;
  task.info.threadCount = 5;
  EXPECT_EQ(TaskCells(task)[4], "0/0/0/5");
  EXPECT_EQ(TaskCells(task)[5], "00:59:59");
}

// A running task's workers, as the engine would show them: kinds by slot.
uint32_t g_kinds[kMaxThreads];
bool ViewByKind(const Task&, uint32_t slot, ThreadView* out) {
  out->kind = g_kinds[slot];
  return true;
}

TEST(TaskCells, RunningWorkersAreCountedByTheirItemKind) {
  WorkerHooks hooks = {};
  hooks.viewWorker = ViewByKind;
  SetWorkerHooks(&hooks);
  for (uint32_t slot = 0; slot < kMaxThreads; ++slot) g_kinds[slot] = slot % 4;
  g_kinds[0] = 7;  // between two items the kind may be anything not 0..2
  Task task;
  task.info.state = kRunning;
  task.info.threadCount = 15;
  EXPECT_EQ(TaskCells(task)[4], "3/4/4/4");
  SetWorkerHooks(nullptr);
}

ThreadView View(uint32_t state, uint32_t kind, uint32_t size, uint32_t done, uint32_t retry) {
  ThreadView view = {state, kind, size, done, retry, "", ""};
  std::strcpy(view.url, "pics.test/a/1.jpg");
  std::strcpy(view.file, "{0A}.jpg");
  return view;
}

// Rows of COUNT tasks with the SELECTED ones selected.
Rows Selected(const std::string& count, const std::string& selected) {
  Rows rows(std::stoul(count), kNew);
  for (int32_t i : testing::Numbers(selected)) rows.rows[static_cast<size_t>(i)].selected = true;
  return rows;
}

std::string MovedUntilStopped(Rows rows, bool (*move)(std::vector<ListRow>&)) {
  testing::Fields orders;
  for (int i = 0; i < 10 && move(rows.rows); ++i) orders.push_back(rows.Order());
  return testing::Joined(orders);
}

// The cases of tests/data/app/list_rules.txt.
TEST(ListRules, CasesAsListed) {
  testing::CheckCaseFile("app/list_rules.txt", {
      {"state", {1, [](const testing::Fields& f) { return TaskStateLabel(std::stoul(f[0])); }}},
      {"thread", {1, [](const testing::Fields& f) {
         std::vector<int32_t> n = testing::Numbers(f[0]);
         ThreadView view = View(static_cast<uint32_t>(n[0]), static_cast<uint32_t>(n[1]),
                                static_cast<uint32_t>(n[2]), static_cast<uint32_t>(n[3]),
                                static_cast<uint32_t>(n[4]));
         testing::Fields cells;
         for (int column = 0; column < kThreadColumns; ++column) {
           cells.push_back(ThreadCellText(view, column));
         }
         return testing::Joined(cells);
       }}},
      {"up", {2, [](const testing::Fields& f) {
         return MovedUntilStopped(Selected(f[0], f[1]), MoveSelectedUp);
       }}},
      {"down", {2, [](const testing::Fields& f) {
         return MovedUntilStopped(Selected(f[0], f[1]), MoveSelectedDown);
       }}},
      {"delete", {2, [](const testing::Fields& f) {
         Rows rows = Selected(f[0], f[1]);
         std::string removed;
         for (Task* task : RemoveSelectedRows(rows.rows)) {
           removed += (removed.empty() ? "" : " ") + std::to_string(rows.Index(task));
         }
         return removed + "\t" + rows.Order();
       }}},
  });
}

// Damaged or never refreshed blocks: texts end at their field's end.
TEST(Cells, UnterminatedTextsStopAtTheirFieldEnd) {
  ThreadView view = View(kSending, kPic, 0, 0, 0);
  std::memset(view.url, 'u', sizeof view.url);
  std::memset(view.file, 'f', sizeof view.file);
  EXPECT_EQ(ThreadCellText(view, 6), std::string(sizeof view.url, 'u'));
  EXPECT_EQ(ThreadCellText(view, 7), std::string(sizeof view.file, 'f'));
  Task task;
  std::memset(task.info.savePath, 'S', sizeof task.info.savePath);
  std::memset(task.info.catalogPath, 'C', sizeof task.info.catalogPath);
  std::vector<std::string> cells = TaskCells(task);
  EXPECT_EQ(cells[6], std::string(sizeof task.info.savePath, 'S'));
  EXPECT_EQ(cells[7], std::string(sizeof task.info.catalogPath, 'C'));
  TaskStatus never = {};
  EXPECT_EQ(TaskCellText(never, 7), "");
  EXPECT_EQ(TaskCellText(never, 0), "");
}

TEST(DerivedState, RunningTableHoldsTheFirstThreeRunningRows) {
  Rows r({kRunning, kNew, kRunning, kDone, kRunning, kRunning});
  RunningTable table = BuildRunningTable(r.rows);
  ASSERT_EQ(table.count, 3u);
  const int32_t expected[] = {0, 2, 4};
  for (uint32_t i = 0; i < 3; ++i) {
    int32_t row = table.entries[i].row;
    EXPECT_EQ(row, expected[i]);
    EXPECT_EQ(table.entries[i].task, r.rows[static_cast<size_t>(row)].task);
  }
  EXPECT_EQ(BuildRunningTable(Rows(4, kPaused).rows).count, 0u);
}

TEST(DerivedState, ThreadViewTaskIsTheFocusedSelectedRunningRow) {
  Rows r({kPaused, kRunning, kRunning});
  EXPECT_EQ(ThreadViewTaskOf(r.rows), nullptr);
  r.rows[2].focused = true;  // focused but not selected
  EXPECT_EQ(ThreadViewTaskOf(r.rows), nullptr);
  r.rows[1].selected = true;
  EXPECT_EQ(ThreadViewTaskOf(r.rows), nullptr);
  r.rows[2].selected = true;
  EXPECT_EQ(ThreadViewTaskOf(r.rows), &r.task(2));
  r.rows[2].focused = false;
  r.rows[0].focused = r.rows[0].selected = true;  // a paused task shows no threads
  EXPECT_EQ(ThreadViewTaskOf(r.rows), nullptr);
}

}  // namespace
}  // namespace harvio
