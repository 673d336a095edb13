#include "sources/text_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

namespace harvio {
namespace {

// Runs an in-place helper on a copy of `text` in a roomy buffer.
template <typename Helper>
std::string Apply(Helper helper, const std::string& text) {
  char buffer[kWorkBuffer + 200] = {};
  std::memcpy(buffer, text.data(), text.size());
  helper(buffer);
  return buffer;
}

struct Case {
  const char* in;
  std::string out;
};

// Checks `helper` on each input, naming the input that fails.
template <typename Helper>
void ExpectCases(Helper helper, std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(Apply(helper, c.in), c.out) << c.in;
}

TEST(ReplaceAll, ReplacesEveryOccurrenceWithoutRescanningOutput) {
  auto replace = [](const char* find, const char* by) {
    return [=](char* t) { ReplaceAll(t, find, by); };
  };
  ExpectCases(replace("ab", "a"), {{"aab-ab", "aa-a"}});
  ExpectCases(replace("aa", "b"), {{"aaaaa", "bba"}});  // no overlaps
  ExpectCases(replace("x", ""), {{"xaxbx", "ab"}});
  ExpectCases(replace("zz", "y"), {{"abc", "abc"}});
  ExpectCases(replace("", "y"), {{"abc", "abc"}});
}

TEST(ReplaceAll, NeverGrowsPastTheStringItWasGiven) {
  // A longer replacement than the text it replaces is cut, not written
  // past the caller's string.
  char small[8] = "a-a-a";
  small[6] = 'G';
  small[7] = 'G';
  ReplaceAll(small, "a", "xyz");
  EXPECT_STREQ(small, "xyz-x");
  EXPECT_EQ(small[6], 'G');
}

TEST(ReplaceAll, CutsOverlongInputAt1024Bytes) {
  std::string big(1100, 'x');
  char buffer[1200];
  std::memcpy(buffer, big.c_str(), big.size() + 1);
  ReplaceAll(buffer, "x", "y");
  EXPECT_EQ(std::strlen(buffer), 1024u);
  EXPECT_EQ(buffer[0], 'y');
  EXPECT_EQ(buffer[1023], 'y');
  EXPECT_EQ(buffer[1025], 'x');  // beyond the cut nothing was touched
}

TEST(DecodePercentEscapes, DecodesOnlyColonSlashDotAndPercentFirst) {
  ExpectCases(DecodePercentEscapes, {
      {"%2Fpics%2Fa%2Ejpg", "/pics/a.jpg"},
      {"http%3a%2f%2fh%2ecn", "http://h.cn"},
      {"%253A%252f", ":/"},
      {"a%20b%26c%41", "a%20b%26c%41"},
      {"100%25", "100%"},
  });
}

TEST(DecodeEntities, AppliesEachPairOnceInOrder) {
  ExpectCases(DecodeEntities, {
      {"&amp;amp;", "&amp;"},
      {"&amp;lt;", "<"},
      {"a&lt;b&gt;&quot;c&quot;&nbsp;&#46;", "a<b>\"c\" ."},
      {"x&#183;y", "x\xa1\xa4y"},  // middle dot
      {"&copy;&#47;&AMP;", "&copy;&#47;&AMP;"},
  });
}

TEST(StripTags, DropsTagsAndAnUnclosedTail) {
  ExpectCases(StripTags, {
      {"a<b>c<d", "ac"},
      {"<p>one</p> <b>two</b>", "one two"},
      {"no tags > here", "no tags > here"},
      {"<<a>>", ">"},
  });
}

TEST(TrimSpaces, RemovesOnlyOuterBlanks) {
  ExpectCases(TrimSpaces, {
      {"  a b  ", "a b"},
      {"\ta \n", "\ta \n"},
      {"     ", ""},
      {"", ""},
  });
}

TEST(SanitizeFolderName, BlanksReservedCharactersAndTrims) {
  ExpectCases(SanitizeFolderName, {
      {" a\"b*c/d:e<f>g?h\\i|j ", "a b c d e f g h i j"},
      {"??ok??", "ok"},
  });
}

TEST(SanitizeFolderName, KeepsDoubleByteCharactersWhoseSecondByteIsReserved) {
  // Two GBK characters whose second bytes are "\\" and "|", then a real
  // backslash.
  ExpectCases(SanitizeFolderName, {
      {"\xd5\x5c\xb1\x7c\\x", "\xd5\x5c\xb1\x7c x"},
  });
}

std::string Extension(const char* url) {
  char out[16];
  std::memset(out, 'Z', sizeof out);  // a missing terminator shows
  UrlExtension(url, out);
  return std::string(out, strnlen(out, sizeof out));
}

TEST(UrlExtension, TakesTheLastDotBeforeTheQueryLowerCased) {
  EXPECT_EQ(Extension("http://h/a.JPG?x=1.5"), ".jpg");
  EXPECT_EQ(Extension("http://h/pic.jpeg"), ".jpeg");
  EXPECT_EQ(Extension("http://h/a.b/c.GiF"), ".gif");
  EXPECT_EQ(Extension("http://h/dir.d/file"), ".d/file");
  EXPECT_EQ(Extension("http://www.h.com/abc"), ".com/abc");  // host dot
  EXPECT_EQ(Extension("http://localhost/abc"), "");
  EXPECT_EQ(Extension("http://h/x.12345678901234"), ".12345678901234");
  EXPECT_EQ(Extension("http://h/x.123456789012345"), "");  // 16 bytes
  EXPECT_EQ(Extension(""), "");
}

TEST(IsWantedPicture, FiltersByExtensionAndTaskFormats) {
  TaskInfo info{};
  EXPECT_FALSE(IsWantedPicture("http://h/a.jpg", info));
  EXPECT_FALSE(IsWantedPicture("http://h/a.gif", info));
  EXPECT_TRUE(IsWantedPicture("http://h/a.jpeg", info));
  EXPECT_TRUE(IsWantedPicture("http://h/show?id=1", info));
  info.jpgSmall = 1;
  EXPECT_TRUE(IsWantedPicture("http://h/a.JPG", info));
  EXPECT_FALSE(IsWantedPicture("http://h/a.gif", info));
  info = TaskInfo{};
  info.jpgLarge = 1;
  info.gif = 1;
  EXPECT_TRUE(IsWantedPicture("http://h/a.jpg", info));
  EXPECT_TRUE(IsWantedPicture("http://h/a.gif", info));
  EXPECT_FALSE(IsWantedPicture("http://h/a.png", info));
  EXPECT_FALSE(IsWantedPicture("http://h/a.BMP", info));
}

TEST(FindMarker, SearchesPastNulBytesButNotPastTheEnd) {
  const char page[] = "ab\0cd<x>ef";
  const char* end = page + sizeof page - 1;
  EXPECT_EQ(FindMarker(page, end, "<x>"), page + 5);
  EXPECT_EQ(FindMarker(page, page + 7, "<x>"), nullptr);  // cut mid-marker
  EXPECT_EQ(FindMarker(end, end, "e"), nullptr);
}

}  // namespace
}  // namespace harvio
