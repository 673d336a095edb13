// The folder an item's files go to: the task's save folder, or for the
// pictures of a forum thread in a task that files them by thread, a
// sub-folder named after the thread title (cleaned when it was admitted).
#pragma once

#include <string>

#include "core/task_info.h"

namespace harvio {

// Ends in "\\".
std::string ItemFolder(const TaskInfo& info, const UrlItem& item,
                       ItemKind kind);

}  // namespace harvio
