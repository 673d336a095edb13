#include "tools/fixture_server/fixture_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <openssl/ssl.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/codepage.h"

namespace harvio::fixture {
namespace {

constexpr size_t kMaxRequestBytes = 65536;
constexpr int kReadTimeoutMs = 10000;
constexpr uint32_t kPacePiecesPerSecond = 20;

uint64_t Fnv1a(const std::string& text) {
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

// The value of header `name` ("Host"), case-insensitive, or "".
std::string HeaderValue(const std::string& head, const std::string& name) {
  size_t line = head.find("\r\n");
  while (line != std::string::npos && line + 2 < head.size()) {
    size_t start = line + 2;
    size_t end = head.find("\r\n", start);
    if (end == std::string::npos) end = head.size();
    std::string text = head.substr(start, end - start);
    if (text.size() > name.size() && text[name.size()] == ':' &&
        strncasecmp(text.c_str(), name.c_str(), name.size()) == 0) {
      size_t value = name.size() + 1;
      while (value < text.size() && text[value] == ' ') value++;
      return text.substr(value);
    }
    line = end;
  }
  return "";
}

}  // namespace

// One accepted connection, plain or over TLS.
struct Link {
  int fd;
  SSL* ssl = nullptr;

  bool SendAll(const char* data, size_t length) {
    while (length > 0) {
      ssize_t sent = ssl != nullptr
                         ? SSL_write(ssl, data, static_cast<int>(length))
                         : send(fd, data, length, MSG_NOSIGNAL);
      if (sent < 0 && ssl == nullptr && errno == EINTR) continue;
      if (sent <= 0) return false;
      data += sent;
      length -= static_cast<size_t>(sent);
    }
    return true;
  }

  // Waits at most kReadTimeoutMs for bytes; 0 or less at the end.
  ssize_t Receive(char* buffer, size_t size) {
    if (ssl == nullptr || SSL_pending(ssl) == 0) {
      pollfd entry{fd, POLLIN, 0};
      if (poll(&entry, 1, kReadTimeoutMs) <= 0) return -1;
    }
    return ssl != nullptr ? SSL_read(ssl, buffer, static_cast<int>(size))
                          : recv(fd, buffer, size, 0);
  }
};

namespace {

// Reads one request: the header, and a body as long as its Content-Length.
bool ReadRequest(Link& link, Request* request) {
  std::string& bytes = request->bytes;
  size_t headEnd = std::string::npos;
  size_t wanted = 0;
  char chunk[4096];
  while (bytes.size() < kMaxRequestBytes) {
    if (headEnd != std::string::npos && bytes.size() >= wanted) break;
    ssize_t got = link.Receive(chunk, sizeof(chunk));
    if (got <= 0) return false;
    bytes.append(chunk, static_cast<size_t>(got));
    if (headEnd == std::string::npos &&
        (headEnd = bytes.find("\r\n\r\n")) != std::string::npos) {
      std::string length = HeaderValue(bytes.substr(0, headEnd), "Content-Length");
      wanted = headEnd + 4 + std::strtoul(length.c_str(), nullptr, 10);
    }
  }
  if (headEnd == std::string::npos) return false;
  size_t space1 = bytes.find(' ');
  size_t space2 = bytes.find(' ', space1 + 1);
  if (space1 == std::string::npos || space2 == std::string::npos) return false;
  request->method = bytes.substr(0, space1);
  request->path = bytes.substr(space1 + 1, space2 - space1 - 1);
  request->host = HeaderValue(bytes.substr(0, headEnd), "Host");
  return true;
}

bool Matches(const std::string& pattern, const std::string& text) {
  if (pattern == "*") return true;
  if (!pattern.empty() && pattern.back() == '*') {
    return text.compare(0, pattern.size() - 1, pattern, 0,
                        pattern.size() - 1) == 0;
  }
  return pattern == text;
}

// The first byte asked for by "Range: bytes=N-", or -1 without a Range.
int64_t RangeStart(const std::string& requestBytes) {
  std::string range = HeaderValue(
      requestBytes.substr(0, requestBytes.find("\r\n\r\n")), "Range");
  if (range.compare(0, 6, "bytes=") != 0) return -1;
  return std::strtoll(range.c_str() + 6, nullptr, 10);
}

std::string ReadFile(const std::string& path, bool* found) {
  std::ifstream in(path, std::ios::binary);
  if (found != nullptr) *found = in.good();
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool HasHeader(const std::vector<std::string>& headers, const char* name) {
  for (const std::string& h : headers) {
    if (strncasecmp(h.c_str(), name, std::strlen(name)) == 0) return true;
  }
  return false;
}

const char* TypeOfFile(const std::string& name) {
  static const char* const kTypes[][2] = {
      {".jpg", "image/jpeg"}, {".jpeg", "image/jpeg"}, {".gif", "image/gif"},
      {".png", "image/png"},  {".webp", "image/webp"}, {".html", "text/html"},
      {".htm", "text/html"},  {".js", "text/plain"},   {".txt", "text/plain"}};
  size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? "" : name.substr(dot);
  for (const auto& t : kTypes) {
    if (strcasecmp(ext.c_str(), t[0]) == 0) return t[1];
  }
  return "application/octet-stream";
}

Reply NotFound() {
  Reply missing;
  missing.status = "HTTP/1.0 404 Not Found";
  missing.headers = {"Content-Type: text/html"};
  return missing;
}

// The file of `reply.filesFolder` named by `rest` (a query cut off) as the
// body; 404 for a name that is missing or tries to leave the folder.
Reply WithFileBody(Reply reply, const std::string& rest) {
  std::string name = rest.substr(0, rest.find('?'));
  if (name.empty() || name.find("..") != std::string::npos) return NotFound();
  bool found = false;
  reply.body = ReadFile(reply.filesFolder + "/" + name, &found);
  if (!found) return NotFound();
  if (!HasHeader(reply.headers, "Content-Type:")) {
    reply.headers.push_back(std::string("Content-Type: ") + TypeOfFile(name));
  }
  return reply;
}

}  // namespace

std::string PathBody(const std::string& path, uint32_t min, uint32_t max) {
  uint64_t state = Fnv1a(path) | 1;
  uint32_t length = max > min ? min + static_cast<uint32_t>(state % (max - min + 1)) : min;
  std::string body(length, '\0');
  for (uint32_t i = 0; i < length; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    body[i] = static_cast<char>(state >> 24);
  }
  return body;
}

Server::Server() = default;

Server::~Server() {
  Stop();
  if (tls_ != nullptr) SSL_CTX_free(tls_);
}

bool Server::Start() {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  if (listener_ < 0) return false;
  int one = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof(address);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listener_, 128) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) !=
          0) {
    close(listener_);
    listener_ = -1;
    return false;
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread(&Server::AcceptLoop, this);
  return true;
}

void Server::Add(const std::string& host, const std::string& path,
                 Reply reply) {
  std::lock_guard<std::mutex> guard(lock_);
  routes_.push_back({host, path, std::move(reply)});
}

std::vector<Request> Server::Requests() {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

void Server::ClearRoutes() {
  std::lock_guard<std::mutex> guard(lock_);
  routes_.clear();
}

void Server::ClearRequests() {
  std::lock_guard<std::mutex> guard(lock_);
  requests_.clear();
  connections_ = 0;
}

void Server::Stop() {
  if (listener_ < 0) return;
  stopping_ = true;
  acceptor_.join();
  close(listener_);
  listener_ = -1;
  std::unique_lock<std::mutex> guard(lock_);
  idle_.wait_for(guard, std::chrono::seconds(15),
                 [this] { return openConnections_ == 0; });
}

void Server::AcceptLoop() {
  while (!stopping_) {
    pollfd entry{listener_, POLLIN, 0};
    if (poll(&entry, 1, 100) <= 0) continue;
    int fd = accept(listener_, nullptr, nullptr);
    if (fd < 0) continue;
    connections_++;
    {
      std::lock_guard<std::mutex> guard(lock_);
      openConnections_++;
    }
    std::thread(&Server::Serve, this, fd).detach();
  }
}

// The certificate of the host the client names, when the folder has one.
int ChooseCertificate(SSL* ssl, int*, void* arg) {
  const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
  if (name == nullptr || std::strchr(name, '/') != nullptr) return SSL_TLSEXT_ERR_OK;
  std::string base = *static_cast<std::string*>(arg) + "/" + name;
  if (access((base + ".crt").c_str(), R_OK) == 0) {
    SSL_use_certificate_chain_file(ssl, (base + ".crt").c_str());
    SSL_use_PrivateKey_file(ssl, (base + ".key").c_str(), SSL_FILETYPE_PEM);
  }
  return SSL_TLSEXT_ERR_OK;
}

bool Server::StartTls(const std::string& folder, bool tls10Only) {
  certFolder_ = folder;
  tls_ = SSL_CTX_new(TLS_server_method());
  if (tls_ == nullptr ||
      SSL_CTX_use_certificate_chain_file(tls_, (folder + "/default.crt").c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(tls_, (folder + "/default.key").c_str(),
                                  SSL_FILETYPE_PEM) != 1) {
    return false;
  }
  if (tls10Only) {
    // What a server of long ago speaks, below any current client's floor.
    SSL_CTX_set_security_level(tls_, 0);
    SSL_CTX_set_cipher_list(tls_, "DEFAULT@SECLEVEL=0");
    SSL_CTX_set_min_proto_version(tls_, TLS1_VERSION);
    SSL_CTX_set_max_proto_version(tls_, TLS1_VERSION);
  }
  SSL_CTX_set_tlsext_servername_callback(tls_, ChooseCertificate);
  SSL_CTX_set_tlsext_servername_arg(tls_, &certFolder_);
  return Start();
}

// A TLS connection starts with its handshake; a client that refuses the
// certificate ends here, having asked nothing.
bool Server::Greet(Link& link, Request* request) {
  if (tls_ == nullptr) return true;
  timeval limit{kReadTimeoutMs / 1000, 0};
  setsockopt(link.fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
  link.ssl = SSL_new(tls_);
  if (link.ssl == nullptr) return false;
  SSL_set_fd(link.ssl, link.fd);
  if (SSL_accept(link.ssl) != 1) return false;
  const char* name = SSL_get_servername(link.ssl, TLSEXT_NAMETYPE_host_name);
  request->serverName = name != nullptr ? name : "";
  request->resumed = SSL_session_reused(link.ssl) == 1;
  return true;
}

void Server::Serve(int fd) {
  // SSL_write writes with write(), which raises SIGPIPE when the client has
  // hung up (it refused the header, or closed before close_notify); that
  // must end this connection, not the server. The signal goes to the
  // writing thread, so blocking it here is enough.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
  Request request;
  Link link{fd};
  if (Greet(link, &request) && ReadRequest(link, &request)) {
    {
      std::lock_guard<std::mutex> guard(lock_);
      requests_.push_back(request);
    }
    if (request.path == "/__quit") quit_ = true;
    std::string rest;
    Reply reply = Choose(request, &rest);
    if (!reply.filesFolder.empty()) reply = WithFileBody(reply, rest);
    // Text with no GBK form goes out as it is, for the test to notice.
    std::string gbk;
    if (reply.gbk && platform::Utf8ToGbk(reply.body, &gbk)) reply.body = gbk;
    Answer(link, request, reply);
  }
  if (link.ssl != nullptr) {
    SSL_shutdown(link.ssl);
    SSL_free(link.ssl);
  }
  shutdown(fd, SHUT_RDWR);
  close(fd);
  std::lock_guard<std::mutex> guard(lock_);
  openConnections_--;
  idle_.notify_all();
}

void Server::SetPace(uint32_t delayMs, uint32_t bytesPerSecond) {
  paceDelayMs_ = delayMs;
  paceBytesPerSecond_ = bytesPerSecond;
}

// The reply of the first matching route, and in `rest` what of the path
// follows a prefix route's prefix.
Reply Server::Choose(const Request& request, std::string* rest) {
  std::lock_guard<std::mutex> guard(lock_);
  for (Route& route : routes_) {
    if (route.reply.times == 0 || !Matches(route.host, request.host) ||
        !Matches(route.path, request.path)) {
      continue;
    }
    if (route.reply.times > 0) route.reply.times--;
    if (!route.path.empty() && route.path.back() == '*') {
      *rest = request.path.substr(route.path.size() - 1);
    }
    return route.reply;
  }
  return NotFound();
}

// Sleeps up to `ms`, waking early when the server stops; false then.
bool Server::Pause(uint32_t ms) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!stopping_) {
    auto left = until - std::chrono::steady_clock::now();
    if (left <= std::chrono::milliseconds(0)) return true;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(20)));
  }
  return false;
}

// Keeps a connection open without sending until the server stops.
void Server::HoldOpen() {
  while (Pause(1000)) {
  }
}

void Server::Answer(Link& link, const Request& request, const Reply& reply) {
  if (reply.closeWithoutAnswer) return;
  if (paceDelayMs_ > 0 && !Pause(paceDelayMs_)) return;
  if (reply.silent) {
    HoldOpen();
    return;
  }
  if (!reply.raw.empty()) {
    link.SendAll(reply.raw.data(), reply.raw.size());
    return;
  }
  std::string body = reply.generatedMax != 0
                         ? PathBody(request.path, reply.generatedMin, reply.generatedMax)
                         : reply.body;
  std::string status = reply.status;
  std::vector<std::string> headers = reply.headers;
  int64_t start = reply.range == RangeMode::kIgnore ? -1 : RangeStart(request.bytes);
  if (start >= 0) {
    if (reply.range == RangeMode::kRefuse ||
        static_cast<uint64_t>(start) >= body.size()) {
      status = "HTTP/1.0 416 Requested Range Not Satisfiable";
      headers = {"Content-Type: text/html"};
      body.clear();
    } else {
      status = "HTTP/1.0 206 Partial Content";
      headers.push_back("Content-Range: bytes " + std::to_string(start) + "-" +
                        std::to_string(body.size() - 1) + "/" +
                        std::to_string(body.size()));
      body.erase(0, static_cast<size_t>(start));
    }
  }
  std::string head = status + "\r\n";
  for (const std::string& header : headers) head += header + "\r\n";
  if (reply.autoLength) {
    head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  }
  head += "\r\n";
  if (!link.SendAll(head.data(), head.size())) return;
  if (reply.stallAfterHeader) {
    HoldOpen();
    return;
  }
  size_t limit = body.size();
  if (reply.closeAfterBody >= 0 && static_cast<size_t>(reply.closeAfterBody) < limit) {
    limit = static_cast<size_t>(reply.closeAfterBody);
  }
  size_t piece = reply.dripBytes == 0 ? limit : reply.dripBytes;
  uint32_t pauseMs = reply.dripMs;
  uint32_t rate = paceBytesPerSecond_;
  if (reply.dripBytes == 0 && rate > 0) {
    // Twenty pieces a second come close enough to the rate.
    piece = std::max<size_t>(1, rate / kPacePiecesPerSecond);
    pauseMs = 1000 / kPacePiecesPerSecond;
  }
  for (size_t sent = 0; sent < limit; sent += piece) {
    if (sent > 0 && pauseMs > 0 && !Pause(pauseMs)) return;
    if (!link.SendAll(body.data() + sent, std::min(piece, limit - sent))) return;
  }
}

namespace {

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

// `name` as the script names it: absolute, or relative to its folder.
std::string InFolder(const std::string& folder, const std::string& name) {
  return !name.empty() && name[0] == '/' ? name : folder + name;
}

// Applies one directive to `reply`, with files named relative to `folder`;
// false for an unknown directive or a file that cannot be read.
bool Shape(const std::string& word, const std::string& rest,
           const std::string& folder, Reply* reply) {
  std::istringstream values(rest);
  bool found = true;
  if (word == "status") reply->status = rest;
  else if (word == "header") reply->headers.push_back(rest);
  else if (word == "body") reply->body = Unescape(rest);
  else if (word == "body-file") reply->body = ReadFile(InFolder(folder, rest), &found);
  else if (word == "files") reply->filesFolder = InFolder(folder, rest);
  else if (word == "page") {
    // As the forums served their pages: GBK text, read to the close.
    reply->body = ReadFile(InFolder(folder, rest), &found);
    reply->headers.push_back("Content-Type: text/html");
    reply->autoLength = false;
    reply->gbk = true;
  }
  else if (word == "encode" && rest == "gbk") reply->gbk = true;
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
  return found;
}

}  // namespace

bool LoadScript(const std::string& path, Server* server, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  // A file named in a script given as "demo/site.txt" is looked up in demo/.
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
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
    } else if (!open || !Shape(word, rest, folder, &reply)) {
      *error = "bad line: " + line;
      return false;
    }
  }
  flush();
  return true;
}

}  // namespace harvio::fixture
