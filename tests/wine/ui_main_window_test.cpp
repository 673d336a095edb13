// Starts harvio.exe and runs the steps given on its command line against the
// main window, printing what it reads (rows as UTF-8, cells tab-separated)
// so a script can compare them with what harvio-cli shows of the same task
// files. The first failing step prints "FAIL: ..." and ends the run; the
// program is killed if it is still running then.
//   wine_ui_test.exe PATH\harvio.exe STEP...
// Steps (texts in UTF-8):
//   rows | threads                print the task list or the thread list
//   columns                       print both lists' column titles, widths, alignment
//   wait-rows:N | wait-threads:N  until the list has N rows
//   expect-threads:N              the thread list has N rows now
//   wait-cell:ROW:COLUMN:TEXT     until a task-list cell reads TEXT
//   wait-thread-cell:COLUMN:TEXT  until some thread row's cell reads TEXT
//   select:ROW,ROW...             exactly these rows selected, focus on the first
//   expect-selected:ROW,ROW...    exactly these rows selected ("-" for none)
//   expect-focused:ROW            this row holds the list's focus mark
//   command:ID | post:ID          WM_COMMAND, waited for or only posted
//   keys:ctrl+a | keys:delete     keys pressed in the foreground main window
//   dblclick:ROW                  double-click a task row (-1: below the last row)
//   click-threads                 clicks into the thread list
//   expect-thread-list-idle       no thread row selected, the thread list unfocused
//   expect-gridlines:on|off       both lists
//   wait-speed                    status part 1 shows a speed above 0.00KB/s
//   header-ready                  the pointer over the task list's column header
//                                 turns a menu help text in status part 0 into "就绪"
//   wait-box:TEXT                 a message box saying TEXT, main window shown; closed
//   options:refuse|type|defaults  the options sheet "选项" at 40% of the screen:
//                                 two invalid work paths refused, then Cancel;
//                                 values typed over C:\old\, then OK; both
//                                 pages' defaults buttons, then OK
//   minimize                      minimised and hidden (into the tray)
//   second-start                  a second harvio.exe ends with 0, the window is back
//   show:ROW                      the task list scrolled so that ROW shows
//   expect-painted                the task list on screen is what a full
//                                 repaint draws (no row left over)
//   expect-focus                  the task list holds the keyboard focus
//   expect-tip                    the top pane shows a usage tip as text
//   context:KEY                   Shift+F10 on the task list, then KEY (a
//                                 letter) in its menu; Esc if it stays open
//   cancel-wizard                 the new-task wizard is open; cancelled
//   close                         WM_CLOSE; the program ends with code 0
//   sleep:MS
#include "platform/win32/win_api.h"

#include <commctrl.h>
#include <prsht.h>
#include <shellapi.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "tests/wine/ui_driver.h"

namespace harvio::uitest {
namespace {

constexpr int kMessageTextId = 0xFFFF;  // the text of a message box

struct Session {
  std::string exe;
  Program program;
  HWND main = nullptr;
  HWND tasks = nullptr;
  HWND threads = nullptr;
};

bool Fail(const std::string& what) {
  std::printf("FAIL: %s\n", what.c_str());
  return false;
}

std::vector<int> Numbers(const std::string& list) {
  std::vector<int> numbers;
  if (list == "-") return numbers;
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    numbers.push_back(std::atoi(list.substr(start, comma - start).c_str()));
    start = comma + 1;
  }
  return numbers;
}

// "A:B:REST" split into at most `count` fields, the last keeping its colons.
std::vector<std::string> Fields(const std::string& text, size_t count) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (fields.size() + 1 < count) {
    size_t colon = text.find(':', start);
    if (colon == std::string::npos) break;
    fields.push_back(text.substr(start, colon - start));
    start = colon + 1;
  }
  fields.push_back(text.substr(start));
  return fields;
}

void PrintRows(RemoteListView& view) {
  for (int row = 0; row < view.Count(); ++row) {
    std::string line = std::to_string(row);
    for (const std::string& cell : view.Row(row)) line += "\t" + GbkToUtf8(cell);
    std::printf("%s\n", line.c_str());
  }
  std::fflush(stdout);
}

void PrintColumns(const char* name, RemoteListView& view) {
  for (int column = 0; column < view.ColumnCount(); ++column) {
    std::string title, align;
    int width = 0;
    if (!view.Column(column, &title, &width, &align)) title = "<unreadable>";
    std::printf("%s\t%d\t%s\t%d\t%s\n", name, column, GbkToUtf8(title).c_str(), width,
                align.c_str());
  }
  std::fflush(stdout);
}

std::vector<int> SelectedRows(RemoteListView& view) {
  std::vector<int> rows;
  for (int row = 0; row < view.Count(); ++row) {
    if (view.State(row, LVIS_SELECTED) & LVIS_SELECTED) rows.push_back(row);
  }
  return rows;
}

std::string Joined(const std::vector<int>& rows) {
  std::string text;
  for (int row : rows) text += (text.empty() ? "" : ",") + std::to_string(row);
  return text.empty() ? "-" : text;
}

bool Start(Session& s) {
  if (!s.program.Start(s.exe)) return Fail("harvio.exe could not be started");
  s.main = WaitForMainWindow();
  if (s.main == nullptr) return Fail("the main window did not appear");
  s.tasks = GetDlgItem(s.main, IDC_TASK_LIST);
  s.threads = GetDlgItem(s.main, IDC_THREAD_LIST);
  if (s.tasks == nullptr || s.threads == nullptr) return Fail("the main window has no lists");
  return true;
}

bool WaitForCount(HWND view, int count, const char* what, DWORD ms) {
  RemoteListView list(view);
  if (WaitUntil([&] { return list.Count() == count; }, ms)) return true;
  return Fail(std::string(what) + ": " + std::to_string(list.Count()) + " rows, not " +
              std::to_string(count));
}

bool WaitForCell(Session& s, int row, int column, const std::string& utf8) {
  RemoteListView list(s.tasks);
  std::string expected = Utf8ToGbk(utf8);
  if (WaitUntil([&] { return row < list.Count() && list.Text(row, column) == expected; })) {
    return true;
  }
  return Fail("task row " + std::to_string(row) + " column " + std::to_string(column) +
              " reads \"" + GbkToUtf8(list.Text(row, column)) + "\", not \"" + utf8 + "\"");
}

bool WaitForThreadCell(Session& s, int column, const std::string& gbk) {
  RemoteListView list(s.threads);
  bool found = WaitUntil([&] {
    for (int row = 0; row < list.Count(); ++row) {
      if (list.Text(row, column) == gbk) return true;
    }
    return false;
  });
  if (found) return true;
  PrintRows(list);
  return Fail("no thread row reads \"" + GbkToUtf8(gbk) + "\" in column " +
              std::to_string(column));
}

bool Select(Session& s, const std::vector<int>& rows) {
  RemoteListView list(s.tasks);
  bool ok = list.SetState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  for (size_t i = 0; i < rows.size(); ++i) {
    UINT state = LVIS_SELECTED | (i == 0 ? LVIS_FOCUSED : 0);
    ok = ok && list.SetState(rows[i], state, LVIS_SELECTED | LVIS_FOCUSED);
  }
  return ok || Fail("rows could not be selected");
}

bool ExpectSelected(Session& s, const std::string& rows) {
  RemoteListView list(s.tasks);
  std::string selected = Joined(SelectedRows(list));
  if (selected == Joined(Numbers(rows))) return true;
  return Fail("selected rows " + selected + ", not " + rows);
}

bool ExpectFocused(Session& s, int row) {
  RemoteListView list(s.tasks);
  for (int i = 0; i < list.Count(); ++i) {
    bool focused = (list.State(i, LVIS_FOCUSED) & LVIS_FOCUSED) != 0;
    if (focused != (i == row)) return Fail("row " + std::to_string(i) + " focus mark wrong");
  }
  return true;
}

bool Command(Session& s, int id, bool wait) {
  if (!wait) return PostMessageA(s.main, WM_COMMAND, static_cast<WPARAM>(id), 0) != 0;
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(s.main, WM_COMMAND, static_cast<WPARAM>(id), 0, SMTO_NORMAL, 10000,
                             &answer) != 0 ||
         Fail("command " + std::to_string(id) + " did not return");
}

// Keys reach the window with the focus in the foreground thread.
bool Foreground(Session& s) {
  SetForegroundWindow(s.main);
  return WaitUntil([&] { return GetForegroundWindow() == s.main; }, 5000) ||
         Fail("the main window did not come to the foreground");
}

bool Keys(Session& s, const std::string& name) {
  if (!Foreground(s)) return false;
  if (name == "ctrl+a") {
    PressKeys({VK_CONTROL, 'A'});
  } else if (name == "delete") {
    PressKeys({VK_DELETE});
  } else {
    return Fail("unknown keys " + name);
  }
  // A message sent now is handled after the keys' messages.
  SendMessageA(s.main, WM_NULL, 0, 0);
  Sleep(300);
  return true;
}

LPARAM Point(LONG x, LONG y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// A double-click posted at a point of `view`: posted, not sent, since the
// view follows a pressed button in a loop of its own that reads the queue.
void PostDoubleClick(HWND view, LPARAM at) {
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    PostMessageA(view, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
  }
  // Handled once a message sent behind them comes back.
  Sleep(300);
  SendMessageA(view, WM_NULL, 0, 0);
}

bool DoubleClick(Session& s, int row) {
  RemoteListView list(s.tasks);
  // Scrolled into view first: a click on a row cut off at the bottom
  // scrolls the list, and the second click would land on the next row.
  int shown = row >= 0 ? row : list.Count() - 1;
  SendMessageA(s.tasks, LVM_ENSUREVISIBLE, static_cast<WPARAM>(shown), FALSE);
  RECT rect;
  if (!list.ItemRect(shown, &rect)) return Fail("row " + std::to_string(row) + " has no place");
  LONG y = row >= 0 ? (rect.top + rect.bottom) / 2 : rect.bottom + 3;
  RECT client;
  GetClientRect(s.tasks, &client);
  if (y >= client.bottom) return Fail("no room below the last row");
  PostDoubleClick(s.tasks, Point(rect.left + 30, y));
  return true;
}

bool ClickThreads(Session& s) {
  RemoteListView list(s.threads);
  RECT rect = {};
  if (list.Count() > 0) list.ItemRect(0, &rect);
  PostDoubleClick(s.threads, Point(rect.left + 30, (rect.top + rect.bottom) / 2 + 1));
  SendMessageA(s.threads, WM_SETFOCUS, 0, 0);
  return true;
}

bool ExpectThreadListIdle(Session& s) {
  RemoteListView list(s.threads);
  if (!SelectedRows(list).empty()) return Fail("a thread row is selected");
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  DWORD thread = GetWindowThreadProcessId(s.main, nullptr);
  if (GetGUIThreadInfo(thread, &info) && info.hwndFocus == s.threads) {
    return Fail("the thread list holds the focus");
  }
  return true;
}

bool ExpectGridLines(Session& s, bool on) {
  for (HWND view : {s.tasks, s.threads}) {
    RemoteListView list(view);
    if (((list.ExStyle() & LVS_EX_GRIDLINES) != 0) != on) return Fail("grid lines differ");
  }
  return true;
}

bool WaitForSpeed(Session& s) {
  HWND bar = FindWindowExA(s.main, nullptr, STATUSCLASSNAMEA, nullptr);
  if (bar == nullptr) return Fail("no status bar");
  std::string text;
  bool moving = WaitUntil([&] {
    text = StatusText(bar, 1);
    return text.size() > 4 && text.compare(text.size() - 4, 4, "KB/s") == 0 &&
           text != "0.00KB/s";
  });
  std::printf("speed\t%s\n", text.c_str());
  return moving || Fail("no speed in the status bar: \"" + text + "\"");
}

bool HeaderReady(Session& s) {
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

// `sheet`, when given, is open beneath the box.
bool WaitForBox(Session& s, const std::string& utf8, HWND sheet = nullptr) {
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindPopup(s.program.id(), s.main, sheet)) != nullptr; });
  if (box == nullptr) return Fail("no message box appeared");
  std::string said = WindowText(GetDlgItem(box, kMessageTextId));
  if (said != Utf8ToGbk(utf8)) return Fail("the box says \"" + GbkToUtf8(said) + "\"");
  if (WindowText(box) != "Harvio") return Fail("the box is not captioned Harvio");
  if (!IsWindowVisible(s.main) || IsIconic(s.main)) return Fail("the main window is not shown");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return WaitUntil([&] { return !IsWindow(box); }) || Fail("the box did not close");
}

void Click(HWND page, int id) {
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

bool TypeOptions(HWND sheet, HWND general) {
  std::string shown = WindowText(GetDlgItem(general, IDC_WORK_PATH));
  if (shown != "C:\\old\\") return Fail("work path shown: " + shown);
  SendDlgItemMessageA(general, IDC_KEEP_WINDOW, BM_SETCHECK, BST_UNCHECKED, 0);
  SetDlgItemTextA(general, IDC_WORK_PATH, "  C:\\my.pics  ");
  PostMessageA(sheet, PSM_SETCURSEL, 1, 0);
  if (!WaitUntil([&] { return CurrentPage(sheet) != general; })) {
    return Fail("a valid path did not let the page go");
  }
  HWND connect = CurrentPage(sheet);
  shown = WindowText(GetDlgItem(connect, IDC_WEB2_RETRIES));
  if (shown != "10") return Fail("WEB2 retries shown: " + shown);
  const std::pair<int, const char*> typed[] = {{IDC_CONN_TIMEOUT, "45"}, {IDC_DATA_TIMEOUT, ""},
                                               {IDC_RETRY_WAIT, "7"}, {IDC_MAX_PICTURE_KB, "4096"}};
  for (const auto& [id, text] : typed) SetDlgItemTextA(connect, id, text);
  return true;
}

// The sheet opens modal, so its command is posted; its pages are filled
// through the messages a user's typing would send.
bool OptionsSheet(Session& s, const std::string& mode) {
  PostMessageA(s.main, WM_COMMAND, CMD_OPTIONS, 0);
  HWND sheet = nullptr;
  WaitUntil([&] { return (sheet = FindPopup(s.program.id(), s.main)) != nullptr; });
  if (sheet == nullptr) return Fail("the options sheet did not open");
  if (WindowText(sheet) != Utf8ToGbk("选项")) return Fail("the sheet is titled " + WindowText(sheet));
  if (!Placed(sheet)) return Fail("the sheet is not at 40% of the screen");
  HWND general = CurrentPage(sheet);
  int button = PSBTN_OK;
  if (mode == "refuse") {
    // The long one is what "..." may put there; cut to 63 bytes it would
    // be a valid folder.
    for (const std::string& path : {std::string("C:\\a|b"),
                                    "C:\\" + std::string(59, 'a') + "\\bbbbbbbbbb"}) {
      SetDlgItemTextA(general, IDC_WORK_PATH, path.c_str());
      PostMessageA(sheet, PSM_SETCURSEL, 1, 0);
      if (!WaitForBox(s, "路径无效，请重新输入。", sheet)) return false;
      if (CurrentPage(sheet) != general) return Fail("the general page let " + path + " go");
    }
    button = PSBTN_CANCEL;
  } else if (mode == "type") {
    if (!TypeOptions(sheet, general)) return false;
  } else {
    Click(general, IDC_GENERAL_DEFAULTS);
    PostMessageA(sheet, PSM_SETCURSEL, 1, 0);
    if (!WaitUntil([&] { return CurrentPage(sheet) != general; })) return Fail("no second page");
    Click(CurrentPage(sheet), IDC_CONNECT_DEFAULTS);
  }
  PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
  return WaitUntil([&] { return !IsWindow(sheet); }) || Fail("the sheet did not close");
}

bool Minimize(Session& s) {
  PostMessageA(s.main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  return WaitUntil([&] { return !IsWindowVisible(s.main); }) ||
         Fail("minimising did not hide the window");
}

bool SecondStart(Session& s) {
  Program second;
  if (!second.Start(s.exe)) return Fail("the second harvio.exe could not be started");
  if (second.WaitForExit() != 0) return Fail("the second start did not end with code 0");
  return WaitUntil([&] { return IsWindowVisible(s.main) && !IsIconic(s.main); }) ||
         Fail("the second start did not bring the window back");
}

bool ShowRow(Session& s, int row) {
  return SendMessageA(s.tasks, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE) != 0 ||
         Fail("row " + std::to_string(row) + " cannot be shown");
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
bool ExpectPainted(Session& s) {
  SendMessageA(s.tasks, WM_NULL, 0, 0);
  Sleep(500);
  std::vector<DWORD> shown = ScreenPixels(s.tasks);
  RedrawWindow(s.tasks, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  SendMessageA(s.tasks, WM_NULL, 0, 0);
  Sleep(500);
  if (ScreenPixels(s.tasks) == shown) return true;
  return Fail("the task list shows other rows than a repaint draws");
}

bool ExpectFocus(Session& s) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  DWORD thread = GetWindowThreadProcessId(s.main, nullptr);
  if (!GetGUIThreadInfo(thread, &info)) return Fail("no focus information");
  if (info.hwndFocus == s.tasks) return true;
  char name[64] = "";
  GetClassNameA(info.hwndFocus, name, sizeof name);
  return Fail(std::string("the focus is in a window of class ") + name);
}

bool ExpectTip(Session& s) {
  HWND pane = GetDlgItem(s.main, IDC_BROWSER_PANE);
  HWND text = FindWindowExA(pane, nullptr, "Static", nullptr);
  if (text == nullptr) return Fail("the top pane has no text");
  std::string tip = GbkToUtf8(WindowText(text));
  std::printf("tip\t%s\n", tip.c_str());
  const std::string lead = "小提示：";
  return (tip.compare(0, lead.size(), lead) == 0 && tip.size() > lead.size() + 10) ||
         Fail("the top pane says \"" + tip + "\"");
}

struct MenuSearch {
  DWORD process;
  HWND menu;
};

BOOL CALLBACK FindMenu(HWND window, LPARAM search) {
  auto* menu = reinterpret_cast<MenuSearch*>(search);
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (std::string(name) != "#32768" || process != menu->process || !IsWindowVisible(window)) {
    return TRUE;
  }
  menu->menu = window;
  return FALSE;
}

// The pop-up menu the program shows, if any.
HWND OpenMenu(Session& s) {
  MenuSearch search = {s.program.id(), nullptr};
  EnumWindows(FindMenu, reinterpret_cast<LPARAM>(&search));
  return search.menu;
}

bool ContextMenu(Session& s, const std::string& key) {
  if (key.size() != 1) return Fail("unknown menu key " + key);
  if (!Foreground(s)) return false;
  PressKeys({VK_SHIFT, VK_F10});
  if (!WaitUntil([&] { return OpenMenu(s) != nullptr; }, 5000)) {
    return Fail("Shift+F10 opened no menu");
  }
  PressKeys({static_cast<WORD>(std::toupper(static_cast<unsigned char>(key[0])))});
  Sleep(300);
  // A disabled item's key does nothing.
  if (OpenMenu(s) != nullptr) PressKeys({VK_ESCAPE});
  if (!WaitUntil([&] { return OpenMenu(s) == nullptr; }, 5000)) return Fail("the menu stays open");
  SendMessageA(s.main, WM_NULL, 0, 0);
  return true;
}

bool CancelWizard(Session& s) {
  HWND sheet = nullptr;
  WaitUntil([&] { return (sheet = FindPopup(s.program.id(), s.main)) != nullptr; });
  if (sheet == nullptr) return Fail("no wizard opened");
  if (WindowText(sheet) != Utf8ToGbk("图片源")) return Fail("opened: " + GbkToUtf8(WindowText(sheet)));
  PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  return WaitUntil([&] { return !IsWindow(sheet); }) || Fail("the wizard did not close");
}

bool Close(Session& s) {
  PostMessageA(s.main, WM_CLOSE, 0, 0);
  long code = s.program.WaitForExit();
  if (code != 0) return Fail("the program ended with " + std::to_string(code));
  return true;
}

bool Step(Session& s, const std::string& step) {
  std::vector<std::string> f = Fields(step, 4);
  const std::string& name = f[0];
  auto number = [&](size_t i) { return i < f.size() ? std::atoi(f[i].c_str()) : -1; };
  if (name == "rows") {
    RemoteListView list(s.tasks);
    PrintRows(list);
    return true;
  }
  if (name == "columns") {
    RemoteListView tasks(s.tasks), threads(s.threads);
    PrintColumns("task-column", tasks);
    PrintColumns("thread-column", threads);
    return true;
  }
  if (name == "threads") {
    RemoteListView list(s.threads);
    PrintRows(list);
    return true;
  }
  if (name == "wait-rows") return WaitForCount(s.tasks, number(1), "task list", kWaitMs);
  if (name == "wait-threads") return WaitForCount(s.threads, number(1), "thread list", kWaitMs);
  // Checked at once: a selection change fills the thread list before the
  // message that made it returns, not only at the next tick.
  if (name == "expect-threads") return WaitForCount(s.threads, number(1), "thread list", 0);
  if (name == "wait-cell" && f.size() == 4) return WaitForCell(s, number(1), number(2), f[3]);
  if (name == "wait-thread-cell" && f.size() >= 3) {
    return WaitForThreadCell(s, number(1), Utf8ToGbk(step.substr(step.find(':', name.size() + 1) + 1)));
  }
  if (name == "select") return Select(s, Numbers(f[1]));
  if (name == "expect-selected") return ExpectSelected(s, f[1]);
  if (name == "expect-focused") return ExpectFocused(s, number(1));
  if (name == "command") return Command(s, number(1), true);
  if (name == "post") return Command(s, number(1), false);
  if (name == "keys") return Keys(s, f[1]);
  if (name == "dblclick") return DoubleClick(s, number(1));
  if (name == "click-threads") return ClickThreads(s);
  if (name == "expect-thread-list-idle") return ExpectThreadListIdle(s);
  if (name == "expect-gridlines") return ExpectGridLines(s, f[1] == "on");
  if (name == "wait-speed") return WaitForSpeed(s);
  if (name == "header-ready") return HeaderReady(s);
  if (name == "wait-box") return WaitForBox(s, step.substr(name.size() + 1));
  if (name == "options") return OptionsSheet(s, f[1]);
  if (name == "minimize") return Minimize(s);
  if (name == "second-start") return SecondStart(s);
  if (name == "show") return ShowRow(s, number(1));
  if (name == "expect-painted") return ExpectPainted(s);
  if (name == "expect-focus") return ExpectFocus(s);
  if (name == "expect-tip") return ExpectTip(s);
  if (name == "context") return ContextMenu(s, f[1]);
  if (name == "cancel-wizard") return CancelWizard(s);
  if (name == "close") return Close(s);
  if (name == "sleep") {
    Sleep(static_cast<DWORD>(number(1)));
    return true;
  }
  return Fail("unknown step " + step);
}


// The arguments as UTF-8, whatever the system's code page.
std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) {
    int length = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &text[0], length, nullptr, nullptr);
    arguments.push_back(text.c_str());
  }
  LocalFree(wide);
  return arguments;
}

}  // namespace
}  // namespace harvio::uitest

int main() {
  using namespace harvio::uitest;
  std::vector<std::string> arguments = Arguments();
  if (arguments.size() < 2) {
    std::printf("FAIL: usage: wine_ui_test PATH\\harvio.exe STEP...\n");
    return 1;
  }
  Session session;
  session.exe = Utf8ToGbk(arguments[1]);
  if (!Start(session)) return 1;
  for (size_t i = 2; i < arguments.size(); ++i) {
    std::printf("step %s\n", arguments[i].c_str());
    std::fflush(stdout);
    if (!Step(session, arguments[i])) return 1;
  }
  std::printf("ok\n");
  return 0;
}
