// fixture_server SCRIPT [--max-seconds N] [--requests FILE]
//
// Serves the replies of SCRIPT on a free loopback port and prints
// "port N" on the first line of standard output. It ends on SIGINT/SIGTERM,
// on a request for "/__quit", or after --max-seconds (default 600). With
// --requests, every request received is written to FILE at the end, each as
// "=== METHOD HOST PATH LENGTH\n" followed by its LENGTH bytes and a "\n".
//
// Script: one directive per line; "#" starts a comment line. "route" opens
// a reply, the lines after it shape that reply:
//   route HOST PATH      HOST "*" = any; a PATH ending in "*" is a prefix
//   status TEXT          status line (default "HTTP/1.0 200 OK")
//   header TEXT          one header line, e.g. "header Content-Type: image/jpeg"
//   body TEXT            body text; \r \n \t \\ and \xHH are unescaped
//   body-file FILE       body read from FILE
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
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "tools/fixture_server/fixture_server.h"

namespace {

using harvio::fixture::RangeMode;
using harvio::fixture::Reply;

volatile std::sig_atomic_t gSignalled = 0;

void OnSignal(int) { gSignalled = 1; }

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char c = text[++i];
    if (c == 'r') out += '\r';
    else if (c == 'n') out += '\n';
    else if (c == 't') out += '\t';
    else if (c == 'x' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Applies one directive to `reply`; false for an unknown one.
bool Shape(const std::string& word, const std::string& rest, Reply* reply) {
  std::istringstream values(rest);
  if (word == "status") reply->status = rest;
  else if (word == "header") reply->headers.push_back(rest);
  else if (word == "body") reply->body = Unescape(rest);
  else if (word == "body-file") reply->body = ReadFile(rest);
  else if (word == "generated") values >> reply->generatedMin >> reply->generatedMax;
  else if (word == "length") reply->autoLength = rest != "none";
  else if (word == "range") reply->range = rest == "refuse" ? RangeMode::kRefuse : RangeMode::kHonour;
  else if (word == "drip") values >> reply->dripBytes >> reply->dripMs;
  else if (word == "stall") reply->stallAfterHeader = true;
  else if (word == "close-after") values >> reply->closeAfterBody;
  else if (word == "close-at-once") reply->closeWithoutAnswer = true;
  else if (word == "silent") reply->silent = true;
  else if (word == "times") values >> reply->times;
  else return false;
  return true;
}

bool LoadScript(const std::string& path, harvio::fixture::Server* server) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line, host, route;
  Reply reply;
  bool open = false;
  auto flush = [&] {
    if (open) server->Add(host, route, reply);
  };
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    size_t space = line.find(' ');
    std::string word = line.substr(0, space);
    std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    if (word == "route") {
      flush();
      std::istringstream values(rest);
      values >> host >> route;
      reply = Reply();
      open = true;
    } else if (!open || !Shape(word, rest, &reply)) {
      std::fprintf(stderr, "fixture_server: bad line: %s\n", line.c_str());
      return false;
    }
  }
  flush();
  return true;
}

void WriteRequests(const std::string& path,
                   const std::vector<harvio::fixture::Request>& requests) {
  std::ofstream out(path, std::ios::binary);
  for (const auto& r : requests) {
    out << "=== " << r.method << ' ' << r.host << ' ' << r.path << ' '
        << r.bytes.size() << '\n'
        << r.bytes << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: fixture_server SCRIPT [--max-seconds N] "
                 "[--requests FILE]\n");
    return 2;
  }
  long maxSeconds = 600;
  std::string requestsFile;
  for (int i = 2; i + 1 < argc; i += 2) {
    std::string name = argv[i];
    if (name == "--max-seconds") maxSeconds = std::atol(argv[i + 1]);
    else if (name == "--requests") requestsFile = argv[i + 1];
  }
  harvio::fixture::Server server;
  if (!LoadScript(argv[1], &server) || !server.Start()) return 1;
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
