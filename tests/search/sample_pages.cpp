#include "tests/search/sample_pages.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace harvio::test {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string ReadTestData(const std::string& path) {
  return ReadWholeFile(std::string(HARVIO_TEST_DATA) + "/" + path);
}

std::vector<SamplePage> LoadSamplePages(const std::string& folder) {
  std::vector<SamplePage> pages;
  std::istringstream rows(ReadTestData(folder + "/cases.txt"));
  for (std::string row; std::getline(rows, row);) {
    if (row.empty() || row[0] == '#') continue;
    std::istringstream fields(row);
    SamplePage p;
    std::string source, kind;
    std::getline(fields, p.name, '\t');
    std::getline(fields, source, '\t');
    std::getline(fields, kind, '\t');
    std::getline(fields, p.url, '\t');
    std::getline(fields, p.title, '\t');
    std::getline(fields, p.page, '\t');
    p.folder = folder;
    p.sourceId = static_cast<uint32_t>(std::stoul(source));
    p.kind = kind == "WEB1" ? kWeb1 : kWeb2;
    if (p.page.empty()) p.page = p.name;
    pages.push_back(p);
  }
  return pages;
}

}  // namespace harvio::test
