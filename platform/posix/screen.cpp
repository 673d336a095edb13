#include "platform/screen.h"

namespace harvio::platform {

ScreenSize PrimaryScreenSize() { return ScreenSize{1024, 768}; }

std::vector<ScreenArea> WorkAreas() { return {ScreenArea{0, 0, 1024, 768}}; }

}  // namespace harvio::platform
