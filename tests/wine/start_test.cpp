// Drives harvio.exe the way a user starts and ends it: the window appears,
// a second start hands over to the first and ends with code 0, closing the
// window ends the program with code 0. Every wait is bounded.
//   wine_start_test.exe PATH\harvio.exe
#include <cstdio>
#include <string>

#include "platform/win32/win_api.h"

namespace {

constexpr char kClassName[] = "HARVIOCLASSNAME";
constexpr char kTitle[] = "Harvio";
constexpr DWORD kWaitMs = 30000;
constexpr DWORD kPollMs = 100;

struct Process {
  HANDLE handle = nullptr;
  ~Process() {
    // A failed check must not leave the program running.
    if (handle != nullptr) {
      if (WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) TerminateProcess(handle, 99);
      CloseHandle(handle);
    }
  }
};

bool Start(const std::string& exe, Process* process) {
  std::string command = "\"" + exe + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  process->handle = info.hProcess;
  return true;
}

// The exit code, or -1 when the process did not end in time.
long WaitForExit(const Process& process) {
  if (WaitForSingleObject(process.handle, kWaitMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process.handle, &code);
  return static_cast<long>(code);
}

// The window exists a moment before it is shown: wait for both, and give
// back what was found so the caller can tell which never happened.
HWND WaitForWindow() {
  HWND window = nullptr;
  for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
    window = FindWindowA(kClassName, kTitle);
    if (window != nullptr && IsWindowVisible(window)) break;
    Sleep(kPollMs);
  }
  return window;
}

BOOL CALLBACK CountMainWindow(HWND window, LPARAM count) {
  char name[64] = {}, title[64] = {};
  GetClassNameA(window, name, sizeof name);
  GetWindowTextA(window, title, sizeof title);
  if (std::string(name) == kClassName && std::string(title) == kTitle) {
    ++*reinterpret_cast<int*>(count);
  }
  return TRUE;
}

int MainWindowCount() {
  int count = 0;
  EnumWindows(CountMainWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

int Fail(const char* what) {
  std::printf("FAIL: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return Fail("usage: wine_start_test PATH\\harvio.exe");
  Process first;
  if (!Start(argv[1], &first)) return Fail("harvio.exe could not be started");
  HWND window = WaitForWindow();
  if (window == nullptr) return Fail("the main window did not appear");
  if (!IsWindowVisible(window)) return Fail("the main window is not visible");

  Process second;
  if (!Start(argv[1], &second)) return Fail("the second harvio.exe could not be started");
  if (WaitForExit(second) != 0) return Fail("the second start did not end with code 0");
  if (MainWindowCount() != 1) return Fail("a second start did not leave exactly one window");
  if (WaitForSingleObject(first.handle, 0) != WAIT_TIMEOUT) {
    return Fail("the first instance ended after the second start");
  }

  PostMessageA(window, WM_CLOSE, 0, 0);
  long code = WaitForExit(first);
  if (code == -1) return Fail("the program did not end after WM_CLOSE");
  if (code != 0) return Fail("the program ended with a non-zero code");
  if (MainWindowCount() != 0) return Fail("a main window is left after closing");
  std::printf("ok\n");
  return 0;
}
