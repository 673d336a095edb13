// The task list's context menu (right click, Shift+F10, the menu key): on
// rows, the commands of the 任务 menu that act on the selection; beside the
// rows, 新建. Items take their texts and enabled states from the 任务 menu,
// which UpdateCommandStates keeps current.
#include "platform/win32/win_api.h"

#include <commctrl.h>

#include "res/resource.h"
#include "ui/main_window.h"

namespace harvio::ui {
namespace {

constexpr UINT kSeparator = 0;
constexpr UINT kRowCommands[] = {CMD_START_TASK,      CMD_PAUSE_TASK,      kSeparator,
                                 CMD_DELETE_TASK,     kSeparator,          CMD_TASK_PROPERTIES,
                                 CMD_OPEN_SAVE_FOLDER};
constexpr UINT kEmptyCommands[] = {CMD_NEW_TASK};
constexpr int kTextMax = 64;

// The item of the main menu as it stands: text and enabled state.
void CopyItem(HMENU from, HMENU to, UINT command) {
  if (command == kSeparator) {
    AppendMenuA(to, MF_SEPARATOR, 0, nullptr);
    return;
  }
  char text[kTextMax] = "";
  GetMenuStringA(from, command, text, kTextMax, MF_BYCOMMAND);
  UINT state = GetMenuState(from, command, MF_BYCOMMAND) & MF_GRAYED;
  AppendMenuA(to, MF_STRING | state, command, text);
}

// A row under the screen point `at`, or -1.
int RowAt(HWND view, POINT at) {
  LVHITTESTINFO hit = {};
  hit.pt = at;
  ScreenToClient(view, &hit.pt);
  return static_cast<int>(SendMessageA(view, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

}  // namespace

void MainWindow::ShowTaskMenu(LPARAM at) {
  HWND view = taskList_.handle();
  POINT point = {static_cast<int16_t>(LOWORD(at)), static_cast<int16_t>(HIWORD(at))};
  bool onRows;
  if (at == -1) {
    // From the keyboard: at the focused row, or the list's corner.
    int row = static_cast<int>(SendMessageA(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                            LVNI_FOCUSED | LVNI_SELECTED));
    RECT rect = {LVIR_BOUNDS, 0, 0, 0};
    if (row < 0 || !SendMessageA(view, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                 reinterpret_cast<LPARAM>(&rect))) {
      rect = {};
    }
    point = {rect.left + 20, rect.bottom};
    ClientToScreen(view, &point);
    onRows = SendMessageA(view, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
  } else {
    onRows = RowAt(view, point) >= 0;
  }
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  HMENU main = GetMenu(window_);
  if (onRows) {
    for (UINT command : kRowCommands) CopyItem(main, menu, command);
  } else {
    for (UINT command : kEmptyCommands) CopyItem(main, menu, command);
  }
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, point.x, point.y, 0, window_, nullptr);
  DestroyMenu(menu);
}

}  // namespace harvio::ui
