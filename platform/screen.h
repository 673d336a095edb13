// The size of the primary screen, which places windows and dialogs, and
// the work areas of all monitors, where a window can be seen.
#pragma once

#include <cstdint>
#include <vector>

namespace harvio::platform {

struct ScreenSize {
  int32_t width;
  int32_t height;
};

// On a system without a screen (harvio-cli on Linux) a notional 1024 by 768.
ScreenSize PrimaryScreenSize();

// A rectangle in screen coordinates, right and bottom excluded.
struct ScreenArea {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// The work area (without task bars) of every monitor; without a screen the
// notional one.
std::vector<ScreenArea> WorkAreas();

}  // namespace harvio::platform
