#include "ui/center_on_screen.h"

namespace harvio::ui {

void CenterOnScreen(HWND window) {
  RECT box;
  if (!GetWindowRect(window, &box)) return;
  int width = box.right - box.left;
  int height = box.bottom - box.top;
  int left = GetSystemMetrics(SM_CXSCREEN) * 2 / 5 - width / 2;
  int top = GetSystemMetrics(SM_CYSCREEN) * 2 / 5 - height / 2;
  SetWindowPos(window, nullptr, left, top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace harvio::ui
