// The main window's command table without the window: which commands the
// task-list rows allow, which rows Start and Pause act on, and the string
// ids of each command's help and toolbar caption.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace harvio {

// One task-list row as the commands see it.
struct RowFlags {
  uint32_t state;  // TaskState of the row's task
  bool selected;
  bool focused;
};

// Commands 5001 to 5007 depend on the rows; every other one is always on.
struct CommandStates {
  bool enabled[7];  // 5001..5007
  bool IsEnabled(uint32_t command) const;
};

// One pass over the rows, top to bottom.
CommandStates ComputeCommandStates(const std::vector<RowFlags>& rows);

// A task may start when it is New or Paused and fewer than 3 run.
bool MayStartTask(uint32_t state, uint32_t runningCount);
// The selected rows Start acts on, in row order: the New or Paused ones,
// as many as there is room for beside `runningCount` running tasks.
std::vector<size_t> RowsToStart(const std::vector<RowFlags>& rows, uint32_t runningCount);
// The selected rows Pause acts on, in row order: the Running ones.
std::vector<size_t> RowsToPause(const std::vector<RowFlags>& rows);

// The status-bar help of a menu item (5000..5016), 0 for none.
uint32_t HelpStringId(uint32_t command);
// The toolbar caption and tooltip of a button (5000..5011), 0 for none.
uint32_t CaptionStringId(uint32_t command);

}  // namespace harvio
