#include "platform/tls.h"

#include "platform/clock.h"

namespace harvio::platform {
namespace {

// Room for one whole record of the largest size and its framing.
constexpr uint32_t kInboxBytes = 16384 + 2048;

}  // namespace

TlsChannel::TlsChannel(Socket* socket) : socket_(socket) {}

TlsChannel::~TlsChannel() = default;

bool TlsChannel::Begin(const char* host) {
  engine_ = TlsEngine::Create(host);
  operation_ = Operation::kHandshake;
  socketBusy_ = false;
  established_ = false;
  refusal_ = Refusal::kNone;
  records_.clear();
  if (!inbox_) inbox_.reset(new char[kInboxBytes]);
  return engine_ != nullptr;
}

bool TlsChannel::SendRecords() {
  sending_ = true;
  socketBusy_ = socket_->StartSend(records_.data(),
                                   static_cast<uint32_t>(records_.size()));
  return socketBusy_;
}

bool TlsChannel::ReceiveRecords() {
  sending_ = false;
  socketBusy_ = socket_->StartReceive(inbox_.get(), kInboxBytes);
  return socketBusy_;
}

// The outstanding socket operation is over: a finished send empties
// records_, a receive feeds the engine. Returns the socket's result (1 for
// a whole send); 0 or less is a failure or a closed connection.
int64_t TlsChannel::Collect() {
  socketBusy_ = false;
  int64_t moved = socket_->Result();
  if (sending_) {
    bool whole = moved == static_cast<int64_t>(records_.size());
    records_.clear();
    return whole ? 1 : -1;
  }
  if (moved > 0) engine_->Feed(inbox_.get(), static_cast<size_t>(moved));
  return moved;
}

TlsChannel::Progress TlsChannel::Handshake(uint32_t ms) {
  uint32_t start = TickCount();
  for (;;) {
    if (socketBusy_) {
      uint32_t spent = TickCount() - start;
      if (spent >= ms || !socket_->Wait(ms - spent)) return Progress::kPending;
      if (Collect() <= 0) return Progress::kFailed;
    }
    // The handshake's last records go out before it counts as made.
    if (!records_.empty()) {
      if (!SendRecords()) return Progress::kFailed;
      continue;
    }
    if (established_) {
      operation_ = Operation::kNone;
      return Progress::kDone;
    }
    TlsResult step = engine_->Handshake(&records_);
    if (step == TlsResult::kDone) {
      established_ = true;
    } else if (step == TlsResult::kBadCertificate) {
      refusal_ = Refusal::kCertificate;
      return Progress::kFailed;
    } else if (step != TlsResult::kMore) {
      refusal_ = Refusal::kProtocol;
      return Progress::kFailed;
    } else if (records_.empty() && !ReceiveRecords()) {
      return Progress::kFailed;
    }
  }
}

bool TlsChannel::StartSend(const char* data, uint32_t length) {
  if (!engine_) return socket_->StartSend(data, length);
  operation_ = Operation::kSend;
  over_ = false;
  plainLength_ = length;
  records_.clear();
  return engine_->Seal(data, length, &records_) && SendRecords();
}

bool TlsChannel::StartReceive(char* buffer, uint32_t length) {
  if (!engine_) return socket_->StartReceive(buffer, length);
  operation_ = Operation::kReceive;
  over_ = false;
  plain_ = buffer;
  plainCapacity_ = length;
  // Data already decrypted, or a closed session, needs no socket at all.
  Wait(0);
  return true;
}

void TlsChannel::Finish(int64_t result) {
  over_ = true;
  result_ = result;
}

bool TlsChannel::Wait(uint32_t ms) {
  if (!engine_) return socket_->Wait(ms);
  if (over_) return true;
  if (operation_ != Operation::kSend && operation_ != Operation::kReceive) {
    return socket_->Wait(ms);
  }
  uint32_t start = TickCount();
  for (;;) {
    if (socketBusy_) {
      uint32_t spent = TickCount() - start;
      if (spent > ms || !socket_->Wait(ms - spent)) return false;
      int64_t moved = Collect();
      if (operation_ == Operation::kSend) {
        Finish(moved > 0 ? plainLength_ : -1);
        return true;
      }
      // A server that just closes ends the response like a plain one.
      if (moved <= 0) {
        Finish(moved);
        return true;
      }
    }
    size_t got = 0;
    TlsResult opened = engine_->Open(plain_, plainCapacity_, &got);
    if (opened == TlsResult::kDone || opened == TlsResult::kClosed ||
        opened == TlsResult::kFailed) {
      Finish(opened == TlsResult::kDone     ? static_cast<int64_t>(got)
             : opened == TlsResult::kClosed ? 0
                                            : -1);
      return true;
    }
    if (!ReceiveRecords()) {
      Finish(-1);
      return true;
    }
  }
}

int64_t TlsChannel::Result() {
  if (!engine_) return socket_->Result();
  return over_ ? result_ : -1;
}

void TlsChannel::Close() {
  engine_.reset();
  operation_ = Operation::kNone;
  socketBusy_ = false;
  over_ = false;
  records_.clear();
  socket_->Close();
}

}  // namespace harvio::platform
