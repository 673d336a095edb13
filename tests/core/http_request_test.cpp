#include "net/http_request.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/platform/case_files.h"

namespace harvio {
namespace {

constexpr char kTail[] =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
    "Pragma: no-cache\r\n"
    "Cache-Control: no-cache\r\n"
    "Connection: close\r\n"
    "\r\n";

UrlItem Item(const char* host, const char* path, const char* referer = "") {
  UrlItem item{};
  std::strcpy(item.host, host);
  std::strcpy(item.path, path);
  std::strcpy(item.referer, referer);
  return item;
}

std::string Compose(const UrlItem& item, ItemKind kind, uint32_t sourceId) {
  char out[8193];
  uint32_t n = ComposeRequest(item, kind, sourceId, out, sizeof(out));
  return std::string(out, n);
}

// The cases of tests/data/core/http_request.txt.
TEST(ComposeRequest, CasesAsListed) {
  testing::CheckCaseFile("core/http_request.txt", {
      {"request", {5, [](const testing::Fields& f) {
         UrlItem item = Item(f[0].c_str(), f[1].c_str(), f[2].c_str());
         std::vector<int32_t> size = testing::Numbers(f[3]), kind = testing::Numbers(f[4]);
         item.size = static_cast<uint32_t>(size[0]);
         item.done = static_cast<uint32_t>(size[1]);
         std::string request =
             Compose(item, static_cast<ItemKind>(kind[0]), static_cast<uint32_t>(kind[1]));
         const size_t tail = request.find(kTail);
         if (tail == std::string::npos) return "no fixed lines: " + request;
         return testing::Replaced(request.erase(tail, sizeof(kTail) - 1), "\r\n", "|");
       }}},
  });
  EXPECT_EQ(Compose(Item("a.com", "/x"), kPic, 1),
            "GET /x HTTP/1.0\r\nHost: a.com\r\nAccept: */*\r\n" + std::string(kTail));
}

TEST(ComposeRequestBounds, LongestFieldsFitAndUnterminatedFieldsStayInside) {
  UrlItem item;
  std::memset(&item, 'x', sizeof(item));  // no terminator anywhere
  item.path[0] = '/';
  item.size = 0;
  std::string r = Compose(item, kPic, 1);
  EXPECT_EQ(r.find("GET /" + std::string(1023, 'x') + " HTTP/1.0\r\n"), 0u);
  EXPECT_NE(r.find("Host: " + std::string(63, 'x') + "\r\n"),
            std::string::npos);
  char small[64];
  EXPECT_EQ(ComposeRequest(item, kPic, 1, small, sizeof(small)), 0u);
}

}  // namespace
}  // namespace harvio
