// Tasks kept across runs: the task list Task\List (task names in list
// order) and one file per task named after its taskName (the TaskInfo, then
// each queue as a count and its entries from the tail to the head). Every
// block is stored with a position-dependent byte scramble.
//
// Files are written to a temporary file beside the real one and put in
// place only once complete, so a failed write never leaves a torn file.
// Reading goes through a bounded reader: a file shorter than its counts
// announce is refused, never read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/task.h"

namespace harvio {

// The scramble: stored = plain + K1 * i + K2 (mod 256), i counting from 0
// at the start of each block. K1 is odd, so equal bytes closer than 256
// positions apart never look alike.
constexpr uint8_t kScrambleStep = 0x5B;  // K1
constexpr uint8_t kScrambleBase = 0xC3;  // K2
void ScrambleBlock(void* block, size_t length);
void UnscrambleBlock(void* block, size_t length);

// "<home>Task\\".
std::string TaskDirectory(const TaskSet& taskSet);

// The tasks named in Task\List, in list order, each name once. A task file
// that is missing or damaged is skipped (and left on disk); loading stops
// once 10 tasks are live. A list that cannot be read (damaged, or missing
// while task files are there) is rebuilt from the readable task files in
// the order of their names and written again; *rebuilt tells the caller
// to say so.
std::vector<Task*> LoadTaskList(TaskSet& taskSet, bool* rebuilt = nullptr);
Task* LoadTask(TaskSet& taskSet, const std::string& taskName,
               uint32_t orderKey);
// Writes Task\List naming `rows` in order, and nothing else: for a caller
// whose rows changed (a task added, deleted or moved), so that a crash
// loses no task.
bool WriteTaskList(const TaskSet& taskSet, const std::vector<Task*>& rows);
// Writes Task\List naming `rows` in order, then closes every task (each
// close thread writes its task file when needed). When the list cannot be
// written, no task file is rewritten either, and false tells the caller to
// report it (the previous files stay whole). `rows` ends empty.
bool SaveTaskList(TaskSet& taskSet, std::vector<Task*>& rows);
// Writes the task file; for the close thread, after the workers ended.
bool SaveTask(Task& task);
bool DeleteTaskFile(const Task& task);
// Writes `bytes` to `path` through a temporary file beside it, so the old
// file stays whole until the new one is complete.
bool WriteFileWhole(const std::string& path, const std::string& bytes);
// Creates every missing directory of `path` (which ends in "\\").
bool EnsureDirectories(const std::string& path);
// A fresh GUID text of at most 63 bytes.
std::string NewGuidText();

}  // namespace harvio
