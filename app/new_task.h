// Creating a task, without any window: the checks and defaults of each
// page of the new-task wizard, in the order the wizard applies them, and
// the finish step that builds the TaskInfo, refuses a duplicate or an
// eleventh task, creates the task and seeds its queues. The wizard and
// harvio-cli both go through here, so they accept and refuse the same
// things with the same messages.
//
// Every check returns an empty text when it passes, else the message (from
// the string table, code page 936) to show; the data is changed only on
// success.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/task.h"
#include "core/url_queue.h"

namespace harvio {

// The SourceId ranges that choose the wizard's pages and a task's defaults.
constexpr uint32_t kLastSearchEngine = 20;
constexpr uint32_t kLastKeywordSource = 30;  // 21-30: keyword forums
constexpr uint32_t kFirstForum = 21;
constexpr uint32_t kLastForum = 153;
constexpr uint32_t kLastBoard = 160;  // above: the custom sources
constexpr uint32_t kDirectPictures = 161;
constexpr uint32_t kPagePictures = 162;

// What the wizard's pages collect for one new task.
struct WizardData {
  uint32_t sourceId = 0;
  std::string catalogPath;
  std::string savePath;  // normalised, ends in "\\"
  uint32_t threadCount = kDefaultThreads;
  uint32_t classifyByTitle = 0;
  std::string notes;
  std::string keyword;  // normalised
  uint32_t sizeOption = 0;
  uint32_t jpgLarge = 1;
  uint32_t jpgSmall = 0;
  uint32_t gif = 0;
  UrlQueue urlList;  // the custom sources' working list
};

// Keyword as stored: tabs and "+" become blanks, outer blanks go, and the
// words are joined with "+" (SourceId 1-20) or run together (21-30).
// False when nothing is left.
bool NormalizeKeyword(uint32_t sourceId, const std::string& typed,
                      std::string* keyword);
// Thread count from the text of the spin's edit; `fallback` when it is not
// a number in 5..25.
uint32_t ThreadCountFromText(const std::string& text, uint32_t fallback);
// WorkPath + the names of the catalog path + (keyword sources) the keyword
// as a folder name; without a final "\\".
std::string DefaultSavePath(const char* workPath, const WizardData& data);

// The queue a custom source's URL list goes to, which fixes where its
// crawl begins: 161 PIC, 162 WEB1, 163 WEB2.
ItemKind CustomSourceQueue(uint32_t sourceId);
// Appends copies of every entry of `from` to `to`, in the same order.
void CopyUrlList(UrlQueue& from, UrlQueue& to);

// A folder is not a source.
std::string CheckSourcePage(const WizardData& data);
std::string CheckSearchPage(WizardData& data, const std::string& keyword,
                            uint32_t sizeOption);
// The URL list must not be empty; SourceId 162 needs a picture format.
std::string CheckCustomPage(WizardData& data, uint32_t jpgLarge,
                            uint32_t jpgSmall, uint32_t gif);
std::string CheckProgramPage(WizardData& data, const std::string& savePath,
                             const std::string& threadText,
                             bool classifyByTitle, const std::string& notes);

// The TaskInfo the wizard's data makes (taskName still empty).
TaskInfo BuildTaskInfo(const WizardData& data);
bool IsDuplicateTask(const TaskInfo& info, const std::vector<Task*>& tasks);
// Creates the task (state New, order key = number of `tasks`) with its
// queues seeded; null with `refusal` set when 10 tasks exist or the same
// task does.
Task* FinishWizard(TaskSet& taskSet, WizardData& data,
                   const std::vector<Task*>& tasks, std::string* refusal);

}  // namespace harvio
