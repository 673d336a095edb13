#include "ui/main_window.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/ad_pages.h"
#include "app/options.h"
#include "app/scheduler.h"
#include "core/string_table.h"
#include "core/task_store.h"
#include "net/worker.h"
#include "platform/paths.h"
#include "platform/screen.h"
#include "res/resource.h"
#include "ui/browser_host.h"
#include "ui/html_engine.h"
#include "ui/shutdown.h"
#include "ui/status_bar.h"
#include "ui/tip_text.h"
#include "ui/tray.h"

namespace harvio::ui {
namespace {

constexpr char kBrowserPaneClassName[] = "WEBHOSTCLASSNAME";
constexpr int kPaneStartWidth = 1000;  // the control keeps this size; the pane clips it
constexpr int kPaneStartHeight = 50;
constexpr UINT kTickPeriodMs = 1000;
constexpr uint32_t kListRebuilt = 1762;  // "任务列表已损坏，已从任务文件恢复 * 个任务。..."
constexpr UINT kListRebuiltMessage = WM_APP;
constexpr UINT_PTR kSeparatorSubclass = 1;

// "宋体" 9 points, the face every control of the window uses.
HFONT CreateUiFont(HWND window) {
  HDC dc = GetDC(window);
  int height = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(window, dc);
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, "\xcb\xce\xcc\xe5");  // 宋体
}

HWND CreateChild(HWND parent, const char* class_name, DWORD style, int id, int width,
                 int height) {
  return CreateWindowExA(0, class_name, "", WS_CHILD | WS_VISIBLE | style, 0, 0, width, height,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                         nullptr);
}

// The pointer over the separator line puts "就绪" into the status bar.
LRESULT CALLBACK SeparatorProc(HWND line, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                               DWORD_PTR main_window) {
  if (message == WM_MOUSEMOVE) {
    reinterpret_cast<MainWindow*>(main_window)->SetStatusHelp(StringText(IDS_READY));
  }
  return DefSubclassProc(line, message, wparam, lparam);
}

std::string OptionsFilePath() { return platform::ExecutableDirectory() + kOptionsFileName; }

}  // namespace

void ShowErrorBox(HWND owner, const char* text) {
  MessageBoxA(owner, text, kCaption, MB_OK | MB_ICONERROR);
}

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {}

MainWindow::~MainWindow() = default;

int MainWindow::Run(int show_command) {
  if (!RegisterClasses()) return 0;
  window_ = CreateWindowExA(0, kMainClassName, kCaption, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                            nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return 0;
  ShowWindow(window_, show_command);
  UpdateWindow(window_);

  HACCEL accelerators = LoadAcceleratorsA(instance_, "ACCEL");
  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsForMainWindow(message.hwnd) && TranslateAcceleratorA(window_, accelerators, &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  // Only now that everything is saved and torn down.
  if (powerOffAfterExit_) RequestPowerOff();
  return static_cast<int>(message.wParam);
}

// The help viewer is a window of this thread too; a Delete typed there must
// not delete the selected tasks.
bool MainWindow::IsForMainWindow(HWND target) const {
  return window_ != nullptr && (target == window_ || IsChild(window_, target));
}

bool MainWindow::RegisterClasses() {
  WNDCLASSEXA main_class = {};
  main_class.cbSize = sizeof main_class;
  main_class.style = CS_HREDRAW | CS_VREDRAW;
  main_class.lpfnWndProc = WindowProc;
  main_class.hInstance = instance_;
  main_class.hIcon = LoadIconA(instance_, "BIG");
  main_class.hIconSm = LoadIconA(instance_, "SMALL");
  main_class.hCursor = LoadCursorA(instance_, "SPLIT");
  main_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  main_class.lpszMenuName = "MENU_MAIN";
  main_class.lpszClassName = kMainClassName;

  WNDCLASSEXA pane_class = {};
  pane_class.cbSize = sizeof pane_class;
  pane_class.style = CS_HREDRAW | CS_VREDRAW;
  pane_class.lpfnWndProc = DefWindowProcA;
  pane_class.hInstance = instance_;
  pane_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  pane_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  pane_class.lpszClassName = kBrowserPaneClassName;
  return RegisterClassExA(&main_class) != 0 && RegisterClassExA(&pane_class) != 0;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam,
                                        LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    auto* self = static_cast<MainWindow*>(create->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  return self->Handle(message, wparam, lparam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_SIZE:
      OnSize(wparam, LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_SETFOCUS:
      SetFocus(taskList_.handle());
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(*reinterpret_cast<const NMHDR*>(lparam), &result)) return result;
      break;
    }
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wparam) == taskList_.handle()) {
        ShowTaskMenu(lparam);
        return 0;
      }
      break;
    case WM_NCMOUSEMOVE:
      SetStatusHelp(StringText(IDS_READY));
      break;
    case WM_COMMAND:
      if (LOWORD(wparam) >= CMD_FIRST && LOWORD(wparam) <= CMD_LAST) {
        OnCommand(wparam);
        return 0;
      }
      break;
    case WM_INITMENUPOPUP:
      OnMenuPopup(reinterpret_cast<HMENU>(wparam));
      return 0;
    case WM_MENUSELECT:
      OnMenuSelect(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HMENU>(lparam));
      return 0;
    case WM_LBUTTONDOWN:
      OnSplitterDown(static_cast<int16_t>(HIWORD(lparam)));
      return 0;
    case WM_MOUSEMOVE:
      OnSplitterMove(HIWORD(lparam));
      return 0;
    case WM_LBUTTONUP:
      OnSplitterUp();
      return 0;
    case WM_TIMER:
      if (wparam == kTickTimer) OneSecondTick();
      return 0;
    case kTrayMessage:
      OnTrayNotify(wparam, lparam);
      return 0;
    case kListRebuiltMessage: {
      std::string text = StringWithNumber(kListRebuilt, static_cast<int64_t>(wparam));
      MessageBoxA(window_, text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
      return 0;
    }
    case WM_DESTROY:
      RunExitSequence(false);
      PostQuitMessage(0);
      return 0;
    case WM_ENDSESSION:
      if (wparam) RunExitSequence(true);
      return 0;
    default:
      if (message == taskbarCreatedMessage_ && taskbarCreatedMessage_ != 0 &&
          !IsWindowVisible(window_)) {
        AddTrayIcon(window_, instance_, kCaption);
        return 0;
      }
      break;
  }
  return DefWindowProcA(window_, message, wparam, lparam);
}

void MainWindow::OnCreate() {
  CreateChildren();
  UpdateCommandStates();
  SetStatusHelp(StringText(IDS_READY));
  ApplyLoadedOptions();

  InstallWorkerHooks();
  taskSet_ = new TaskSet;
  taskSet_->options = &options_;
  taskSet_->home = platform::ExecutableDirectory();
  bool rebuilt = false;
  std::vector<Task*> loaded = LoadTaskList(*taskSet_, &rebuilt);
  for (Task* task : loaded) taskList_.AppendTaskRow(task);
  // Told once the window shows the rows that came back.
  if (rebuilt) PostMessageA(window_, kListRebuiltMessage, loaded.size(), 0);
  ShowSpeed();
  SetTimer(window_, kTickTimer, kTickPeriodMs, nullptr);
  taskbarCreatedMessage_ = RegisterWindowMessageA("TaskbarCreated");
}

void MainWindow::CreateChildren() {
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES};
  InitCommonControlsEx(&controls);
  uiFont_ = CreateUiFont(window_);
  statusBar_ = CreateStatusBar(window_, uiFont_);
  browserPane_ = CreateChild(window_, kBrowserPaneClassName, WS_CLIPCHILDREN, IDC_BROWSER_PANE,
                             kPaneStartWidth, kPaneStartHeight);
  separatorLine_ = CreateChild(window_, "STATIC", SS_ETCHEDHORZ | SS_NOTIFY, IDC_SEPARATOR_LINE,
                               0, 0);
  SendMessageA(separatorLine_, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_), FALSE);
  SetWindowSubclass(separatorLine_, SeparatorProc, kSeparatorSubclass,
                    reinterpret_cast<DWORD_PTR>(this));
  toolbar_ = CreateToolbar(window_, instance_, uiFont_);

  TaskListHost host;
  host.updateCommandStates = [this] { UpdateCommandStates(); };
  host.startTaskRow = [this](Task* task, int row) { StartTaskRow(task, row); };
  host.pauseTaskRow = [this](Task* task, int row) { PauseTaskRow(task, row); };
  host.showReady = [this] { SetStatusHelp(StringText(IDS_READY)); };
  taskList_.Create(window_, uiFont_, options_.ShowGridLine != 0, &threadList_, host);
  threadList_.Create(window_, uiFont_, options_.ShowGridLine != 0, taskList_.handle());

  oleReady_ = SUCCEEDED(OleInitialize(nullptr));
  uint32_t page = PickAdvertisementPage();
  std::string folder = platform::ExecutableDirectory();
  if (oleReady_ && HtmlEngineAvailable()) {
    browserHost_ = CreateBrowserHost(browserPane_, AdPageUrl(folder, page));
  }
  if (browserHost_ == nullptr) tipText_ = CreateTipText(browserPane_, uiFont_, AdPagePath(folder, page));
}

void MainWindow::ApplyLoadedOptions() {
  LoadOptions(options_, OptionsFilePath());
  KeepWindowReachable(options_, platform::WorkAreas(), platform::PrimaryScreenSize());
  ApplyToolbarStyle(toolbar_.toolbar, options_.ShowTBBCaption != 0);
  taskList_.SetGridLines(options_.ShowGridLine != 0);
  MoveWindow(window_, options_.XPos, options_.YPos, options_.Width, options_.Height, FALSE);
}

void MainWindow::OnSize(WPARAM kind, int width, int height) {
  if (kind != SIZE_MINIMIZED) {
    LayOut(width, height);
    return;
  }
  if (options_.HideOnMin != 0) {
    ShowWindow(window_, SW_HIDE);
    AddTrayIcon(window_, instance_, kCaption);
  }
}

void MainWindow::SetStatusHelp(const char* text) { ui::SetStatusHelp(statusBar_, text); }

void MainWindow::ShowSpeed() { SetStatusSpeed(statusBar_, TakeSpeedText(*taskSet_).c_str()); }

void MainWindow::ShowMainWindow() {
  if (!IsWindowVisible(window_)) {
    RemoveTrayIcon(window_);
    ShowWindow(window_, SW_RESTORE);
    ShowWindow(window_, SW_SHOW);
  } else if (IsIconic(window_)) {
    ShowWindow(window_, SW_HIDE);
    ShowWindow(window_, SW_RESTORE);
    ShowWindow(window_, SW_SHOW);
  }
  HWND popup = GetLastActivePopup(window_);
  SetForegroundWindow(popup);
  // An empty message lets the foreground change take effect.
  PostMessageA(popup, WM_NULL, 0, 0);
}

}  // namespace harvio::ui
