// The text helpers beneath every parser and the URL helpers of the custom
// parser and PageUrl beneath every parser, row by row from
// tests/data/custom/helpers.txt, and the bounds no input may push them past.
#include "sources/text_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "sources/custom_parser.h"
#include "sources/page_dispatch.h"
#include "tests/sources/page_cases.h"

namespace harvio::test {
namespace {

using Args = std::vector<std::string>;  // the helper's name, its arguments

// A copy of `text` in a buffer larger than any input, for helpers that
// rewrite in place.
struct Buffer {
  explicit Buffer(const std::string& text) {
    std::memcpy(bytes, text.data(), std::min(text.size(), kUrlMax));
  }
  char bytes[kWorkBuffer + 200] = {};
};

std::function<std::string(const Args&)> InPlace(void (*helper)(char*)) {
  return [helper](const Args& a) {
    Buffer b(a[1]);
    helper(b.bytes);
    return std::string(b.bytes);
  };
}

const std::map<std::string, std::function<std::string(const Args&)>> kHelpers = {
    {"ReplaceAll",
     [](const Args& a) { Buffer b(a[1]); ReplaceAll(b.bytes, a[2].c_str(), a[3].c_str()); return std::string(b.bytes); }},
    {"DecodePercentEscapes", InPlace(DecodePercentEscapes)},
    {"DecodeEntities", InPlace(DecodeEntities)},
    {"StripTags", InPlace(StripTags)},
    {"TrimSpaces", InPlace(TrimSpaces)},
    {"SanitizeFolderName", InPlace(SanitizeFolderName)},
    {"ResolveUrl",
     [](const Args& a) { Buffer b(a[1]); ResolveUrl(b.bytes, a[2].c_str()); return std::string(b.bytes); }},
    {"LinkPattern",
     [](const Args& a) { Buffer b(""); LinkPattern(a[1].c_str(), b.bytes); return std::string(b.bytes); }},
    {"UrlExtension",
     [](const Args& a) {
       char out[16];
       std::memset(out, 'Z', sizeof out);  // a missing terminator shows
       UrlExtension(a[1].c_str(), out);
       return std::string(out, strnlen(out, sizeof out));
     }},
    {"IsWantedPicture",
     [](const Args& a) {
       TaskInfo info{};
       std::sscanf(a[2].c_str(), "%u,%u,%u", &info.jpgLarge, &info.jpgSmall, &info.gif);
       return std::string(IsWantedPicture(a[1].c_str(), info) ? "yes" : "no");
     }},
    {"PageUrl",
     [](const Args& a) {  // a host that fills its field has no terminator
       UrlItem item{};
       std::memcpy(item.host, a[1].data(), std::min(a[1].size(), sizeof item.host));
       std::memcpy(item.path, a[2].data(), std::min(a[2].size(), sizeof item.path - 1));
       char url[kWorkBuffer];
       PageUrl(item, url);
       return std::string(url);
     }},
};

TEST(Helpers, EachRowGivesItsResult) {
  for (const Row& row : ReadRows("custom/helpers.txt")) {
    EXPECT_EQ(kHelpers.at(row.fields[0])(row.fields), row.fields.back())
        << "helpers.txt:" << row.line;
  }
}

TEST(Helpers, NeverWritePastTheStringOrBeyond1024Bytes) {
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
  // FindMarker searches past NUL bytes, never past the end.
  const char page[] = "ab\0cd<x>ef";
  const char* end = page + sizeof page - 1;
  EXPECT_EQ(FindMarker(page, end, "<x>"), page + 5);
  EXPECT_EQ(FindMarker(page, page + 7, "<x>"), nullptr);  // cut mid-marker
  EXPECT_EQ(FindMarker(end, end, "e"), nullptr);
  char text[] = "\ta\r\nb c\t\n";
  EXPECT_EQ(RemoveTabsAndLineBreaks(text, text + sizeof text - 1), text + 4);
  EXPECT_STREQ(text, "ab c");
}

}  // namespace
}  // namespace harvio::test
