#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace harvio::platform {
namespace {

TEST(Codepage, GbkAndUtf8RoundTrip) {
  std::string gbk;
  ASSERT_TRUE(Utf8ToGbk("\xe4\xb8\x8b\xe4\xb8\x80\xe9\xa1\xb5", &gbk));  // 下一页
  EXPECT_EQ(gbk, "\xcf\xc2\xd2\xbb\xd2\xb3");
  std::string utf8;
  ASSERT_TRUE(GbkToUtf8(gbk, &utf8));
  EXPECT_EQ(utf8, "\xe4\xb8\x8b\xe4\xb8\x80\xe9\xa1\xb5");
}

TEST(Codepage, TrailByteBackslashIsPartOfTheCharacter) {
  // 盶 is B1 5C and 乗 is 81 5C in code page 936: the 0x5C is no backslash.
  std::string utf8;
  ASSERT_TRUE(GbkToUtf8("a\xb1\x5c" "b\x81\x5c", &utf8));
  EXPECT_EQ(utf8, "a\xe7\x9b\xb6" "b\xe4\xb9\x97");
  std::string gbk;
  ASSERT_TRUE(Utf8ToGbk(utf8, &gbk));
  EXPECT_EQ(gbk, "a\xb1\x5c" "b\x81\x5c");
}

TEST(Codepage, InvalidInputFailsAndLeavesOutputEmpty) {
  std::string out = "old";
  EXPECT_FALSE(GbkToUtf8("ab\xb1", &out));  // lead byte without its trail
  EXPECT_TRUE(out.empty());
  out = "old";
  EXPECT_FALSE(Utf8ToGbk("\xe2\x98", &out));  // cut UTF-8 sequence
  EXPECT_TRUE(out.empty());
  out = "old";
  EXPECT_FALSE(Utf8ToGbk("\xf0\x9f\x98\x80", &out));  // no GBK form
  EXPECT_TRUE(out.empty());
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

TEST(Codepage, LongTextsConvertCompletely) {
  std::string gbk;
  for (int i = 0; i < 5000; ++i) gbk += "\xcf\xc2";  // 下, past any chunk size
  std::string utf8;
  ASSERT_TRUE(GbkToUtf8(gbk, &utf8));
  EXPECT_EQ(utf8.size(), 15000u);
  std::string back;
  ASSERT_TRUE(Utf8ToGbk(utf8, &back));
  EXPECT_EQ(back, gbk);
}

}  // namespace
}  // namespace harvio::platform
