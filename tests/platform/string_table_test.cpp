#include "core/string_table.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/case_files.h"

namespace harvio {
namespace {

// The cases of tests/data/platform/string_table.txt.
TEST(StringTable, TextsAndNumbersAsListed) {
  testing::CheckCaseFile("platform/string_table.txt", {
      {"text", {1, [](const testing::Fields& f) { return StringText(std::stoul(f[0])); }}},
      {"number", {2, [](const testing::Fields& f) {
         return StringWithNumber(std::stoul(f[0]), std::stoi(f[1]));
       }}},
  });
}

// Catalog labels (1150..1274) must fit a 64-byte buffer and keep their
// "2_001_" form.
TEST(StringTable, EveryNumberedRangeIsComplete) {
  struct Range { uint32_t first, last; };
  for (Range r : {Range{1000, 1017}, Range{1040, 1051}, Range{1070, 1078},
                  Range{1090, 1097}, Range{1110, 1113}, Range{1120, 1130},
                  Range{1140, 1143}, Range{1150, 1274}, Range{1460, 1463},
                  Range{1510, 1513}}) {
    for (uint32_t id = r.first; id <= r.last; ++id) {
      const char* text = StringText(id);
      EXPECT_STRNE(text, "") << id;
      if (id < 1150 || id > 1274) continue;
      ASSERT_LE(std::strlen(text), 63u) << id;
      EXPECT_TRUE(text[1] == '_' && text[5] == '_') << id;
    }
  }
}

}  // namespace
}  // namespace harvio
