// bench_window PATH\harvio.exe: the window's half of the benchmark
// (tools/bench.sh). Starts harvio.exe, whose task list holds the benchmark's
// task, starts that task with the Start command and prints
//   done SECONDS exit SECONDS
// the time from the command until the task's row reads 完成, then from
// closing the window until the program has ended. Every wait is bounded.
#include "platform/win32/win_api.h"

#include <commctrl.h>

#include <cstdio>

#include "res/resource.h"
#include "tests/wine/ui_driver.h"

namespace {

using harvio::uitest::Program;
using harvio::uitest::RemoteListView;

constexpr DWORD kPollMs = 20;          // the row is read this often
constexpr double kLongestSeconds = 600;
constexpr int kStateColumn = 0;

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Fail(const char* what) {
  std::printf("FAIL: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return Fail("usage: bench_window PATH\\harvio.exe");
  Program program;
  if (!program.Start(argv[1])) return Fail("harvio.exe could not be started");
  HWND window = harvio::uitest::WaitForMainWindow();
  if (window == nullptr) return Fail("the main window did not appear");
  RemoteListView tasks(GetDlgItem(window, IDC_TASK_LIST));
  if (!tasks.ok() || !harvio::uitest::WaitUntil([&] { return tasks.Count() == 1; })) {
    return Fail("the task list does not show the one task");
  }
  const std::string done = harvio::uitest::Utf8ToGbk("完成");
  tasks.SetState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  double start = Now();
  PostMessageA(window, WM_COMMAND, CMD_START_TASK, 0);
  while (tasks.Text(0, kStateColumn) != done) {
    if (Now() - start > kLongestSeconds) return Fail("the task did not finish");
    Sleep(kPollMs);
  }
  double finished = Now();
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (program.WaitForExit() == -1) return Fail("the program did not end after WM_CLOSE");
  std::printf("done %.3f exit %.3f\n", finished - start, Now() - finished);
  return 0;
}
