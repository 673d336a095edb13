// The one-second tick: the engine never notifies the window, so once a
// second the window looks at the running tasks, reacts to their stop
// signals, starts the next waiting task, shows the speed and now and then
// a new advertisement page. Nothing here waits for a worker.
#include <cstdlib>

#include "app/ad_pages.h"
#include "app/scheduler.h"
#include "core/string_table.h"
#include "platform/paths.h"
#include "ui/browser_host.h"
#include "ui/main_window.h"
#include "ui/shutdown.h"

namespace harvio::ui {
namespace {

constexpr uint32_t kTicksPerAdvertisement = 3600;

}  // namespace

std::string PickAdvertisementPage() {
  std::srand(GetTickCount());
  return AdPageUrl(platform::ExecutableDirectory(), static_cast<uint32_t>(std::rand()));
}

void MainWindow::OneSecondTick() {
  taskList_.RefreshThreadList();
  // A reaction can rebuild the running table, so its count is read again
  // at every step.
  for (uint32_t i = 0; i < taskList_.runningCount(); ++i) {
    RunningEntry entry = taskList_.runningTable().entries[i];
    TickSecond(*entry.task);
    taskList_.RefreshTaskRow(entry.task, entry.row, false);
    if (entry.task->stopSignal.load() != 0) ReactToStopSignal(entry.task, entry.row);
  }
  // A message box or the countdown runs a message loop of its own, in which
  // the session may end and the exit sequence free the task set.
  if (exited_) return;
  ShowSpeed();
  if (++adTicks_ >= kTicksPerAdvertisement) {
    adTicks_ = 0;
    Navigate(browserHost_, PickAdvertisementPage());
  }
}

void MainWindow::ReactToStopSignal(Task* task, int row) {
  StopOutcome outcome = harvio::ReactToStopSignal(*task);
  if (outcome == StopOutcome::kNone) return;
  taskList_.RefreshStateCell(task, row);
  taskList_.RefreshTaskRow(task, row, true);
  if (outcome == StopOutcome::kDone) {
    AllDoneCheck();
    return;
  }
  uint32_t message = StopMessageId(outcome);
  if (message == 0) return;
  ShowMainWindow();
  ShowErrorBox(GetLastActivePopup(window_), StringText(message));
}

void MainWindow::AllDoneCheck() {
  std::vector<Task*> rows = taskList_.Tasks();
  int next = NextWaitingRow(rows);
  if (next >= 0) StartTaskRow(rows[static_cast<size_t>(next)], next);
  if (taskList_.runningCount() != 0 || options_.shutdownWhenDone == 0) return;
  ShowMainWindow();
  if (!RunShutdownCountdown(GetLastActivePopup(window_), instance_)) {
    options_.shutdownWhenDone = 0;
    return;
  }
  PowerOff();
}

void MainWindow::PowerOff() {
  if (!EnableShutdownPrivilege()) return;
  // The forced power-off gives no log-off notice: the window closes first,
  // through its exit sequence, so every task and the settings are saved;
  // the request follows once the message loop has ended.
  powerOffAfterExit_ = true;
  PostMessageA(window_, WM_CLOSE, 0, 0);
}

}  // namespace harvio::ui
