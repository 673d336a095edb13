// The saved pages of tests/data/FOLDER. FOLDER/cases.txt names, one line a
// case and tab-separated, the case NAME, the source and kind of the item the
// page came from, that item's URL and, where it matters, its title and the
// page read when it is another case's page; NAME.expected holds what parsing
// the page admits, one harvio-cli parse line each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/task_info.h"

namespace harvio::test {

// The whole file at `path`, as stored; and one under tests/data.
std::string ReadWholeFile(const std::string& path);
std::string ReadTestData(const std::string& path);

struct SamplePage {
  std::string folder;
  std::string name;
  uint32_t sourceId = 0;
  ItemKind kind = kWeb2;
  std::string url;
  std::string title;
  std::string page;  // the file name without ".html"

  std::string Html() const {
    return ReadTestData(folder + "/" + page + ".html");
  }
  std::string Expected() const {
    return ReadTestData(folder + "/" + name + ".expected");
  }
};

std::vector<SamplePage> LoadSamplePages(const std::string& folder);

}  // namespace harvio::test
