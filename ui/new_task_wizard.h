// The new-task wizard (command 5000): five pages, routed by the chosen
// source, that end in a new task.
#pragma once

#include <functional>
#include <vector>

#include "app/options.h"
#include "core/task.h"
#include "platform/win32/win_api.h"

namespace harvio::ui {

// Runs the wizard modally over the task list's rows (`tasks`, in list
// order, for the duplicate check and the order key). On "完成" the task is
// created in `taskSet` and handed to `appendTaskRow`, which adds its row.
// Returns the new task, or null when the wizard was left with "取消".
Task* RunNewTaskWizard(HWND owner, TaskSet& taskSet, const Options& options,
                       const std::vector<Task*>& tasks,
                       const std::function<void(Task*)>& appendTaskRow);

}  // namespace harvio::ui
