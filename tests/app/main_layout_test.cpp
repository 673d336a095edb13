#include "app/main_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace harvio {
namespace {

// y and height of each child from the top, then the status bar's parts.
std::vector<int32_t> Stack(const MainLayout& l) {
  return {l.browserPane.y,  l.browserPane.height,  l.separatorLine.y, l.separatorLine.height,
          l.rebar.y,        l.rebar.height,        l.taskList.y,      l.taskList.height,
          l.splitterGap.y,  l.splitterGap.height,  l.threadList.y,    l.threadList.height,
          l.statusBar.y,    l.statusBar.height,    l.statusPartRight[0], l.statusPartRight[1]};
}

// 665x425 window: with captions the rebar takes the 40-pixel buttons;
// without them the buttons are 26 high and the lists move up by 14.
TEST(LayOutMainWindow, StacksChildrenFromTheTop) {
  EXPECT_EQ(Stack(LayOutMainWindow({657, 371}, true, 105)),
            (std::vector<int32_t>{0, 50, 50, 2, 52, 40, 92, 105, 197, 3, 200, 151, 351, 20, 557, 637}));
  EXPECT_EQ(Stack(LayOutMainWindow({657, 371}, false, 105)),
            (std::vector<int32_t>{0, 50, 50, 2, 52, 26, 78, 105, 183, 3, 186, 165, 351, 20, 557, 637}));
}

TEST(LayOutMainWindow, ShortClientAreasNeverGoNegative) {
  struct Case { int32_t clientHeight, taskList, splitterGap, threadList; } cases[] = {
      {20, 0, 0, 0},     // the status bar alone
      {5, 0, 0, 0},      // less than the status bar
      {0, 0, 0, 0},
      {120, 22, 0, 0},   // 100 left: pane 50, line 2, rebar 26, list 22
      {200, 102, 0, 0},  // 180 left: the task list gets 102 of 105
      {205, 105, 2, 0},
      {210, 105, 3, 4},
  };
  for (const Case& c : cases) {
    MainLayout l = LayOutMainWindow({400, c.clientHeight}, false, 105);
    SCOPED_TRACE(c.clientHeight);
    if (c.clientHeight <= 20) {
      EXPECT_EQ(0, l.browserPane.height);
      EXPECT_EQ(0, l.separatorLine.height);
      EXPECT_EQ(0, l.rebar.height);
    }
    EXPECT_EQ(c.taskList, l.taskList.height);
    EXPECT_EQ(c.splitterGap, l.splitterGap.height);
    EXPECT_EQ(c.threadList, l.threadList.height);
  }
  // A stored negative task-list height takes nothing.
  EXPECT_EQ(0, LayOutMainWindow({400, 300}, false, -50).taskList.height);
}

TEST(DragSplitter, StaysWithinBothLists) {
  struct Case { int32_t pointerY, threadList, dragY, taskList; bool changed;
                int32_t newDragY, newTaskList; } cases[] = {
      {200, 150, 200, 105, false, 200, 105},  // no movement
      {180, 150, 200, 105, true, 180, 85},    // up by 20
      {50, 150, 200, 105, true, 95, 0},       // up past the top: list ends at 0
      {90, 150, 95, 0, false, 95, 0},         // already empty
      {230, 150, 200, 105, true, 230, 135},   // down by 30
      {500, 150, 200, 105, true, 350, 255},   // down by at most the thread list
      {300, 0, 200, 105, false, 200, 105},    // thread list already empty
      {0xFFF6, 150, 10, 105, true, -10, 85},  // y above the client area: -10
      {180, 150, 200, -5, false, 200, -5},    // a negative height never grows upwards
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pointerY);
    int32_t dragY = c.dragY, taskList = c.taskList;
    EXPECT_EQ(c.changed, DragSplitter(c.pointerY, c.threadList, &dragY, &taskList));
    EXPECT_EQ(c.newDragY, dragY);
    EXPECT_EQ(c.newTaskList, taskList);
  }
}

}  // namespace
}  // namespace harvio
