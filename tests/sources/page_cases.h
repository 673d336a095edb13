// Pages as parser test cases. Reading them: the saved pages of
// tests/data/FOLDER, whose FOLDER/cases.txt names, one line a case and
// tab-separated, the case NAME, the source and kind of the item the page
// came from, that item's URL and, where it matters, its title and the page
// read when it is another case's page (NAME.expected holds what parsing the
// page admits, one harvio-cli parse line each), and pages written into
// table files. Board pages are kept readable as UTF-8 and turned into the
// sites' GBK bytes for parsing. Running them: PageRun hands a page to
// DispatchPage as a worker of a task does (a custom source's without tabs
// and line breaks) and records every admission the parser asked for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/task_info.h"
#include "core/url_queue.h"
#include "sources/page_dispatch.h"

namespace harvio::test {

// The whole file at `path`, as stored; and one under tests/data.
std::string ReadWholeFile(const std::string& path);
std::string ReadTestData(const std::string& path);

std::string Gbk(const std::string& utf8);
std::string Utf8(const std::string& gbk);

// The rows of a table file under tests/data: tab-separated fields, lines
// that are empty or start with "#" skipped. In a field "{N*text}" stands
// for `text` N times, and \0 \n \t \\ for NUL, line feed, tab and
// backslash.
struct Row {
  int line;
  std::vector<std::string> fields;
};
std::vector<Row> ReadRows(const std::string& path);

// Pages written into a table file: a row "@ SourceId kind URL [title
// [formats]]" names the item the pages after it come from (formats: the
// task's jpgLarge,jpgSmall,gif, else the source's defaults), a row "< page"
// holds a page, and the rows after it are what it admits, one harvio-cli
// parse line each.
struct PageCase {
  int line;
  uint32_t sourceId;
  ItemKind kind;
  std::string url, title, page, expected, formats;
};
std::vector<PageCase> ReadPageCases(const std::string& path);
// The saved pages of `folder` as cases (line 0).
std::vector<PageCase> LoadSamplePages(const std::string& folder);

struct Admission {
  ItemKind queue;
  std::string url, title, referer;
  bool checkDuplicate;
  AddResult result;
};

class PageRun : public AddUrlTrace {
 public:
  // Formats as a new task of `sourceId` gets them (DefaultFormats).
  explicit PageRun(uint32_t sourceId);

  // Parses `page` (a copy; NUL-terminated for the parser) as fetched from
  // `pageUrl`, an item of `kind` carrying `title`. The queues keep what
  // every run admitted; each must hold exactly what was reported admitted.
  std::vector<Admission> Run(ItemKind kind, const char* pageUrl,
                             std::string page, const char* title = "");

  void OnAddUrl(ItemKind queue, const char* url, const char* title,
                const char* referer, bool checkDuplicate,
                AddResult result) override {
    calls.push_back({queue, url, title, referer, checkDuplicate, result});
  }

  TaskInfo info{};
  UrlQueue queues[3];
  std::vector<Admission> calls;  // of the last run

 private:
  uint32_t admitted_[3] = {0, 0, 0};
};

// "PIC\turl\ttitle\treferer\ton\tadmitted": the lines harvio-cli parse
// prints, one per admission.
std::string AdmissionLines(const std::vector<Admission>& calls);

}  // namespace harvio::test
