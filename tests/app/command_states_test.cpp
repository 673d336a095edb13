#include "app/command_states.h"

#include <gtest/gtest.h>

#include "core/task_info.h"
#include "res/resource.h"

namespace harvio {
namespace {

// Rows written as one letter per row: N, R, P, D for the state, upper case
// when selected; "*" after a row marks it focused.
std::vector<RowFlags> Rows(const char* text) {
  std::vector<RowFlags> rows;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '*') {
      rows.back().focused = true;
      continue;
    }
    char upper = static_cast<char>(*c & ~0x20);
    uint32_t state = upper == 'N' ? kNew : upper == 'R' ? kRunning : upper == 'P' ? kPaused : kDone;
    rows.push_back({state, upper == *c, false});
  }
  return rows;
}

TEST(ComputeCommandStates, FollowsTheSelectedRows) {
  struct Case {
    const char* rows;
    const char* enabled;  // 5001..5007, '1' enabled
  } cases[] = {
      {"", "0000000"},
      {"nrpd*", "0000000"},  // nothing selected: focus alone enables nothing
      {"N*", "1100011"},     // the only row: no move
      {"nP*", "1101011"},    // last row can move up only
      {"Rn", "1010100"},     // first row down; focus elsewhere
      {"DD", "1000000"},     // a block of two: nothing to swap with
      {"nDDn", "1001100"},
      {"rRp*", "1011100"},   // running between two unselected rows
      {"Np*", "1100100"},    // focused row not selected
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    CommandStates states = ComputeCommandStates(Rows(c.rows));
    for (uint32_t i = 0; i < 7; ++i) {
      EXPECT_EQ(c.enabled[i] == '1', states.IsEnabled(CMD_DELETE_TASK + i)) << i;
    }
    for (uint32_t command : {CMD_NEW_TASK, CMD_OPTIONS, CMD_EXIT, CMD_SELECT_ALL}) {
      EXPECT_TRUE(states.IsEnabled(command));
    }
  }
}

TEST(RowsToStart, HonoursTheLimitOfThree) {
  using Rows_ = std::vector<size_t>;
  // Five New rows selected, nothing running: the first three.
  EXPECT_EQ((Rows_{0, 1, 2}), RowsToStart(Rows("NNNNN"), 0));
  // Start stays enabled for the two left over.
  EXPECT_TRUE(ComputeCommandStates(Rows("RRRNN")).IsEnabled(CMD_START_TASK));
  EXPECT_EQ((Rows_{1, 4}), RowsToStart(Rows("RPDrNN"), 1));
  EXPECT_EQ((Rows_{}), RowsToStart(Rows("NNN"), 3));
  EXPECT_EQ((Rows_{2}), RowsToStart(Rows("nnN"), 2));
}

TEST(RowsToPause, TakesTheSelectedRunningRows) {
  EXPECT_EQ((std::vector<size_t>{1, 3}), RowsToPause(Rows("rRPRd")));
  EXPECT_TRUE(RowsToPause(Rows("rrr")).empty());
}

TEST(CommandStrings, HelpAndCaptionIds) {
  EXPECT_EQ(1000u, HelpStringId(CMD_NEW_TASK));
  EXPECT_EQ(1016u, HelpStringId(CMD_HOME_PAGE));
  EXPECT_EQ(0u, HelpStringId(CMD_SHOW_WINDOW));
  EXPECT_EQ(1040u, CaptionStringId(CMD_NEW_TASK));
  EXPECT_EQ(1051u, CaptionStringId(CMD_EXIT));
  EXPECT_EQ(0u, CaptionStringId(CMD_SHOW_CAPTIONS));
}

}  // namespace
}  // namespace harvio
