// The About box (dialog 5150) and the maker's two addresses, which the
// Help menu's 5015 and 5016 open as well.
#pragma once

#include "platform/win32/win_api.h"

namespace harvio::ui {

inline constexpr char kMailLink[] = "mailto:harvio@example.org";
inline constexpr char kHomePage[] = "http://harvio.example.org/";

// Opens a link with the system's default handler.
void OpenLink(HWND owner, const char* target);
void ShowAbout(HWND owner, HINSTANCE instance, HFONT ui_font);

}  // namespace harvio::ui
