// On Windows the program's path form is the system's own: ANSI paths in the
// process code page (936 on a Chinese system).
#include "platform/paths.h"

#include "platform/win32/win_api.h"

namespace harvio::platform {
namespace {

// Index just past the last separator; a DBCS trail byte of 0x5C is skipped
// with its lead byte, not taken for a separator.
size_t AfterLastSeparator(const std::string& path) {
  size_t after = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
      ++i;
    } else if (path[i] == '\\') {
      after = i + 1;
    }
  }
  return after;
}

}  // namespace

std::string ExecutableDirectory() {
  char buffer[MAX_PATH + 1];
  DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  std::string exe(buffer, length);
  return exe.substr(0, AfterLastSeparator(exe));
}

std::string LogicalDrives() {
  DWORD mask = GetLogicalDrives();
  std::string letters;
  for (int i = 0; i < 26; ++i) {
    if (mask & (1u << i)) letters.push_back(static_cast<char>('A' + i));
  }
  return letters;
}

std::string FromNativePath(const std::string& native) {
  char buffer[MAX_PATH + 1];
  DWORD length = GetFullPathNameA(native.c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return std::string(buffer, length);
}

std::string ToNativePath(const std::string& path) { return path; }

}  // namespace harvio::platform
