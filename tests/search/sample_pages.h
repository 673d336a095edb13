// The sample result and detail pages of tests/data/search: cases.txt names
// each page, the source and kind of the item it came from and that item's
// URL; NAME.expected holds what parsing it admits, one harvio-cli parse line
// each.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "core/task_info.h"

namespace harvio::test {

struct SamplePage {
  std::string name;
  uint32_t sourceId = 0;
  ItemKind kind = kWeb2;
  std::string url;
};

inline void PrintTo(const SamplePage& page, std::ostream* out) {
  *out << page.name;
}

std::string ReadSearchData(const std::string& fileName);
std::vector<SamplePage> LoadSamplePages();
// The lines of a text, each with its "\n".
std::vector<std::string> SplitLines(const std::string& text);

// One admission line split into its fields.
struct ExpectedAdmission {
  std::string queue;  // "WEB2", "WEB1" or "PIC"
  std::string url;
};
std::vector<ExpectedAdmission> LoadExpected(const SamplePage& page);

}  // namespace harvio::test
