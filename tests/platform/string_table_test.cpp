#include "core/string_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/codepage.h"

namespace harvio {
namespace {

// The rows of tests/data/platform/string_table.txt.
TEST(StringTable, TextsAndNumbersAsListed) {
  std::ifstream rows(std::string(HARVIO_TEST_DATA) + "/platform/string_table.txt");
  ASSERT_TRUE(rows.good());
  int checked = 0;
  for (std::string row; std::getline(rows, row);) {
    if (row.empty() || row[0] == '#') continue;
    std::istringstream fields(row);
    std::string id, text, number, gbk;
    std::getline(std::getline(std::getline(fields, id, '\t'), text, '\t'), number);
    ASSERT_TRUE(platform::Utf8ToGbk(text, &gbk)) << row;
    uint32_t n = std::stoul(id);
    EXPECT_EQ(number.empty() ? StringText(n) : StringWithNumber(n, std::stoi(number)), gbk)
        << row;
    ++checked;
  }
  EXPECT_EQ(checked, 12);
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
