// Drives the real new-task wizard, properties sheet and Add-URL dialog as
// a user would, in a small host window of their own: a driver thread finds
// the dialogs, types into their controls, presses their buttons, reads the
// error boxes and closes them. One task of each kind is made; at the end
// the task list is saved into HOME so that harvio-cli can show the files.
//   wine_wizard_dialogs.exe HOME\ SAVE\ [--shots]
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
#include "sources/wizard_rules.h"
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
  HWND window = nullptr;
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

bool WaitFor(const std::function<bool()>& done) {
  for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
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

HTREEITEM FindTreeItem(HWND tree, HTREEITEM item, LPARAM entry) {
  for (; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
    TVITEMA data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    if (data.lParam == entry) return item;
    HTREEITEM inner = FindTreeItem(tree, TreeView_GetChild(tree, item), entry);
    if (inner != nullptr) return inner;
  }
  return nullptr;
}

// Selects the tree item of a source, or of the folder at catalog entry
// `-sourceId` when negative.
HTREEITEM SelectSource(int sourceId) {
  static const std::vector<CatalogEntry> catalog = LoadSourceTree();
  int entry = sourceId < 0 ? -sourceId : FindCatalogEntry(catalog, static_cast<uint32_t>(sourceId));
  HWND tree = GetDlgItem(CurrentPage(Sheet()), IDC_SOURCE_TREE);
  HTREEITEM item = FindTreeItem(tree, TreeView_GetRoot(tree), entry);
  Check(item != nullptr, "tree item of " + std::to_string(sourceId));
  TreeView_SelectItem(tree, item);
  return item;
}

void DoubleClickTreeItem(HTREEITEM item) {
  HWND tree = GetDlgItem(CurrentPage(Sheet()), IDC_SOURCE_TREE);
  RECT box;
  std::memcpy(&box, &item, sizeof(item));  // TVM_GETITEMRECT takes the item in the rectangle
  SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&box));
  LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(tree, WM_LBUTTONUP, 0, at);
  PostMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageA(tree, WM_LBUTTONUP, 0, at);
}

void OpenWizard() {
  PostMessageA(g.window, kOpenWizard, 0, 0);
  if (!WaitFor([] { return Sheet() != nullptr && PageId() == IDD_SOURCE_PAGE; })) {
    Fail("the wizard did not open");
  }
}

void OpenSheet(size_t row) {
  PostMessageA(g.window, kOpenSheet, row, 0);
  if (!WaitFor([] { return Sheet() != nullptr && PageId() != 0; })) Fail("the sheet did not open");
}

// Presses the button that ends the wizard or sheet and waits until the
// host's call has returned.
void CloseWith(int button, const std::string& step) {
  int runs = g.runs + 1;
  PressTo(button, 0, step);
  Check(WaitFor([&] { return g.runs == runs && Sheet() == nullptr; }), step + ": not closed");
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

std::string SavePath(const char* name) { return g.save + name; }

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
  CloseWith(PSBTN_FINISH, "finish Google");

  OpenWizard();
  SelectSource(1);
  PressTo(PSBTN_NEXT, IDD_SEARCH_PAGE, "Google again");
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
  SetPageText(IDC_SAVE_PATH, SavePath("blue"));
  PressTo(PSBTN_NEXT, IDD_FINISH_PAGE, "blue program");
  CloseWith(PSBTN_FINISH, "finish blue");
}

// 百度贴吧 with the classify box; then a board reached by double click,
// after going back from another source (the save path follows the source).
void ForumTasks() {
  OpenWizard();
  SelectSource(21);
  PressTo(PSBTN_NEXT, IDD_SEARCH_PAGE, "tieba");
  SetPageText(IDC_KEYWORD, "red  sun");
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "tieba keyword");
  HWND page = CurrentPage(Sheet());
  Check(IsWindowVisible(GetDlgItem(page, IDC_CLASSIFY)) != 0, "classify box hidden for 21");
  Tick(page, IDC_CLASSIFY, true);
  SetPageText(IDC_SAVE_PATH, SavePath("tieba"));
  SetPageText(IDC_THREAD_COUNT, "20");
  PressTo(PSBTN_NEXT, IDD_FINISH_PAGE, "tieba program");
  CloseWith(PSBTN_FINISH, "finish tieba");

  OpenWizard();
  SelectSource(161);
  PressTo(PSBTN_NEXT, IDD_CUSTOM_PAGE, "custom first");
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
  SetPageText(IDC_SAVE_PATH, SavePath("board"));
  PressTo(PSBTN_NEXT, IDD_FINISH_PAGE, "board program");
  CloseWith(PSBTN_FINISH, "finish board");

  OpenWizard();
  SelectSource(45);
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, "board again");
  PressTo(PSBTN_NEXT, IDD_FINISH_PAGE, "board again program");
  PressExpectingMessage(PSBTN_FINISH, kSameTaskExists, "duplicate board");
  CloseWith(PSBTN_CANCEL, "cancel");
}

void CustomTask(int sourceId, const char* name) {
  OpenWizard();
  SelectSource(sourceId);
  PressTo(PSBTN_NEXT, IDD_CUSTOM_PAGE, name);
  HWND page = CurrentPage(Sheet());
  PressExpectingMessage(PSBTN_NEXT, kUrlListEmpty, std::string(name) + " empty list");
  std::string host = "http://127.0.0.1:8080/";
  if (sourceId == 161) {
    AddUrls(host + "p (*).jpg", "8", "12", true,
            host + "p08.jpg\r\n...\r\n" + host + "p12.jpg", 0, "6-add-url");
    Check(TextOf(page, IDC_URL_COUNT) == UrlCountLabel(5), "count after 8..12");
    Shot(Sheet(), "5-custom");
  } else if (sourceId == 162) {
    AddUrls("http://127.0.0.1", "0", "0", false, "", kUrlInvalid, nullptr);
    AddUrls(host + "page.html", "0", "0", false, host + "page.html", 0, nullptr);
    AddUrls(host + "page.html", "0", "0", false, host + "page.html", 0, nullptr);
    Check(TextOf(page, IDC_URL_COUNT) == UrlCountLabel(1), "duplicate URL counted");
    for (int id : {IDC_JPG_LARGE, IDC_JPG_SMALL, IDC_GIF}) Tick(page, id, false);
    PressExpectingMessage(PSBTN_NEXT, kChooseFormat, "no format");
    Tick(page, IDC_GIF, true);
  } else {
    AddUrls(host + "thumbs(*).html", "12", "8", false,
            host + "thumbs12.html\r\n...\r\n" + host + "thumbs8.html", 0, nullptr);
    ClickControl(page, IDC_CLEAR_URLS);
    WaitFor([&] { return TextOf(page, IDC_URL_COUNT) == UrlCountLabel(0); });
    AddUrls(host + "thumbs.html", "0", "0", false, host + "thumbs.html", 0, nullptr);
  }
  PressTo(PSBTN_NEXT, IDD_PROGRAM_PAGE, std::string(name) + " list");
  SetPageText(IDC_SAVE_PATH, SavePath(name));
  PressTo(PSBTN_NEXT, IDD_FINISH_PAGE, std::string(name) + " program");
  CloseWith(PSBTN_FINISH, std::string(name) + " finish");
}

Task* Row(size_t i) { return i < g.rows.size() ? g.rows[i] : nullptr; }

// The sheet of a New search task replaces its start URL; of a running
// board task takes a new thread count but not the path; of a Done task
// leaves the thread count alone.
void PropertiesSheets() {
  OpenSheet(1);  // Google "blue"
  Check(PageId() == IDD_SEARCH_PAGE, "a search task's sheet opens on its search page");
  Shot(Sheet(), "7-sheet-search");
  SetPageText(IDC_KEYWORD, "");
  PressExpectingMessage(PSBTN_OK, kEnterKeyword, "sheet keyword");
  SetPageText(IDC_KEYWORD, "green  tea");
  CloseWith(PSBTN_OK, "sheet OK");

  Task* board = Row(3);
  if (board == nullptr) return Fail("no board row");
  StartTask(*board);  // no engine in this host: the state alone
  OpenSheet(3);
  HWND page = CurrentPage(Sheet());
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
  page = CurrentPage(Sheet());
  Check(!IsWindowEnabled(GetDlgItem(page, IDC_THREAD_COUNT)), "thread count enabled when Done");
  Check(IsWindowEnabled(GetDlgItem(page, IDC_NOTES)) != 0, "notes disabled when Done");
  SetPageText(IDC_NOTES, "done note");
  CloseWith(PSBTN_OK, "done OK");

  Task* custom = Row(4);  // 161, still New
  if (custom == nullptr) return Fail("no custom row");
  OpenSheet(4);
  Check(TextOf(CurrentPage(Sheet()), IDC_URL_COUNT) == UrlCountLabel(5), "sheet's copy of the list");
  Shot(Sheet(), "9-sheet-custom");
  CloseWith(PSBTN_CANCEL, "custom cancel");
}

void CheckTasks() {
  const struct {
    uint32_t sourceId;
    const char* keyword;
    uint32_t option, threads, classify, large, small, gif;
    ItemKind queue;
    uint32_t urls;
    const char* notes;
  } rows[] = {
      {1, "red+sun", 1, 15, 0, 1, 1, 1, kWeb2, 1, "first"},
      {1, "green+tea", 0, 15, 0, 1, 1, 1, kWeb2, 1, ""},
      {21, "redsun", 0, 20, 1, 1, 0, 0, kWeb2, 1, "done note"},
      {45, "", 0, 22, 0, 1, 0, 0, kWeb2, 1, ""},
      {161, "", 0, 15, 0, 1, 1, 1, kPic, 5, ""},
      {162, "", 0, 15, 0, 0, 0, 1, kWeb1, 1, ""},
      {163, "", 0, 15, 0, 1, 0, 0, kWeb2, 1, ""},
  };
  Check(g.rows.size() == 7, "7 tasks made, not " + std::to_string(g.rows.size()));
  for (size_t i = 0; i < 7 && i < g.rows.size(); ++i) {
    const TaskInfo& info = g.rows[i]->info;
    std::string row = "row " + std::to_string(i) + ": ";
    Check(info.sourceId == rows[i].sourceId, row + "source");
    Check(std::strcmp(info.keyword, rows[i].keyword) == 0, row + "keyword " + info.keyword);
    Check(info.sizeOption == rows[i].option, row + "option");
    Check(info.threadCount == rows[i].threads, row + "threads " + std::to_string(info.threadCount));
    Check(info.classifyByTitle == rows[i].classify, row + "classify");
    Check(info.jpgLarge == rows[i].large && info.jpgSmall == rows[i].small &&
              info.gif == rows[i].gif, row + "formats");
    Check(g.rows[i]->queues[rows[i].queue].Count() == rows[i].urls, row + "queue");
    Check(std::strcmp(info.notes, rows[i].notes) == 0, row + "notes " + info.notes);
  }
  if (g.rows.size() < 2) return;
  Check(std::string(g.rows[0]->info.savePath) == SavePath("google red\\"),
        std::string("dot in the path: ") + g.rows[0]->info.savePath);
  StartUrl start;
  BuildStartUrl(g.rows[1]->info, &start);
  std::string web2;
  g.rows[1]->queues[kWeb2].ForEachHeadToTail(
      [&](const UrlItem& i) { web2 = std::string("http://") + i.host + i.path; });
  Check(web2 == start.url && web2.find("green+tea") != std::string::npos,
        "start URL replaced: " + web2);
}

void Drive() {
  SearchEngineTasks();
  ForumTasks();
  CustomTask(161, "direct");
  CustomTask(162, "pages");
  CustomTask(163, "thumbs");
  PropertiesSheets();
  CheckTasks();
  PostMessageA(g.window, kSaveAndQuit, 0, 0);
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("FAIL: usage: wine_wizard_dialogs HOME\\ SAVE\\ [--shots]\n");
    return 1;
  }
  g.set.home = argv[1];
  g.set.options = &g.options;
  g.save = argv[2];
  g.shots = argc > 3 && std::strcmp(argv[3], "--shots") == 0;
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
  if (g.failures == 0) std::printf("ok\n");
  return g.failures == 0 ? 0 : 1;
}
