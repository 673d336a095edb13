// Dialog 5100 "添加 URL": adds one URL, or a numbered series of them
// through a "(*)" pattern, to a custom source's working list, showing a
// live preview of what would be added.
#pragma once

#include "core/url_queue.h"
#include "platform/win32/win_api.h"

namespace harvio::ui {

// Modal; adds straight to `list` and closes on success.
void ShowAddUrlDialog(HWND owner, UrlQueue& list);

}  // namespace harvio::ui
