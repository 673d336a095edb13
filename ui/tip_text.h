// The tips pane without an HTML engine: the text of a usage-tip page in a
// static control, in the place and size the browser control would take.
#pragma once

#include <string>

#include "platform/win32/win_api.h"

namespace harvio::ui {

// A static control filling `pane`, in `font`, showing the page file `page`.
HWND CreateTipText(HWND pane, HFONT font, const std::string& page);
// Shows another page file.
void ShowTipText(HWND text, const std::string& page);

}  // namespace harvio::ui
