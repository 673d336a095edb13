#include "ui/status_bar.h"

#include <commctrl.h>

#include "res/resource.h"

namespace harvio::ui {

HWND CreateStatusBar(HWND parent, HFONT font) {
  HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                             0, 0, 0, 0, parent, reinterpret_cast<HMENU>(IDC_STATUS_BAR),
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                             nullptr);
  if (bar != nullptr) SendMessageA(bar, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return bar;
}

void PlaceStatusBar(HWND bar, const MainLayout& layout, int width) {
  int right_edges[2] = {layout.statusPartRight[0], layout.statusPartRight[1]};
  SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(right_edges));
  MoveWindow(bar, 0, layout.statusBar.y, width, layout.statusBar.height, TRUE);
}

void SetStatusHelp(HWND bar, const char* text) {
  SendMessageA(bar, SB_SETTEXTA, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
}

void SetStatusSpeed(HWND bar, const char* text) {
  SendMessageA(bar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text));
}

}  // namespace harvio::ui
