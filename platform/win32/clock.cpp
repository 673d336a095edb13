#include "platform/clock.h"

#include "platform/win32/win_api.h"

namespace harvio::platform {

uint32_t TickCount() { return GetTickCount(); }

void SleepMs(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace harvio::platform
