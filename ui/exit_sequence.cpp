// The exit sequence: when the window is destroyed, and when the session
// ends. Every task is saved and closed, the program waits until their close
// threads have freed them, and only then writes the settings and tears the
// children down.
#include "platform/win32/win_api.h"

#include <ole2.h>

#include "app/options.h"
#include "core/string_table.h"
#include "core/task_store.h"
#include "platform/paths.h"
#include "platform/screen.h"
#include "ui/browser_host.h"
#include "ui/main_window.h"
#include "ui/tray.h"

namespace harvio::ui {
namespace {

constexpr uint32_t kListNotSaved = 1760;
constexpr uint32_t kTaskNotSaved = 1761;

}  // namespace

void MainWindow::RunExitSequence(bool session_ending) {
  // A session that ends may still destroy the window afterwards.
  if (exited_) return;
  exited_ = true;
  if (!IsWindowVisible(window_)) RemoveTrayIcon(window_);
  if (session_ending) ShowWindow(window_, SW_HIDE);
  KillTimer(window_, kTickTimer);
  CloseAllTasks();
  SaveWindowOptions();
  DestroyChildren();
}

void MainWindow::CloseAllTasks() {
  std::vector<Task*> rows = taskList_.Tasks();
  // The rows go first, so no view refers to a task its close thread frees.
  taskList_.RemoveAllRows();
  bool listSaved = SaveTaskList(*taskSet_, rows);
  bool tasksSaved = WaitForClosedTasks(*taskSet_);
  delete taskSet_;
  taskSet_ = nullptr;
  // The previous files stay whole; the user learns that the next start
  // finds them rather than this run's progress.
  if (!listSaved) ShowErrorBox(nullptr, StringText(kListNotSaved));
  if (!tasksSaved) ShowErrorBox(nullptr, StringText(kTaskNotSaved));
}

void MainWindow::SaveWindowOptions() {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  bool readable = options_.KeepWnd != 0 && GetWindowPlacement(window_, &placement);
  const RECT& normal = placement.rcNormalPosition;
  WindowRect restored = {normal.left, normal.top, normal.right, normal.bottom};
  TakeWindowGeometry(options_, readable ? &restored : nullptr, platform::PrimaryScreenSize());
  SaveOptions(options_, platform::ExecutableDirectory() + kOptionsFileName);
}

void MainWindow::DestroyChildren() {
  DestroyBrowserHost(browserHost_);
  browserHost_ = nullptr;
  if (oleReady_) OleUninitialize();
  oleReady_ = false;
  threadList_.Destroy();
  taskList_.Destroy();
  DestroyWindow(statusBar_);
  DestroyToolbar(&toolbar_);
  DestroyWindow(separatorLine_);
  DestroyWindow(browserPane_);
  statusBar_ = separatorLine_ = browserPane_ = nullptr;
  DeleteObject(uiFont_);
  uiFont_ = nullptr;
}

}  // namespace harvio::ui
