// The options sheet "选项" (command 5008): pages " 常规" and " 连接".
#pragma once

#include "app/options.h"
#include "platform/win32/win_api.h"

namespace harvio::ui {

// Modal to `owner`; OK stores what every opened page shows into the live
// `options` (workers see the change at their next use), Cancel changes
// nothing. True when OK was chosen.
bool ShowOptionsSheet(HWND owner, Options& options);

}  // namespace harvio::ui
