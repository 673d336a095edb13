// Every parser, driven through DispatchPage with real queues: the saved
// pages of tests/data/search and tests/data/boards (each folder's
// cases.txt), the pages built for their edges (edges.txt beside them) and
// the pages of the custom scans (tests/data/custom/scans.txt: the img scan,
// 162, on WEB1 pages; the thumbnail links, 163, on WEB2 pages; which sources
// run them). Every admission is written as the line harvio-cli parse prints.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/sources/page_cases.h"

namespace harvio::test {
namespace {

// `page` parsed as fetched by a fresh task from the item of `c`.
std::string Parse(const PageCase& c, ItemKind kind, const std::string& page) {
  PageRun run(c.sourceId);
  if (!c.formats.empty()) {
    std::sscanf(c.formats.c_str(), "%u,%u,%u", &run.info.jpgLarge, &run.info.jpgSmall,
                &run.info.gif);
  }
  return AdmissionLines(run.Run(kind, c.url.c_str(), page, c.title.c_str()));
}

// Each page admits exactly its expected items, in page order, and a search
// result page read as a detail page admits nothing. (That a parser stays
// inside pages cut short anywhere: the sanitized replay of the page fuzz
// target, whose corpus holds these pages.)
TEST(Pages, AdmitExactlyTheExpectedItems) {
  for (const std::string folder : {"custom", "search", "boards"}) {
    bool board = folder == "boards";
    std::vector<PageCase> cases =
        ReadPageCases(folder + (folder == "custom" ? "/scans.txt" : "/edges.txt"));
    if (folder != "custom") {
      std::vector<PageCase> saved = LoadSamplePages(folder);
      cases.insert(cases.end(), saved.begin(), saved.end());
    }
    for (PageCase c : cases) {
      std::string where = c.line != 0 ? folder + ":" + std::to_string(c.line) : c.url;
      if (board) {
        c.url = Gbk(c.url);
        c.title = Gbk(c.title);
        c.page = Gbk(c.page);
      }
      std::string lines = Parse(c, c.kind, c.page);
      EXPECT_EQ(board ? Utf8(lines) : lines, c.expected) << where;
      if (folder == "search" && c.kind == kWeb2) {
        EXPECT_EQ(Parse(c, kWeb1, c.page), "") << where;
      }
    }
  }
}

}  // namespace
}  // namespace harvio::test
