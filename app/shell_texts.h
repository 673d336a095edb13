// Texts of the application shell that are put together from the string
// table: the About box's version line and the power-off countdown.
#pragma once

#include <cstdint>
#include <string>

#include "core/version.h"

namespace harvio {

inline constexpr char kProductName[] = "Harvio";

// "Harvio 版本 1.10.4.252".
std::string AboutVersionLine();

// The countdown opens with 31 and steps at once, so the user sees 30 first.
constexpr uint32_t kCountdownStart = 31;
// One step of the countdown; true once it has run out (power off now).
bool CountdownStep(uint32_t* remaining);
// "所有任务已完成，系统将在 N 秒后自动关闭。".
std::string CountdownText(uint32_t remaining);

}  // namespace harvio
