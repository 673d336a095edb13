// Runs one page through DispatchPage as if a worker of a fresh task had just
// fetched it, and records every admission the parser asked for.
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

class RecordingTrace : public AddUrlTrace {
 public:
  void OnAddUrl(ItemKind queue, const char* url, const char* title,
                const char* referer, bool checkDuplicate,
                AddResult result) override {
    calls.push_back({queue, url, title, referer, checkDuplicate, result});
  }
  std::vector<Admission> calls;
};

class PageRun {
 public:
  // Flags as a task of `sourceId` gets them by default: all formats.
  explicit PageRun(uint32_t sourceId) {
    info.sourceId = sourceId;
    info.jpgLarge = 1;
    info.jpgSmall = 1;
    info.gif = 1;
  }

  // Parses `page` (a copy; NUL-terminated for the parser) as fetched from
  // `pageUrl`, an item of `kind` carrying `title`.
  std::vector<Admission> Run(ItemKind kind, const char* pageUrl,
                             std::string page, const char* title = "") {
    UrlQueue scratch;
    scratch.AddUrl(pageUrl, title, "", false);
    const UrlItem* taken = scratch.TakeNext(1);
    if (taken == nullptr) return {};  // not a URL a task could hold
    UrlItem item = *taken;
    std::vector<char> text(page.begin(), page.end());
    text.push_back('\0');
    PageContext ctx{text.data(), text.data() + page.size(), &item, kind,
                    {&queues[kWeb2], &queues[kWeb1], &queues[kPic]}, &info,
                    &trace};
    trace.calls.clear();
    DispatchPage(ctx);
    return trace.calls;
  }

  TaskInfo info{};
  UrlQueue queues[3];
  RecordingTrace trace;
};

// "PIC\turl\ttitle\treferer\ton\tadmitted": the line harvio-cli parse prints.
std::string AdmissionLine(const Admission& a);
std::string AdmissionLines(const std::vector<Admission>& calls);

}  // namespace harvio::test
