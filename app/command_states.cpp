#include "app/command_states.h"

#include "core/task_info.h"
#include "res/resource.h"

namespace harvio {
namespace {

bool IsWaiting(uint32_t state) { return state == kNew || state == kPaused; }

}  // namespace

bool CommandStates::IsEnabled(uint32_t command) const {
  if (command < CMD_DELETE_TASK || command > CMD_OPEN_SAVE_FOLDER) return true;
  return enabled[command - CMD_DELETE_TASK];
}

CommandStates ComputeCommandStates(const std::vector<RowFlags>& rows) {
  bool anySelected = false, startable = false, pausable = false;
  bool movableUp = false, movableDown = false, focusedSelected = false;
  for (size_t i = 0; i < rows.size(); ++i) {
    const RowFlags& row = rows[i];
    if (row.focused && row.selected) focusedSelected = true;
    if (!row.selected) continue;
    anySelected = true;
    startable = startable || IsWaiting(row.state);
    pausable = pausable || row.state == kRunning;
    movableUp = movableUp || (i > 0 && !rows[i - 1].selected);
    movableDown = movableDown || (i + 1 < rows.size() && !rows[i + 1].selected);
  }
  return CommandStates{{anySelected, startable, pausable, movableUp, movableDown,
                        focusedSelected, focusedSelected}};
}

bool MayStartTask(uint32_t state, uint32_t runningCount) {
  return IsWaiting(state) && runningCount < kMaxRunningTasks;
}

std::vector<size_t> RowsToStart(const std::vector<RowFlags>& rows, uint32_t runningCount) {
  std::vector<size_t> start;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (!MayStartTask(rows[i].state, runningCount + static_cast<uint32_t>(start.size()))) {
      continue;
    }
    if (rows[i].selected) start.push_back(i);
  }
  return start;
}

std::vector<size_t> RowsToPause(const std::vector<RowFlags>& rows) {
  std::vector<size_t> pause;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].selected && rows[i].state == kRunning) pause.push_back(i);
  }
  return pause;
}

uint32_t HelpStringId(uint32_t command) {
  return command >= CMD_NEW_TASK && command <= CMD_HOME_PAGE ? command - 4000 : 0;
}

uint32_t CaptionStringId(uint32_t command) {
  return command >= CMD_NEW_TASK && command <= CMD_EXIT ? command - 3960 : 0;
}

}  // namespace harvio
