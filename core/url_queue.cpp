#include "core/url_queue.h"

#include <cstddef>
#include <cstring>

#include "core/gbk_text.h"
#include "core/url_location.h"

namespace harvio {
namespace {

// "https://" + a 63-byte stored host + a 1024-byte path, and the NUL.
constexpr size_t kLongestUrl = 8 + 63 + kUrlMax + 1;

// A control byte would end or split the request line it is sent in.
bool HasControlByte(const char* url) {
  for (const char* p = url; *p != '\0'; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// The URL an item stands for, lower-cased: what the duplicate check
// compares, so "http://a:80/x" and "http://A/x" are one item.
void CanonicalUrl(const char* host, const char* path, char (&out)[kLongestUrl]) {
  size_t used = LocationPrefix(host, out, sizeof(out));
  CopyBounded(out + used, sizeof(out) - used, path);
  LowerAscii(out);
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
  char host[64];
  const char* path;
  return !HasControlByte(url) && EncodeLocation(url, host, &path);
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
  auto* node = new Node{};
  UrlItem& item = node->item;
  const char* slash;
  if (HasControlByte(url) || !EncodeLocation(url, item.host, &slash) ||
      std::strlen(slash) > kUrlMax) {
    delete node;
    return AddResult::kInvalid;
  }
  item.state = kWaiting;
  std::memcpy(item.path, slash, std::strlen(slash) + 1);
  char lowered[kLongestUrl];
  CanonicalUrl(item.host, item.path, lowered);
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
      char stored[kLongestUrl];
      CanonicalUrl(n->item.host, n->item.path, stored);
      if (std::strcmp(stored, lowered) == 0) {
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
  UrlItem* entry;
  {
    std::lock_guard<std::mutex> guard(lock_);
    entry = &head_->item;  // no worker runs to admit another meanwhile
    CopyBounded(entry->fileName, sizeof(entry->fileName), fileName);
    char key[kLongestUrl];
    CanonicalUrl(entry->host, entry->path, key);
    savedEarlier_.insert(key);
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
