#include "net/host_cache.h"

#include <cstring>

namespace harvio {

HostCache::Entry* HostCache::FindLocked(const char* host) {
  for (Entry& entry : entries_) {
    if (entry.hits != 0 && std::strcmp(entry.host, host) == 0) return &entry;
  }
  return nullptr;
}

bool HostCache::Lookup(const char* host, platform::SocketAddress* address) {
  std::lock_guard<std::mutex> guard(lock_);
  Entry* entry = FindLocked(host);
  if (entry == nullptr) return false;
  entry->hits++;
  *address = entry->address;
  return true;
}

void HostCache::Add(const char* host, const platform::SocketAddress& address) {
  std::lock_guard<std::mutex> guard(lock_);
  if (Entry* entry = FindLocked(host)) {
    entry->hits++;
    return;
  }
  Entry* victim = &entries_[0];
  for (Entry& entry : entries_) {
    if (entry.hits < victim->hits) victim = &entry;
  }
  std::strncpy(victim->host, host, sizeof(victim->host) - 1);
  victim->host[sizeof(victim->host) - 1] = '\0';
  victim->address = address;
  victim->hits = 1;
}

void HostCache::Forget(const char* host) {
  std::lock_guard<std::mutex> guard(lock_);
  if (Entry* entry = FindLocked(host)) entry->hits = 0;
}

}  // namespace harvio
