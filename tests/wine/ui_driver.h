// Drives a running harvio.exe from another process the way Windows UI test
// tools do: finds its windows, sends it commands and keys, and reads its
// list views and status bar through memory borrowed in the target process
// (VirtualAllocEx, then LVM_GETITEMTEXT and friends pointed at that memory,
// then ReadProcessMemory). The driver is built in the same width as
// harvio.exe, so the LVITEMA it writes has the layout the target expects.
// Every wait is bounded.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/win_api.h"

namespace harvio::uitest {

constexpr DWORD kWaitMs = 30000;

// Polls `done` every 100 ms until it holds or `ms` have passed.
bool WaitUntil(const std::function<bool()>& done, DWORD ms = kWaitMs);

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
// A top-level dialog or message box of process `pid` other than the
// windows `except`.
HWND FindPopup(DWORD pid, HWND except, HWND except2 = nullptr);

// A window's text, through WM_GETTEXT (so also of another process's window).
std::string WindowText(HWND window);
// The page a property sheet shows.
HWND CurrentPage(HWND sheet);
// True when its centre is at 40% of the screen's width and height, where
// the program places its dialogs.
bool Placed(HWND window);

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
  HWND handle() const { return view_; }
  int Count() const;
  int ColumnCount() const;
  std::string Text(int row, int column);  // GBK, as the view holds it
  std::vector<std::string> Row(int row);
  // Title (GBK), width and alignment ("left", "right") of a column.
  bool Column(int column, std::string* title, int* width, std::string* align);
  UINT State(int row, UINT mask);
  bool SetState(int row, UINT state, UINT mask);
  bool ItemRect(int row, RECT* rect);
  DWORD ExStyle() const;

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

}  // namespace harvio::uitest
