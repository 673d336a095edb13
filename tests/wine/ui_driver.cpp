#include "tests/wine/ui_driver.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace harvio::uitest {
namespace {

constexpr DWORD kPollMs = 25;
constexpr size_t kTextBytes = 2048;  // longer than any cell or status text

std::string Convert(const std::string& text, UINT from, UINT to) {
  if (text.empty()) return text;
  int wide_length =
      MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(wide_length), L'\0');
  MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), &wide[0], wide_length);
  int length = WideCharToMultiByte(to, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(to, 0, wide.data(), wide_length, &out[0], length, nullptr, nullptr);
  return out;
}

}  // namespace

bool Fail(const std::string& what) {
  std::printf("FAIL: %s\n", what.c_str());
  std::fflush(stdout);
  return false;
}

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
  }
}

Program::~Program() {
  if (handle_ == nullptr) return;
  if (Running()) TerminateProcess(handle_, 99);
  CloseHandle(handle_);
}

bool Program::Start(const std::string& exe) {
  std::string command = "\"" + exe + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  handle_ = info.hProcess;
  id_ = info.dwProcessId;
  return true;
}

long Program::WaitForExit(DWORD ms) {
  if (WaitForSingleObject(handle_, ms) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(handle_, &code);
  return static_cast<long>(code);
}

bool Program::Running() const { return WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }

HWND WaitForMainWindow(DWORD ms) {
  HWND window = nullptr;
  WaitUntil(
      [&] {
        window = FindWindowA("HARVIOCLASSNAME", "Harvio");
        return window != nullptr && IsWindowVisible(window);
      },
      ms);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

HWND FindShown(DWORD pid, const char* name, const std::vector<HWND>& except) {
  for (HWND window = nullptr;
       (window = FindWindowExA(nullptr, window, name, nullptr)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && IsWindowVisible(window) &&
        std::find(except.begin(), except.end(), window) == except.end()) {
      return window;
    }
  }
  return nullptr;
}

std::string WindowText(HWND window) {
  char text[2048] = "";
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

RemoteBlock::RemoteBlock(HWND window, size_t bytes) : bytes_(bytes) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process_ == nullptr) return;
  address_ = static_cast<char*>(
      VirtualAllocEx(process_, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

RemoteBlock::~RemoteBlock() {
  if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  if (process_ != nullptr) CloseHandle(process_);
}

bool RemoteBlock::Write(size_t offset, const void* data, size_t bytes) {
  if (offset > bytes_ || bytes > bytes_ - offset) return false;
  SIZE_T written = 0;
  return WriteProcessMemory(process_, address_ + offset, data, bytes, &written) && written == bytes;
}

bool RemoteBlock::Read(const void* remote, void* data, size_t bytes) {
  SIZE_T read = 0;
  return ReadProcessMemory(process_, remote, data, bytes, &read) && read == bytes;
}

RemoteListView::RemoteListView(HWND view)
    : view_(view), block_(view, sizeof(LVITEMA) + kTextBytes) {}

int RemoteListView::Count() const {
  return static_cast<int>(SendMessageA(view_, LVM_GETITEMCOUNT, 0, 0));
}

int RemoteListView::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(SendMessageA(view_, LVM_GETHEADER, 0, 0));
  return header == nullptr ? 0 : static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

std::string RemoteListView::Text(int row, int column) {
  // The item record at the start of the block, its text buffer behind it.
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = block_.address() + sizeof(LVITEMA);
  item.cchTextMax = static_cast<int>(kTextBytes);
  if (!block_.Write(0, &item, sizeof item)) return "<unreadable>";
  LRESULT length = SendMessageA(view_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                reinterpret_cast<LPARAM>(block_.address()));
  if (length <= 0) return std::string();
  // The view may point pszText at a buffer of its own: read it back first.
  if (!block_.Read(block_.address(), &item, sizeof item)) return "<unreadable>";
  std::string text(
      static_cast<size_t>(length < static_cast<LRESULT>(kTextBytes) ? length : kTextBytes - 1),
      '\0');
  if (!block_.Read(item.pszText, &text[0], text.size())) return "<unreadable>";
  return text.substr(0, std::strlen(text.c_str()));
}

std::vector<std::string> RemoteListView::Row(int row) {
  std::vector<std::string> cells;
  for (int column = 0; column < ColumnCount(); ++column) cells.push_back(Text(row, column));
  return cells;
}

bool RemoteListView::Column(int column, std::string* title, int* width, std::string* align) {
  LVCOLUMNA asked = {};
  asked.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  asked.pszText = block_.address() + sizeof(LVITEMA);
  asked.cchTextMax = static_cast<int>(kTextBytes);
  static_assert(sizeof(LVCOLUMNA) <= sizeof(LVITEMA), "the record fits before the text");
  std::string text(kTextBytes, '\0');
  if (!block_.Write(sizeof(LVITEMA), text.data(), text.size()) ||
      !block_.Write(0, &asked, sizeof asked) ||
      !SendMessageA(view_, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                    reinterpret_cast<LPARAM>(block_.address())) ||
      !block_.Read(block_.address(), &asked, sizeof asked) ||
      !block_.Read(block_.address() + sizeof(LVITEMA), &text[0], text.size() - 1)) {
    return false;
  }
  *title = text.substr(0, std::strlen(text.c_str()));
  *width = asked.cx;
  *align = (asked.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT ? "right" : "left";
  return true;
}

bool RemoteListView::SetState(int row, UINT state, UINT mask) {
  LVITEMA item = {};
  item.state = state;
  item.stateMask = mask;
  return block_.Write(0, &item, sizeof item) &&
         SendMessageA(view_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(block_.address())) != 0;
}

bool RemoteListView::ItemRect(int row, RECT* rect) {
  RECT asked = {};
  asked.left = LVIR_BOUNDS;
  return block_.Write(0, &asked, sizeof asked) &&
         SendMessageA(view_, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(block_.address())) != 0 &&
         block_.Read(block_.address(), rect, sizeof *rect);
}

std::string StatusText(HWND bar, int part) {
  // SB_GETTEXTLENGTH counts characters under some systems and bytes under
  // others, so the whole zeroed buffer is read back and cut at its end.
  RemoteBlock block(bar, kTextBytes);
  std::string text(kTextBytes, '\0');
  if (!block.ok() || !block.Write(0, text.data(), text.size())) return "<unreadable>";
  SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part),
               reinterpret_cast<LPARAM>(block.address()));
  if (!block.Read(block.address(), &text[0], text.size() - 1)) return "<unreadable>";
  return text.substr(0, std::strlen(text.c_str()));
}

void PressKeys(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::string GbkToUtf8(const std::string& gbk) { return Convert(gbk, 936, CP_UTF8); }
std::string Utf8ToGbk(const std::string& utf8) { return Convert(utf8, CP_UTF8, 936); }

int Id(const Session& s, const std::string& name) {
  if (!name.empty() && (std::isdigit(static_cast<unsigned char>(name[0])) || name[0] == '-')) {
    return std::atoi(name.c_str());
  }
  auto found = s.ids.find(name);
  return found == s.ids.end() ? 0 : found->second;
}

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND TopDialog(const Session& s) { return s.dialogs.empty() ? nullptr : s.dialogs.back(); }

}  // namespace harvio::uitest
