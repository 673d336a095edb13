// The decisions of the new-task wizard and of the task properties sheet
// that do not need a window: which page follows which, when a page must be
// prepared again for a changed source or keyword, which controls a page
// shows and may change, and the properties sheet's checks and its applying
// to an existing task. The page checks and the finish step themselves are
// those of app/new_task, shared with harvio-cli; the dialog classes only
// move values between their controls and these functions.
#pragma once

#include <cstdint>
#include <string>

#include "core/task.h"
#include "app/new_task.h"
#include "app/url_batch.h"

namespace harvio {

// The pages, named by their dialog template ids.
enum WizardPage : uint32_t {
  kSourcePage = 5050,
  kProgramPage = 5060,
  kFinishPage = 5070,
  kSearchPage = 5080,
  kCustomPage = 5090,
};

// The page Next leads to from `page` for `sourceId`; the page itself when
// it has no Next (the finish page) or when a folder is selected.
WizardPage NextPage(WizardPage page, uint32_t sourceId);
// The page Back leads to; the source page has none and stays.
WizardPage PreviousPage(WizardPage page, uint32_t sourceId);

struct WizardButtons {
  bool back;
  bool next;
  bool finish;
};
WizardButtons ButtonsOf(WizardPage page);

// Remembers, per page, the source it was last prepared for, and the keyword
// the default save path was last built from.
class PagePreparation {
 public:
  // True, and remembered, when `page` becomes active for a source it was
  // not prepared for: its source-dependent controls must be reset.
  bool NeedsPreparing(WizardPage page, uint32_t sourceId);
  // True, and remembered, when the program page must put the default save
  // path into its edit: a new source, or a keyword changed since the path
  // was last built. Call after NeedsPreparing for the program page.
  bool NeedsDefaultPath(bool newSource, const std::string& keyword);

 private:
  uint32_t preparedFor_[5] = {0, 0, 0, 0, 0};
  std::string pathKeyword_;
};

// "按帖子主题分类保存" belongs to the forum sources only.
bool HasClassifyBox(uint32_t sourceId);

// The custom page's three format boxes ("JPG(大图)", "JPG(小图)", "GIF").
struct FormatBoxes {
  uint32_t ticked[3];
  bool enabled;
};
// In the wizard, as the page is prepared for `sourceId`.
FormatBoxes WizardFormatBoxes(uint32_t sourceId);
// In the properties sheet, for the stored task; only a New 162 task's
// boxes can be changed.
FormatBoxes SheetFormatBoxes(const TaskInfo& info);

// "URL 数量: *" with the list's count.
std::string UrlCountLabel(uint32_t count);

// The Add-URL dialog: "从" and "到" are enabled only for a valid entry
// holding "(*)"; a bound the up-down control cannot read counts as 0.
bool IsSeriesEntry(const std::string& entry);
uint32_t BatchBoundFromText(const std::string& text);

// The properties sheet.

// Its pages in order: the search or the custom page (if any), then the
// program page. Returns how many were written (1 or 2).
uint32_t SheetPages(uint32_t sourceId, WizardPage pages[2]);

// What the sheet lets the user change for a task in `state`.
struct SheetEditable {
  bool keywordAndOption;  // search page
  bool urlList;           // custom page: "添加 URL", "清空队列"
  bool savePath;          // with "..."
  bool classifyBox;
  bool threadCount;
  bool notes;
};
SheetEditable EditableIn(uint32_t sourceId, TaskState state);

// The working record of a sheet, seeded from the task: the stored values
// (a search engine's keyword shown with blanks for its "+") and, for a New
// custom task, a copy of the URLs of its queue.
void LoadSheetData(Task& task, WizardData* data);
std::string KeywordAsShown(uint32_t sourceId, const char* keyword);

// The checks when a page is left; each applies only what the task's state
// lets change. Empty on success, else the message.
std::string CheckSheetSearchPage(WizardData& data, TaskState state,
                                 const std::string& keyword,
                                 uint32_t sizeOption);
std::string CheckSheetCustomPage(WizardData& data, TaskState state,
                                 uint32_t jpgLarge, uint32_t jpgSmall,
                                 uint32_t gif);
// A thread count that cannot be read keeps the task's own count.
std::string CheckSheetProgramPage(WizardData& data, TaskState state,
                                  const std::string& savePath,
                                  const std::string& threadText,
                                  bool classifyByTitle,
                                  const std::string& notes);

// OK: applies the pages that were shown. A New keyword task gets its WEB2
// queue replaced by the new start URL, a New custom task its queue by the
// working list; a running task is resized at once.
struct ShownPages {
  bool search;
  bool custom;
  bool program;
};
void ApplySheet(Task& task, WizardData& data, const ShownPages& shown);

}  // namespace harvio
