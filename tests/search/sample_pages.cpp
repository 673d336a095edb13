#include "tests/search/sample_pages.h"

#include <fstream>
#include <sstream>

namespace harvio::test {

std::string ReadSearchData(const std::string& fileName) {
  std::ifstream in(std::string(HARVIO_SEARCH_DATA) + "/" + fileName,
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<SamplePage> LoadSamplePages() {
  std::vector<SamplePage> pages;
  std::istringstream rows(ReadSearchData("cases.txt"));
  for (std::string row; std::getline(rows, row);) {
    if (row.empty() || row[0] == '#') continue;
    std::istringstream fields(row);
    SamplePage page;
    std::string kind;
    fields >> page.name >> page.sourceId >> kind >> page.url;
    page.kind = kind == "WEB1" ? kWeb1 : kWeb2;
    pages.push_back(page);
  }
  return pages;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
  return lines;
}

std::vector<ExpectedAdmission> LoadExpected(const SamplePage& page) {
  std::vector<ExpectedAdmission> admissions;
  for (const std::string& line :
       SplitLines(ReadSearchData(page.name + ".expected"))) {
    std::istringstream fields(line);
    ExpectedAdmission a;
    std::getline(fields, a.queue, '\t');
    std::getline(fields, a.url, '\t');
    admissions.push_back(a);
  }
  return admissions;
}

}  // namespace harvio::test
