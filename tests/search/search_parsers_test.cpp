// The search-engine parsers, driven through DispatchPage with real queues:
// the saved result and detail pages of tests/data/search and the pages
// built for their edges in tests/data/search/edges.txt. Every admission is
// written as the line harvio-cli parse prints.
#include <gtest/gtest.h>

#include <string>

#include "tests/search/sample_pages.h"
#include "tests/sources/page_run.h"

namespace harvio::test {
namespace {

// `text` parsed as a page of `sourceId` fetched from `pageUrl` by a fresh
// task with the source's default picture formats.
std::string Parse(uint32_t sourceId, ItemKind kind, const std::string& pageUrl,
                  const std::string& text) {
  PageRun run(sourceId);
  return AdmissionLines(run.Run(kind, pageUrl.c_str(), text));
}

// Each page admits exactly its expected items, in page order; a result
// page read as a detail page admits nothing; and no prefix of a page (what
// a server may send) leads a parser past its end, which the sanitizer
// build checks.
TEST(SearchPages, AdmitTheExpectedItemsAndStayInsideCutPages) {
  std::vector<PageCase> cases = ReadPageCases("search/edges.txt");
  for (const SamplePage& p : LoadSamplePages("search")) {
    cases.push_back({0, p.sourceId, p.kind, p.url, "", p.Html(), p.Expected()});
  }
  for (const PageCase& c : cases) {
    std::string where = c.line != 0 ? "edges.txt:" + std::to_string(c.line) : c.url;
    EXPECT_EQ(Parse(c.sourceId, c.kind, c.url, c.page), c.expected) << where;
    if (c.kind == kWeb2) {
      EXPECT_EQ(Parse(c.sourceId, kWeb1, c.url, c.page), "") << where;
    }
    for (size_t length = 0; length < c.page.size(); ++length) {
      for (ItemKind kind : {kWeb2, kWeb1}) Parse(c.sourceId, kind, c.url, c.page.substr(0, length));
    }
  }
}

TEST(SearchPictureFormats, TaskFlagsDecideWhichResultsAreQueued) {
  const std::string google = "http://images.google.com/images?q=car";
  const struct {
    const char* url;
    uint32_t jpgLarge, jpgSmall, gif;
    bool queued;
  } cases[] = {{"http://x.cn/a.JPG", 0, 1, 0, true}, {"http://x.cn/a.jpg", 0, 0, 1, false},
               {"http://x.cn/a.gif", 0, 0, 1, true}, {"http://x.cn/a.gif", 1, 1, 0, false}};
  for (const auto& c : cases) {
    PageRun run(1);
    run.info.jpgLarge = c.jpgLarge;
    run.info.jpgSmall = c.jpgSmall;
    run.info.gif = c.gif;
    EXPECT_EQ(AdmissionLines(run.Run(kWeb2, google.c_str(),
                                     "<a href=/imgres?imgurl=" + std::string(c.url) + "&h=1>")),
              c.queued ? "PIC\t" + std::string(c.url) + "\t\t" + google + "\toff\tadmitted\n" : "")
        << c.url << c.jpgLarge << c.jpgSmall << c.gif;
  }
}

}  // namespace
}  // namespace harvio::test
