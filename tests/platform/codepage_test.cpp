#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace harvio::platform {
namespace {

// 下一页; 盶 (B1 5C) and 乗 (81 5C), whose 0x5C trail byte is no backslash;
// and a text longer than any conversion chunk.
TEST(Codepage, GbkAndUtf8RoundTrip) {
  std::string longGbk, longUtf8;
  for (int i = 0; i < 5000; ++i) longGbk += "\xcf\xc2", longUtf8 += "\xe4\xb8\x8b";
  const std::pair<std::string, std::string> pairs[] = {
      {"\xcf\xc2\xd2\xbb\xd2\xb3", "\xe4\xb8\x8b\xe4\xb8\x80\xe9\xa1\xb5"},
      {"a\xb1\x5c" "b\x81\x5c", "a\xe7\x9b\xb6" "b\xe4\xb9\x97"},
      {longGbk, longUtf8}};
  for (const auto& [gbk, utf8] : pairs) {
    std::string out;
    ASSERT_TRUE(GbkToUtf8(gbk, &out));
    EXPECT_EQ(out, utf8);
    ASSERT_TRUE(Utf8ToGbk(utf8, &out));
    EXPECT_EQ(out, gbk);
  }
}

TEST(Codepage, InvalidInputFailsAndLeavesOutputEmpty) {
  std::string out = "old";
  EXPECT_FALSE(GbkToUtf8("ab\xb1", &out));  // lead byte without its trail
  EXPECT_TRUE(out.empty());
  for (const char* utf8 : {"\xe2\x98", "\xf0\x9f\x98\x80"}) {  // cut; no GBK form
    out = "old";
    EXPECT_FALSE(Utf8ToGbk(utf8, &out));
    EXPECT_TRUE(out.empty());
  }
}

TEST(Codepage, Utf16Conversions) {
  std::u16string wide;
  ASSERT_TRUE(GbkToUtf16("A\xbe\xcd\xd0\xf7", &wide));  // A就绪
  EXPECT_EQ(wide, u"A\u5c31\u7eea");
  std::string utf8;
  ASSERT_TRUE(Utf16ToUtf8(u"A\u5c31\U0001F600", &utf8));
  EXPECT_EQ(utf8, "A\xe5\xb0\xb1\xf0\x9f\x98\x80");
  EXPECT_FALSE(Utf16ToUtf8(std::u16string(1, u'\xd800'), &utf8));  // lone surrogate
}

}  // namespace
}  // namespace harvio::platform
