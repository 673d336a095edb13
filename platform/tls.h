// TLS for the download workers' https connections. A TlsChannel sits on a
// worker's connected Socket and offers the same start / wait / result steps,
// so the worker drives an https item like a plain one with one handshake
// step between connect and send. Without a session the channel passes every
// call straight to the socket.
//
// The cryptography is the system's: SChannel on Windows, OpenSSL elsewhere.
// Each is a TlsEngine that works on memory only (records in, records out),
// so the waiting, the time slices and the socket stay in one place. The
// server's certificate must chain to a trusted root and name the host;
// TLS 1.2 is the oldest version offered. HARVIO_CA_FILE names a PEM file of
// further trusted roots (tests and the offline demo use their own CA).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/sockets.h"

namespace harvio::platform {

enum class TlsResult {
  kDone,            // the step is complete
  kMore,            // needs more records from the server
  kClosed,          // the server ended the session
  kFailed,          // protocol error, or no common version or cipher
  kBadCertificate,  // the certificate is not trusted for this host
};

// One client session of the system's TLS, on memory only.
class TlsEngine {
 public:
  // Begins a session for `host` (sent as SNI and checked against the
  // certificate); null when the system cannot make one.
  static std::unique_ptr<TlsEngine> Create(const char* host);
  virtual ~TlsEngine() = default;

  // Records received from the server.
  virtual void Feed(const char* data, size_t n) = 0;
  // Runs the handshake on what was fed; records to send are appended to
  // *out (also on failure: an alert may be due).
  virtual TlsResult Handshake(std::string* out) = 0;
  // Appends the records carrying `n` bytes of data to *out.
  virtual bool Seal(const char* data, size_t n, std::string* out) = 0;
  // Up to `capacity` bytes of data from what was fed: kDone with *got > 0,
  // kMore, kClosed or kFailed.
  virtual TlsResult Open(char* buffer, size_t capacity, size_t* got) = 0;
};

class TlsChannel {
 public:
  using Progress = Socket::Progress;

  explicit TlsChannel(Socket* socket);
  ~TlsChannel();
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;

  // Starts a session over the connected socket; false when none can be made.
  bool Begin(const char* host);
  // Carries the handshake on for at most `ms`: kDone, kPending or kFailed.
  Progress Handshake(uint32_t ms);
  // Why a failed handshake failed: the server's TLS was refused (no common
  // version, untrusted certificate), or kNone when the connection failed.
  enum class Refusal { kNone, kProtocol, kCertificate };
  Refusal refusal() const { return refusal_; }

  // As Socket's: the buffer stays valid until the operation is over; a
  // receive's result is the plain bytes (0 once the server has closed).
  bool StartSend(const char* data, uint32_t length);
  bool StartReceive(char* buffer, uint32_t length);
  bool Wait(uint32_t ms);
  int64_t Result();
  // Ends the session and closes the socket.
  void Close();

 private:
  enum class Operation { kNone, kHandshake, kSend, kReceive };
  bool SendRecords();
  bool ReceiveRecords();
  int64_t Collect();
  void Finish(int64_t result);

  Socket* socket_;
  std::unique_ptr<TlsEngine> engine_;
  Operation operation_ = Operation::kNone;
  bool socketBusy_ = false;  // a socket send or receive is outstanding
  bool sending_ = false;     // ... and it is a send
  bool over_ = false;
  Refusal refusal_ = Refusal::kNone;
  bool established_ = false;
  int64_t result_ = -1;
  std::string records_;  // records being sent
  std::unique_ptr<char[]> inbox_;
  char* plain_ = nullptr;  // the caller's receive buffer
  uint32_t plainCapacity_ = 0;
  uint32_t plainLength_ = 0;  // bytes of the caller's send
};

}  // namespace harvio::platform
