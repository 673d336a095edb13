// The size of the primary screen, which places windows and dialogs.
#pragma once

#include <cstdint>

namespace harvio::platform {

struct ScreenSize {
  int32_t width;
  int32_t height;
};

// On a system without a screen (harvio-cli on Linux) a notional 1024 by 768.
ScreenSize PrimaryScreenSize();

}  // namespace harvio::platform
