#include "tests/sources/page_run.h"

#include <gtest/gtest.h>

#include "app/new_task.h"
#include "sources/text_helpers.h"

namespace harvio::test {

PageRun::PageRun(uint32_t sourceId) {
  info.sourceId = sourceId;
  StoreFormats(DefaultFormats(sourceId), &info);
}

std::vector<Admission> PageRun::Run(ItemKind kind, const char* pageUrl,
                                    std::string page, const char* title) {
  UrlQueue scratch;
  scratch.AddUrl(pageUrl, title, "", false);
  const UrlItem* taken = scratch.TakeNext(1);
  if (taken == nullptr) return {};  // not a URL a task could hold
  UrlItem item = *taken;
  std::vector<char> text(page.begin(), page.end());
  text.push_back('\0');
  char* end = text.data() + page.size();
  if (info.sourceId > 160) end = RemoveTabsAndLineBreaks(text.data(), end);
  PageContext ctx{text.data(),
                  end,
                  &item,
                  kind,
                  {&queues[kWeb2], &queues[kWeb1], &queues[kPic]},
                  &info,
                  this};
  calls.clear();
  DispatchPage(ctx);
  for (const Admission& a : calls) {
    if (a.result == AddResult::kAdmitted) ++admitted_[a.queue];
  }
  for (ItemKind q : {kWeb2, kWeb1, kPic}) {
    EXPECT_EQ(queues[q].Count(), admitted_[q]) << "queue " << q;
  }
  return calls;
}

std::string AdmissionLines(const std::vector<Admission>& calls) {
  static const char* const kQueues[] = {"WEB2", "WEB1", "PIC"};
  static const char* const kResults[] = {"admitted", "invalid", "duplicate"};
  std::string lines;
  for (const Admission& a : calls) {
    lines += std::string(kQueues[a.queue]) + "\t" + a.url + "\t" + a.title + "\t" + a.referer +
             "\t" + (a.checkDuplicate ? "on" : "off") + "\t" +
             kResults[static_cast<int>(a.result)] + "\n";
  }
  return lines;
}

}  // namespace harvio::test
