#include "core/string_table.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/codepage.h"

namespace harvio {
namespace {

std::string Gbk(const char* utf8) {
  std::string gbk;
  EXPECT_TRUE(platform::Utf8ToGbk(utf8, &gbk)) << utf8;
  return gbk;
}

TEST(StringTable, TextsAreGbk) {
  EXPECT_EQ(StringText(1017), Gbk("就绪"));
  EXPECT_EQ(StringText(1152), Gbk("2_001_Google Image(中英文)"));
  EXPECT_EQ(StringText(1000), Gbk("添加新的下载任务"));
  EXPECT_EQ(StringText(1143), std::string("NULL"));
  // The trailing blank belongs to the folder picker's title.
  EXPECT_EQ(StringText(1463), Gbk("选择文件夹: "));
}

TEST(StringTable, UnknownIdsGiveEmptyText) {
  EXPECT_STREQ(StringText(0), "");
  EXPECT_STREQ(StringText(1018), "");
  EXPECT_STREQ(StringText(99999), "");
}

TEST(StringTable, EveryNumberedRangeIsComplete) {
  struct Range { uint32_t first, last; };
  for (Range r : {Range{1000, 1017}, Range{1040, 1051}, Range{1070, 1078},
                  Range{1090, 1097}, Range{1110, 1113}, Range{1120, 1128},
                  Range{1140, 1143}, Range{1150, 1274}, Range{1460, 1463},
                  Range{1510, 1512}}) {
    for (uint32_t id = r.first; id <= r.last; ++id) {
      EXPECT_STRNE(StringText(id), "") << id;
    }
  }
}

TEST(StringTable, CatalogLabelsFitTheirBuffer) {
  for (uint32_t id = 1150; id <= 1274; ++id) {
    const char* label = StringText(id);
    ASSERT_LE(std::strlen(label), 63u) << id;
    EXPECT_EQ(label[1], '_') << id;
    EXPECT_EQ(label[5], '_') << id;
  }
}

TEST(StringTable, NumberReplacesTheFirstStar) {
  EXPECT_EQ(StringWithNumber(1510, 10), Gbk("最多只能添加 10 个任务。"));
  EXPECT_EQ(StringWithNumber(1500, 30), Gbk("所有任务已完成，系统将在 30 秒后自动关闭。"));
  EXPECT_EQ(StringWithNumber(1331, 7), Gbk("壁纸 (1024 7 768)"));
  EXPECT_EQ(StringWithNumber(1017, 5), Gbk("就绪"));  // no star: unchanged
  EXPECT_EQ(StringWithNumber(1470, -3), Gbk("URL 数量: -3"));
}

}  // namespace
}  // namespace harvio
