// The task properties sheet "任务属性" (command 5006): the wizard's search
// or custom page and its program page for one existing task. What may be
// changed depends on the task's state; a running task takes a new thread
// count at once.
#pragma once

#include "core/task.h"
#include "platform/win32/win_api.h"

namespace harvio::ui {

// Modal. On OK applies the pages that were shown and returns true; "取消"
// leaves the task untouched. The caller refreshes the task's row and sets
// its needsSave.
bool ShowTaskProperties(HWND owner, Task& task);

}  // namespace harvio::ui
