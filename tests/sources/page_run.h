// Runs one page through DispatchPage as a worker of a task hands it over
// (a custom source's without tabs and line breaks), and records every
// admission the parser asked for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/url_queue.h"
#include "sources/page_dispatch.h"

namespace harvio::test {

struct Admission {
  ItemKind queue;
  std::string url;
  std::string title;
  std::string referer;
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
