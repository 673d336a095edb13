// The saved pages of tests/data/FOLDER. FOLDER/cases.txt names, one line a
// case and tab-separated, the case NAME, the source and kind of the item the
// page came from, that item's URL and, where it matters, its title and the
// page read when it is another case's page; NAME.expected holds what parsing
// the page admits, one harvio-cli parse line each. Board pages are kept
// readable as UTF-8 and turned into the sites' GBK bytes for parsing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/task_info.h"

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

}  // namespace harvio::test
