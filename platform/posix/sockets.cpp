// POSIX sockets: a non-blocking socket whose "overlapped" send and receive
// are carried forward by a bounded poll in Wait. A send is over when every
// byte has left or an error occurred; a receive is over after one read.
#include "platform/sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace harvio::platform {

static_assert(sizeof(sockaddr_in) == sizeof(SocketAddress),
              "SocketAddress holds a sockaddr_in");

bool StartSocketLibrary() { return true; }
void StopSocketLibrary() {}

bool ResolveIPv4(const char* host, uint16_t port, SocketAddress* out) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* answer = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &answer) != 0 || answer == nullptr) {
    return false;
  }
  sockaddr_in address{};
  std::memcpy(&address, answer->ai_addr, sizeof(address));
  freeaddrinfo(answer);
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  std::memcpy(out->bytes, &address, sizeof(address));
  return true;
}

enum class Operation { kNone, kSend, kReceive };

struct Socket::State {
  int fd = -1;
  Operation operation = Operation::kNone;
  const char* sendData = nullptr;
  char* receiveBuffer = nullptr;
  uint32_t length = 0;
  uint32_t moved = 0;
  bool over = false;
  bool failed = false;
};

namespace {

// Waits for `events` on fd; >0 ready, 0 timed out, <0 error.
int PollFor(int fd, short events, uint32_t ms) {
  pollfd entry{fd, events, 0};
  int ready;
  do {
    ready = poll(&entry, 1, static_cast<int>(ms));
  } while (ready < 0 && errno == EINTR);
  return ready;
}

bool WouldBlock(int error) {
  return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

}  // namespace

Socket::Socket() : state_(new State) {}

Socket::~Socket() {
  Close();
  delete state_;
}

bool Socket::Open() {
  Close();
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  int flags = fcntl(fd, F_GETFL, 0);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
    ::close(fd);
    return false;
  }
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
  state_->fd = fd;
  return true;
}

bool Socket::IsOpen() const { return state_->fd >= 0; }

Socket::Progress Socket::StartConnect(const SocketAddress& address) {
  sockaddr_in target;
  std::memcpy(&target, address.bytes, sizeof(target));
  if (connect(state_->fd, reinterpret_cast<sockaddr*>(&target),
              sizeof(target)) == 0) {
    return Progress::kDone;
  }
  return errno == EINPROGRESS ? Progress::kPending : Progress::kFailed;
}

Socket::Progress Socket::WaitConnected(uint32_t ms) {
  int ready = PollFor(state_->fd, POLLOUT, ms);
  if (ready == 0) return Progress::kPending;
  if (ready < 0) return Progress::kFailed;
  int error = 0;
  socklen_t size = sizeof(error);
  if (getsockopt(state_->fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 ||
      error != 0) {
    return Progress::kFailed;
  }
  return Progress::kDone;
}

bool Socket::StartSend(const char* data, uint32_t length) {
  if (state_->fd < 0) return false;
  *state_ = State{state_->fd, Operation::kSend, data, nullptr, length};
  Wait(0);
  return !state_->failed;
}

bool Socket::StartReceive(char* buffer, uint32_t length) {
  if (state_->fd < 0) return false;
  *state_ = State{state_->fd, Operation::kReceive, nullptr, buffer, length};
  Wait(0);
  return true;
}

bool Socket::Wait(uint32_t ms) {
  State& s = *state_;
  if (s.operation == Operation::kNone) {
    PollFor(-1, 0, ms);  // nothing outstanding: just let the time pass
    return false;
  }
  if (s.over) return true;
  if (s.operation == Operation::kReceive) {
    ssize_t got = recv(s.fd, s.receiveBuffer, s.length, 0);
    if (got < 0 && WouldBlock(errno)) {
      if (PollFor(s.fd, POLLIN, ms) == 0) return false;
      got = recv(s.fd, s.receiveBuffer, s.length, 0);
      if (got < 0 && WouldBlock(errno)) return false;
    }
    s.over = true;
    s.failed = got < 0;
    s.moved = got < 0 ? 0 : static_cast<uint32_t>(got);
    return true;
  }
  // A send may need several writes; one poll slice per call at most.
  bool polled = false;
  while (s.moved < s.length) {
    ssize_t sent =
        send(s.fd, s.sendData + s.moved, s.length - s.moved, MSG_NOSIGNAL);
    if (sent > 0) {
      s.moved += static_cast<uint32_t>(sent);
      continue;
    }
    if (sent < 0 && !WouldBlock(errno)) {
      s.over = s.failed = true;
      return true;
    }
    if (polled || ms == 0 || PollFor(s.fd, POLLOUT, ms) == 0) return false;
    polled = true;
  }
  s.over = true;
  return true;
}

int64_t Socket::Result() {
  const State& s = *state_;
  if (!s.over || s.failed) return -1;
  return s.moved;
}

void Socket::Close() {
  if (state_->fd >= 0) {
    shutdown(state_->fd, SHUT_RDWR);
    ::close(state_->fd);
  }
  *state_ = State{};
}

}  // namespace harvio::platform
