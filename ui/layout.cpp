// Placing the main window's children, and the splitter between the lists.
#include "platform/win32/win_api.h"

#include <commctrl.h>

#include "app/main_layout.h"
#include "ui/main_window.h"
#include "ui/status_bar.h"
#include "ui/toolbar.h"

namespace harvio::ui {
namespace {

void PlaceBand(HWND child, const Band& band, int width) {
  if (child != nullptr) MoveWindow(child, 0, band.y, width, band.height, TRUE);
}

}  // namespace

void MainWindow::LayOut(int width, int height) {
  MainLayout layout = LayOutMainWindow({width, height}, options_.ShowTBBCaption != 0,
                                       options_.TLHeight);
  PlaceStatusBar(statusBar_, layout, width);
  PlaceBand(browserPane_, layout.browserPane, width);
  PlaceBand(separatorLine_, layout.separatorLine, width);
  if (toolbar_.rebar != nullptr) {
    PlaceRebar(toolbar_.rebar, layout.rebar.y, width, layout.rebar.height);
  }
  PlaceBand(taskList_.handle(), layout.taskList, width);
  HWND threads = threadList_.handle();
  PlaceBand(threads, layout.threadList, width);
  if (threads != nullptr) {
    InvalidateRect(reinterpret_cast<HWND>(SendMessageA(threads, LVM_GETHEADER, 0, 0)), nullptr,
                   TRUE);
  }
}

void MainWindow::LayOutAgain() {
  RECT client;
  GetClientRect(window_, &client);
  LayOut(client.right, client.bottom);
}

void MainWindow::OnSplitterDown(int y) {
  dragY_ = y;
  dragging_ = true;
  SetCapture(window_);
}

void MainWindow::OnSplitterMove(int y) {
  if (!dragging_) return;
  RECT threads = {};
  if (threadList_.handle() != nullptr) GetWindowRect(threadList_.handle(), &threads);
  if (DragSplitter(y, threads.bottom - threads.top, &dragY_, &options_.TLHeight)) LayOutAgain();
}

void MainWindow::OnSplitterUp() {
  dragging_ = false;
  ReleaseCapture();
}

}  // namespace harvio::ui
