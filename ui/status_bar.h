// The status bar at the foot of the main window: part 0 for help texts,
// part 1 for the download speed.
#pragma once

#include "platform/win32/win_api.h"

namespace harvio::ui {

inline constexpr int kStatusBarHeight = 20;

HWND CreateStatusBar(HWND parent, HFONT font);
// Places the bar along the bottom of a client area `width` by `height`.
void LayOutStatusBar(HWND bar, int width, int height);
void SetStatusHelp(HWND bar, const char* text);

}  // namespace harvio::ui
