#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sources/custom_parser.h"
#include "sources/text_helpers.h"

namespace harvio {
namespace {

std::string Resolve(const std::string& link, const char* base) {
  char buffer[kWorkBuffer] = {};
  std::memcpy(buffer, link.data(), std::min(link.size(), kUrlMax));
  ResolveUrl(buffer, base);
  return buffer;
}

constexpr char kBase[] = "http://h.cn/a/b.html?x=1/2";

TEST(ResolveUrl, RelativeLinksAgainstTheDirectoryOfAPageWithAQuery) {
  EXPECT_EQ(Resolve("c.jpg", kBase), "http://h.cn/a/c.jpg");
  EXPECT_EQ(Resolve("../c.jpg", kBase), "http://h.cn/c.jpg");
  EXPECT_EQ(Resolve("../../c.jpg", kBase), "http://h.cn/c.jpg");
  EXPECT_EQ(Resolve("./c.jpg", kBase), "http://h.cn/a/c.jpg");
  EXPECT_EQ(Resolve("/c.jpg", kBase), "http://h.cn/c.jpg");
  EXPECT_EQ(Resolve("?p=2", kBase), "http://h.cn/a/?p=2");
  EXPECT_EQ(Resolve("..", kBase), "http://h.cn/a/..");
  EXPECT_EQ(Resolve("d//e/./f.jpg", kBase), "http://h.cn/a/d//e/f.jpg");
}

TEST(ResolveUrl, AbsoluteAndEmptyLinksStayAsTheyAre) {
  EXPECT_EQ(Resolve("http://x.cn/p.jpg", kBase), "http://x.cn/p.jpg");
  EXPECT_EQ(Resolve("HtTp://x.cn/p.jpg", kBase), "HtTp://x.cn/p.jpg");
  EXPECT_EQ(Resolve("", kBase), "");
  // Exactly "http://" is not longer than 7 bytes: it is a relative piece.
  EXPECT_EQ(Resolve("http://", kBase), "http://h.cn/a/http://");
}

TEST(ResolveUrl, RootLinksUseSchemeAndHostOfTheBase) {
  EXPECT_EQ(Resolve("/x/y.jpg", "http://h.cn"), "http://h.cn/x/y.jpg");
  EXPECT_EQ(Resolve("/x?y=/z", "http://H.cn/q/r?s=/t"), "http://H.cn/x?y=/z");
}

TEST(ResolveUrl, EmptiesWhatItCannotResolveOrWhatGrowsTooLong) {
  EXPECT_EQ(Resolve("c.jpg", "nothing"), "");
  std::string longPath(1010, 'p');
  std::string base = "http://h.cn/" + longPath + "/index.html";
  EXPECT_EQ(Resolve("c.jpg", base.c_str()), "");
  EXPECT_EQ(Resolve("/" + longPath + "/0123456789.jpg", "http://h.cn/"), "");
  // 1024 bytes fit exactly, 1025 do not.
  std::string fits = "/" + std::string(1024 - 12, 'q');
  EXPECT_EQ(Resolve(fits, "http://h.cn/"), "http://h.cn" + fits);
  EXPECT_EQ(Resolve(fits + "q", "http://h.cn/"), "");
}

std::string Pattern(const char* url) {
  char out[kWorkBuffer];
  LinkPattern(url, out);
  return out;
}

TEST(LinkPattern, KeepsThePrefixAndDropsLaterDigits) {
  EXPECT_EQ(Pattern("http://h/show.php?id=123&p=4"), "http://h/show.php?id=&p=");
  EXPECT_EQ(Pattern("http://h2/2008/list_12.html"), "http://h2/2008/list_.html");
  EXPECT_EQ(Pattern("http://h/a?b/c9"), "http://h/a?b/c");
  EXPECT_EQ(Pattern("no-slash-7"), "no-slash-");
}

}  // namespace
}  // namespace harvio
