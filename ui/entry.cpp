// The program's entry point: one instance at a time.
#include "platform/win32/win_api.h"
#include "res/resource.h"
#include "ui/main_window.h"

namespace {

constexpr char kStartupMutexName[] = "StartupMutex_Harvio";

// A second start asks the running instance to show itself and ends.
void WakeRunningInstance() {
  HWND running = FindWindowA(harvio::ui::kMainClassName, harvio::ui::kCaption);
  if (running != nullptr) SendMessageA(running, WM_COMMAND, CMD_SHOW_WINDOW, 0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kStartupMutexName);
  if (mutex == nullptr) return 0;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    WakeRunningInstance();
    CloseHandle(mutex);
    return 0;
  }
  int exit_code;
  {
    harvio::ui::MainWindow main_window(instance);
    exit_code = main_window.Run(show_command);
  }
  CloseHandle(mutex);
  return exit_code;
}
