#include "ui/main_window.h"

#include <commctrl.h>

#include "core/string_table.h"
#include "res/resource.h"
#include "ui/status_bar.h"

namespace harvio::ui {
namespace {

constexpr char kBrowserPaneClassName[] = "WEBHOSTCLASSNAME";

// "宋体" 9 points, the face every control of the window uses.
HFONT CreateUiFont(HWND window) {
  HDC dc = GetDC(window);
  int height = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(window, dc);
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, "\xcb\xce\xcc\xe5");  // 宋体
}

}  // namespace

int MainWindow::Run(int show_command) {
  if (!RegisterClasses()) return 0;
  window_ = CreateWindowExA(0, kMainClassName, kCaption, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                            nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return 0;
  ShowWindow(window_, show_command);
  UpdateWindow(window_);

  HACCEL accelerators = LoadAcceleratorsA(instance_, "ACCEL");
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorA(window_, accelerators, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
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
      if (wparam != SIZE_MINIMIZED) LayOut(LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_NCMOUSEMOVE:
      SetStatusHelp(statusBar_, StringText(IDS_READY));
      break;
    case WM_COMMAND:
      if (LOWORD(wparam) >= CMD_FIRST && LOWORD(wparam) <= CMD_LAST) {
        OnCommand(wparam, lparam);
        return 0;
      }
      break;
    case WM_DESTROY:
      OnDestroy();
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wparam, lparam);
}

void MainWindow::OnCreate() {
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES};
  InitCommonControlsEx(&controls);
  uiFont_ = CreateUiFont(window_);
  statusBar_ = CreateStatusBar(window_, uiFont_);
  SetStatusHelp(statusBar_, StringText(IDS_READY));
  // The stored placement; the settings file is not read yet, so these are
  // the defaults of Options.
  MoveWindow(window_, options_.XPos, options_.YPos, options_.Width, options_.Height, FALSE);
}

void MainWindow::OnCommand(WPARAM wparam, LPARAM) {
  switch (LOWORD(wparam)) {
    case CMD_EXIT:
      DestroyWindow(window_);
      break;
    case CMD_SHOW_WINDOW:
      ShowMainWindow();
      break;
    default:
      break;
  }
}

void MainWindow::OnDestroy() {
  DestroyWindow(statusBar_);
  statusBar_ = nullptr;
  DeleteObject(uiFont_);
  uiFont_ = nullptr;
}

void MainWindow::LayOut(int width, int height) { LayOutStatusBar(statusBar_, width, height); }

void MainWindow::ShowMainWindow() {
  if (!IsWindowVisible(window_)) {
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
