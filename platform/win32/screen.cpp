#include "platform/screen.h"

#include "platform/win32/win_api.h"

namespace harvio::platform {
namespace {

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info = {sizeof info};
  if (GetMonitorInfoA(monitor, &info)) {
    const RECT& r = info.rcWork;
    reinterpret_cast<std::vector<ScreenArea>*>(areas)->push_back(
        ScreenArea{r.left, r.top, r.right, r.bottom});
  }
  return TRUE;
}

}  // namespace

ScreenSize PrimaryScreenSize() {
  return ScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::vector<ScreenArea> WorkAreas() {
  std::vector<ScreenArea> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

}  // namespace harvio::platform
