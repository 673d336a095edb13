// The tick's decisions over task rows: which waiting row starts, what a
// raised stop signal leads to, and the speed text.
#include "app/scheduler.h"

#include <gtest/gtest.h>

#include "core/task_store.h"
#include "tests/core/fixtures.h"
#include "tests/platform/case_files.h"

namespace harvio {
namespace {

// Rows of tasks in the given states, without workers (no engine hooks).
class SchedulerTest : public ::testing::Test {
 protected:
  void SetUp() override { set_.home = home_.Path(); }
  void TearDown() override {
    SaveTaskList(set_, rows_);
    WaitForClosedTasks(set_);
  }
  void Rows(std::initializer_list<TaskState> states) {
    for (TaskState state : states) {
      TaskInfo info{};
      info.state = state;
      rows_.push_back(CreateTask(set_, info, static_cast<uint32_t>(rows_.size())));
    }
  }
  // Gives a task pending work, or only a finished entry, which is no work.
  void Entry(size_t row, bool pending) {
    UrlQueue& queue = rows_[row]->queues[pending ? kPic : kWeb1];
    queue.AddUrl("http://h/p.jpg", "", "", false);
    if (!pending) queue.MarkFinished(queue.TakeNext(1));
  }
  void Signal(size_t row, int32_t reason) {
    rows_[row]->stopReason = reason;
    rows_[row]->stopSignal = 1;
  }

  testing::TempHome home_;
  TaskSet set_;
  std::vector<Task*> rows_;
};

TEST_F(SchedulerTest, FirstNewOrPausedRowStartsWhileFewerThanThreeRun) {
  Rows({kDone, kRunning, kPaused, kNew, kRunning});
  EXPECT_EQ(RunningCount(rows_), 2u);
  EXPECT_EQ(NextWaitingRow(rows_), 2);
  EXPECT_EQ(StartNextWaitingRow(rows_), 2);
  EXPECT_EQ(rows_[2]->info.state, kRunning);
  EXPECT_EQ(NextWaitingRow(rows_), -1);  // three run
  EXPECT_EQ(StartNextWaitingRow(rows_), -1);
  EXPECT_EQ(rows_[3]->info.state, kNew);
}

// The cases of tests/data/app/scheduler.txt.
TEST_F(SchedulerTest, CasesAsListed) {
  testing::CheckCaseFile("app/scheduler.txt", {
      {"stop", {2, [this](const testing::Fields& f) {
         Rows({kRunning});
         const size_t row = rows_.size() - 1;
         Entry(row, f[1] == "1");
         const StopOutcome before = ReactToStopSignal(*rows_[row]);
         Signal(row, std::stoi(f[0]));
         const StopOutcome outcome = ReactToStopSignal(*rows_[row]);
         const StopOutcome after = ReactToStopSignal(*rows_[row]);
         return testing::Spaced({static_cast<int>(before), static_cast<int>(outcome),
                                 static_cast<int>(after)}) + "\t" +
                std::to_string(rows_[row]->info.state) + "\t" + std::to_string(StopMessageId(outcome));
       }}},
  });
}

// Three running, two New rows waiting: a finished task hands its place to
// the upper waiting row; a failed one does not.
TEST_F(SchedulerTest, TickStartsTheNextRowOnlyAfterADoneTask) {
  Rows({kRunning, kRunning, kNew, kRunning, kNew});
  Entry(0, true);
  Signal(0, 1);  // write failure with work left
  Signal(1, -1);  // out of work
  TickResult tick = TickRunningTasks(rows_, true);
  ASSERT_EQ(tick.stopped.size(), 2u);
  EXPECT_EQ(tick.stopped[0].row, 0u);
  EXPECT_EQ(tick.stopped[0].outcome, StopOutcome::kWriteFailure);
  EXPECT_EQ(tick.stopped[1].row, 1u);
  EXPECT_EQ(tick.stopped[1].outcome, StopOutcome::kDone);
  EXPECT_EQ(tick.started, std::vector<size_t>{0});  // the paused row 0 first
  EXPECT_EQ(rows_[0]->info.state, kRunning);
  EXPECT_EQ(rows_[2]->info.state, kNew);
  // A second for the rows that ran when the tick began, none for the
  // started one; none at all without countSecond.
  EXPECT_EQ(rows_[3]->info.elapsedSeconds, 1u);
  EXPECT_EQ(rows_[1]->info.elapsedSeconds, 1u);
  TickRunningTasks(rows_, false);
  EXPECT_EQ(rows_[3]->info.elapsedSeconds, 1u);
}

TEST_F(SchedulerTest, SpeedTextTakesTheBytesOfTheLastSecond) {
  set_.receivedBytes = 1536;
  EXPECT_EQ(TakeSpeedText(set_), "1.50KB/s");
  EXPECT_EQ(set_.receivedBytes.load(), 0u);
  EXPECT_EQ(TakeSpeedText(set_), "0.00KB/s");
}

}  // namespace
}  // namespace harvio
