// Powering the computer off once every task has finished: the 30-second
// countdown (dialog 5140) and the request to the system.
#pragma once

#include "platform/win32/win_api.h"

namespace harvio::ui {

// Modal to `owner`; true when the countdown ran out, false when the user
// cancelled it.
bool RunShutdownCountdown(HWND owner, HINSTANCE instance);
// Enables the process's shut-down privilege; false when it cannot.
bool EnableShutdownPrivilege();
// Asks the system to power off, forced. A refusal is silent.
void RequestPowerOff();

}  // namespace harvio::ui
