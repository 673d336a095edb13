// Progress that survives a crash. While a task runs, a checkpoint thread of
// its own rewrites the task file (the same file the close thread writes)
// every two seconds when something changed, from a snapshot taken under the
// queue locks and written after they are released. Between checkpoints a
// small journal beside the task file, "Task\<taskName>.journal", names every
// partial file before it is created, with the URL it belongs to. After a
// crash the next start reads the journal: a picture finished since the last
// checkpoint is counted instead of fetched again (one found by a page
// parsed since then gets a finished entry of its own, so the page's next
// parse does not queue it again), a partial file that no entry names is
// given to its entry or deleted, so none is left behind.
//
// Journal line: kind digit, tab, the partial file's path without ".!",
// tab, host + path of the URL, line feed.
#pragma once

#include <string>

#include "core/task.h"

namespace harvio {

constexpr uint32_t kCheckpointMs = 2000;

// Puts right what a crash left (see above) when the task's last run left a
// journal; then starts the task's checkpoint thread unless it runs. Called
// by StartTask before any worker exists.
void StartCheckpoints(Task& task);

// Ends the checkpoint thread; the journal stays for SaveProgress. For the
// close thread, once the workers have ended.
void StopCheckpoints(Task& task);

// Names the partial file `file` (its path without ".!") of the entry
// `item` in the journal, before the file is created. False when the
// journal cannot be written: the file must not be created then.
bool JournalPartialFile(Task& task, ItemKind kind, const UrlItem& item,
                        const std::string& file);

// Writes the task file from a snapshot and drops the journal lines that
// the file now covers (all of them once no worker runs).
bool SaveProgress(Task& task);

// For a deleted task: deletes every partial file the journal names, and the
// journal.
void DeleteJournaledFiles(Task& task);

// Releases what StartCheckpoints made (the task's destructor).
void ReleaseCheckpoints(Task& task);

}  // namespace harvio
