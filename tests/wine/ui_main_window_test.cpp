// The steps on harvio.exe's main window (see tests/data/wine/ui-*.steps):
// its task and thread lists read and worked across processes, its menus,
// keys, status bar and tray, and how it starts, hides and ends. Rows are
// numbered from 0; ROWS is a list like 0,2,3, or "-" for none.
#include "platform/win32/win_api.h"

#include <commctrl.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/wine/ui_driver.h"

namespace harvio::uitest {
namespace {

int Number(const std::string& text) { return std::atoi(text.c_str()); }

// Rows as UTF-8, cells tab-separated, for the script to compare.
void PrintRows(HWND window) {
  RemoteListView view(window);
  for (int row = 0; row < view.Count(); ++row) {
    std::string line = std::to_string(row);
    for (const std::string& cell : view.Row(row)) line += "\t" + GbkToUtf8(cell);
    std::printf("%s\n", line.c_str());
  }
  std::fflush(stdout);
}

// Each column's title, width and alignment.
void PrintColumns(const char* name, HWND window) {
  RemoteListView view(window);
  for (int column = 0; column < view.ColumnCount(); ++column) {
    std::string title, align;
    int width = 0;
    if (!view.Column(column, &title, &width, &align)) title = "<unreadable>";
    std::printf("%s\t%d\t%s\t%d\t%s\n", name, column, GbkToUtf8(title).c_str(), width,
                align.c_str());
  }
  std::fflush(stdout);
}

// The rows holding state `mask`, as ROWS.
std::string RowsWith(HWND view, UINT mask) {
  std::string rows;
  for (int row = 0; row < ListView_GetItemCount(view); ++row) {
    if (ListView_GetItemState(view, row, mask) & mask) {
      rows += (rows.empty() ? "" : ",") + std::to_string(row);
    }
  }
  return rows.empty() ? "-" : rows;
}

bool WaitForCount(HWND view, const std::string& count, const char* what, DWORD ms) {
  RemoteListView list(view);
  if (WaitUntil([&] { return list.Count() == Number(count); }, ms)) return true;
  return Fail(std::string(what) + ": " + std::to_string(list.Count()) + " rows, not " + count);
}

bool WaitForCell(Session& s, int row, int column, const std::string& gbk, DWORD ms = kWaitMs) {
  RemoteListView list(s.tasks);
  if (WaitUntil([&] { return row < list.Count() && list.Text(row, column) == gbk; }, ms)) {
    return true;
  }
  return Fail("task row " + std::to_string(row) + " column " + std::to_string(column) +
              " reads \"" + GbkToUtf8(list.Text(row, column)) + "\", not \"" + GbkToUtf8(gbk) +
              "\"");
}

// Some thread row's cell in COLUMN reads TEXT.
bool WaitForThreadCell(Session& s, const Args& a) {
  RemoteListView list(s.threads);
  bool found = WaitUntil([&] {
    for (int row = 0; row < list.Count(); ++row) {
      if (list.Text(row, Number(a[0])) == a[1]) return true;
    }
    return false;
  });
  if (found) return true;
  PrintRows(s.threads);
  return Fail("no thread row reads \"" + GbkToUtf8(a[1]) + "\" in column " + a[0]);
}

// Exactly ROWS selected, the focus mark on the first.
bool Select(Session& s, const Args& a) {
  RemoteListView list(s.tasks);
  bool ok = list.SetState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  std::istringstream rows(a[0] == "-" ? "" : a[0]);
  UINT state = LVIS_SELECTED | LVIS_FOCUSED;
  for (std::string row; std::getline(rows, row, ','); state = LVIS_SELECTED) {
    ok = ok && list.SetState(Number(row), state, LVIS_SELECTED | LVIS_FOCUSED);
  }
  return ok || Fail("rows could not be selected");
}

// WM_COMMAND ID waited for, or only posted (what opens a modal loop).
bool Command(Session& s, const Args& a) {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(s.main, WM_COMMAND, static_cast<WPARAM>(Id(s, a[0])), 0, SMTO_NORMAL,
                             10000, &answer) != 0 ||
         Fail("command " + a[0] + " did not return");
}

bool Post(Session& s, const Args& a) {
  return PostMessageA(s.main, WM_COMMAND, static_cast<WPARAM>(Id(s, a[0])), 0) != 0;
}

// Keys reach the window with the focus in the foreground thread.
bool Foreground(Session& s) {
  SetForegroundWindow(s.main);
  return WaitUntil([&] { return GetForegroundWindow() == s.main; }, 5000) ||
         Fail("the main window did not come to the foreground");
}

// ctrl+a or delete in the foreground main window.
bool Keys(Session& s, const Args& a) {
  if (!Foreground(s)) return false;
  if (a[0] == "ctrl+a") {
    PressKeys({VK_CONTROL, 'A'});
  } else if (a[0] == "delete") {
    PressKeys({VK_DELETE});
  } else {
    return Fail("unknown keys " + a[0]);
  }
  // A message sent now is handled after the keys' messages.
  SendMessageA(s.main, WM_NULL, 0, 0);
  Sleep(300);
  return true;
}

// A double-click posted at a point of `view`: posted, not sent, since the
// view follows a pressed button in a loop of its own that reads the queue.
void PostDoubleClick(HWND view, LONG x, LONG y) {
  LPARAM at = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    PostMessageA(view, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
  }
  // Handled once a message sent behind them comes back.
  Sleep(300);
  SendMessageA(view, WM_NULL, 0, 0);
}

// A double-click on a task row (-1: below the last row).
bool DoubleClick(Session& s, const Args& a) {
  RemoteListView list(s.tasks);
  int row = Number(a[0]);
  // Scrolled into view first: a click on a row cut off at the bottom
  // scrolls the list, and the second click would land on the next row.
  int shown = row >= 0 ? row : list.Count() - 1;
  SendMessageA(s.tasks, LVM_ENSUREVISIBLE, static_cast<WPARAM>(shown), FALSE);
  RECT rect;
  if (!list.ItemRect(shown, &rect)) return Fail("row " + a[0] + " has no place");
  LONG y = row >= 0 ? (rect.top + rect.bottom) / 2 : rect.bottom + 3;
  RECT client;
  GetClientRect(s.tasks, &client);
  if (y >= client.bottom) return Fail("no room below the last row");
  PostDoubleClick(s.tasks, rect.left + 30, y);
  return true;
}

bool ClickThreads(Session& s, const Args&) {
  RemoteListView list(s.threads);
  RECT rect = {};
  if (list.Count() > 0) list.ItemRect(0, &rect);
  PostDoubleClick(s.threads, rect.left + 30, (rect.top + rect.bottom) / 2 + 1);
  SendMessageA(s.threads, WM_SETFOCUS, 0, 0);
  return true;
}

// The window with the keyboard focus in the program's thread.
HWND Focus(Session& s) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(s.main, nullptr), &info);
  return info.hwndFocus;
}

// No thread row selected, the thread list unfocused.
bool ExpectThreadListIdle(Session& s, const Args&) {
  if (RowsWith(s.threads, LVIS_SELECTED) != "-") return Fail("a thread row is selected");
  return Focus(s) != s.threads || Fail("the thread list holds the focus");
}

// The task list holds the keyboard focus.
bool ExpectFocus(Session& s, const Args&) {
  char name[64] = "";
  GetClassNameA(Focus(s), name, sizeof name);
  return Focus(s) == s.tasks || Fail(std::string("the focus is in a window of class ") + name);
}

bool ExpectGridLines(Session& s, const Args& a) {
  for (HWND view : {s.tasks, s.threads}) {
    bool on = (ListView_GetExtendedListViewStyle(view) & LVS_EX_GRIDLINES) != 0;
    if (on != (a[0] == "on")) return Fail("grid lines differ");
  }
  return true;
}

// Status part 1 shows a speed above 0.00KB/s.
bool WaitForSpeed(Session& s, const Args&) {
  HWND bar = FindWindowExA(s.main, nullptr, STATUSCLASSNAMEA, nullptr);
  if (bar == nullptr) return Fail("no status bar");
  std::string text;
  bool moving = WaitUntil([&] {
    text = StatusText(bar, 1);
    return text.size() > 4 && text.compare(text.size() - 4, 4, "KB/s") == 0 && text != "0.00KB/s";
  });
  std::printf("speed\t%s\n", text.c_str());
  return moving || Fail("no speed in the status bar: \"" + text + "\"");
}

// The pointer over the column header turns a menu's help text in status
// part 0 into "就绪".
bool HeaderReady(Session& s, const Args&) {
  HWND bar = FindWindowExA(s.main, nullptr, STATUSCLASSNAMEA, nullptr);
  HWND header = reinterpret_cast<HWND>(SendMessageA(s.tasks, LVM_GETHEADER, 0, 0));
  if (bar == nullptr || header == nullptr) return Fail("no status bar or column header");
  SendMessageA(s.main, WM_MENUSELECT, MAKEWPARAM(CMD_NEW_TASK, MF_HILITE),
               reinterpret_cast<LPARAM>(GetMenu(s.main)));
  if (StatusText(bar, 0) != Utf8ToGbk("添加新的下载任务")) return Fail("no menu help shown");
  SendMessageA(header, WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));
  std::string text = StatusText(bar, 0);
  return text == Utf8ToGbk("就绪") || Fail("status part 0 reads \"" + GbkToUtf8(text) + "\"");
}

// Minimised, the window hides (into the tray).
bool Minimize(Session& s, const Args&) {
  PostMessageA(s.main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  return WaitUntil([&] { return !IsWindowVisible(s.main); }) ||
         Fail("minimising did not hide the window");
}

// A second harvio.exe ends with 0; the one main window is back.
bool SecondStart(Session& s, const Args&) {
  Program second;
  if (!second.Start(s.exe)) return Fail("the second harvio.exe could not be started");
  if (second.WaitForExit() != 0) return Fail("the second start did not end with code 0");
  if (FindWindowExA(nullptr, s.main, "HARVIOCLASSNAME", nullptr) != nullptr ||
      FindWindowA("HARVIOCLASSNAME", nullptr) != s.main) {
    return Fail("a second start did not leave exactly one main window");
  }
  return WaitUntil([&] { return IsWindowVisible(s.main) && !IsIconic(s.main); }) ||
         Fail("the second start did not bring the window back");
}

// The pixels of `window`'s client area as the screen shows them.
std::vector<DWORD> ScreenPixels(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(static_cast<size_t>(client.right) * client.bottom);
  GetDIBits(memory, bitmap, 0, client.bottom, pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Reading the cells back cannot see a row the view failed to repaint; the
// screen can: it must not change when the whole list is drawn afresh.
bool ExpectPainted(Session& s, const Args&) {
  SendMessageA(s.tasks, WM_NULL, 0, 0);
  Sleep(500);
  std::vector<DWORD> shown = ScreenPixels(s.tasks);
  RedrawWindow(s.tasks, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  SendMessageA(s.tasks, WM_NULL, 0, 0);
  Sleep(500);
  if (ScreenPixels(s.tasks) == shown) return true;
  return Fail("the task list shows other rows than a repaint draws");
}

// The top pane shows a usage tip as text.
bool ExpectTip(Session& s, const Args&) {
  HWND pane = GetDlgItem(s.main, IDC_BROWSER_PANE);
  HWND text = FindWindowExA(pane, nullptr, "Static", nullptr);
  if (text == nullptr) return Fail("the top pane has no text");
  std::string tip = GbkToUtf8(WindowText(text));
  std::printf("tip\t%s\n", tip.c_str());
  const std::string lead = "小提示：";
  return (tip.compare(0, lead.size(), lead) == 0 && tip.size() > lead.size() + 10) ||
         Fail("the top pane says \"" + tip + "\"");
}

// Shift+F10 on the task list, then KEY (a letter) in its menu.
bool ContextMenu(Session& s, const Args& a) {
  if (a[0].size() != 1) return Fail("unknown menu key " + a[0]);
  if (!Foreground(s)) return false;
  PressKeys({VK_SHIFT, VK_F10});
  auto menu = [&] { return FindShown(s.program.id(), "#32768", {}); };
  if (!WaitUntil([&] { return menu() != nullptr; }, 5000)) return Fail("Shift+F10 opened no menu");
  PressKeys({static_cast<WORD>(std::toupper(static_cast<unsigned char>(a[0][0])))});
  Sleep(300);
  // A disabled item's key does nothing.
  if (menu() != nullptr) PressKeys({VK_ESCAPE});
  if (!WaitUntil([&] { return menu() == nullptr; }, 5000)) return Fail("the menu stays open");
  SendMessageA(s.main, WM_NULL, 0, 0);
  return true;
}

// WM_CLOSE; the program ends with code 0, no main window left.
bool Close(Session& s, const Args&) {
  PostMessageA(s.main, WM_CLOSE, 0, 0);
  long code = s.program.WaitForExit();
  if (code != 0) return Fail("the program ended with " + std::to_string(code));
  return FindWindowA("HARVIOCLASSNAME", nullptr) == nullptr || Fail("a main window is left");
}

}  // namespace

const std::vector<StepKind> kMainWindowSteps = {
    {"rows", 0,
     [](Session& s, const Args&) {
       PrintRows(s.tasks);
       return true;
     }},
    {"threads", 0,
     [](Session& s, const Args&) {
       PrintRows(s.threads);
       return true;
     }},
    {"columns", 0,
     [](Session& s, const Args&) {
       PrintColumns("task-column", s.tasks);
       PrintColumns("thread-column", s.threads);
       return true;
     }},
    {"wait-rows", 1,
     [](Session& s, const Args& a) { return WaitForCount(s.tasks, a[0], "task list", kWaitMs); }},
    {"wait-threads", 1,
     [](Session& s, const Args& a) {
       return WaitForCount(s.threads, a[0], "thread list", kWaitMs);
     }},
    // Checked at once: a selection change fills the thread list before the
    // message that made it returns, not only at the next tick.
    {"expect-threads", 1,
     [](Session& s, const Args& a) { return WaitForCount(s.threads, a[0], "thread list", 0); }},
    {"wait-cell", 3,  // ROW COLUMN TEXT
     [](Session& s, const Args& a) { return WaitForCell(s, Number(a[0]), Number(a[1]), a[2]); }},
    // A task run to its end: "完成" in its state column within 4 minutes.
    {"wait-done", 1,
     [](Session& s, const Args& a) {
       return WaitForCell(s, Number(a[0]), 0, Utf8ToGbk("完成"), 240000);
     }},
    {"wait-thread-cell", 2, WaitForThreadCell},
    {"select", 1, Select},
    {"expect-selected", 1,
     [](Session& s, const Args& a) {
       std::string rows = RowsWith(s.tasks, LVIS_SELECTED);
       return rows == a[0] || Fail("selected rows " + rows + ", not " + a[0]);
     }},
    {"expect-focused", 1,  // the row holding the list's focus mark
     [](Session& s, const Args& a) {
       std::string row = RowsWith(s.tasks, LVIS_FOCUSED);
       return row == a[0] || Fail("focus mark on " + row + ", not " + a[0]);
     }},
    {"command", 1, Command},
    {"post", 1, Post},
    {"keys", 1, Keys},
    {"dblclick", 1, DoubleClick},
    {"click-threads", 0, ClickThreads},
    {"expect-thread-list-idle", 0, ExpectThreadListIdle},
    {"expect-focus", 0, ExpectFocus},
    {"expect-gridlines", 1, ExpectGridLines},  // on|off, both lists
    {"wait-speed", 0, WaitForSpeed},
    {"header-ready", 0, HeaderReady},
    {"minimize", 0, Minimize},
    {"second-start", 0, SecondStart},
    {"show", 1,  // the task list scrolled so that the row shows
     [](Session& s, const Args& a) {
       return SendMessageA(s.tasks, LVM_ENSUREVISIBLE, static_cast<WPARAM>(Number(a[0])), FALSE) !=
                  0 ||
              Fail("row " + a[0] + " cannot be shown");
     }},
    {"expect-painted", 0, ExpectPainted},
    {"expect-tip", 0, ExpectTip},
    {"context", 1, ContextMenu},
    {"close", 0, Close},
};

}  // namespace harvio::uitest
