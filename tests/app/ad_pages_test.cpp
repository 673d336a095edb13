#include "app/ad_pages.h"

#include <gtest/gtest.h>

namespace harvio {
namespace {

TEST(AdPages, FileUrlOfEachPage) {
  const struct { const char* folder; uint32_t number; const char* url; } cases[] = {
      {"C:\\Harvio\\", 0, "file:///C:/Harvio/ad/0.html"},
      {"C:\\Program Files\\Harvio 1.1\\", 9, "file:///C:/Program%20Files/Harvio%201.1/ad/9.html"},
      {"Z:\\a#b\\100%\\", 23, "file:///Z:/a%23b/100%25/ad/3.html"},
      {"\\\\server\\share\\", 4, "file://server/share/ad/4.html"},
      // 图片 and 踈 (trail byte 0x5C): characters stay whole
      {"D:\\\xcd\xbc\xc6\xac\\\xdb\x5c\\", 5, "file:///D:/\xcd\xbc\xc6\xac/\xdb\x5c/ad/5.html"},
  };
  for (const auto& c : cases) EXPECT_EQ(AdPageUrl(c.folder, c.number), c.url) << c.folder;
}

}  // namespace
}  // namespace harvio
