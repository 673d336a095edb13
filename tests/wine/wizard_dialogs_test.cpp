// Drives the real new-task wizard, properties sheet and Add-URL dialog of a
// running harvio.exe as a user would: the driver opens them by the
// program's commands 5000 and 5006, types into their controls, presses
// their buttons, reads the error boxes and closes them, and reads the
// program's rows and threads across processes.
//   wine_wizard_dialogs.exe --harvio PATH\harvio.exe SAVE\ (in a fresh home)
//     one task of each kind made, then edited in the properties sheet.
//   wine_wizard_dialogs.exe --demo PATH\harvio.exe SAVE\ (likewise)
//     a task of every kind against the demo site, then run to its end.
// SAVE must be an existing folder. Every wait is bounded.
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/options.h"
#include "core/string_table.h"
#include "platform/win32/win_api.h"
#include "res/resource.h"
#include "sources/catalog.h"
#include "app/wizard_rules.h"
#include "tests/wine/ui_driver.h"

#include <commctrl.h>

namespace {

using namespace harvio;
using uitest::CurrentPage;
using uitest::WaitUntil;

constexpr int kMessageText = 0xFFFF;  // the message box's text

// Message ids of the dialogs.
constexpr uint32_t kChooseSubCategory = 1461, kPathInvalid = 1462, kEnterKeyword = 1464,
                   kUrlListEmpty = 1465, kChooseFormat = 1466, kSameTaskExists = 1467,
                   kUrlInvalid = 1468;

struct Host {
  HWND window = nullptr;  // harvio.exe's main window
  DWORD thread = 0;       // and its thread
  std::string save;       // SAVE\ from the command line
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

void CheckPlaced(HWND window, const std::string& what) {
  Check(uitest::Placed(window), what + " is not at 40% of the screen");
}

std::string TextOf(HWND window, int id) { return uitest::WindowText(GetDlgItem(window, id)); }

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
  bool arrived = WaitUntil([&] {
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
  if (!WaitUntil([&] { return (box = MessageBoxWindow()) != nullptr; })) {
    Fail(step + ": no message box");
    return;
  }
  std::string text = TextOf(box, kMessageText);
  Check(text == StringText(messageId), step + ": message " + std::to_string(messageId));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitUntil([] { return MessageBoxWindow() == nullptr; });
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

int RowCount() { return uitest::RemoteListView(GetDlgItem(g.window, IDC_TASK_LIST)).Count(); }

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
  PostMessageA(g.window, WM_COMMAND, CMD_NEW_TASK, 0);
  if (!WaitUntil([] { return Sheet() != nullptr && PageId() == IDD_SOURCE_PAGE; })) {
    return Fail("the wizard did not open");
  }
  CheckPlaced(Sheet(), "the wizard");
  Check(uitest::WindowText(Sheet()) == StringText(1480), "wizard caption " + uitest::WindowText(Sheet()));
}

void OpenSheet(int row) {
  SelectRow(row);
  PostMessageA(g.window, WM_COMMAND, CMD_TASK_PROPERTIES, 0);
  if (!WaitUntil([] { return Sheet() != nullptr && PageId() != 0; })) Fail("the sheet did not open");
}

// The new row is the only one selected, and in sight.
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
  PressTo(PSBTN_FINISH, 0, step);
  Check(WaitUntil([&] { return RowCount() == rows + 1; }), step + ": no new row");
  CheckNewRowShown(rows, step);
}

// Adds through the Add-URL dialog; with a message id, expects that error
// and cancels.
void AddUrls(const std::string& entry, const char* from, const char* to, bool fixed,
             const std::string& preview, uint32_t messageId) {
  HWND page = CurrentPage(Sheet());
  ClickControl(page, IDC_ADD_URL);
  HWND dialog = nullptr;
  if (!WaitUntil([&] { return (dialog = AddUrlDialog()) != nullptr; })) {
    Fail("the Add-URL dialog did not open");
    return;
  }
  CheckPlaced(dialog, "the Add-URL dialog");
  SetText(dialog, IDC_URL_ENTRY, entry);
  SetText(dialog, IDC_FROM, from);
  SetText(dialog, IDC_TO, to);
  if (fixed) {
    ClickControl(dialog, IDC_FIXED_WIDTH);
    WaitUntil([&] { return IsDlgButtonChecked(dialog, IDC_FIXED_WIDTH) == BST_CHECKED; });
  }
  Sleep(100);
  Check(TextOf(dialog, IDC_PREVIEW) == preview, "preview of " + entry + ": " +
                                                    TextOf(dialog, IDC_PREVIEW));
  Check((IsWindowEnabled(GetDlgItem(dialog, IDC_FROM)) != 0) ==
            (entry.find("(*)") != std::string::npos && !preview.empty()),
        "series controls of " + entry);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  if (messageId != 0) {
    ExpectMessage(messageId, "add " + entry);
    Check(AddUrlDialog() != nullptr, "the Add-URL dialog closed after a refusal");
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  }
  Check(WaitUntil([] { return AddUrlDialog() == nullptr; }), "the Add-URL dialog stays open");
}

// One plain URL (no series), added as it stands.
void AddUrl(const std::string& url) { AddUrls(url, "0", "0", false, url, 0); }

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
  SelectSource(-1);  // "搜索引擎"
  PressExpectingMessage(PSBTN_NEXT, kChooseSubCategory, "folder");
  SelectSource(1);
  Check(TextOf(CurrentPage(Sheet()), IDC_SOURCE_TITLE) ==
            std::string("Harvio->") + (StringText(1151) + 6) + "->" + (StringText(1152) + 6),
        "title line of Google");
  PressTo(PSBTN_NEXT, IDD_SEARCH_PAGE, "Google next");
  Check(uitest::WindowText(Sheet()) == StringText(1483), "search page caption " + uitest::WindowText(Sheet()));
  PressExpectingMessage(PSBTN_NEXT, kEnterKeyword, "empty keyword");
  SetPageText(IDC_KEYWORD, "red  sun");
  SendDlgItemMessageA(CurrentPage(Sheet()), IDC_SIZE_OPTION, CB_SETCURSEL, 1, 0);
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "keyword next");
  std::string path = TextOf(CurrentPage(Sheet()), IDC_SAVE_PATH);
  Check(path == std::string(Options().WorkPath) + "Harvio\\" + (StringText(1151) + 6) + "\\" +
                    (StringText(1152) + 6) + "\\red sun",
        "default save path " + path);
  Check(!IsWindowVisible(GetDlgItem(CurrentPage(Sheet()), IDC_CLASSIFY)), "classify box shown");
  SetPageText(IDC_SAVE_PATH, "Q:\\no drive");
  PressExpectingMessage(PSBTN_NEXT, kPathInvalid, "bad path");
  SetPageText(IDC_SAVE_PATH, SavePath("google.red"));
  SetPageText(IDC_THREAD_COUNT, "40");
  SetPageText(IDC_NOTES, "first");
  PressTo(PSBTN_NEXT, IDD_FINISH_PAGE, "program next");
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
  DoubleClickTreeItem(SelectSource(45));
  if (!WaitUntil([] { return PageId() == IDD_PROGRAM_PAGE; })) Fail("double click on 45");
  std::string path = TextOf(CurrentPage(Sheet()), IDC_SAVE_PATH);
  std::string board = std::string("\\") + (StringText(1176) + 6);  // 美眉集中营
  Check(path.size() > board.size() && path.substr(path.size() - board.size()) == board,
        "path of board 45 " + path);
  SaveAndFinish("board", nullptr, "board");
}

void CustomTask(int sourceId, const char* name) {
  WizardAt(sourceId, IDD_CUSTOM_PAGE, name);
  HWND page = CurrentPage(Sheet());
  PressExpectingMessage(PSBTN_NEXT, kUrlListEmpty, std::string(name) + " empty list");
  std::string host = "http://site.test/slow/";
  if (sourceId == 161) {
    // Leading zeros count for nothing: 00008 is 8.
    AddUrls(host + "p (*).jpg", "00008", "12", true,
            host + "p08.jpg\r\n...\r\n" + host + "p12.jpg", 0);
    Check(TextOf(page, IDC_URL_COUNT) == UrlCountLabel(5), "count after 8..12");
  } else if (sourceId == 162) {
    AddUrls("http://127.0.0.1", "0", "0", false, "", kUrlInvalid);
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
            host + "thumbs12.html\r\n...\r\n" + host + "thumbs8.html", 0);
    ClickControl(page, IDC_CLEAR_URLS);
    WaitUntil([&] { return TextOf(page, IDC_URL_COUNT) == UrlCountLabel(0); });
    AddUrl(host + "thumbs.html");
  }
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, std::string(name) + " list");
  SaveAndFinish(name, nullptr, name);
}

// The program page of row `row`'s sheet.
HWND SheetProgramPage(int row) {
  OpenSheet(row);
  PostMessageA(Sheet(), PSM_SETCURSEL, 1, 0);
  Check(WaitUntil([] { return PageId() == IDD_PROGRAM_PAGE; }), "to the program page");
  CheckPlaced(Sheet(), "the sheet");
  return CurrentPage(Sheet());
}

// The direct-pictures task runs (slow pictures from the fixture server);
// its sheet applies a new thread count at once but keeps the path, and
// the task downloads its five pictures. Done, its thread count is locked
// and its notes stay open.
void RunningTaskSheet() {
  SelectRow(4);
  PostMessageA(g.window, WM_COMMAND, CMD_START_TASK, 0);
  Check(WaitUntil([] { return ThreadRowCount() == 15; }), "15 threads shown");
  HWND page = SheetProgramPage(4);
  Check(!IsWindowEnabled(GetDlgItem(page, IDC_SAVE_PATH)), "save path enabled while running");
  SetPageText(IDC_THREAD_COUNT, "20");
  PressTo(PSBTN_OK, 0, "running OK");
  Check(WaitUntil([] { return ThreadRowCount() == 20; }),
        "thread list of 20, not " + std::to_string(ThreadRowCount()));
  constexpr uint32_t kDoneLabel = 1113;  // "完成"
  Check(WaitUntil([] {
          return uitest::RemoteListView(GetDlgItem(g.window, IDC_TASK_LIST)).Text(4, 0) ==
                 StringText(kDoneLabel);
        }, 120000),
        "the direct-pictures task did not finish");
  page = SheetProgramPage(4);
  Check(!IsWindowEnabled(GetDlgItem(page, IDC_THREAD_COUNT)), "thread count enabled when Done");
  Check(IsWindowEnabled(GetDlgItem(page, IDC_NOTES)) != 0, "notes disabled when Done");
  PressTo(PSBTN_CANCEL, 0, "done cancel");
}

// The sheet of a New search task replaces its start URL; the thread count
// of a running task changes at once.
void PropertiesSheets() {
  OpenSheet(1);  // Google "blue"
  Check(uitest::WindowText(Sheet()) == StringText(1485), "sheet caption " + uitest::WindowText(Sheet()));
  Check(PageId() == IDD_SEARCH_PAGE, "a search task's sheet opens on its search page");
  SetPageText(IDC_KEYWORD, "");
  PressExpectingMessage(PSBTN_OK, kEnterKeyword, "sheet keyword");
  SetPageText(IDC_KEYWORD, "green  tea");
  PressTo(PSBTN_OK, 0, "sheet OK");

  OpenSheet(4);  // 161, still New
  Check(TextOf(CurrentPage(Sheet()), IDC_URL_COUNT) == UrlCountLabel(5), "sheet's copy of the list");
  PressTo(PSBTN_CANCEL, 0, "custom cancel");
  RunningTaskSheet();
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
    Check(WaitUntil([row] { return RowState(row) == StringText(kDoneLabel); }, 240000),
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
          "http://demo.harvio.test/pictures/large05.jpg", 0);
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
}

// The dialogs of a running harvio.exe; it is closed at the end and must
// end with code 0 (its rows and task files are written then).
void DriveHarvio(const char* exe, void (*scenario)()) {
  uitest::Program program;
  if (!program.Start(exe)) return Fail("harvio.exe could not be started");
  g.window = uitest::WaitForMainWindow();
  if (g.window == nullptr) return Fail("no main window");
  g.thread = GetWindowThreadProcessId(g.window, nullptr);
  scenario();
  PostMessageA(g.window, WM_CLOSE, 0, 0);
  long code = program.WaitForExit();
  Check(code == 0, "harvio.exe ended with " + std::to_string(code));
}

}  // namespace

int main(int argc, char** argv) {
  bool demo = argc == 4 && std::strcmp(argv[1], "--demo") == 0;
  if (!demo && (argc != 4 || std::strcmp(argv[1], "--harvio") != 0)) {
    std::printf("FAIL: usage: wine_wizard_dialogs --harvio|--demo PATH\\harvio.exe SAVE\\\n");
    return 1;
  }
  g.save = argv[3];
  DriveHarvio(argv[2], demo ? DemoTasks : Drive);
  if (g.failures == 0) std::printf("ok\n");
  return g.failures == 0 ? 0 : 1;
}
