// The status bar at the foot of the main window: the help texts at the
// left, the download speed beside them, then the size grip.
#pragma once

#include "app/main_layout.h"
#include "platform/win32/win_api.h"

namespace harvio::ui {

HWND CreateStatusBar(HWND parent, HFONT font);
void PlaceStatusBar(HWND bar, const MainLayout& layout, int width);
// The help text at the left, drawn without border; the speed beside it.
void SetStatusHelp(HWND bar, const char* text);
void SetStatusSpeed(HWND bar, const char* text);

}  // namespace harvio::ui
