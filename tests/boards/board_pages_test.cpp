// Every board of the catalog, one list page and one thread page each,
// written from the boards' markers (tests/data/boards/cases.txt), and the
// limits of the board skeleton on pages built for them
// (tests/data/boards/edges.txt): title and URL lengths at their boundaries,
// hit counts, and the form value that a POST body cannot carry.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/boards/board_files.h"
#include "tests/search/sample_pages.h"
#include "tests/sources/page_run.h"

namespace harvio::test {
namespace {

// Each page admits exactly its expected items in order. Whatever a server
// sends, a parser stays inside the page: every page cut short at every
// length, and with NUL bytes in place of its line feeds, parses without
// touching bytes outside it (a sanitizer build checks this; the page buffer
// has exactly the page's size).
TEST(BoardPages, QueueExactlyTheExpectedItemsAndStayInsideCutPages) {
  std::vector<PageCase> cases = ReadPageCases("boards/edges.txt");
  for (const SamplePage& p : LoadSamplePages("boards")) {
    cases.push_back({0, p.sourceId, p.kind, p.url, p.title, p.Html(), p.Expected()});
  }
  for (const PageCase& c : cases) {
    EXPECT_EQ(BoardLines(c.sourceId, c.kind, c.url, c.page, c.title), c.expected)
        << (c.line != 0 ? "edges.txt:" + std::to_string(c.line) : c.url);
    std::string page = Gbk(c.page), nulled = page;
    std::replace(nulled.begin(), nulled.end(), '\n', '\0');
    PageRun(c.sourceId).Run(c.kind, c.url.c_str(), nulled);
    for (size_t length = 0; length < page.size(); ++length) {
      PageRun(c.sourceId).Run(c.kind, c.url.c_str(), page.substr(0, length));
    }
  }
}

}  // namespace
}  // namespace harvio::test
