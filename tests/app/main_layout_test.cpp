#include "app/main_layout.h"

#include <gtest/gtest.h>

namespace harvio {
namespace {

TEST(ToolbarButtonSize, FollowsCaptions) {
  EXPECT_EQ(35, ToolbarButtonSize(true).width);
  EXPECT_EQ(40, ToolbarButtonSize(true).height);
  EXPECT_EQ(29, ToolbarButtonSize(false).width);
  EXPECT_EQ(26, ToolbarButtonSize(false).height);
}

TEST(LayOutMainWindow, StacksChildrenFromTheTop) {
  // 665x425 window, captions on: the rebar takes the 40-pixel buttons.
  MainLayout l = LayOutMainWindow({657, 371}, true, 105);
  EXPECT_EQ(351, l.statusBar.y);
  EXPECT_EQ(20, l.statusBar.height);
  EXPECT_EQ(557, l.statusPartRight[0]);
  EXPECT_EQ(637, l.statusPartRight[1]);
  EXPECT_EQ(0, l.browserPane.y);
  EXPECT_EQ(50, l.browserPane.height);
  EXPECT_EQ(50, l.separatorLine.y);
  EXPECT_EQ(2, l.separatorLine.height);
  EXPECT_EQ(52, l.rebar.y);
  EXPECT_EQ(40, l.rebar.height);
  EXPECT_EQ(92, l.taskList.y);
  EXPECT_EQ(105, l.taskList.height);
  EXPECT_EQ(197, l.splitterGap.y);
  EXPECT_EQ(3, l.splitterGap.height);
  EXPECT_EQ(200, l.threadList.y);
  EXPECT_EQ(151, l.threadList.height);

  // Without captions the buttons are 26 high and the lists move up by 14.
  MainLayout small = LayOutMainWindow({657, 371}, false, 105);
  EXPECT_EQ(26, small.rebar.height);
  EXPECT_EQ(78, small.taskList.y);
  EXPECT_EQ(165, small.threadList.height);
}

TEST(LayOutMainWindow, ShortClientAreasNeverGoNegative) {
  struct Case {
    int32_t clientHeight, taskList, splitterGap, threadList;
  } cases[] = {
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
  struct Case {
    int32_t pointerY, threadList, dragY, taskList;
    bool changed;
    int32_t newDragY, newTaskList;
  } cases[] = {
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
