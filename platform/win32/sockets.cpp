// Windows Sockets 2.2: non-blocking sockets with zero-sized buffers, so an
// overlapped WSASend/WSARecv moves data straight between the network and the
// caller's buffer; completion is signalled through the socket's event. Under
// Wine the buffers keep the system's sizes (see Open).
#include "platform/sockets.h"

#include <winsock2.h>
#include <windows.h>

#include <cstring>

namespace harvio::platform {

static_assert(sizeof(sockaddr_in) == sizeof(SocketAddress),
              "SocketAddress holds a sockaddr_in");

bool StartSocketLibrary() {
  WSADATA data;
  return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

void StopSocketLibrary() { WSACleanup(); }

bool ResolveIPv4(const char* host, uint16_t port, SocketAddress* out) {
  // gethostbyname keeps its answer per thread, so workers may call it at once.
  hostent* answer = gethostbyname(host);
  if (answer == nullptr || answer->h_addrtype != AF_INET ||
      answer->h_length != 4 || answer->h_addr_list[0] == nullptr) {
    return false;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  std::memcpy(&address.sin_addr, answer->h_addr_list[0], 4);
  std::memcpy(out->bytes, &address, sizeof(address));
  return true;
}

namespace {

// Wine's ntdll exports wine_get_version; Windows' does not.
bool RunsUnderWine() {
  static const bool wine = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr &&
           GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return wine;
}

bool SetZeroBuffers(SOCKET s) {
  int zero = 0;
  return setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<char*>(&zero),
                    sizeof(zero)) == 0 &&
         setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&zero),
                    sizeof(zero)) == 0;
}

}  // namespace

struct Socket::State {
  SOCKET socket = INVALID_SOCKET;
  // A plain manual-reset event: it outlives the worker's hold on the
  // sockets library, which ends before the socket object is destroyed.
  HANDLE event = nullptr;
  WSAOVERLAPPED overlapped{};
  WSABUF buffer{};
  bool outstanding = false;  // an overlapped operation was started
};

Socket::Socket() : state_(new State) {
  state_->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

Socket::~Socket() {
  Close();
  if (state_->event != nullptr) CloseHandle(state_->event);
  delete state_;
}

bool Socket::Open() {
  Close();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return false;
  u_long nonBlocking = 1;
  // Windows lets an overlapped operation on a zero-sized buffer use the
  // caller's buffer. Wine passes the zero on to the host system, which
  // takes its smallest buffer instead: a receive then brings a few hundred
  // bytes and a picture costs ten times the calls. There the system's own
  // sizes stay.
  if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0 ||
      (!RunsUnderWine() && !SetZeroBuffers(s))) {
    closesocket(s);
    return false;
  }
  state_->socket = s;
  return true;
}

bool Socket::IsOpen() const { return state_->socket != INVALID_SOCKET; }

Socket::Progress Socket::StartConnect(const SocketAddress& address) {
  sockaddr_in target;
  std::memcpy(&target, address.bytes, sizeof(target));
  if (connect(state_->socket, reinterpret_cast<sockaddr*>(&target),
              sizeof(target)) == 0) {
    return Progress::kDone;
  }
  return WSAGetLastError() == WSAEWOULDBLOCK ? Progress::kPending
                                             : Progress::kFailed;
}

Socket::Progress Socket::WaitConnected(uint32_t ms) {
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(state_->socket, &writable);
  FD_SET(state_->socket, &failed);
  timeval wait{static_cast<long>(ms / 1000),
               static_cast<long>(ms % 1000) * 1000};
  int ready = select(0, nullptr, &writable, &failed, &wait);
  if (ready == 0) return Progress::kPending;
  if (ready < 0 || FD_ISSET(state_->socket, &failed)) return Progress::kFailed;
  return Progress::kDone;
}

namespace {

// Prepares the overlapped record of a new operation. The event is not
// reset here: starting the operation resets it, and every call into the
// system saved counts under Wine, where each one is a trip to its server.
void Arm(WSAOVERLAPPED* overlapped, HANDLE event) {
  std::memset(overlapped, 0, sizeof(*overlapped));
  overlapped->hEvent = event;
}

bool StartedOrPending(int result) {
  return result == 0 || WSAGetLastError() == WSA_IO_PENDING;
}

}  // namespace

bool Socket::StartSend(const char* data, uint32_t length) {
  State& s = *state_;
  Arm(&s.overlapped, s.event);
  s.buffer.buf = const_cast<char*>(data);
  s.buffer.len = length;
  DWORD sent = 0;
  s.outstanding = StartedOrPending(
      WSASend(s.socket, &s.buffer, 1, &sent, 0, &s.overlapped, nullptr));
  return s.outstanding;
}

bool Socket::StartReceive(char* buffer, uint32_t length) {
  State& s = *state_;
  Arm(&s.overlapped, s.event);
  s.buffer.buf = buffer;
  s.buffer.len = length;
  DWORD received = 0;
  DWORD flags = 0;
  s.outstanding = StartedOrPending(WSARecv(s.socket, &s.buffer, 1, &received,
                                           &flags, &s.overlapped, nullptr));
  return s.outstanding;
}

bool Socket::Wait(uint32_t ms) {
  if (!state_->outstanding) {
    Sleep(ms);
    return false;
  }
  // Most receives on a busy connection complete at once: no wait then.
  // The status, not the event, says when it is over.
  if (HasOverlappedIoCompleted(&state_->overlapped)) return true;
  WaitForSingleObject(state_->event, ms);
  return HasOverlappedIoCompleted(&state_->overlapped);
}

int64_t Socket::Result() {
  State& s = *state_;
  if (!s.outstanding) return -1;
  DWORD moved = 0;
  DWORD flags = 0;
  if (!WSAGetOverlappedResult(s.socket, &s.overlapped, &moved, FALSE,
                              &flags)) {
    return -1;
  }
  s.outstanding = false;
  return moved;
}

void Socket::Close() {
  State& s = *state_;
  if (s.socket == INVALID_SOCKET) return;
  // No shutdown first: closing alone ends the connection just as well, and
  // under Wine every call is a trip to its server.
  closesocket(s.socket);
  // Closing cancels an outstanding operation; its completion still writes
  // into the overlapped record, so wait for it before the record is reused.
  if (s.outstanding) WaitForSingleObject(s.event, 1000);
  s.socket = INVALID_SOCKET;
  s.outstanding = false;
}

}  // namespace harvio::platform
