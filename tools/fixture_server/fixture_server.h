// A scripted HTTP server on a free loopback port, plain or over TLS, for the engine's tests and
// the benchmark. Each reply is chosen by the request's Host and path and can
// be any status line, header set and body; it can also misbehave on purpose:
// drip the body slowly, stall after the header, close early, close without a
// byte, honour or refuse a Range. Every request is recorded byte for byte.
//
// The server lives in-process (tests) or in the fixture_server program;
// both can read a script (format in main.cpp). The demo site of demo/ is
// such a script: a route can serve a folder of files, and the whole server
// can be slowed down so a user sees downloads at work.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ssl_ctx_st;  // OpenSSL's SSL_CTX

namespace harvio::fixture {

enum class RangeMode {
  kIgnore,  // always the reply as written
  kHonour,  // "Range: bytes=N-" gives 206 with the rest, or 416 past the end
  kRefuse,  // any Range request gets 416
};

struct Reply {
  std::string status = "HTTP/1.0 200 OK";  // without the line end
  std::vector<std::string> headers;        // "Name: value", in order
  std::string body;
  // Body made from the request path (see PathBody) when max is not 0.
  uint32_t generatedMin = 0;
  uint32_t generatedMax = 0;
  bool autoLength = true;  // add "Content-Length: <bytes sent>"
  RangeMode range = RangeMode::kIgnore;
  uint32_t dripBytes = 0;  // send the body in pieces of this many bytes...
  uint32_t dripMs = 0;     // ...with this pause between them
  bool stallAfterHeader = false;   // send the header, then nothing
  int64_t closeAfterBody = -1;     // close after this many body bytes
  bool closeWithoutAnswer = false;  // close without sending a byte
  bool silent = false;  // keep the connection open and never answer
  std::string raw;  // when not empty, sent instead of everything above
  int times = -1;   // answer this many requests, then let later routes match
  // When not empty, the body is the file of this folder named by the rest
  // of the request path after the route's prefix (404 when there is none);
  // its Content-Type follows the file's extension unless a header names one.
  std::string filesFolder;
  bool gbk = false;  // the body is UTF-8 text and is sent in code page 936
};

struct Request {
  std::string method;
  std::string path;
  std::string host;
  std::string bytes;  // exactly as received (header and body)
  std::string serverName;  // the TLS client's SNI; empty over plain http
  bool resumed = false;    // the TLS session was one the client kept
};

struct Link;

// Deterministic bytes for `path`, of a length between min and max, so a
// checker can recompute what the server sent.
std::string PathBody(const std::string& path, uint32_t min, uint32_t max);

class Server {
 public:
  Server();
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Listens on 127.0.0.1 at a free port; false on failure.
  bool Start();
  // The same over TLS: the certificate of a folder made by
  // tools/test_certs.sh, chosen by the host the client names (default.crt
  // when it names none the folder has). tls10Only: a server that speaks
  // TLS 1.0 and nothing newer.
  bool StartTls(const std::string& certFolder, bool tls10Only = false);
  uint16_t Port() const { return port_; }
  // host "*" matches any Host; a path ending in "*" matches by prefix.
  // Routes are tried in the order they were added. Unmatched: 404.
  void Add(const std::string& host, const std::string& path, Reply reply);
  void ClearRoutes();
  std::vector<Request> Requests();
  // Clears the requests and the count of connections.
  void ClearRequests();
  // Connections accepted, answered or not (a refused TLS handshake).
  uint32_t Connections() const { return connections_; }
  // Every reply waits delayMs before its first byte, and a body is sent at
  // bytesPerSecond at most (0: at once). For replies without a drip of
  // their own.
  void SetPace(uint32_t delayMs, uint32_t bytesPerSecond);
  // True once "/__quit" was requested.
  bool QuitRequested() const { return quit_; }
  // Stops listening, ends stalled replies and waits for open connections.
  void Stop();

 private:
  struct Route {
    std::string host;
    std::string path;
    Reply reply;
  };
  void AcceptLoop();
  void Serve(int fd);
  bool Greet(Link& link, Request* request);
  Reply Choose(const Request& request, std::string* rest);
  void Answer(Link& link, const Request& request, const Reply& reply);
  bool Pause(uint32_t ms);
  void HoldOpen();

  int listener_ = -1;
  ssl_ctx_st* tls_ = nullptr;  // set when serving TLS
  std::string certFolder_;
  uint16_t port_ = 0;
  std::thread acceptor_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> quit_{false};
  std::atomic<uint32_t> connections_{0};
  std::mutex lock_;
  std::condition_variable idle_;
  std::vector<Route> routes_;
  std::vector<Request> requests_;
  int openConnections_ = 0;
  std::atomic<uint32_t> paceDelayMs_{0};
  std::atomic<uint32_t> paceBytesPerSecond_{0};
};

// Adds the routes of the script at `path` (format in main.cpp); files it
// names are relative to the script's folder. False, with the offending line
// in `error`, when a line cannot be read.
bool LoadScript(const std::string& path, Server* server, std::string* error);

}  // namespace harvio::fixture
