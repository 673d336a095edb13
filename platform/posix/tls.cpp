// OpenSSL behind memory BIOs: the engine never sees the socket. One client
// context serves the whole process: TLS 1.2 at least, the system's roots
// and those of HARVIO_CA_FILE, the peer verified and its name checked.
// Every item is a connection of its own, so the last session of each host
// is kept and offered again: a resumed handshake skips the key exchange
// and the chain check of a full one.
#include "platform/tls.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

namespace harvio::platform {
namespace {

std::mutex gSessionsLock;
std::map<std::string, SSL_SESSION*>& Sessions() {
  static auto* sessions = new std::map<std::string, SSL_SESSION*>;
  return *sessions;
}

// The host a connection was made for (its SNI, or its address).
int HostIndex() {
  static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
  return index;
}

// Keeps the reference OpenSSL hands over; returns 1 to say so.
int RememberSession(SSL* ssl, SSL_SESSION* session) {
  const auto* host = static_cast<const std::string*>(SSL_get_ex_data(ssl, HostIndex()));
  if (host == nullptr) return 0;
  std::lock_guard<std::mutex> guard(gSessionsLock);
  SSL_SESSION*& kept = Sessions()[*host];
  if (kept != nullptr) SSL_SESSION_free(kept);
  kept = session;
  return 1;
}

void OfferSession(SSL* ssl, const std::string& host) {
  std::lock_guard<std::mutex> guard(gSessionsLock);
  auto kept = Sessions().find(host);
  if (kept != Sessions().end()) SSL_set_session(ssl, kept->second);
}

SSL_CTX* ClientContext() {
  static SSL_CTX* const context = [] {
    SSL_CTX* c = SSL_CTX_new(TLS_client_method());
    if (c == nullptr) return c;
    SSL_CTX_set_min_proto_version(c, TLS1_2_VERSION);
    SSL_CTX_set_default_verify_paths(c);
    const char* extra = std::getenv("HARVIO_CA_FILE");
    if (extra != nullptr && *extra != '\0') {
      SSL_CTX_load_verify_locations(c, extra, nullptr);
    }
    SSL_CTX_set_verify(c, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_session_cache_mode(c, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(c, RememberSession);
    ERR_clear_error();
    return c;
  }();
  return context;
}

bool IsIPv4Literal(const char* host) {
  in_addr address;
  return inet_pton(AF_INET, host, &address) == 1;
}

class OpenSslEngine : public TlsEngine {
 public:
  ~OpenSslEngine() override {
    if (ssl_ == nullptr) return;
    // Items end without close_notify (the server closes, or the body is
    // complete). Since TLS 1.1 that leaves the session resumable, but
    // OpenSSL would mark the shared kept session spent: say it was sent.
    SSL_set_shutdown(ssl_, SSL_SENT_SHUTDOWN);
    SSL_free(ssl_);  // frees both BIOs
  }

  bool Begin(const char* host) {
    SSL_CTX* context = ClientContext();
    if (context == nullptr || (ssl_ = SSL_new(context)) == nullptr) return false;
    BIO* in = BIO_new(BIO_s_mem());
    BIO* out = BIO_new(BIO_s_mem());
    if (in == nullptr || out == nullptr) {
      BIO_free(in);
      BIO_free(out);
      return false;
    }
    BIO_set_mem_eof_return(in, -1);  // empty means "more to come"
    SSL_set_bio(ssl_, in, out);
    in_ = in;
    out_ = out;
    SSL_set_connect_state(ssl_);
    host_ = host;
    SSL_set_ex_data(ssl_, HostIndex(), &host_);
    OfferSession(ssl_, host_);
    // An address is checked as such and is never sent as a server name.
    bool named = IsIPv4Literal(host)
                     ? X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), host) == 1
                     : SSL_set_tlsext_host_name(ssl_, host) == 1 &&
                           SSL_set1_host(ssl_, host) == 1;
    ERR_clear_error();
    return named;
  }

  void Feed(const char* data, size_t n) override {
    BIO_write(in_, data, static_cast<int>(n));
  }

  TlsResult Handshake(std::string* out) override {
    int done = SSL_do_handshake(ssl_);
    Drain(out);
    if (done == 1) return TlsResult::kDone;
    if (SSL_get_error(ssl_, done) == SSL_ERROR_WANT_READ) return TlsResult::kMore;
    ERR_clear_error();
    return SSL_get_verify_result(ssl_) != X509_V_OK ? TlsResult::kBadCertificate
                                                    : TlsResult::kFailed;
  }

  bool Seal(const char* data, size_t n, std::string* out) override {
    // A memory BIO takes everything at once.
    bool whole = SSL_write(ssl_, data, static_cast<int>(n)) == static_cast<int>(n);
    Drain(out);
    if (!whole) ERR_clear_error();
    return whole;
  }

  TlsResult Open(char* buffer, size_t capacity, size_t* got) override {
    int n = SSL_read(ssl_, buffer, static_cast<int>(capacity));
    if (n > 0) {
      *got = static_cast<size_t>(n);
      return TlsResult::kDone;
    }
    int error = SSL_get_error(ssl_, n);
    if (error == SSL_ERROR_WANT_READ) return TlsResult::kMore;
    ERR_clear_error();
    return error == SSL_ERROR_ZERO_RETURN ? TlsResult::kClosed : TlsResult::kFailed;
  }

 private:
  void Drain(std::string* out) {
    char chunk[4096];
    int n;
    while ((n = BIO_read(out_, chunk, sizeof(chunk))) > 0) out->append(chunk, n);
  }

  std::string host_;
  SSL* ssl_ = nullptr;
  BIO* in_ = nullptr;
  BIO* out_ = nullptr;
};

}  // namespace

std::unique_ptr<TlsEngine> TlsEngine::Create(const char* host) {
  auto engine = std::make_unique<OpenSslEngine>();
  if (!engine->Begin(host)) return nullptr;
  return engine;
}

}  // namespace harvio::platform
