#include "net/http_request.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

std::string Get(const std::string& target, const std::string& extra = "") {
  return "GET " + target + " HTTP/1.0\r\nHost: a.com\r\nAccept: */*\r\n" + extra + kTail;
}

// Referer when known; Range only when resuming an entry of known length.
TEST(ComposeRequestGet, FixedLinesRefererAndRange) {
  EXPECT_EQ(Compose(Item("a.com", "/x/y.jpg?q=1"), kPic, 1), Get("/x/y.jpg?q=1"));
  UrlItem item = Item("a.com", "/p.jpg", "http://a.com/t.html");
  const std::string referer = "Referer: http://a.com/t.html\r\n";
  const struct { uint32_t size, done; std::string range; } cases[] = {
      {500, 200, "Range: bytes=200-\r\n"}, {0, 200, ""}, {500, 0, ""}};
  for (const auto& c : cases) {
    item.size = c.size;
    item.done = c.done;
    EXPECT_EQ(Compose(item, kPic, 31), Get("/p.jpg", referer + c.range)) << c.size;
  }
}

// The Host line names a port that is not the scheme's own; an https page
// is never named to a plain-http server.
TEST(ComposeRequestGet, HostOfOtherPortsAndRefererAcrossSchemes) {
  const struct { const char* host; const char* referer; std::string head; } cases[] = {
      {"a.com:8080", "", "Host: a.com:8080\r\n"},
      {"s:a.com", "https://b.com/", "Host: a.com\r\nAccept: */*\r\nReferer: https://b.com/\r\n"},
      {"s:a.com:8443", "http://b.com/", "Host: a.com:8443\r\nAccept: */*\r\nReferer: http://b.com/\r\n"},
      {"a.com", "HTTPS://b.com/", "Host: a.com\r\nAccept: */*\r\nUser-Agent"},
  };
  for (const auto& c : cases) {
    std::string request = Compose(Item(c.host, "/p.jpg", c.referer), kPic, 161);
    EXPECT_NE(request.find(c.head), std::string::npos) << c.host << request;
  }
}

TEST(ComposeRequestPost, FormPostOfTheScriptBoards) {
  UrlItem item = Item("b.example", "/cgi/list.cgi*3", "http://b.example/");
  item.size = 500;
  item.done = 200;  // never a Range on a POST
  std::string body =
      "selectleague=%A3%AD%D3%D1%C7%E9%C1%B4%BD%D3%A3%AD&pagetype=down&"
      "notenum=3";
  EXPECT_EQ(Compose(item, kWeb2, 45),
            std::string("POST /cgi/list.cgi HTTP/1.0\r\n"
                        "Host: b.example\r\n"
                        "Accept: */*\r\n"
                        "Referer: http://b.example/\r\n"
                        "Content-Type: application/x-www-form-urlencoded\r\n"
                        "Content-Length: 73\r\n") +
                kTail + body);
}

// Only board pages (WEB2) of sources 41..51 with a "*n" path are posted.
TEST(ComposeRequestPost, OtherSourcesKindsAndPathsStayGet) {
  const struct { const char* path; ItemKind kind; uint32_t sourceId; const char* method; }
      cases[] = {{"/l.cgi*3", kWeb2, 52, "GET /l.cgi*3 "}, {"/l.cgi*3", kWeb1, 45, "GET /l.cgi*3 "},
                 {"/l.cgi*3", kWeb2, 40, "GET /l.cgi*3 "}, {"/l.cgi*3", kWeb2, 41, "POST /l.cgi "},
                 {"/l.cgi*3", kWeb2, 51, "POST /l.cgi "}, {"/l.cgi", kWeb2, 45, "GET /l.cgi "}};
  for (const auto& c : cases) {
    EXPECT_EQ(Compose(Item("b", c.path), c.kind, c.sourceId).rfind(c.method, 0), 0u)
        << c.sourceId << c.path;
  }
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
