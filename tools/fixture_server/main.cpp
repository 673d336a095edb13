// fixture_server SCRIPT [--max-seconds N] [--requests FILE] [--delay MS]
//                [--rate BYTES] [--tls CERTS | --tls10 CERTS]
//
// Serves the replies of SCRIPT on a free loopback port and prints
// "port N" on the first line of standard output. It ends on SIGINT/SIGTERM,
// on a request for "/__quit", or after --max-seconds (default 600). With
// --requests, every request received is written to FILE at the end, each as
// "=== METHOD HOST PATH LENGTH\n" followed by its LENGTH bytes and a "\n".
// --delay holds every reply back for MS milliseconds; --rate sends bodies
// at BYTES per second at most (replies with a drip of their own keep it).
// --tls serves over TLS with the certificates of CERTS (a folder made by
// tools/test_certs.sh); --tls10 the same with TLS 1.0 only. The request
// file then names the client's SNI after the length.
//
// Script: one directive per line; "#" starts a comment line. "route" opens
// a reply, the lines after it shape that reply:
//   route HOST PATH      HOST "*" = any; a PATH ending in "*" is a prefix
//   status TEXT          status line (default "HTTP/1.0 200 OK")
//   header TEXT          one header line, e.g. "header Content-Type: image/jpeg"
//   body TEXT            body text; \r \n \t \\ and \xHH are unescaped
//   body-file FILE       body read from FILE (relative to the script's folder)
//   files FOLDER         body: the file of FOLDER named by the rest of the
//                        path after a prefix route's PATH; 404 without one
//   encode gbk           the body is UTF-8 and is sent in code page 936
//   page FILE            an HTML page kept in UTF-8 (body-file, encode gbk,
//                        Content-Type text/html, length none)
//   generated MIN MAX    body of MIN..MAX bytes made from the request path
//   length none          no Content-Length header (default: the bytes sent)
//   range honour|refuse  206 with the rest for "Range: bytes=N-" / always 416
//   drip BYTES MS        send the body in pieces with a pause between them
//   stall                send the header, then nothing
//   close-after N        close the connection after N body bytes
//   close-at-once        close without sending a byte
//   silent               keep the connection open and never answer
//   times N              serve this reply N times, then let later routes match
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <fstream>
#include <string>
#include <thread>

#include "tools/fixture_server/fixture_server.h"

namespace {

volatile std::sig_atomic_t gSignalled = 0;

void OnSignal(int) { gSignalled = 1; }

void WriteRequests(const std::string& path,
                   const std::vector<harvio::fixture::Request>& requests) {
  std::ofstream out(path, std::ios::binary);
  for (const auto& r : requests) {
    out << "=== " << r.method << ' ' << r.host << ' ' << r.path << ' '
        << r.bytes.size() << (r.serverName.empty() ? "" : " " + r.serverName)
        << '\n'
        << r.bytes << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: fixture_server SCRIPT [--max-seconds N] "
                 "[--requests FILE] [--delay MS] [--rate BYTES] "
                 "[--tls CERTS | --tls10 CERTS]\n");
    return 2;
  }
  long maxSeconds = 600;
  std::string requestsFile;
  uint32_t delayMs = 0, rate = 0;
  std::string certs;
  bool tls10 = false;
  for (int i = 2; i + 1 < argc; i += 2) {
    std::string name = argv[i];
    if (name == "--max-seconds") maxSeconds = std::atol(argv[i + 1]);
    else if (name == "--requests") requestsFile = argv[i + 1];
    else if (name == "--delay") delayMs = std::strtoul(argv[i + 1], nullptr, 10);
    else if (name == "--rate") rate = std::strtoul(argv[i + 1], nullptr, 10);
    else if (name == "--tls" || name == "--tls10") {
      certs = argv[i + 1];
      tls10 = name == "--tls10";
    }
  }
  harvio::fixture::Server server;
  std::string error;
  if (!harvio::fixture::LoadScript(argv[1], &server, &error)) {
    std::fprintf(stderr, "fixture_server: %s\n", error.c_str());
    return 1;
  }
  server.SetPace(delayMs, rate);
  if (!(certs.empty() ? server.Start() : server.StartTls(certs, tls10))) return 1;
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("port %u\n", server.Port());
  std::fflush(stdout);
  for (long tenths = 0; tenths < maxSeconds * 10 && !gSignalled &&
                        !server.QuitRequested();
       ++tenths) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  server.Stop();
  if (!requestsFile.empty()) WriteRequests(requestsFile, server.Requests());
  return 0;
}
