// Drives a running harvio.exe from another process the way Windows UI test
// tools do, through a scenario (scenario.cpp): a file of steps, one a line,
// that start the program, find its windows, send it commands and keys, type
// into its dialogs and read its list views and status bar through memory
// borrowed in the target process (VirtualAllocEx, then LVM_GETITEMTEXT and friends
// pointed at that memory, then ReadProcessMemory). The driver is built in
// the same width as harvio.exe, so the LVITEMA it writes has the layout the
// target expects. Every wait is bounded.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/win_api.h"

namespace harvio::uitest {

constexpr DWORD kWaitMs = 30000;

// Polls `done` every 25 ms until it holds or `ms` have passed.
bool WaitUntil(const std::function<bool()>& done, DWORD ms = kWaitMs);

// Prints "FAIL: what"; false, so that a step can return it.
bool Fail(const std::string& what);

// harvio.exe started by the driver; killed on destruction if still running,
// so a failed check never leaves it behind.
class Program {
 public:
  ~Program();
  bool Start(const std::string& exe);
  // The exit code, or -1 when the process did not end within `ms`.
  long WaitForExit(DWORD ms = kWaitMs);
  bool Running() const;
  DWORD id() const { return id_; }

 private:
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

// The main window ("HARVIOCLASSNAME", "Harvio"), once it is visible.
HWND WaitForMainWindow(DWORD ms = kWaitMs);

// A visible top-level window of class `name` ("#32770" a dialog or message
// box, "#32768" a menu) of process `pid`, other than those in `except`.
HWND FindShown(DWORD pid, const char* name, const std::vector<HWND>& except);

// A window's text, through WM_GETTEXT (so also of another process's window).
std::string WindowText(HWND window);

// Memory in another process, freed on destruction.
class RemoteBlock {
 public:
  RemoteBlock(HWND window, size_t bytes);
  ~RemoteBlock();
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  bool ok() const { return address_ != nullptr; }
  char* address() const { return address_; }  // in the other process
  bool Write(size_t offset, const void* data, size_t bytes);
  bool Read(const void* remote, void* data, size_t bytes);

 private:
  HANDLE process_ = nullptr;
  char* address_ = nullptr;
  size_t bytes_;
};

// A report list view of another process.
class RemoteListView {
 public:
  explicit RemoteListView(HWND view);
  bool ok() const { return view_ != nullptr && block_.ok(); }
  int Count() const;
  int ColumnCount() const;
  std::string Text(int row, int column);  // GBK, as the view holds it
  std::vector<std::string> Row(int row);
  // Title (GBK), width and alignment ("left", "right") of a column.
  bool Column(int column, std::string* title, int* width, std::string* align);
  bool SetState(int row, UINT state, UINT mask);
  bool ItemRect(int row, RECT* rect);

 private:
  HWND view_;
  RemoteBlock block_;
};

// Part `part` of a status bar of another process.
std::string StatusText(HWND bar, int part);

// Keys pressed in order and released in reverse, e.g. {VK_CONTROL, 'A'},
// sent to whatever has the keyboard focus.
void PressKeys(const std::vector<WORD>& keys);

std::string GbkToUtf8(const std::string& gbk);
std::string Utf8ToGbk(const std::string& utf8);

// The running program and the dialogs the scenario opened, innermost last.
struct Session {
  std::string exe;
  Program program;
  HWND main = nullptr;
  HWND tasks = nullptr;
  HWND threads = nullptr;
  std::vector<HWND> dialogs;
  std::map<std::string, int> ids;  // the names of res/resource.h
};

// A step's arguments, texts already in GBK; the last one takes the rest of
// its line.
using Args = std::vector<std::string>;
struct StepKind {
  const char* name;
  size_t args;
  bool (*run)(Session& s, const Args& a);
};

// The steps on the main window, and those of the new-task wizard.
extern const std::vector<StepKind> kMainWindowSteps;
extern const std::vector<StepKind> kWizardSteps;

// Shared by the steps: a number or a name of res/resource.h.
int Id(const Session& s, const std::string& name);
// The innermost dialog the scenario opened; the page a property sheet shows.
HWND TopDialog(const Session& s);
HWND CurrentPage(HWND sheet);

}  // namespace harvio::uitest
