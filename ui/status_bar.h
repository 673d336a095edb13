// The status bar at the foot of the main window: part 0 for help texts,
// part 1 for the download speed, then the size grip.
#pragma once

#include "core/main_layout.h"
#include "platform/win32/win_api.h"

namespace harvio::ui {

HWND CreateStatusBar(HWND parent, HFONT font);
void PlaceStatusBar(HWND bar, const MainLayout& layout, int width);
// Part 0, drawn without border.
void SetStatusHelp(HWND bar, const char* text);
void SetStatusSpeed(HWND bar, const char* text);

}  // namespace harvio::ui
