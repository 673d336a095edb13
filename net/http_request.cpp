#include "net/http_request.h"

#include <cstring>
#include <string>

#include "core/url_location.h"

namespace harvio {
namespace {

constexpr char kRequestTail[] = " HTTP/1.0\r\n";
constexpr char kCommonTail[] =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
    "Pragma: no-cache\r\n"
    "Cache-Control: no-cache\r\n"
    "Connection: close\r\n"
    "\r\n";
constexpr char kFormType[] =
    "Content-Type: application/x-www-form-urlencoded\r\n";
// The board's paging form; its percent escapes are GBK bytes sent as they
// are.
constexpr char kFormBodyPrefix[] =
    "selectleague=%A3%AD%D3%D1%C7%E9%C1%B4%BD%D3%A3%AD&pagetype=down&notenum=";

bool IsFormPost(const UrlItem& item, ItemKind kind, uint32_t sourceId) {
  return sourceId >= 41 && sourceId <= 51 && kind == kWeb2 &&
         std::strchr(item.path, '*') != nullptr;
}

// A page fetched over TLS is not named to a plain-http server.
bool LeaksSecurePage(const UrlItem& item) {
  return SchemeLength(item.referer) == 8 && !IsSecureLocation(item.host);
}

// The first lines every request shares: request line, Host, Accept and the
// Referer when there is one.
void AppendHead(std::string& r, const char* method, const std::string& target,
                const UrlItem& item) {
  r += method;
  r += target;
  r += kRequestTail;
  r += "Host: ";
  r += Authority(item.host);
  r += "\r\nAccept: */*\r\n";
  if (item.referer[0] != '\0' && !LeaksSecurePage(item)) {
    r += "Referer: ";
    r += item.referer;
    r += "\r\n";
  }
}

std::string GetRequest(const UrlItem& item) {
  std::string r;
  AppendHead(r, "GET ", item.path, item);
  // Resume only when the length is known from an earlier response.
  if (item.size != 0 && item.done != 0) {
    r += "Range: bytes=" + std::to_string(item.done) + "-\r\n";
  }
  r += kCommonTail;
  return r;
}

std::string PostRequest(const UrlItem& item) {
  const char* star = std::strchr(item.path, '*');
  std::string body = std::string(kFormBodyPrefix) + (star + 1);
  std::string r;
  AppendHead(r, "POST ", std::string(item.path, star), item);
  r += kFormType;
  r += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  r += kCommonTail;
  r += body;
  return r;
}

}  // namespace

uint32_t ComposeRequest(const UrlItem& item, ItemKind kind, uint32_t sourceId,
                        char* out, size_t capacity) {
  // Bounded views of the fields, whatever the record holds.
  UrlItem bounded = item;
  bounded.path[sizeof(bounded.path) - 1] = '\0';
  bounded.host[sizeof(bounded.host) - 1] = '\0';
  bounded.referer[sizeof(bounded.referer) - 1] = '\0';
  std::string request = IsFormPost(bounded, kind, sourceId)
                            ? PostRequest(bounded)
                            : GetRequest(bounded);
  if (request.size() >= capacity) return 0;
  std::memcpy(out, request.data(), request.size());
  out[request.size()] = '\0';
  return static_cast<uint32_t>(request.size());
}

}  // namespace harvio
