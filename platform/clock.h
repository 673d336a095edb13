// Millisecond tick count and sleeping.
#pragma once

#include <cstdint>

namespace harvio::platform {

// Milliseconds since an arbitrary start; wraps around like GetTickCount.
uint32_t TickCount();
void SleepMs(uint32_t milliseconds);

}  // namespace harvio::platform
