// The notification-area icon of the hidden main window: id 1, the small
// icon, tip "Harvio", notifications as WM_USER.
#pragma once

#include "platform/win32/win_api.h"

namespace harvio::ui {

inline constexpr UINT kTrayMessage = WM_USER;
inline constexpr UINT kTrayIconId = 1;

void AddTrayIcon(HWND window, HINSTANCE instance, const char* tip);
void RemoveTrayIcon(HWND window);

}  // namespace harvio::ui
