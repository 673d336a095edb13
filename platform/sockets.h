// TCP connections for the download workers. A worker runs one operation at a
// time on its connection and drives it through the same steps on every
// system: start a connect and wait for it in short slices, start a send or a
// receive, then wait for the socket (at most a given time, so the worker can
// look at its stop flag and its data time-out) and fetch the result.
//
// On Windows the send and the receive are overlapped operations completed
// through an event object, with zero-sized socket buffers so data moves
// straight between the network and the worker's buffer (under Wine, which
// cannot do that, with the system's buffers). On POSIX systems the
// socket is non-blocking and the wait is a bounded poll that carries the
// operation forward.
#pragma once

#include <cstdint>

namespace harvio::platform {

// The 16-byte IPv4 socket address record (family, port, address), kept as
// bytes so the portable code never needs the system headers.
struct SocketAddress {
  unsigned char bytes[16];
};

// The sockets library of the system, held once per worker thread (Windows
// needs it initialised before anything else here; elsewhere it does nothing).
bool StartSocketLibrary();
void StopSocketLibrary();

// The first IPv4 address of `host` from the system resolver, with `port`.
bool ResolveIPv4(const char* host, uint16_t port, SocketAddress* out);

class Socket {
 public:
  enum class Progress {
    kDone,     // the operation has completed (successfully or not)
    kPending,  // still running; wait and ask again
    kFailed,   // ended with an error
  };

  Socket();
  ~Socket();
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Creates a non-blocking TCP socket; false on any failure.
  bool Open();
  bool IsOpen() const;
  // Starts connecting: kDone when connected at once, kPending when the
  // connection is under way, kFailed otherwise.
  Progress StartConnect(const SocketAddress& address);
  // Waits at most `ms` for the connection to be made.
  Progress WaitConnected(uint32_t ms);

  // Start sending or receiving. The buffer must stay valid until the
  // operation is done or the socket is closed. False: failed at once.
  bool StartSend(const char* data, uint32_t length);
  bool StartReceive(char* buffer, uint32_t length);
  // Waits at most `ms` for the outstanding operation; true when it is over
  // (its result can be fetched), false when it is still running. Without an
  // outstanding operation it just waits `ms` and returns false.
  bool Wait(uint32_t ms);
  // The result of the finished operation without waiting: the bytes moved
  // (0 for a receive = the peer closed), or -1 on failure or while pending.
  int64_t Result();

  // Shuts the connection down in both directions and closes it; an
  // outstanding operation is cancelled first.
  void Close();

 private:
  struct State;
  State* state_;
};

}  // namespace harvio::platform
