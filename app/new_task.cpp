#include "app/new_task.h"

#include <cstring>

#include "core/gbk_text.h"
#include "app/save_path.h"
#include "core/string_table.h"
#include "sources/catalog.h"
#include "app/string_routines.h"
#include "sources/text_helpers.h"

namespace harvio {
namespace {

constexpr uint32_t kChooseSubCategory = 1461;  // "请继续选择子类别。"
constexpr uint32_t kPathInvalid = 1462;        // "路径无效，请重新输入。"
constexpr uint32_t kEnterKeyword = 1464;       // "请输入关键字。"
constexpr uint32_t kUrlListEmpty = 1465;  // "URL 队列为空，请添加 URL。"
constexpr uint32_t kChooseFormat = 1466;  // "至少要选择一种图片格式。"
constexpr uint32_t kSameTaskExists = 1467;  // "相同的任务已经存在。"
constexpr uint32_t kTooManyTasks = 1510;    // "最多只能添加 * 个任务。"

constexpr size_t kTypedPathMax = 127;

bool IsForum(uint32_t sourceId) {
  return sourceId >= kFirstForum && sourceId <= kLastForum;
}

// The keyword as a folder name: a search engine's "+" were blanks.
std::string KeywordFolder(const WizardData& data) {
  char folder[sizeof(TaskInfo::keyword)];
  CopyBounded(folder, sizeof(folder), data.keyword.c_str());
  if (data.sourceId <= kLastSearchEngine) PlusToBlanks(folder);
  SanitizeFolderName(folder);
  return folder;
}

void SetPictureFlags(const WizardData& data, TaskInfo& info) {
  bool all = data.sourceId < kFirstForum || data.sourceId == kDirectPictures;
  bool ticked = data.sourceId == kPagePictures;
  info.jpgLarge = all ? 1 : ticked ? data.jpgLarge : 1;
  info.jpgSmall = all ? 1 : ticked ? data.jpgSmall : 0;
  info.gif = all ? 1 : ticked ? data.gif : 0;
}

void SeedQueues(Task& task, WizardData& data) {
  if (task.info.sourceId <= kLastBoard) {
    AddStartUrl(task.queues[kWeb2], task.info);
    return;
  }
  CopyUrlList(data.urlList, task.queues[CustomSourceQueue(task.info.sourceId)]);
}

}  // namespace

ItemKind CustomSourceQueue(uint32_t sourceId) {
  if (sourceId == kDirectPictures) return kPic;
  return sourceId == kPagePictures ? kWeb1 : kWeb2;
}

void CopyUrlList(UrlQueue& from, UrlQueue& to) {
  // Inserting at the head from the tail on keeps the list's order.
  from.ForEachTailToHead([&](const UrlItem& item) { to.AppendCopy(item); });
}

bool NormalizeKeyword(uint32_t sourceId, const std::string& typed,
                      std::string* keyword) {
  char text[sizeof(TaskInfo::keyword)];
  CopyBounded(text, sizeof(text), typed.c_str());
  TabsToBlanks(text);
  PlusToBlanks(text);
  TrimSpaces(text);
  if (text[0] == '\0') return false;
  CollapseBlanks(text, sourceId <= kLastSearchEngine);
  *keyword = text;
  return true;
}

uint32_t ThreadCountFromText(const std::string& text, uint32_t fallback) {
  if (text.empty() || text.size() > 8 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return fallback;
  }
  unsigned long n = std::stoul(text);
  return n >= kMinThreads && n <= kMaxThreads ? static_cast<uint32_t>(n)
                                              : fallback;
}

std::string DefaultSavePath(const char* workPath, const WizardData& data) {
  std::string path = workPath;
  std::string names = data.catalogPath;
  for (size_t arrow = names.find("->"); arrow != std::string::npos;
       arrow = names.find("->")) {
    names.replace(arrow, 2, "\\");
  }
  path += names;
  if (data.sourceId <= kLastKeywordSource) {
    std::string folder = KeywordFolder(data);
    if (!folder.empty()) path += "\\" + folder;
  }
  return path;
}

std::string CheckSourcePage(const WizardData& data) {
  return data.sourceId == 0 ? StringText(kChooseSubCategory) : "";
}

std::string CheckSearchPage(WizardData& data, const std::string& keyword,
                            uint32_t sizeOption) {
  std::string normalised;
  if (!NormalizeKeyword(data.sourceId, keyword, &normalised)) {
    return StringText(kEnterKeyword);
  }
  data.keyword = normalised;
  data.sizeOption = sizeOption;
  return std::string();
}

std::string CheckCustomPage(WizardData& data, uint32_t jpgLarge,
                            uint32_t jpgSmall, uint32_t gif) {
  if (data.urlList.Count() == 0) return StringText(kUrlListEmpty);
  if (data.sourceId == kPagePictures) {
    if (jpgLarge == 0 && jpgSmall == 0 && gif == 0) {
      return StringText(kChooseFormat);
    }
    data.jpgLarge = jpgLarge;
    data.jpgSmall = jpgSmall;
    data.gif = gif;
  }
  return std::string();
}

std::string CheckProgramPage(WizardData& data, const std::string& savePath,
                             const std::string& threadText,
                             bool classifyByTitle, const std::string& notes) {
  char typed[kTypedPathMax + 1];
  CopyBounded(typed, sizeof(typed), savePath.c_str());
  std::string path = NormalizeSavePath(typed);
  if (!IsValidSavePath(path)) return StringText(kPathInvalid);
  data.savePath = path;
  data.threadCount = ThreadCountFromText(threadText, kDefaultThreads);
  if (IsForum(data.sourceId)) data.classifyByTitle = classifyByTitle ? 1 : 0;
  char note[sizeof(TaskInfo::notes)];
  CopyBounded(note, sizeof(note), notes.c_str());
  data.notes = note;
  return std::string();
}

TaskInfo BuildTaskInfo(const WizardData& data) {
  TaskInfo info{};
  info.sourceId = data.sourceId;
  CopyBounded(info.catalogPath, sizeof(info.catalogPath),
              data.catalogPath.c_str());
  CopyBounded(info.savePath, sizeof(info.savePath), data.savePath.c_str());
  info.threadCount = data.threadCount;
  info.classifyByTitle = IsForum(data.sourceId) ? data.classifyByTitle : 0;
  CopyBounded(info.notes, sizeof(info.notes), data.notes.c_str());
  if (data.sourceId <= kLastKeywordSource) {
    CopyBounded(info.keyword, sizeof(info.keyword), data.keyword.c_str());
    info.sizeOption = data.sizeOption;
  }
  SetPictureFlags(data, info);
  return info;
}

bool IsDuplicateTask(const TaskInfo& info, const std::vector<Task*>& tasks) {
  if (info.sourceId > kLastBoard) return false;
  for (const Task* task : tasks) {
    if (task->info.sourceId != info.sourceId) continue;
    if (info.sourceId > kLastKeywordSource ||
        std::strcmp(task->info.keyword, info.keyword) == 0) {
      return true;
    }
  }
  return false;
}

Task* FinishWizard(TaskSet& taskSet, WizardData& data,
                   const std::vector<Task*>& tasks, std::string* refusal) {
  TaskInfo info = BuildTaskInfo(data);
  bool duplicate = IsDuplicateTask(info, tasks);
  // The limit is told first: with 10 tasks nothing can be added at all.
  Task* task = duplicate ? nullptr
                         : CreateTask(taskSet, info,
                                      static_cast<uint32_t>(tasks.size()));
  if (task == nullptr) {
    *refusal = taskSet.liveTasks.load() >= kMaxTasks
                   ? StringWithNumber(kTooManyTasks, kMaxTasks)
                   : StringText(kSameTaskExists);
    return nullptr;
  }
  SeedQueues(*task, data);
  return task;
}

}  // namespace harvio
