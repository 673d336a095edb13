#include "core/url_queue.h"

#include <cstddef>
#include <cstring>

#include "core/gbk_text.h"

namespace harvio {
namespace {

constexpr char kScheme[] = "http://";
constexpr size_t kSchemeLength = 7;
// "http://" + a 63-byte host + a 1024-byte path, and the NUL.
constexpr size_t kLongestUrl = kSchemeLength + kHostMax + kUrlMax + 1;

bool HasHttpScheme(const char* url) {
  for (size_t i = 0; i < 4; ++i) {
    char c = url[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kScheme[i]) return false;
  }
  return std::strncmp(url + 4, "://", 3) == 0;
}

// The first "/" after the scheme, or null.
const char* PathStart(const char* url) {
  return std::strchr(url + kSchemeLength, '/');
}

// A control byte would end or split the request line it is sent in.
bool HasControlByte(const char* url) {
  for (const char* p = url; *p != '\0'; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// True when "http://" + host + path, lower-cased, equals `lowered`.
bool SameUrl(const UrlItem& item, const char* lowered) {
  char stored[kLongestUrl + 8];
  std::memcpy(stored, kScheme, kSchemeLength);
  CopyBounded(stored + kSchemeLength, sizeof(item.host), item.host);
  size_t used = std::strlen(stored);
  CopyBounded(stored + used, sizeof(stored) - used, item.path);
  LowerAscii(stored);
  return std::strcmp(stored, lowered) == 0;
}

// Every text field of a record read from elsewhere ends inside its array.
void TerminateFields(UrlItem& item) {
  item.path[sizeof(item.path) - 1] = '\0';
  item.host[sizeof(item.host) - 1] = '\0';
  item.title[sizeof(item.title) - 1] = '\0';
  item.referer[sizeof(item.referer) - 1] = '\0';
  item.fileName[sizeof(item.fileName) - 1] = '\0';
}

}  // namespace

bool IsValidUrl(const char* url) {
  if (std::strlen(url) <= 6 || !HasHttpScheme(url) || HasControlByte(url)) {
    return false;
  }
  const char* slash = PathStart(url);
  return slash != nullptr &&
         static_cast<size_t>(slash - (url + kSchemeLength)) < 64;
}

UrlQueue::UrlQueue() = default;

UrlQueue::~UrlQueue() { Clear(); }

UrlQueue::Node* UrlQueue::NodeOf(UrlItem* entry) {
  // The item is the first member, so the node starts where the item does.
  static_assert(offsetof(Node, item) == 0, "item first");
  return reinterpret_cast<Node*>(entry);
}

void UrlQueue::InsertAtHead(Node* node) {
  node->prev = nullptr;
  node->next = head_;
  if (head_ != nullptr) head_->prev = node;
  head_ = node;
  if (tail_ == nullptr) tail_ = node;
  ++count_;
}

void UrlQueue::Unlink(Node* node) {
  if (node->prev != nullptr) node->prev->next = node->next;
  else head_ = node->next;
  if (node->next != nullptr) node->next->prev = node->prev;
  else tail_ = node->prev;
  node->prev = node->next = nullptr;
  --count_;
}

// Drops entries from the tail end, passing over entries a worker holds:
// those must stay valid until the worker hands them back.
void UrlQueue::TrimToCap() {
  Node* n = tail_;
  while (count_ > kQueueCap && n != nullptr) {
    Node* towardsHead = n->prev;
    if (n->item.state != kActive) {
      Unlink(n);
      delete n;
    }
    n = towardsHead;
  }
}

AddResult UrlQueue::AddUrl(const char* url, const char* title,
                           const char* referer, bool checkDuplicate) {
  if (!IsValidUrl(url)) return AddResult::kInvalid;
  const char* slash = PathStart(url);
  if (std::strlen(slash) > kUrlMax) return AddResult::kInvalid;

  char lowered[kLongestUrl];
  CopyBounded(lowered, sizeof(lowered), url);
  LowerAscii(lowered);

  auto* node = new Node{};
  UrlItem& item = node->item;
  item.state = kWaiting;
  size_t hostLength = static_cast<size_t>(slash - (url + kSchemeLength));
  std::memcpy(item.host, lowered + kSchemeLength, hostLength);
  item.host[hostLength] = '\0';
  std::memcpy(item.path, slash, std::strlen(slash) + 1);
  CopyBounded(item.referer, sizeof(item.referer), referer);
  CopyBounded(item.title, sizeof(item.title), title);
  CleanTitle(item.title);

  std::lock_guard<std::mutex> guard(lock_);
  if (savedEarlier_.count(lowered) != 0) {
    delete node;
    return AddResult::kDuplicate;
  }
  if (checkDuplicate) {
    for (Node* n = head_; n != nullptr; n = n->next) {
      if (SameUrl(n->item, lowered)) {
        delete node;
        return AddResult::kDuplicate;
      }
    }
  }
  InsertAtHead(node);
  TrimToCap();
  return AddResult::kAdmitted;
}

bool UrlQueue::AdmitSaved(const char* url, const char* fileName) {
  if (AddUrl(url, "", "", true) != AddResult::kAdmitted) return false;
  char lowered[kLongestUrl];
  CopyBounded(lowered, sizeof(lowered), url);
  LowerAscii(lowered);
  UrlItem* entry;
  {
    std::lock_guard<std::mutex> guard(lock_);
    entry = &head_->item;  // no worker runs to admit another meanwhile
    CopyBounded(entry->fileName, sizeof(entry->fileName), fileName);
    savedEarlier_.insert(lowered);
  }
  MarkFinished(entry);
  return true;
}

UrlItem* UrlQueue::TakeNext(uint32_t limit) {
  std::lock_guard<std::mutex> guard(lock_);
  Node* oldestWaiting = nullptr;
  uint32_t active = 0;
  for (Node* n = head_; n != nullptr && n->item.state != kFinished;
       n = n->next) {
    if (n->item.state == kWaiting) oldestWaiting = n;
    else ++active;
  }
  if (oldestWaiting == nullptr || active >= limit) return nullptr;
  oldestWaiting->item.state = kActive;
  return &oldestWaiting->item;
}

void UrlQueue::MarkFinished(UrlItem* entry) {
  std::lock_guard<std::mutex> guard(lock_);
  Node* node = NodeOf(entry);
  entry->state = kFinished;
  if (node == tail_) return;
  Unlink(node);
  node->prev = tail_;
  tail_->next = node;
  tail_ = node;
  ++count_;
}

void UrlQueue::RemoveItem(UrlItem* entry) {
  std::lock_guard<std::mutex> guard(lock_);
  Node* node = NodeOf(entry);
  Unlink(node);
  delete node;
}

void UrlQueue::ReturnToWaiting(UrlItem* entry) {
  std::lock_guard<std::mutex> guard(lock_);
  entry->state = kWaiting;
}

uint32_t UrlQueue::PendingCount() {
  std::lock_guard<std::mutex> guard(lock_);
  uint32_t pending = 0;
  for (Node* n = head_; n != nullptr && n->item.state != kFinished;
       n = n->next) {
    ++pending;
  }
  return pending;
}

bool UrlQueue::IsIdle() {
  std::lock_guard<std::mutex> guard(lock_);
  return head_ == nullptr || head_->item.state == kFinished;
}

void UrlQueue::AppendCopy(const UrlItem& record) {
  auto* node = new Node{};
  node->item = record;
  TerminateFields(node->item);
  // Nobody holds a copied entry, and a state from a damaged file that is
  // neither finished nor waiting is best fetched again.
  if (node->item.state != kFinished) node->item.state = kWaiting;
  std::lock_guard<std::mutex> guard(lock_);
  InsertAtHead(node);
}

void UrlQueue::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  while (head_ != nullptr) {
    Node* n = head_;
    Unlink(n);
    delete n;
  }
}

uint32_t UrlQueue::Count() {
  std::lock_guard<std::mutex> guard(lock_);
  return count_;
}

}  // namespace harvio
