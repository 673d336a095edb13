// Drives harvio.exe the way a user starts and ends it: the window appears,
// a second start hands over to the first and ends with code 0, closing the
// window ends the program with code 0. Every wait is bounded.
//   wine_start_test.exe PATH\harvio.exe
#include <cstdio>
#include <string>

#include "tests/wine/ui_driver.h"

namespace {

using harvio::uitest::Program;

constexpr char kClassName[] = "HARVIOCLASSNAME";
constexpr char kTitle[] = "Harvio";

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
  Program first;
  if (!first.Start(argv[1])) return Fail("harvio.exe could not be started");
  HWND window = harvio::uitest::WaitForMainWindow();
  if (window == nullptr) return Fail("the main window did not appear or is not visible");

  Program second;
  if (!second.Start(argv[1])) return Fail("the second harvio.exe could not be started");
  if (second.WaitForExit() != 0) return Fail("the second start did not end with code 0");
  if (MainWindowCount() != 1) return Fail("a second start did not leave exactly one window");
  if (!first.Running()) return Fail("the first instance ended after the second start");

  PostMessageA(window, WM_CLOSE, 0, 0);
  long code = first.WaitForExit();
  if (code == -1) return Fail("the program did not end after WM_CLOSE");
  if (code != 0) return Fail("the program ended with a non-zero code");
  if (MainWindowCount() != 0) return Fail("a main window is left after closing");
  std::printf("ok\n");
  return 0;
}
