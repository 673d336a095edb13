// Where every dialog and property sheet of the program appears: its centre
// at 40% of the screen's width and height, a little above and left of the
// middle, where the eye starts reading.
#pragma once

#include "platform/win32/win_api.h"

namespace harvio::ui {

void CenterOnScreen(HWND window);

}  // namespace harvio::ui
