// Drives the real new-task wizard, properties sheet and Add-URL dialog as
// a user would: the driver finds the dialogs, types into their controls,
// presses their buttons, reads the error boxes and closes them. One task of
// each kind is made, then edited in the properties sheet.
//   wine_wizard_dialogs.exe HOME\ SAVE\ [--shots]
//     the dialogs in a small host window of this program (a driver thread
//     beside its window's thread); at the end the task list is saved into
//     HOME so that harvio-cli can show the files.
//   wine_wizard_dialogs.exe --harvio PATH\harvio.exe SAVE\ (in a fresh home)
//     the dialogs of a running harvio.exe, opened by its commands 5000 and
//     5006; its rows and threads are read across processes.
//   wine_wizard_dialogs.exe --demo PATH\harvio.exe SAVE\ (likewise)
//     a task of every kind against the demo site made in harvio.exe's
//     wizard, then run there to its end.
// SAVE must be an existing folder. Every wait is bounded.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/string_table.h"
#include "core/task_store.h"
#include "platform/win32/win_api.h"
#include "res/resource.h"
#include "sources/catalog.h"
#include "app/wizard_rules.h"
#include "tests/wine/ui_driver.h"
#include "ui/new_task_wizard.h"
#include "ui/task_properties_sheet.h"

#include <commctrl.h>

namespace {

using namespace harvio;

constexpr UINT kOpenWizard = WM_APP + 1;
constexpr UINT kOpenSheet = WM_APP + 2;
constexpr UINT kSaveAndQuit = WM_APP + 3;
constexpr DWORD kWaitMs = 15000;
constexpr DWORD kPollMs = 50;
constexpr int kMessageText = 0xFFFF;  // the message box's text

// Message ids of the dialogs.
constexpr uint32_t kChooseSubCategory = 1461, kPathInvalid = 1462, kEnterKeyword = 1464,
                   kUrlListEmpty = 1465, kChooseFormat = 1466, kSameTaskExists = 1467,
                   kUrlInvalid = 1468;

struct Host {
  HWND window = nullptr;  // this program's host window, or harvio.exe's
  bool remote = false;    // the dialogs belong to harvio.exe
  DWORD thread = 0;
  TaskSet set;
  Options options;
  std::vector<Task*> rows;
  std::atomic<int> runs{0};  // dialogs closed so far
  std::string save;          // SAVE\ from the command line
  bool shots = false;
  int failures = 0;
} g;

void Fail(const std::string& what) {
  std::printf("FAIL: %s\n", what.c_str());
  std::fflush(stdout);
  ++g.failures;
}

void Check(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

bool WaitFor(const std::function<bool()>& done, DWORD ms = kWaitMs) {
  for (DWORD waited = 0; waited < ms; waited += kPollMs) {
    if (done()) return true;
    Sleep(kPollMs);
  }
  return false;
}

// --- finding the host's dialogs

struct Search {
  std::function<bool(HWND)> match;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<Search*>(lparam);
  if (!IsWindowVisible(window) || !search->match(window)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindDialog(const std::function<bool(HWND)>& match) {
  Search search{match, nullptr};
  EnumThreadWindows(g.thread, MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND Sheet() {
  return FindDialog([](HWND w) { return CurrentPage(w) != nullptr; });
}

HWND AddUrlDialog() {
  return FindDialog([](HWND w) { return GetDlgItem(w, IDC_URL_ENTRY) != nullptr; });
}

HWND MessageBoxWindow() {
  return FindDialog([](HWND w) {
    return CurrentPage(w) == nullptr && GetDlgItem(w, IDC_URL_ENTRY) == nullptr &&
           GetDlgItem(w, kMessageText) != nullptr;
  });
}

// The page shown, by its template id (its title line is id + 1).
int PageId() {
  HWND page = CurrentPage(Sheet());
  for (int id : {IDD_SOURCE_PAGE, IDD_PROGRAM_PAGE, IDD_FINISH_PAGE, IDD_SEARCH_PAGE,
                 IDD_CUSTOM_PAGE}) {
    if (page != nullptr && GetDlgItem(page, id + 1) != nullptr) return id;
  }
  return 0;
}

// Its centre at 40% of the screen's width and height.
void CheckPlaced(HWND window, const std::string& what) {
  RECT box;
  GetWindowRect(window, &box);
  long dx = (box.left + box.right) / 2 - GetSystemMetrics(SM_CXSCREEN) * 2 / 5;
  long dy = (box.top + box.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) * 2 / 5;
  Check(dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2,
        what + " placed off by " + std::to_string(dx) + "," + std::to_string(dy));
}

std::string Caption(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

std::string TextOf(HWND window, int id) {
  char text[2048] = {};
  GetDlgItemTextA(window, id, text, sizeof(text));
  return text;
}

// --- screenshots

// With --shots, each dialog worth a look is announced and left standing a
// moment, for wizard_screenshots.sh to capture the screen.
void Shot(HWND window, const char* name) {
  if (!g.shots || window == nullptr) return;
  Sleep(300);  // let it paint
  std::printf("SHOT %s\n", name);
  std::fflush(stdout);
  Sleep(1500);
}

// --- acting on the dialogs

void SetText(HWND window, int id, const std::string& text) {
  SendDlgItemMessageA(window, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetPageText(int id, const std::string& text) { SetText(CurrentPage(Sheet()), id, text); }

void Tick(HWND window, int id, bool ticked) {
  SendDlgItemMessageA(window, id, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Buttons are posted: what they open runs a modal loop of its own.
void ClickControl(HWND window, int id) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// The sheet's own buttons: a wizard's Back, Next and Finish, a sheet's OK.
int ButtonId(int button) {
  switch (button) {
    case PSBTN_BACK:
      return 0x3023;
    case PSBTN_NEXT:
      return 0x3024;
    case PSBTN_FINISH:
      return 0x3025;
    case PSBTN_OK:
      return IDOK;
    default:
      return IDCANCEL;
  }
}

// PSM_PRESSBUTTON acts even on a disabled button: check it first.
void Press(int button) {
  HWND sheet = Sheet();
  Check(IsWindowEnabled(GetDlgItem(sheet, ButtonId(button))) != 0,
        "button " + std::to_string(button) + " disabled on page " + std::to_string(PageId()));
  PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
}

// Presses a sheet button and expects page `id` (or the sheet closed, 0).
void PressTo(int button, int id, const std::string& step) {
  Press(button);
  bool arrived = WaitFor([&] {
    if (id == 0) return Sheet() == nullptr;
    return PageId() == id && MessageBoxWindow() == nullptr;
  });
  Check(arrived, step + ": page " + std::to_string(id) + " expected, got " +
                     std::to_string(PageId()));
}

// Waits for an error box with string `messageId`, closes it, and checks
// that `owner` still shows page `page` (0 for the Add-URL dialog).
void ExpectMessage(uint32_t messageId, const std::string& step) {
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = MessageBoxWindow()) != nullptr; })) {
    Fail(step + ": no message box");
    return;
  }
  std::string text = TextOf(box, kMessageText);
  Check(text == StringText(messageId), step + ": message " + std::to_string(messageId));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitFor([] { return MessageBoxWindow() == nullptr; });
}

void PressExpectingMessage(int button, uint32_t messageId, const std::string& step) {
  int before = PageId();
  Press(button);
  ExpectMessage(messageId, step);
  Check(PageId() == before, step + ": the page did not stay");
}

// The tree item of catalog entry `entry`, found by its place among its
// siblings: no item data has to be read from the tree's process.
HTREEITEM TreeItemOf(HWND tree, const std::vector<CatalogEntry>& catalog, int entry) {
  int parent = catalog[static_cast<size_t>(entry)].parent;
  HTREEITEM item = parent < 0 ? TreeView_GetRoot(tree)
                              : TreeView_GetChild(tree, TreeItemOf(tree, catalog, parent));
  for (int i = parent < 0 ? 0 : parent + 1; i < entry && item != nullptr; ++i) {
    if (catalog[static_cast<size_t>(i)].parent == parent) item = TreeView_GetNextSibling(tree, item);
  }
  return item;
}

// Selects the tree item of a source, or of the folder at catalog entry
// `-sourceId` when negative.
HTREEITEM SelectSource(int sourceId) {
  static const std::vector<CatalogEntry> catalog = LoadSourceTree();
  int entry = sourceId < 0 ? -sourceId : FindCatalogEntry(catalog, static_cast<uint32_t>(sourceId));
  HWND tree = GetDlgItem(CurrentPage(Sheet()), IDC_SOURCE_TREE);
  HTREEITEM item = entry < 0 ? nullptr : TreeItemOf(tree, catalog, entry);
  Check(item != nullptr, "tree item of " + std::to_string(sourceId));
  TreeView_SelectItem(tree, item);
  return item;
}

void DoubleClickTreeItem(HTREEITEM item) {
  HWND tree = GetDlgItem(CurrentPage(Sheet()), IDC_SOURCE_TREE);
  // TVM_GETITEMRECT takes the item in the rectangle it fills.
  uitest::RemoteBlock block(tree, sizeof(RECT));
  RECT box = {};
  std::memcpy(&box, &item, sizeof(item));
  block.Write(0, &box, sizeof(box));
  SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(block.address()));
  block.Read(block.address(), &box, sizeof(box));
  LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(tree, WM_LBUTTONUP, 0, at);
  PostMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageA(tree, WM_LBUTTONUP, 0, at);
}

int RowCount() {
  if (!g.remote) return static_cast<int>(g.rows.size());
  return uitest::RemoteListView(GetDlgItem(g.window, IDC_TASK_LIST)).Count();
}

int ThreadRowCount() {
  return uitest::RemoteListView(GetDlgItem(g.window, IDC_THREAD_LIST)).Count();
}

// Exactly `row` selected and focused in harvio.exe's task list.
void SelectRow(int row) {
  uitest::RemoteListView rows(GetDlgItem(g.window, IDC_TASK_LIST));
  rows.SetState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  rows.SetState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void OpenWizard() {
  if (g.remote) {
    PostMessageA(g.window, WM_COMMAND, CMD_NEW_TASK, 0);
  } else {
    PostMessageA(g.window, kOpenWizard, 0, 0);
  }
  if (!WaitFor([] { return Sheet() != nullptr && PageId() == IDD_SOURCE_PAGE; })) {
    return Fail("the wizard did not open");
  }
  CheckPlaced(Sheet(), "the wizard");
  Check(Caption(Sheet()) == StringText(1480), "wizard caption " + Caption(Sheet()));
}

void OpenSheet(int row) {
  if (g.remote) {
    SelectRow(row);
    PostMessageA(g.window, WM_COMMAND, CMD_TASK_PROPERTIES, 0);
  } else {
    PostMessageA(g.window, kOpenSheet, static_cast<WPARAM>(row), 0);
  }
  if (!WaitFor([] { return Sheet() != nullptr && PageId() != 0; })) Fail("the sheet did not open");
}

// Presses the button that ends the wizard or sheet and waits until it has
// gone (and, in the host, its call has returned).
void CloseWith(int button, const std::string& step) {
  int runs = g.runs + 1;
  PressTo(button, 0, step);
  Check(WaitFor([&] { return (g.remote || g.runs == runs) && Sheet() == nullptr; }),
        step + ": not closed");
}

// In harvio.exe the new row is the only one selected, and in sight.
void CheckNewRowShown(int row, const std::string& step) {
  HWND view = GetDlgItem(g.window, IDC_TASK_LIST);
  uitest::RemoteListView rows(view);
  for (int i = 0; i < rows.Count(); ++i) {
    bool selected = (rows.State(i, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    Check(selected == (i == row), step + ": row " + std::to_string(i) + " selection");
  }
  int top = static_cast<int>(SendMessageA(view, LVM_GETTOPINDEX, 0, 0));
  int shown = static_cast<int>(SendMessageA(view, LVM_GETCOUNTPERPAGE, 0, 0));
  Check(row >= top && row < top + shown, step + ": the new row is out of sight");
}

// "完成", named so on every system, makes the task and its row.
void FinishTask(const std::string& step) {
  constexpr uint32_t kFinishButtonText = 1489;
  HWND sheet = Sheet();
  Check(TextOf(sheet, ButtonId(PSBTN_FINISH)) == StringText(kFinishButtonText),
        step + ": the Finish button reads " + TextOf(sheet, ButtonId(PSBTN_FINISH)));
  HWND back = GetDlgItem(sheet, ButtonId(PSBTN_BACK));
  Check(IsWindowVisible(back) && IsWindowEnabled(back), step + ": no Back on the finish page");
  int rows = RowCount();
  CloseWith(PSBTN_FINISH, step);
  Check(WaitFor([&] { return RowCount() == rows + 1; }), step + ": no new row");
  if (g.remote) CheckNewRowShown(rows, step);
}

// Adds through the Add-URL dialog; with a message id, expects that error
// and cancels.
void AddUrls(const std::string& entry, const char* from, const char* to, bool fixed,
             const std::string& preview, uint32_t messageId, const char* shot) {
  HWND page = CurrentPage(Sheet());
  ClickControl(page, IDC_ADD_URL);
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (dialog = AddUrlDialog()) != nullptr; })) {
    Fail("the Add-URL dialog did not open");
    return;
  }
  CheckPlaced(dialog, "the Add-URL dialog");
  SetText(dialog, IDC_URL_ENTRY, entry);
  SetText(dialog, IDC_FROM, from);
  SetText(dialog, IDC_TO, to);
  if (fixed) {
    ClickControl(dialog, IDC_FIXED_WIDTH);
    WaitFor([&] { return IsDlgButtonChecked(dialog, IDC_FIXED_WIDTH) == BST_CHECKED; });
  }
  Sleep(100);
  Check(TextOf(dialog, IDC_PREVIEW) == preview, "preview of " + entry + ": " +
                                                    TextOf(dialog, IDC_PREVIEW));
  Check((IsWindowEnabled(GetDlgItem(dialog, IDC_FROM)) != 0) ==
            (entry.find("(*)") != std::string::npos && !preview.empty()),
        "series controls of " + entry);
  if (shot != nullptr) Shot(dialog, shot);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  if (messageId != 0) {
    ExpectMessage(messageId, "add " + entry);
    Check(AddUrlDialog() != nullptr, "the Add-URL dialog closed after a refusal");
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  }
  Check(WaitFor([] { return AddUrlDialog() == nullptr; }), "the Add-URL dialog stays open");
}

// One plain URL (no series), added as it stands.
void AddUrl(const std::string& url) { AddUrls(url, "0", "0", false, url, 0, nullptr); }

std::string SavePath(const char* name) { return g.save + name; }

// A fresh wizard with `sourceId` chosen, moved on to page `id`.
void WizardAt(int sourceId, int id, const std::string& step) {
  OpenWizard();
  SelectSource(sourceId);
  PressTo(PSBTN_NEXT, id, step);
}

// From the program page: the save folder `folder`, the thread count when
// given, then through the finish page to the new task.
void SaveAndFinish(const char* folder, const char* threads, const std::string& step) {
  SetPageText(IDC_SAVE_PATH, SavePath(folder));
  if (threads != nullptr) SetPageText(IDC_THREAD_COUNT, threads);
  PressTo(PSBTN_NEXT, IDD_FINISH_PAGE, step + " program");
  FinishTask(step + " finish");
}

// --- the scenarios

// Google: a folder refused, an empty keyword refused, a bad path refused,
// a thread count of 40 taken as 15; then the same keyword refused at the
// finish, a changed keyword giving a new default path and a task.
void SearchEngineTasks() {
  OpenWizard();
  Shot(Sheet(), "1-source");
  SelectSource(-1);  // "搜索引擎"
  PressExpectingMessage(PSBTN_NEXT, kChooseSubCategory, "folder");
  SelectSource(1);
  Check(TextOf(CurrentPage(Sheet()), IDC_SOURCE_TITLE) ==
            std::string("Harvio->") + (StringText(1151) + 6) + "->" + (StringText(1152) + 6),
        "title line of Google");
  PressTo(PSBTN_NEXT, IDD_SEARCH_PAGE, "Google next");
  Check(Caption(Sheet()) == StringText(1483), "search page caption " + Caption(Sheet()));
  PressExpectingMessage(PSBTN_NEXT, kEnterKeyword, "empty keyword");
  SetPageText(IDC_KEYWORD, " + \t+ ");
  PressExpectingMessage(PSBTN_NEXT, kEnterKeyword, "blank keyword");
  SetPageText(IDC_KEYWORD, "red  sun");
  SendDlgItemMessageA(CurrentPage(Sheet()), IDC_SIZE_OPTION, CB_SETCURSEL, 1, 0);
  Shot(Sheet(), "2-search");
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "keyword next");
  std::string path = TextOf(CurrentPage(Sheet()), IDC_SAVE_PATH);
  Check(path == std::string(g.options.WorkPath) + "Harvio\\" + (StringText(1151) + 6) + "\\" +
                    (StringText(1152) + 6) + "\\red sun",
        "default save path " + path);
  Check(!IsWindowVisible(GetDlgItem(CurrentPage(Sheet()), IDC_CLASSIFY)), "classify box shown");
  SetPageText(IDC_SAVE_PATH, "Q:\\no drive");
  PressExpectingMessage(PSBTN_NEXT, kPathInvalid, "bad path");
  SetPageText(IDC_SAVE_PATH, SavePath("google.red"));
  SetPageText(IDC_THREAD_COUNT, "40");
  SetPageText(IDC_NOTES, "first");
  Shot(Sheet(), "3-program");
  PressTo(PSBTN_NEXT, IDD_FINISH_PAGE, "program next");
  Shot(Sheet(), "4-finish");
  FinishTask("finish Google");

  WizardAt(1, IDD_SEARCH_PAGE, "Google again");
  SetPageText(IDC_KEYWORD, "red sun");
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "same keyword");
  SetPageText(IDC_SAVE_PATH, SavePath("edited"));
  PressTo(PSBTN_NEXT, IDD_FINISH_PAGE, "same keyword program");
  PressExpectingMessage(PSBTN_FINISH, kSameTaskExists, "duplicate Google");
  PressTo(PSBTN_BACK, IDD_PROGRAM_PAGE, "back to program");
  Check(TextOf(CurrentPage(Sheet()), IDC_SAVE_PATH) == SavePath("edited"), "edited path kept");
  PressTo(PSBTN_BACK, IDD_SEARCH_PAGE, "back to search");
  SetPageText(IDC_KEYWORD, "blue");
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "new keyword");
  path = TextOf(CurrentPage(Sheet()), IDC_SAVE_PATH);
  Check(path.size() > 5 && path.substr(path.size() - 5) == "\\blue", "path for blue " + path);
  SaveAndFinish("blue", nullptr, "blue");
}

// 百度贴吧 with the classify box; then a board reached by double click,
// after going back from another source (the save path follows the source).
void ForumTasks() {
  WizardAt(21, IDD_SEARCH_PAGE, "tieba");
  SetPageText(IDC_KEYWORD, "red  sun");
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "tieba keyword");
  HWND page = CurrentPage(Sheet());
  Check(IsWindowVisible(GetDlgItem(page, IDC_CLASSIFY)) != 0, "classify box hidden for 21");
  Tick(page, IDC_CLASSIFY, true);
  SaveAndFinish("tieba", "20", "tieba");

  WizardAt(161, IDD_CUSTOM_PAGE, "custom first");
  PressTo(PSBTN_BACK, IDD_SOURCE_PAGE, "back to tree");
  SelectSource(44);
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "board 44");
  PressTo(PSBTN_BACK, IDD_SOURCE_PAGE, "back from 44");
  DoubleClickTreeItem(SelectSource(45));
  if (!WaitFor([] { return PageId() == IDD_PROGRAM_PAGE; })) Fail("double click on 45");
  std::string path = TextOf(CurrentPage(Sheet()), IDC_SAVE_PATH);
  std::string board = std::string("\\") + (StringText(1176) + 6);  // 美眉集中营
  Check(path.size() > board.size() && path.substr(path.size() - board.size()) == board,
        "path of board 45 " + path);
  SaveAndFinish("board", nullptr, "board");

  WizardAt(45, IDD_PROGRAM_PAGE, "board again");
  PressTo(PSBTN_NEXT, IDD_FINISH_PAGE, "board again program");
  PressExpectingMessage(PSBTN_FINISH, kSameTaskExists, "duplicate board");
  CloseWith(PSBTN_CANCEL, "cancel");
}

void CustomTask(int sourceId, const char* name) {
  WizardAt(sourceId, IDD_CUSTOM_PAGE, name);
  HWND page = CurrentPage(Sheet());
  PressExpectingMessage(PSBTN_NEXT, kUrlListEmpty, std::string(name) + " empty list");
  std::string host = "http://site.test/slow/";
  if (sourceId == 161) {
    // Leading zeros count for nothing: 00008 is 8.
    AddUrls(host + "p (*).jpg", "00008", "12", true,
            host + "p08.jpg\r\n...\r\n" + host + "p12.jpg", 0, "6-add-url");
    Check(TextOf(page, IDC_URL_COUNT) == UrlCountLabel(5), "count after 8..12");
    Shot(Sheet(), "5-custom");
  } else if (sourceId == 162) {
    AddUrls("http://127.0.0.1", "0", "0", false, "", kUrlInvalid, nullptr);
    AddUrl(host + "page.html");
    AddUrl(host + "page.html");
    Check(TextOf(page, IDC_URL_COUNT) == UrlCountLabel(1), "duplicate URL counted");
    for (int id : {IDC_JPG_LARGE, IDC_JPG_SMALL, IDC_GIF, IDC_PNG, IDC_WEBP}) {
      Tick(page, id, false);
    }
    PressExpectingMessage(PSBTN_NEXT, kChooseFormat, "no format");
    Tick(page, IDC_GIF, true);
    Tick(page, IDC_WEBP, true);
  } else {
    AddUrls(host + "thumbs(*).html", "12", "8", false,
            host + "thumbs12.html\r\n...\r\n" + host + "thumbs8.html", 0, nullptr);
    ClickControl(page, IDC_CLEAR_URLS);
    WaitFor([&] { return TextOf(page, IDC_URL_COUNT) == UrlCountLabel(0); });
    AddUrl(host + "thumbs.html");
  }
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, std::string(name) + " list");
  SaveAndFinish(name, nullptr, name);
}

Task* Row(size_t i) { return i < g.rows.size() ? g.rows[i] : nullptr; }

// In the host the states are set directly: a running board task takes a
// new thread count but not the path; a Done task leaves the thread count
// alone.
void HostStateSheets() {
  HWND page = nullptr;
  Task* board = Row(3);
  if (board == nullptr) return Fail("no board row");
  StartTask(*board);  // no engine in this host: the state alone
  OpenSheet(3);
  page = CurrentPage(Sheet());
  Check(!IsWindowEnabled(GetDlgItem(page, IDC_SAVE_PATH)), "save path enabled while running");
  Check(!IsWindowEnabled(GetDlgItem(page, IDC_CLASSIFY)), "check box enabled while running");
  SetPageText(IDC_THREAD_COUNT, "22");
  SetPageText(IDC_SAVE_PATH, "Q:\\ignored");
  Shot(Sheet(), "8-sheet-running");
  CloseWith(PSBTN_OK, "running OK");
  board->info.state = kPaused;

  Task* tieba = Row(2);
  if (tieba == nullptr) return Fail("no tieba row");
  tieba->info.state = kDone;
  OpenSheet(2);
  PostMessageA(Sheet(), PSM_SETCURSEL, 1, 0);
  Check(WaitFor([] { return PageId() == IDD_PROGRAM_PAGE; }), "to the program page");
  CheckPlaced(Sheet(), "the sheet");
  page = CurrentPage(Sheet());
  Check(!IsWindowEnabled(GetDlgItem(page, IDC_THREAD_COUNT)), "thread count enabled when Done");
  Check(IsWindowEnabled(GetDlgItem(page, IDC_NOTES)) != 0, "notes disabled when Done");
  SetPageText(IDC_NOTES, "done note");
  CloseWith(PSBTN_OK, "done OK");
}

// harvio.exe runs the direct-pictures task (slow pictures from the fixture
// server); its sheet applies a new thread count at once, and the task
// downloads its five pictures.
void RunningTaskSheet() {
  SelectRow(4);
  PostMessageA(g.window, WM_COMMAND, CMD_START_TASK, 0);
  Check(WaitFor([] { return ThreadRowCount() == 15; }), "15 threads shown");
  OpenSheet(4);
  PostMessageA(Sheet(), PSM_SETCURSEL, 1, 0);
  Check(WaitFor([] { return PageId() == IDD_PROGRAM_PAGE; }), "to the program page");
  CheckPlaced(Sheet(), "the sheet");
  HWND page = CurrentPage(Sheet());
  Check(!IsWindowEnabled(GetDlgItem(page, IDC_SAVE_PATH)), "save path enabled while running");
  SetPageText(IDC_THREAD_COUNT, "20");
  CloseWith(PSBTN_OK, "running OK");
  Check(WaitFor([] { return ThreadRowCount() == 20; }),
        "thread list of 20, not " + std::to_string(ThreadRowCount()));
  constexpr uint32_t kDoneLabel = 1113;  // "完成"
  Check(WaitFor([] {
          return uitest::RemoteListView(GetDlgItem(g.window, IDC_TASK_LIST)).Text(4, 0) ==
                 StringText(kDoneLabel);
        }, 120000),
        "the direct-pictures task did not finish");
}

// The sheet of a New search task replaces its start URL; the thread count
// of a running task changes at once.
void PropertiesSheets() {
  OpenSheet(1);  // Google "blue"
  Check(Caption(Sheet()) == StringText(1485), "sheet caption " + Caption(Sheet()));
  Check(PageId() == IDD_SEARCH_PAGE, "a search task's sheet opens on its search page");
  Shot(Sheet(), "7-sheet-search");
  SetPageText(IDC_KEYWORD, "");
  PressExpectingMessage(PSBTN_OK, kEnterKeyword, "sheet keyword");
  SetPageText(IDC_KEYWORD, "green  tea");
  CloseWith(PSBTN_OK, "sheet OK");

  OpenSheet(4);  // 161, still New
  Check(TextOf(CurrentPage(Sheet()), IDC_URL_COUNT) == UrlCountLabel(5), "sheet's copy of the list");
  Shot(Sheet(), "9-sheet-custom");
  CloseWith(PSBTN_CANCEL, "custom cancel");

  if (g.remote) {
    RunningTaskSheet();
  } else {
    HostStateSheets();
  }
}

std::string RowState(int row) {
  return uitest::RemoteListView(GetDlgItem(g.window, IDC_TASK_LIST)).Text(row, 0);
}

// Starts rows [first, end) (at most three run at once) and waits until
// each has finished.
void RunRows(int first, int end) {
  uitest::RemoteListView rows(GetDlgItem(g.window, IDC_TASK_LIST));
  rows.SetState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  for (int row = first; row < end; ++row) rows.SetState(row, LVIS_SELECTED, LVIS_SELECTED);
  PostMessageA(g.window, WM_COMMAND, CMD_START_TASK, 0);
  constexpr uint32_t kDoneLabel = 1113;  // "完成"
  for (int row = first; row < end; ++row) {
    Check(WaitFor([row] { return RowState(row) == StringText(kDoneLabel); }, 240000),
          "demo task " + std::to_string(row + 1) + " did not finish");
  }
}

// A task of every kind against the demo site, made as a user would: its
// search engine, keyword forum and a board, and the three custom sources.
void DemoTasks() {
  WizardAt(14, IDD_SEARCH_PAGE, "Sogou");  // 搜狗图片
  SetPageText(IDC_KEYWORD, "\xb7\xe7\xbe\xb0");  // 风景
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "Sogou keyword");
  SaveAndFinish("sogou", "10", "Sogou");

  WizardAt(111, IDD_PROGRAM_PAGE, "Tianya");  // 天涯 贴图专区 默认页
  Tick(CurrentPage(Sheet()), IDC_CLASSIFY, true);
  SaveAndFinish("tianya", "10", "Tianya");

  WizardAt(162, IDD_CUSTOM_PAGE, "gallery");
  AddUrl("https://demo.harvio.test/gallery/index.html");  // PNG and WebP too
  for (int format : {IDC_GIF, IDC_PNG, IDC_WEBP}) Tick(CurrentPage(Sheet()), format, true);
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "gallery list");
  SaveAndFinish("gallery", "5", "gallery");

  RunRows(0, 3);

  WizardAt(21, IDD_SEARCH_PAGE, "Tieba");  // 百度贴吧
  SetPageText(IDC_KEYWORD, "de mo");
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "Tieba keyword");
  Tick(CurrentPage(Sheet()), IDC_CLASSIFY, true);
  SaveAndFinish("tieba", nullptr, "Tieba");

  WizardAt(161, IDD_CUSTOM_PAGE, "direct");
  AddUrls("http://demo.harvio.test/pictures/large0(*).jpg", "1", "5", false,
          "http://demo.harvio.test/pictures/large01.jpg\r\n...\r\n"
          "http://demo.harvio.test/pictures/large05.jpg", 0, nullptr);
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "direct list");
  SaveAndFinish("direct", nullptr, "direct");

  WizardAt(163, IDD_CUSTOM_PAGE, "thumbs");
  AddUrl("https://demo.harvio.test/thumbs/index.html");  // over TLS
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "thumbs list");
  SaveAndFinish("thumbs", nullptr, "thumbs");
  RunRows(3, 6);
}

void Drive() {
  SearchEngineTasks();
  ForumTasks();
  CustomTask(161, "direct");
  CustomTask(162, "pages");
  CustomTask(163, "thumbs");
  PropertiesSheets();
  if (!g.remote) PostMessageA(g.window, kSaveAndQuit, 0, 0);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kOpenWizard:
      ui::RunNewTaskWizard(window, g.set, g.options, g.rows,
                           [](Task* task) { g.rows.push_back(task); });
      ++g.runs;
      return 0;
    case kOpenSheet:
      if (wparam < g.rows.size()) {
        ui::ShowTaskProperties(window, *g.rows[wparam]);
        g.rows[wparam]->needsSave = 1;  // as the main window does
      }
      ++g.runs;
      return 0;
    case kSaveAndQuit:
      SaveTaskList(g.set, g.rows);
      WaitForClosedTasks(g.set);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

// The dialogs of a running harvio.exe; it is closed at the end and must
// end with code 0 (its rows and task files are written then).
int DriveHarvio(const char* exe, void (*scenario)()) {
  uitest::Program program;
  if (!program.Start(exe)) return Fail("harvio.exe could not be started"), 1;
  g.window = uitest::WaitForMainWindow();
  if (g.window == nullptr) return Fail("no main window"), 1;
  g.thread = GetWindowThreadProcessId(g.window, nullptr);
  g.remote = true;
  scenario();
  PostMessageA(g.window, WM_CLOSE, 0, 0);
  Check(program.WaitForExit() == 0, "harvio.exe did not end with 0");
  return 0;
}

int RunHost() {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSA host = {};
  host.lpfnWndProc = HostProc;
  host.hInstance = GetModuleHandleA(nullptr);
  host.lpszClassName = "WIZARDHOSTCLASSNAME";
  RegisterClassA(&host);
  g.window = CreateWindowA(host.lpszClassName, "Harvio", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                           nullptr, nullptr, host.hInstance, nullptr);
  g.thread = GetCurrentThreadId();
  std::thread driver(Drive);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  driver.join();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("FAIL: usage: wine_wizard_dialogs HOME\\ SAVE\\ [--shots] | --harvio|--demo EXE SAVE\\\n");
    return 1;
  }
  g.save = argv[2];
  bool demo = std::strcmp(argv[1], "--demo") == 0;
  if (demo || std::strcmp(argv[1], "--harvio") == 0) {
    if (argc < 4) return Fail("the program and SAVE\\ are needed"), 1;
    g.save = argv[3];
    DriveHarvio(argv[2], demo ? DemoTasks : Drive);
  } else {
    g.set.home = argv[1];
    g.set.options = &g.options;
    g.shots = argc > 3 && std::strcmp(argv[3], "--shots") == 0;
    RunHost();
  }
  if (g.failures == 0) std::printf("ok\n");
  return g.failures == 0 ? 0 : 1;
}
