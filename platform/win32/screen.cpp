#include "platform/screen.h"

#include "platform/win32/win_api.h"

namespace harvio::platform {

ScreenSize PrimaryScreenSize() {
  return ScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace harvio::platform
