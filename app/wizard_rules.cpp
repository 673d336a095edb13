#include "app/wizard_rules.h"

#include "core/gbk_text.h"
#include "core/string_table.h"
#include "sources/catalog.h"
#include "app/string_routines.h"

namespace harvio {
namespace {

constexpr uint32_t kUrlCount = 1470;  // "URL 数量: *"

bool IsCustom(uint32_t sourceId) { return sourceId > kLastBoard; }

// The page a source's own input page is: search, none (boards) or custom.
WizardPage InputPage(uint32_t sourceId) {
  if (sourceId <= kLastKeywordSource) return kSearchPage;
  return IsCustom(sourceId) ? kCustomPage : kProgramPage;
}

uint32_t PageSlot(WizardPage page) { return (page - kSourcePage) / 10; }

}  // namespace

WizardPage NextPage(WizardPage page, uint32_t sourceId) {
  switch (page) {
    case kSourcePage:
      return sourceId == 0 ? kSourcePage : InputPage(sourceId);
    case kSearchPage:
    case kCustomPage:
      return kProgramPage;
    default:
      return kFinishPage;
  }
}

WizardPage PreviousPage(WizardPage page, uint32_t sourceId) {
  switch (page) {
    case kFinishPage:
      return kProgramPage;
    case kProgramPage:
      return InputPage(sourceId) == kProgramPage ? kSourcePage
                                                 : InputPage(sourceId);
    default:
      return kSourcePage;
  }
}

WizardButtons ButtonsOf(WizardPage page) {
  if (page == kSourcePage) return {false, true, false};
  if (page == kFinishPage) return {true, false, true};
  return {true, true, false};
}

bool PagePreparation::NeedsPreparing(WizardPage page, uint32_t sourceId) {
  uint32_t& last = preparedFor_[PageSlot(page)];
  if (last == sourceId) return false;
  last = sourceId;
  return true;
}

bool PagePreparation::NeedsDefaultPath(bool newSource,
                                       const std::string& keyword) {
  if (!newSource && keyword == pathKeyword_) return false;
  pathKeyword_ = keyword;
  return true;
}

bool HasClassifyBox(uint32_t sourceId) {
  return sourceId >= kFirstForum && sourceId <= kLastForum;
}

FormatBoxes WizardFormatBoxes(uint32_t sourceId) {
  if (sourceId == kDirectPictures) return {{1, 1, 1}, false};
  return {{1, 0, 0}, sourceId == kPagePictures};
}

FormatBoxes SheetFormatBoxes(const TaskInfo& info) {
  if (info.sourceId == kDirectPictures) return {{1, 1, 1}, false};
  if (info.sourceId != kPagePictures) return {{1, 0, 0}, false};
  return {{info.jpgLarge, info.jpgSmall, info.gif}, info.state == kNew};
}

std::string UrlCountLabel(uint32_t count) {
  char label[128];
  CopyBounded(label, sizeof(label), StringText(kUrlCount));
  SubstituteStar(label, sizeof(label), count);
  return label;
}

bool IsSeriesEntry(const std::string& entry) {
  std::string url = NormalizeUrlEntry(entry);
  return IsValidUrl(url.c_str()) && url.find("(*)") != std::string::npos;
}

uint32_t BatchBoundFromText(const std::string& text) {
  constexpr uint32_t kMaxBound = 9999;
  if (text.empty() || text.size() > 4 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return 0;
  }
  uint32_t bound = static_cast<uint32_t>(std::stoul(text));
  return bound <= kMaxBound ? bound : 0;
}

uint32_t SheetPages(uint32_t sourceId, WizardPage pages[2]) {
  uint32_t n = 0;
  if (InputPage(sourceId) != kProgramPage) pages[n++] = InputPage(sourceId);
  pages[n++] = kProgramPage;
  return n;
}

SheetEditable EditableIn(uint32_t sourceId, TaskState state) {
  bool isNew = state == kNew;
  return {isNew, isNew, isNew, isNew && HasClassifyBox(sourceId),
          state != kDone, true};
}

std::string KeywordAsShown(uint32_t sourceId, const char* keyword) {
  char shown[sizeof(TaskInfo::keyword)];
  CopyBounded(shown, sizeof(shown), keyword);
  if (sourceId <= kLastSearchEngine) PlusToBlanks(shown);
  return shown;
}

void LoadSheetData(Task& task, WizardData* data) {
  const TaskInfo& info = task.info;
  data->sourceId = info.sourceId;
  data->catalogPath = info.catalogPath;
  data->savePath = info.savePath;
  data->threadCount = info.threadCount;
  data->classifyByTitle = info.classifyByTitle;
  data->notes = info.notes;
  data->keyword = info.keyword;
  data->sizeOption = info.sizeOption;
  data->jpgLarge = info.jpgLarge;
  data->jpgSmall = info.jpgSmall;
  data->gif = info.gif;
  data->urlList.Clear();
  // Only a New task's list can still be edited; the others show none.
  if (IsCustom(info.sourceId) && info.state == kNew) {
    CopyUrlList(task.queues[CustomSourceQueue(info.sourceId)], data->urlList);
  }
}

std::string CheckSheetSearchPage(WizardData& data, TaskState state,
                                 const std::string& keyword,
                                 uint32_t sizeOption) {
  return state == kNew ? CheckSearchPage(data, keyword, sizeOption) : "";
}

std::string CheckSheetCustomPage(WizardData& data, TaskState state,
                                 uint32_t jpgLarge, uint32_t jpgSmall,
                                 uint32_t gif) {
  return state == kNew ? CheckCustomPage(data, jpgLarge, jpgSmall, gif) : "";
}

std::string CheckSheetProgramPage(WizardData& data, TaskState state,
                                  const std::string& savePath,
                                  const std::string& threadText,
                                  bool classifyByTitle,
                                  const std::string& notes) {
  uint32_t current = data.threadCount;
  if (state == kNew) {
    std::string refusal =
        CheckProgramPage(data, savePath, threadText, classifyByTitle, notes);
    if (!refusal.empty()) return refusal;
  } else {
    char note[sizeof(TaskInfo::notes)];
    CopyBounded(note, sizeof(note), notes.c_str());
    data.notes = note;
  }
  data.threadCount =
      state == kDone ? current : ThreadCountFromText(threadText, current);
  return std::string();
}

void ApplySheet(Task& task, WizardData& data, const ShownPages& shown) {
  TaskInfo& info = task.info;
  // The state may have moved on while the sheet was open (the tick starts
  // and pauses tasks); what only a New task may change is applied only then.
  bool isNew = info.state == kNew;
  if (isNew && shown.search) {
    CopyBounded(info.keyword, sizeof(info.keyword), data.keyword.c_str());
    info.sizeOption = data.sizeOption;
    task.queues[kWeb2].Clear();
    AddStartUrl(task.queues[kWeb2], info);
  }
  if (isNew && shown.custom) {
    UrlQueue& queue = task.queues[CustomSourceQueue(info.sourceId)];
    queue.Clear();
    CopyUrlList(data.urlList, queue);
    if (info.sourceId == kPagePictures) {
      info.jpgLarge = data.jpgLarge;
      info.jpgSmall = data.jpgSmall;
      info.gif = data.gif;
    }
  }
  if (!shown.program) return;
  if (isNew) {
    CopyBounded(info.savePath, sizeof(info.savePath), data.savePath.c_str());
    if (HasClassifyBox(info.sourceId)) info.classifyByTitle = data.classifyByTitle;
  }
  if (info.state != kDone) SetThreadCount(task, data.threadCount);
  CopyBounded(info.notes, sizeof(info.notes), data.notes.c_str());
}

}  // namespace harvio
