// Where a URL points: scheme, host name and port, and how that is kept in
// the 64-byte `host` field of a UrlItem without changing the record.
// The stored forms are listed beside UrlItem in core/task_info.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace harvio {

constexpr uint16_t kHttpPort = 80;
constexpr uint16_t kHttpsPort = 443;

// A URL starts with one of the schemes; letters in either case.
// The length of the scheme text ("http://" or "https://"), or 0.
size_t SchemeLength(const char* url);

// Reads the scheme and authority of `url` (everything up to its first "/"
// after the scheme) into the stored form. False when the URL has no such
// "/", names a port that is not 1..65535, or the stored form would not fit
// 63 bytes. `*path` receives the first "/".
bool EncodeLocation(const char* url, char (&host)[64], const char** path);

struct Endpoint {
  bool secure;
  char name[64];  // host name as the request and the resolver see it
  uint16_t port;
};
// Decodes a stored `host` field (bounded to its 64 bytes).
Endpoint DecodeLocation(const char* host);
bool IsSecureLocation(const char* host);

// "name" or "name:port": the stored host without its scheme mark, as the
// Host header and the URL write it.
const char* Authority(const char* host);

// "http://" or "https://" + name + ":port" when not the default: the URL
// text before the path. Writes at most `capacity` - 1 bytes and a NUL;
// returns the bytes written.
size_t LocationPrefix(const char* host, char* out, size_t capacity);

}  // namespace harvio
