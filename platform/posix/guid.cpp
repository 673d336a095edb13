#include "platform/guid.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <random>

namespace harvio::platform {

std::string NewGuidText() {
  static std::mutex lock;
  static std::random_device device;  // /dev/urandom on glibc
  uint8_t b[16];
  {
    std::lock_guard<std::mutex> guard(lock);
    for (int i = 0; i < 16; i += 4) {
      uint32_t word = device();
      for (int k = 0; k < 4; ++k) b[i + k] = static_cast<uint8_t>(word >> (8 * k));
    }
  }
  b[6] = static_cast<uint8_t>((b[6] & 0x0f) | 0x40);  // version 4: random
  b[8] = static_cast<uint8_t>((b[8] & 0x3f) | 0x80);  // RFC 4122 variant
  char text[39];
  std::snprintf(text, sizeof text,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-"
                "%02X%02X%02X%02X%02X%02X}",
                b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9],
                b[10], b[11], b[12], b[13], b[14], b[15]);
  return text;
}

}  // namespace harvio::platform
