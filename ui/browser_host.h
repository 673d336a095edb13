// The browser pane at the top of the main window hosts the system's web
// browser control, which shows a short usage tip. Without an HTML engine
// the pane shows the tip as text instead (tip_text.h). The control never
// keeps a keyboard focus it took by itself: the task list holds it.
#pragma once

#include <string>

#include "platform/win32/win_api.h"

namespace harvio::ui {

struct BrowserHost;

// Embeds the control in `pane` (OLE must be initialised) and shows
// `first_page`; null when the control is not available.
BrowserHost* CreateBrowserHost(HWND pane, const std::string& first_page);
// Shows `url` (code page 936); nothing without a host.
void Navigate(BrowserHost* host, const std::string& url);
// Closes the control without saving and frees the host.
void DestroyBrowserHost(BrowserHost* host);

}  // namespace harvio::ui
