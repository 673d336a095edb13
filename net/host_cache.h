// The addresses of the hosts a task has resolved lately, so its workers do
// not ask the resolver for every picture. Ten entries; the least used one
// makes room for a new host. One lock of its own, never held with another.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/sockets.h"

namespace harvio {

class HostCache {
 public:
  static constexpr int kEntries = 10;

  // The address of `host` if cached (the entry counts one more hit).
  bool Lookup(const char* host, platform::SocketAddress* address);
  // Counts a hit for a cached host, or replaces the least used entry.
  void Add(const char* host, const platform::SocketAddress& address);
  // Frees the entry of `host` (its address failed to connect).
  void Forget(const char* host);

 private:
  struct Entry {
    char host[64];
    platform::SocketAddress address;
    uint32_t hits;  // 0: free
  };
  Entry* FindLocked(const char* host);

  std::mutex lock_;
  Entry entries_[kEntries] = {};
};

}  // namespace harvio
