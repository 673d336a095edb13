// Every parser, driven through DispatchPage with real queues: the saved
// pages of tests/data/search and tests/data/boards (each folder's
// cases.txt), the pages built for their edges (edges.txt beside them) and
// the pages of the custom scans (tests/data/custom/scans.txt: the img scan,
// 162, on WEB1 pages; the thumbnail links, 163, on WEB2 pages; which sources
// run them). Every admission is written as the line harvio-cli parse prints.
#include <gtest/gtest.h>

#include <algorithm>
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
// result page read as a detail page admits nothing. Whatever a server
// sends, a parser stays inside the page: every page cut short at every
// length and read as either kind, and with NUL bytes in place of its line
// feeds, parses without touching bytes outside it (a sanitizer build checks
// this; the page buffer has exactly the page's size).
TEST(Pages, AdmitExactlyTheExpectedItemsAndStayInsideCutPages) {
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
      std::string nulled = c.page;
      std::replace(nulled.begin(), nulled.end(), '\n', '\0');
      Parse(c, c.kind, nulled);
      for (size_t length = 0; length < c.page.size(); ++length) {
        for (ItemKind kind : {kWeb2, kWeb1}) Parse(c, kind, c.page.substr(0, length));
      }
    }
  }
}

}  // namespace
}  // namespace harvio::test
