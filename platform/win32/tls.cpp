// SChannel through SSPI, on memory buffers: InitializeSecurityContext for
// the handshake, EncryptMessage and DecryptMessage for the data. SChannel
// is told to leave the certificate alone, and the program checks it itself
// with CertGetCertificateChain and the SSL policy of
// CertVerifyCertificateChainPolicy for the host's name, so that the roots
// of HARVIO_CA_FILE can be trusted beside the system's.
#include "platform/tls.h"

#define SECURITY_WIN32
#include "platform/win32/win_api.h"
#include <schannel.h>
#include <security.h>
#include <wincrypt.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace harvio::platform {
namespace {

constexpr DWORD kContextFlags =
    ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
    ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
// SECURITY_FLAG_IGNORE_UNKNOWN_CA of <wininet.h>.
constexpr DWORD kIgnoreUnknownCa = 0x00000100;

// The certificates of the PEM file named by HARVIO_CA_FILE, or null.
HCERTSTORE ReadExtraRoots() {
  const char* path = std::getenv("HARVIO_CA_FILE");
  if (path == nullptr || *path == '\0') return nullptr;
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string pem = text.str();
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr);
  if (store == nullptr) return nullptr;
  static const char kEnd[] = "-----END CERTIFICATE-----";
  for (size_t begin = 0;
       (begin = pem.find("-----BEGIN CERTIFICATE-----", begin)) != std::string::npos;) {
    size_t end = pem.find(kEnd, begin);
    if (end == std::string::npos) break;
    end += sizeof(kEnd) - 1;
    DWORD size = 0;
    const char* block = pem.data() + begin;
    DWORD length = static_cast<DWORD>(end - begin);
    if (CryptStringToBinaryA(block, length, CRYPT_STRING_BASE64HEADER, nullptr,
                             &size, nullptr, nullptr)) {
      std::string der(size, '\0');
      if (CryptStringToBinaryA(block, length, CRYPT_STRING_BASE64HEADER,
                               reinterpret_cast<BYTE*>(&der[0]), &size, nullptr,
                               nullptr)) {
        CertAddEncodedCertificateToStore(
            store, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
            reinterpret_cast<const BYTE*>(der.data()), size,
            CERT_STORE_ADD_ALWAYS, nullptr);
      }
    }
    begin = end;
  }
  return store;
}

HCERTSTORE ExtraRoots() {
  static const HCERTSTORE roots = ReadExtraRoots();
  return roots;
}

std::wstring Wide(const char* text) {
  std::wstring wide;
  for (; *text != '\0'; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return wide;
}

// The SSL policy for `host` on `chain`: 0 when it holds, else its error.
DWORD SslPolicyError(PCCERT_CHAIN_CONTEXT chain, const char* host, bool unknownCa) {
  std::wstring name = Wide(host);
  HTTPSPolicyCallbackData https{};
  https.cbStruct = sizeof(https);
  https.dwAuthType = AUTHTYPE_SERVER;
  https.fdwChecks = unknownCa ? kIgnoreUnknownCa : 0;
  https.pwszServerName = &name[0];
  CERT_CHAIN_POLICY_PARA para{};
  para.cbSize = sizeof(para);
  para.dwFlags = unknownCa ? CERT_CHAIN_POLICY_ALLOW_UNKNOWN_CA_FLAG : 0;
  para.pvExtraPolicyPara = &https;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof(status);
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &para, &status)) {
    return static_cast<DWORD>(CERT_E_UNTRUSTEDROOT);
  }
  return status.dwError;
}

// True when the chain ends in a root of HARVIO_CA_FILE.
bool EndsInExtraRoot(PCCERT_CHAIN_CONTEXT chain) {
  HCERTSTORE extra = ExtraRoots();
  if (extra == nullptr || chain->cChain == 0) return false;
  const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
  if (simple->cElement == 0 ||
      (simple->TrustStatus.dwErrorStatus & CERT_TRUST_IS_PARTIAL_CHAIN) != 0) {
    return false;
  }
  PCCERT_CONTEXT root = simple->rgpElement[simple->cElement - 1]->pCertContext;
  PCCERT_CONTEXT found = CertFindCertificateInStore(
      extra, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0, CERT_FIND_EXISTING,
      root, nullptr);
  if (found == nullptr) return false;
  CertFreeCertificateContext(found);
  return true;
}

// The server's certificate, its chain built with what the server sent and
// the extra roots, and the SSL policy for `host`.
bool CertificateHolds(PCCERT_CONTEXT certificate, const char* host) {
  HCERTSTORE pool = CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr);
  if (pool == nullptr) return false;
  CertAddStoreToCollection(pool, certificate->hCertStore, 0, 0);
  if (ExtraRoots() != nullptr) CertAddStoreToCollection(pool, ExtraRoots(), 0, 0);
  static char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
  char* usages[] = {serverAuth};
  CERT_CHAIN_PARA para{};
  para.cbSize = sizeof(para);
  para.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
  para.RequestedUsage.Usage.cUsageIdentifier = 1;
  para.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  bool holds = false;
  if (CertGetCertificateChain(nullptr, certificate, nullptr, pool, &para, 0,
                              nullptr, &chain)) {
    DWORD error = SslPolicyError(chain, host, false);
    if (error == static_cast<DWORD>(CERT_E_UNTRUSTEDROOT) && EndsInExtraRoot(chain)) {
      error = SslPolicyError(chain, host, true);
    }
    holds = error == 0;
    CertFreeCertificateChain(chain);
  }
  CertCloseStore(pool, 0);
  return holds;
}

// One credentials handle for the process: SChannel keeps its client
// sessions with it, so a later connection to a host resumes its session.
CredHandle* SharedCredentials() {
  static CredHandle handle{};
  static const bool acquired = [] {
    SCHANNEL_CRED cred{};
    cred.dwVersion = SCHANNEL_CRED_VERSION;
    cred.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    cred.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS |
                   SCH_USE_STRONG_CRYPTO;
    return AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A),
                                     SECPKG_CRED_OUTBOUND, nullptr, &cred,
                                     nullptr, nullptr, &handle, nullptr) == SEC_E_OK;
  }();
  return acquired ? &handle : nullptr;
}

class SchannelEngine : public TlsEngine {
 public:
  ~SchannelEngine() override {
    if (haveContext_) DeleteSecurityContext(&context_);
  }

  bool Begin(const char* host) {
    host_ = host;
    credentials_ = SharedCredentials();
    return credentials_ != nullptr;
  }

  void Feed(const char* data, size_t n) override {
    in_.append(data, n);
    fed_ = true;
  }

  TlsResult Handshake(std::string* out) override {
    // SChannel goes on only with something new, except for its first call.
    while (!haveContext_ || fed_) {
      SECURITY_STATUS status = Step(out);
      if (status == SEC_E_INCOMPLETE_MESSAGE) {
        fed_ = false;
        return TlsResult::kMore;
      }
      if (status == SEC_E_OK) return Established();
      if (status != SEC_I_CONTINUE_NEEDED && status != SEC_I_INCOMPLETE_CREDENTIALS) {
        return TlsResult::kFailed;
      }
      // Records left over are the server's next flight: go on with them.
      fed_ = !in_.empty();
    }
    return TlsResult::kMore;
  }

  bool Seal(const char* data, size_t n, std::string* out) override {
    while (n > 0) {
      size_t piece = n < sizes_.cbMaximumMessage ? n : sizes_.cbMaximumMessage;
      std::string record(sizes_.cbHeader + piece + sizes_.cbTrailer, '\0');
      std::memcpy(&record[sizes_.cbHeader], data, piece);
      SecBuffer buffers[4] = {
          {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, &record[0]},
          {static_cast<ULONG>(piece), SECBUFFER_DATA, &record[sizes_.cbHeader]},
          {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, &record[sizes_.cbHeader + piece]},
          {0, SECBUFFER_EMPTY, nullptr}};
      SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
      if (EncryptMessage(&context_, 0, &desc, 0) != SEC_E_OK) return false;
      out->append(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer +
                                     buffers[2].cbBuffer);
      data += piece;
      n -= piece;
    }
    return true;
  }

  TlsResult Open(char* buffer, size_t capacity, size_t* got) override {
    while (plain_.size() == plainTaken_) {
      if (closed_) return TlsResult::kClosed;
      if (in_.empty()) return TlsResult::kMore;
      TlsResult decrypted = Decrypt();
      if (decrypted != TlsResult::kDone) return decrypted;
    }
    size_t n = plain_.size() - plainTaken_;
    if (n > capacity) n = capacity;
    std::memcpy(buffer, plain_.data() + plainTaken_, n);
    plainTaken_ += n;
    *got = n;
    return TlsResult::kDone;
  }

 private:
  SECURITY_STATUS Step(std::string* out) {
    SecBuffer inputs[2] = {
        {static_cast<ULONG>(in_.size()), SECBUFFER_TOKEN, in_.empty() ? nullptr : &in_[0]},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inputDesc{SECBUFFER_VERSION, 2, inputs};
    SecBuffer output{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc outputDesc{SECBUFFER_VERSION, 1, &output};
    ULONG attributes = 0;
    SECURITY_STATUS status = InitializeSecurityContextA(
        credentials_, haveContext_ ? &context_ : nullptr, &host_[0],
        kContextFlags, 0, 0, haveContext_ ? &inputDesc : nullptr, 0, &context_,
        &outputDesc, &attributes, nullptr);
    haveContext_ = true;
    if (output.pvBuffer != nullptr) {
      out->append(static_cast<const char*>(output.pvBuffer), output.cbBuffer);
      FreeContextBuffer(output.pvBuffer);
    }
    if (status != SEC_E_INCOMPLETE_MESSAGE) {
      // What the call did not take stays for the next one.
      in_ = inputs[1].BufferType == SECBUFFER_EXTRA
                ? in_.substr(in_.size() - inputs[1].cbBuffer)
                : std::string();
    }
    return status;
  }

  TlsResult Established() {
    if (QueryContextAttributesA(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK) {
      return TlsResult::kFailed;
    }
    PCCERT_CONTEXT certificate = nullptr;
    if (QueryContextAttributesA(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT,
                                &certificate) != SEC_E_OK ||
        certificate == nullptr) {
      return TlsResult::kBadCertificate;
    }
    bool holds = CertificateHolds(certificate, host_.c_str());
    CertFreeCertificateContext(certificate);
    return holds ? TlsResult::kDone : TlsResult::kBadCertificate;
  }

  // Decrypts the first record of in_ into plain_.
  TlsResult Decrypt() {
    SecBuffer buffers[4] = {{static_cast<ULONG>(in_.size()), SECBUFFER_DATA, &in_[0]},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    SECURITY_STATUS status = DecryptMessage(&context_, &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) return TlsResult::kMore;
    if (status == SEC_I_CONTEXT_EXPIRED) {
      closed_ = true;
      return TlsResult::kClosed;
    }
    if (status != SEC_E_OK) return TlsResult::kFailed;
    plain_.clear();
    plainTaken_ = 0;
    std::string extra;
    for (const SecBuffer& b : buffers) {
      if (b.BufferType == SECBUFFER_DATA) {
        plain_.append(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
      } else if (b.BufferType == SECBUFFER_EXTRA) {
        extra.assign(in_.data() + in_.size() - b.cbBuffer, b.cbBuffer);
      }
    }
    in_ = extra;
    return TlsResult::kDone;
  }

  std::string host_;
  CredHandle* credentials_ = nullptr;
  CtxtHandle context_{};
  bool haveContext_ = false;
  bool fed_ = false;  // records arrived since the last handshake call
  bool closed_ = false;
  SecPkgContext_StreamSizes sizes_{};
  std::string in_;  // records received and not yet used
  std::string plain_;
  size_t plainTaken_ = 0;
};

}  // namespace

std::unique_ptr<TlsEngine> TlsEngine::Create(const char* host) {
  auto engine = std::make_unique<SchannelEngine>();
  if (!engine->Begin(host)) return nullptr;
  return engine;
}

}  // namespace harvio::platform
