// A UrlQueue holds the UrlItems of one kind for one task. The list has two
// ends: new entries go in at the head, finished entries collect at the tail.
// Walking from head to tail one always meets the waiting and active entries
// first (newest first), then the finished ones in the order they finished.
// Finished entries are kept only so the duplicate check remembers them.
//
// Every operation takes the queue's own lock for its whole duration, so the
// queue can be shared by the workers of a task and the user-interface thread.
// A worker owns the entry it holds as Active and may write its fileName, size
// and done without the lock; the pointer stays valid until the worker hands
// it back with MarkFinished, RemoveItem or ReturnToWaiting.
#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>

#include "core/task_info.h"

namespace harvio {

enum class AddResult {
  kAdmitted,
  kInvalid,    // not "http(s)://host[:port]/...", its host too long, or a
               // control byte anywhere
  kDuplicate,  // already in the queue (letter case ignored)
};

// The URL test shared by AddUrl and the Add-URL dialog.
bool IsValidUrl(const char* url);

class UrlQueue {
 public:
  UrlQueue();
  ~UrlQueue();
  UrlQueue(const UrlQueue&) = delete;
  UrlQueue& operator=(const UrlQueue&) = delete;

  // Admits a new Waiting entry at the head; trims the queue back to 2048
  // entries, never releasing an entry that a worker holds.
  AddResult AddUrl(const char* url, const char* title, const char* referer,
                   bool checkDuplicate);
  // After a crash: a picture saved under `fileName` that no entry knew
  // becomes a Finished entry, and its URL is refused from now on even
  // without the duplicate check. False when the URL is invalid or queued.
  // Only while no worker runs.
  bool AdmitSaved(const char* url, const char* fileName);
  // The oldest waiting entry, made Active, if fewer than `limit` are active.
  UrlItem* TakeNext(uint32_t limit);
  void MarkFinished(UrlItem* entry);
  void RemoveItem(UrlItem* entry);
  void ReturnToWaiting(UrlItem* entry);
  // Waiting plus active entries.
  uint32_t PendingCount();
  // True when no entry is waiting or active.
  bool IsIdle();
  // Inserts a verbatim copy at the head, without checks or cap. An entry
  // stored as Active comes back as Waiting: nobody holds it any more.
  void AppendCopy(const UrlItem& record);
  void Clear();
  uint32_t Count();

  // Changes an entry under the lock: a worker's changes to the progress of
  // the entry it holds, so that a snapshot taken meanwhile reads it whole.
  template <typename Change>
  void Update(UrlItem* entry, Change change);

  // Visits every entry under the lock, from the tail to the head (the order
  // of the task file) or from the head to the tail.
  template <typename Visit>
  void ForEachTailToHead(Visit visit);
  template <typename Visit>
  void ForEachHeadToTail(Visit visit);
  // The same with entries that may be changed (only while no worker runs).
  template <typename Visit>
  void ForEachEntry(Visit visit);

 private:
  struct Node {
    UrlItem item;
    Node* prev;  // towards the head
    Node* next;  // towards the tail
  };
  static Node* NodeOf(UrlItem* entry);
  void InsertAtHead(Node* node);
  void Unlink(Node* node);
  void TrimToCap();

  std::mutex lock_;
  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  uint32_t count_ = 0;
  std::set<std::string> savedEarlier_;  // lower-cased URLs of AdmitSaved
};

template <typename Change>
void UrlQueue::Update(UrlItem* entry, Change change) {
  std::lock_guard<std::mutex> guard(lock_);
  change(*entry);
}

template <typename Visit>
void UrlQueue::ForEachTailToHead(Visit visit) {
  std::lock_guard<std::mutex> guard(lock_);
  for (Node* n = tail_; n != nullptr; n = n->prev) visit(n->item);
}

template <typename Visit>
void UrlQueue::ForEachHeadToTail(Visit visit) {
  std::lock_guard<std::mutex> guard(lock_);
  for (Node* n = head_; n != nullptr; n = n->next) visit(n->item);
}

template <typename Visit>
void UrlQueue::ForEachEntry(Visit visit) {
  std::lock_guard<std::mutex> guard(lock_);
  for (Node* n = head_; n != nullptr; n = n->next) visit(n->item);
}

}  // namespace harvio
