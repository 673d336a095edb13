// The toolbar (twelve buttons, commands 5000-5011) as the only band of a
// rebar. Captions under the images, or none and the caption as tooltip.
#pragma once

#include "platform/win32/win_api.h"

#include <commctrl.h>

namespace harvio::ui {

struct Toolbar {
  HWND toolbar = nullptr;
  HWND rebar = nullptr;
  HIMAGELIST enabledImages = nullptr;
  HIMAGELIST disabledImages = nullptr;
};

Toolbar CreateToolbar(HWND parent, HINSTANCE instance, HFONT font);
void DestroyToolbar(Toolbar* toolbar);
// Shows or hides the captions and sets the button size to match.
void ApplyToolbarStyle(HWND toolbar, bool captions);
// Places the rebar at y, `height` high (the button height), full width.
void PlaceRebar(HWND rebar, int y, int width, int height);
void EnableToolbarButton(HWND toolbar, int command, bool enabled);
// The tooltip text of a button: its caption, unless captions are shown.
void FillToolbarTooltip(NMTTDISPINFOA* info, bool captions);

}  // namespace harvio::ui
