#include "core/url_location.h"

#include <cstdio>
#include <cstring>

#include "core/gbk_text.h"

namespace harvio {
namespace {

constexpr char kSecureMark[] = "s:";
constexpr size_t kSecureMarkLength = 2;

bool StartsNoCase(const char* text, const char* lower) {
  for (; *lower != '\0'; ++text, ++lower) {
    char c = *text;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != *lower) return false;
  }
  return true;
}

// Digits only, 1..65535; 0 for anything else.
uint16_t ReadPort(const char* from, const char* end) {
  if (from == end || end - from > 5) return 0;
  uint32_t port = 0;
  for (const char* p = from; p < end; ++p) {
    if (*p < '0' || *p > '9') return 0;
    port = port * 10 + static_cast<uint32_t>(*p - '0');
  }
  return port <= 65535 ? static_cast<uint16_t>(port) : 0;
}

}  // namespace

size_t SchemeLength(const char* url) {
  // The letters in any case, the "://" exactly.
  if (StartsNoCase(url, "http") && std::strncmp(url + 4, "://", 3) == 0) {
    return 7;
  }
  if (StartsNoCase(url, "https") && std::strncmp(url + 5, "://", 3) == 0) {
    return 8;
  }
  return 0;
}

bool EncodeLocation(const char* url, char (&host)[64], const char** path) {
  size_t scheme = SchemeLength(url);
  if (scheme == 0) return false;
  bool secure = scheme == 8;
  const char* name = url + scheme;
  const char* slash = std::strchr(name, '/');
  if (slash == nullptr) return false;
  const char* nameEnd = slash;
  const char* colon =
      static_cast<const char*>(std::memchr(name, ':', slash - name));
  uint16_t port = secure ? kHttpsPort : kHttpPort;
  if (colon != nullptr) {
    port = ReadPort(colon + 1, slash);
    if (port == 0) return false;
    nameEnd = colon;
  }
  char portText[8] = "";
  if (port != (secure ? kHttpsPort : kHttpPort)) {
    std::snprintf(portText, sizeof(portText), ":%u", port);
  }
  size_t nameLength = static_cast<size_t>(nameEnd - name);
  size_t mark = secure ? kSecureMarkLength : 0;
  if (mark + nameLength + std::strlen(portText) >= sizeof(host)) return false;
  std::memcpy(host, kSecureMark, mark);
  std::memcpy(host + mark, name, nameLength);
  std::strcpy(host + mark + nameLength, portText);
  LowerAscii(host);
  *path = slash;
  return true;
}

Endpoint DecodeLocation(const char* host) {
  Endpoint e{};
  size_t length = strnlen(host, sizeof(e.name) - 1);
  e.secure = length >= kSecureMarkLength &&
             std::memcmp(host, kSecureMark, kSecureMarkLength) == 0;
  const char* name = e.secure ? host + kSecureMarkLength : host;
  const char* end = host + length;
  e.port = e.secure ? kHttpsPort : kHttpPort;
  const char* colon =
      static_cast<const char*>(std::memchr(name, ':', end - name));
  if (colon != nullptr) {
    uint16_t port = ReadPort(colon + 1, end);
    // A name with a stray colon stays whole and simply never resolves.
    if (port != 0) {
      e.port = port;
      end = colon;
    }
  }
  std::memcpy(e.name, name, static_cast<size_t>(end - name));
  e.name[end - name] = '\0';
  return e;
}

bool IsSecureLocation(const char* host) {
  return std::strncmp(host, kSecureMark, kSecureMarkLength) == 0;
}

const char* Authority(const char* host) {
  return IsSecureLocation(host) ? host + kSecureMarkLength : host;
}

size_t LocationPrefix(const char* host, char* out, size_t capacity) {
  const char* rest = Authority(host);
  int n = std::snprintf(out, capacity, "%s%.*s",
                        IsSecureLocation(host) ? "https://" : "http://",
                        static_cast<int>(strnlen(rest, 63)), rest);
  if (n < 0) return 0;
  return static_cast<size_t>(n) < capacity ? static_cast<size_t>(n)
                                           : capacity - 1;
}

}  // namespace harvio
