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

// Tasks in list order, their keys the row indices as after loading,
// written one letter a row: N, R, P, D for the state, upper case when
// selected, "*" after a row marks it focused.
class Rows {
 public:
  explicit Rows(const std::string& letters) {
    for (char c : letters) {
      if (c == '*') {
        rows.back().focused = true;
        continue;
      }
      const char upper = static_cast<char>(c & ~0x20);
      tasks_.push_back(std::make_unique<Task>());
      tasks_.back()->info.state = upper == 'N' ? kNew : upper == 'R' ? kRunning
                                  : upper == 'P' ? kPaused : kDone;
      tasks_.back()->orderKey = static_cast<uint32_t>(tasks_.size() - 1);
      rows.push_back({tasks_.back().get(), upper == c, false});
    }
  }
  // From the top, each row's original index, "*" when selected and "!"
  // when its key is not its position.
  std::string Order() const {
    std::string order;
    for (size_t i = 0; i < rows.size(); ++i) {
      order += Index(rows[i].task) + (rows[i].selected ? "*" : "") +
               (rows[i].task->orderKey == i ? "" : "!");
    }
    return order;
  }
  // The task's original index, "-" for none.
  std::string Index(const Task* task) const {
    for (size_t i = 0; i < tasks_.size(); ++i) {
      if (tasks_[i].get() == task) return std::to_string(i);
    }
    return "-";
  }

  std::vector<ListRow> rows;

 private:
  std::vector<std::unique_ptr<Task>> tasks_;
};

ThreadView View(uint32_t state, uint32_t kind, uint32_t size, uint32_t done, uint32_t retry) {
  ThreadView view = {state, kind, size, done, retry, "", ""};
  std::strcpy(view.url, "pics.test/a/1.jpg");
  std::strcpy(view.file, "{0A}.jpg");
  return view;
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
      {"task", {1, [](const testing::Fields& f) {
         // Running workers show the kinds 7 (between two items), 1, 2, 3,
         // 0, 1, ... by slot.
         testing::FakeWorkers();
         for (uint32_t slot = 1; slot < kMaxThreads; ++slot) testing::g_workers.kinds[slot] = slot % 4;
         testing::g_workers.kinds[0] = 7;
         const std::vector<int32_t> n = testing::Numbers(f[0]);
         Task task;
         task.info.state = static_cast<TaskState>(n[0]);
         task.info.threadCount = static_cast<uint32_t>(n[1]);
         task.info.elapsedSeconds = static_cast<uint32_t>(n[2]);
         task.pictureCount = n[3];
         std::strcpy(task.info.savePath, "D:\\my.pics\\");
         std::strcpy(task.info.catalogPath, Gbk("自定义").c_str());
         for (int32_t i = 0; i < n[4] + n[5]; ++i) {
           task.queues[i < n[4] ? kWeb2 : kPic].AddUrl(("http://a/" + std::to_string(i)).c_str(), "", "", false);
         }
         const TaskStatus& status = RefreshStatus(task);
         testing::Fields cells;
         for (int column = 1; column < kTaskColumns; ++column) cells.push_back(TaskCellText(status, column));
         SetWorkerHooks(nullptr);
         return testing::Joined(cells);
       }}},
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
      {"up", {1, [](const testing::Fields& f) { return MovedUntilStopped(Rows(f[0]), MoveSelectedUp); }}},
      {"down", {1, [](const testing::Fields& f) {
         return MovedUntilStopped(Rows(f[0]), MoveSelectedDown);
       }}},
      {"delete", {1, [](const testing::Fields& f) {
         Rows rows(f[0]);
         testing::Fields removed;
         for (Task* task : RemoveSelectedRows(rows.rows)) removed.push_back(rows.Index(task));
         return testing::Joined(removed, " ") + "\t" + rows.Order();
       }}},
      {"running", {1, [](const testing::Fields& f) {
         Rows rows(f[0]);
         RunningTable table = BuildRunningTable(rows.rows);
         testing::Fields entries;
         for (uint32_t i = 0; i < table.count; ++i) {  // "?": the row holds another task
           const size_t row = static_cast<size_t>(table.entries[i].row);
           const bool same = row < rows.rows.size() && rows.rows[row].task == table.entries[i].task;
           entries.push_back(std::to_string(row) + (same ? "" : "?"));
         }
         return testing::Joined(entries, " ");
       }}},
      {"thread view", {1, [](const testing::Fields& f) {
         Rows rows(f[0]);
         return rows.Index(ThreadViewTaskOf(rows.rows));
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
  const TaskStatus& status = RefreshStatus(task);
  EXPECT_EQ(TaskCellText(status, 7), std::string(sizeof task.info.savePath, 'S'));
  EXPECT_EQ(TaskCellText(status, 8), std::string(sizeof task.info.catalogPath, 'C'));
  TaskStatus never = {};
  EXPECT_EQ(TaskCellText(never, 7), "");
  EXPECT_EQ(TaskCellText(never, 0), "");
}

}  // namespace
}  // namespace harvio
