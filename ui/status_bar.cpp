#include "ui/status_bar.h"

#include <commctrl.h>

namespace harvio::ui {
namespace {

constexpr int kSpeedPartWidth = 80;  // part 1; the last 20 pixels hold the grip
constexpr int kGripWidth = 20;

}  // namespace

HWND CreateStatusBar(HWND parent, HFONT font) {
  HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                             0, 0, 0, 0, parent, nullptr,
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                             nullptr);
  if (bar != nullptr) SendMessageA(bar, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return bar;
}

void LayOutStatusBar(HWND bar, int width, int height) {
  int right_edges[2] = {width - kSpeedPartWidth - kGripWidth, width - kGripWidth};
  SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(right_edges));
  MoveWindow(bar, 0, height - kStatusBarHeight, width, kStatusBarHeight, TRUE);
}

void SetStatusHelp(HWND bar, const char* text) {
  SendMessageA(bar, SB_SETTEXTA, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
}

}  // namespace harvio::ui
