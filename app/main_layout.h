// The arithmetic of the main window's layout: where each child goes for a
// client area, the toolbar's button size, and how a splitter drag moves the
// border between the task list and the thread list. No window is needed, so
// the rules are tested natively; ui/ only moves the controls.
#pragma once

#include <cstdint>

namespace harvio {

struct Size {
  int32_t width;
  int32_t height;
};

// A child's band: full width, from y down for height pixels.
struct Band {
  int32_t y;
  int32_t height;
};

struct MainLayout {
  Band statusBar;
  int32_t statusPartRight[2];  // right edges of parts 0 and 1; a grip follows
  Band browserPane;
  Band separatorLine;
  Band rebar;
  Band taskList;
  Band splitterGap;
  Band threadList;
};

constexpr int32_t kStatusBarHeight = 20;
constexpr int32_t kStatusGripWidth = 20;
constexpr int32_t kSpeedPartWidth = 80;
constexpr int32_t kBrowserPaneHeight = 50;
constexpr int32_t kSeparatorHeight = 2;
constexpr int32_t kSplitterGap = 3;

// 35 by 40 with captions under the images, 29 by 26 without.
Size ToolbarButtonSize(bool captions);

// The children of a client area `client`; the rebar is as high as a
// toolbar button, the task list wishes for `taskListHeight`. Bands are
// stacked from the top and never get a negative height.
MainLayout LayOutMainWindow(Size client, bool captions, int32_t taskListHeight);

// The splitter being dragged: the pointer moved to `pointerY` (a signed
// 16-bit value), the drag began at `dragY`. Grows or shrinks the task list
// within what the lists hold now and follows the pointer by as much.
// Returns whether anything changed.
bool DragSplitter(int32_t pointerY, int32_t threadListHeight, int32_t* dragY,
                  int32_t* taskListHeight);

}  // namespace harvio
