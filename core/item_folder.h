// The folder an item's files go to: the task's save folder, or for the
// pictures of a forum thread in a task that files them by thread, a
// sub-folder named after the thread title (cleaned when it was admitted).
#pragma once

#include <string>

#include "core/task_info.h"

namespace harvio {

// Ends in "\\". A title that could name a place outside the save folder
// (one from a damaged task file; AddUrl never admits such) files into the
// save folder itself; one that Windows keeps for a device (CON, AUX, NUL,
// COM1, LPT1, ...) gets a "_" at its end.
std::string ItemFolder(const TaskInfo& info, const UrlItem& item,
                       ItemKind kind);

// "X:\\" followed by folder names that Windows can create, each ending in
// "\\", at most 127 bytes: the form of every save folder (whether its
// drive exists now is not asked).
bool IsSaveFolderForm(const std::string& path);

// A file name this program makes: no directory part, no "..". Names from a
// task file are acted on only when they pass.
bool IsPlainFileName(const char* name);

}  // namespace harvio
