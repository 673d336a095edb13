// The main window's decisions that need no window: command states, layout,
// splitter and the texts the shell composes.
#include <gtest/gtest.h>

#include "app/command_states.h"
#include "app/main_layout.h"
#include "app/shell_texts.h"
#include "core/task_info.h"
#include "res/resource.h"
#include "tests/core/fixtures.h"
#include "tests/platform/case_files.h"

namespace harvio {
namespace {

using testing::Numbers;
using testing::Spaced;

// Rows written as one letter per row: N, R, P, D for the state, upper case
// when selected; "*" after a row marks it focused.
std::vector<RowFlags> Rows(const std::string& text) {
  std::vector<RowFlags> rows;
  for (char c : text) {
    if (c == '*') {
      rows.back().focused = true;
      continue;
    }
    char upper = static_cast<char>(c & ~0x20);
    uint32_t state = upper == 'N' ? kNew : upper == 'R' ? kRunning : upper == 'P' ? kPaused : kDone;
    rows.push_back({state, upper == c, false});
  }
  return rows;
}

std::string Listed(const std::vector<size_t>& rows) {
  std::string text;
  for (size_t row : rows) text += (text.empty() ? "" : " ") + std::to_string(row);
  return text;
}

// The cases of tests/data/app/shell.txt.
TEST(Shell, CasesAsListed) {
  testing::CheckCaseFile("app/shell.txt", {
      {"commands", {1, [](const testing::Fields& f) {
         CommandStates states = ComputeCommandStates(Rows(f[0]));
         std::string bits;
         for (uint32_t command = CMD_DELETE_TASK; command <= CMD_OPEN_SAVE_FOLDER; ++command) {
           bits += states.IsEnabled(command) ? '1' : '0';
         }
         bits += '\t';
         for (uint32_t command : {CMD_NEW_TASK, CMD_OPTIONS, CMD_EXIT, CMD_SELECT_ALL}) {
           bits += states.IsEnabled(command) ? '1' : '0';
         }
         return bits;
       }}},
      {"start", {2, [](const testing::Fields& f) {
         return Listed(RowsToStart(Rows(f[0]), static_cast<uint32_t>(std::stoul(f[1]))));
       }}},
      {"pause", {1, [](const testing::Fields& f) { return Listed(RowsToPause(Rows(f[0]))); }}},
      {"layout", {3, [](const testing::Fields& f) {
         std::vector<int32_t> size = Numbers(f[0]);
         MainLayout l = LayOutMainWindow({size[0], size[1]}, f[1] == "1", std::stoi(f[2]));
         return Spaced({l.browserPane.y, l.browserPane.height, l.separatorLine.y,
                        l.separatorLine.height, l.rebar.y, l.rebar.height, l.taskList.y,
                        l.taskList.height, l.splitterGap.y, l.splitterGap.height,
                        l.threadList.y, l.threadList.height, l.statusBar.y,
                        l.statusBar.height, l.statusPartRight[0], l.statusPartRight[1]});
       }}},
      {"drag", {4, [](const testing::Fields& f) {
         int32_t dragY = std::stoi(f[2]), taskList = std::stoi(f[3]);
         bool changed = DragSplitter(std::stoi(f[0]), std::stoi(f[1]), &dragY, &taskList);
         return Spaced({changed, dragY, taskList});
       }}},
  });
}

TEST(Countdown, ShowsThirtyDownToOneThenEnds) {
  uint32_t remaining = kCountdownStart;
  std::vector<uint32_t> shown;
  while (!CountdownStep(&remaining)) {
    ASSERT_LT(shown.size(), 40u);
    shown.push_back(remaining);
  }
  ASSERT_EQ(30u, shown.size());
  EXPECT_EQ(30u, shown.front());
  EXPECT_EQ(1u, shown.back());
  // A step after the end never wraps around to a long wait.
  EXPECT_TRUE(CountdownStep(&remaining));
  EXPECT_EQ(0u, remaining);
  EXPECT_EQ(testing::Gbk("所有任务已完成，系统将在 30 秒后自动关闭。"), CountdownText(30));
}

}  // namespace
}  // namespace harvio
