#include "ui/tray.h"

#include <shellapi.h>

#include <cstring>

#include "ui/main_window.h"

namespace harvio::ui {
namespace {

// The first form of the icon record (88 bytes): every shell knows it.
NOTIFYICONDATAA IconRecord(HWND window) {
  NOTIFYICONDATAA record = {};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = window;
  record.uID = kTrayIconId;
  return record;
}

}  // namespace

void AddTrayIcon(HWND window, HINSTANCE instance, const char* tip) {
  NOTIFYICONDATAA record = IconRecord(window);
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayMessage;
  record.hIcon = static_cast<HICON>(LoadImageA(instance, "SMALL", IMAGE_ICON, 16, 16, 0));
  std::strncpy(record.szTip, tip, sizeof(record.szTip) - 1);
  Shell_NotifyIconA(NIM_ADD, &record);
}

void RemoveTrayIcon(HWND window) {
  NOTIFYICONDATAA record = IconRecord(window);
  Shell_NotifyIconA(NIM_DELETE, &record);
}

void MainWindow::OnTrayNotify(WPARAM id, LPARAM mouse_message) {
  if (id != kTrayIconId) return;
  if (mouse_message == WM_LBUTTONDOWN) {
    RemoveTrayIcon(window_);
    ShowWindow(window_, SW_SHOW);
    ShowWindow(window_, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(window_));
    return;
  }
  if (mouse_message != WM_RBUTTONDOWN) return;
  HWND popup = GetLastActivePopup(window_);
  SetForegroundWindow(popup);
  // An open dialog keeps the user: it comes forward and no menu opens.
  if (popup != window_) return;
  HMENU menu = LoadMenuA(instance_, "MENU_ICON");
  if (menu == nullptr) return;
  POINT pointer;
  GetCursorPos(&pointer);
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTALIGN | TPM_BOTTOMALIGN, pointer.x, pointer.y, 0,
                 window_, nullptr);
  DestroyMenu(menu);
  // Lets the menu close when the user clicks elsewhere.
  PostMessageA(window_, WM_NULL, 0, 0);
}

}  // namespace harvio::ui
