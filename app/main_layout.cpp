#include "app/main_layout.h"

#include <algorithm>

namespace harvio {
namespace {

// Takes up to `wish` pixels of what is left below `*y`.
Band Take(int32_t wish, int32_t* y, int32_t* left) {
  Band band{*y, std::max(0, std::min(wish, *left))};
  *y += band.height;
  *left -= band.height;
  return band;
}

}  // namespace

Size ToolbarButtonSize(bool captions) { return captions ? Size{35, 40} : Size{29, 26}; }

MainLayout LayOutMainWindow(Size client, bool captions, int32_t taskListHeight) {
  MainLayout layout{};
  layout.statusBar = {client.height - kStatusBarHeight, kStatusBarHeight};
  layout.statusPartRight[0] = client.width - kSpeedPartWidth - kStatusGripWidth;
  layout.statusPartRight[1] = client.width - kStatusGripWidth;
  int32_t left = client.height > kStatusBarHeight ? client.height - kStatusBarHeight : 0;
  int32_t y = 0;
  layout.browserPane = Take(kBrowserPaneHeight, &y, &left);
  layout.separatorLine = Take(kSeparatorHeight, &y, &left);
  layout.rebar = Take(ToolbarButtonSize(captions).height, &y, &left);
  layout.taskList = Take(taskListHeight, &y, &left);
  layout.splitterGap = Take(kSplitterGap, &y, &left);
  layout.threadList = Take(left, &y, &left);
  return layout;
}

bool DragSplitter(int32_t pointerY, int32_t threadListHeight, int32_t* dragY,
                  int32_t* taskListHeight) {
  int32_t d = static_cast<int16_t>(pointerY) - *dragY;
  int32_t step = 0;
  // A stored height below zero must not turn a shrink into a growth.
  if (d < 0) step = -std::max(0, std::min(-d, *taskListHeight));
  if (d > 0) step = std::max(0, std::min(d, threadListHeight));
  if (step == 0) return false;
  *taskListHeight += step;
  *dragY += step;
  return true;
}

}  // namespace harvio
