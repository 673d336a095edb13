#include "sources/text_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace harvio {
namespace {

// Each in-place helper on inputs that show its rules; the input names a
// failing case.
TEST(TextHelpers, RewriteInPlace) {
  using Helper = void (*)(char*);
  const struct {
    Helper helper;
    const char* in;
    const char* out;
  } cases[] = {
      // ReplaceAll never rescans its output or matches overlapping text.
      {[](char* t) { ReplaceAll(t, "ab", "a"); }, "aab-ab", "aa-a"},
      {[](char* t) { ReplaceAll(t, "aa", "b"); }, "aaaaa", "bba"},
      {[](char* t) { ReplaceAll(t, "x", ""); }, "xaxbx", "ab"},
      {[](char* t) { ReplaceAll(t, "zz", "y"); }, "abc", "abc"},
      {[](char* t) { ReplaceAll(t, "", "y"); }, "abc", "abc"},
      // Only ":", "/" and ".", and "%25" first.
      {DecodePercentEscapes, "%2Fpics%2Fa%2Ejpg", "/pics/a.jpg"},
      {DecodePercentEscapes, "http%3a%2f%2fh%2ecn", "http://h.cn"},
      {DecodePercentEscapes, "%253A%252f", ":/"},
      {DecodePercentEscapes, "a%20b%26c%41", "a%20b%26c%41"},
      {DecodePercentEscapes, "100%25", "100%"},
      // Each pair once, in order.
      {DecodeEntities, "&amp;amp;", "&amp;"},
      {DecodeEntities, "&amp;lt;", "<"},
      {DecodeEntities, "a&lt;b&gt;&quot;c&quot;&nbsp;&#46;", "a<b>\"c\" ."},
      {DecodeEntities, "x&#183;y", "x\xa1\xa4y"},  // middle dot
      {DecodeEntities, "&copy;&#47;&AMP;", "&copy;&#47;&AMP;"},
      // An unclosed tag drops the rest.
      {StripTags, "a<b>c<d", "ac"},
      {StripTags, "<p>one</p> <b>two</b>", "one two"},
      {StripTags, "no tags > here", "no tags > here"},
      {StripTags, "<<a>>", ">"},
      {TrimSpaces, "  a b  ", "a b"},
      {TrimSpaces, "\ta \n", "\ta \n"},
      {TrimSpaces, "     ", ""},
      {TrimSpaces, "", ""},
      {SanitizeFolderName, " a\"b*c/d:e<f>g?h\\i|j ", "a b c d e f g h i j"},
      {SanitizeFolderName, "??ok??", "ok"},
      // Two GBK characters whose second bytes are "\\" and "|", then a real
      // backslash.
      {SanitizeFolderName, "\xd5\x5c\xb1\x7c\\x", "\xd5\x5c\xb1\x7c x"},
  };
  for (const auto& c : cases) {
    char buffer[kWorkBuffer + 200] = {};
    std::strcpy(buffer, c.in);
    c.helper(buffer);
    EXPECT_STREQ(buffer, c.out) << c.in;
  }
}

TEST(TextHelpers, NeverWritePastTheStringOrBeyond1024Bytes) {
  // A longer replacement than the text it replaces is cut, not written
  // past the caller's string.
  char small[8] = "a-a-a";
  small[6] = 'G';
  small[7] = 'G';
  ReplaceAll(small, "a", "xyz");
  EXPECT_STREQ(small, "xyz-x");
  EXPECT_EQ(small[6], 'G');
  // An overlong input is cut at 1024 bytes; beyond the cut nothing changes.
  char big[1200];
  std::memset(big, 'x', 1100);
  big[1100] = '\0';
  ReplaceAll(big, "x", "y");
  EXPECT_EQ(std::string(big), std::string(1024, 'y'));
  EXPECT_EQ(big[1025], 'x');
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
  EXPECT_FALSE(IsWantedPicture("http://h/a.webp", info));
  EXPECT_FALSE(IsWantedPicture("http://h/a.BMP", info));
  info.gif = 6;  // PNG and WebP, no GIF
  EXPECT_FALSE(IsWantedPicture("http://h/a.gif", info));
  EXPECT_TRUE(IsWantedPicture("http://h/a.PNG", info));
  EXPECT_TRUE(IsWantedPicture("http://h/a.webp?w=800", info));
}

TEST(RemoveTabsAndLineBreaks, KeepsEverythingElseAndTerminates) {
  char text[] = "\ta\r\nb c\t\n";
  char* end = RemoveTabsAndLineBreaks(text, text + sizeof text - 1);
  EXPECT_STREQ(text, "ab c");
  EXPECT_EQ(end, text + 4);
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
