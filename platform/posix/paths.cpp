// Program paths are Windows paths in code page 936; on this system they map
// the way Wine maps them: drive Z: is the root, names are UTF-8 on disk.
// Backslashes are swapped only in the UTF-8 form, because a GBK trail byte
// may be 0x5C and must not be taken for a separator.
#include "platform/paths.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

#include "platform/codepage.h"

namespace harvio::platform {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return "/";
  return buffer;
}

}  // namespace

std::string ExecutableDirectory() {
  char buffer[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return FromNativePath(CurrentDirectory() + "/");
  std::string exe(buffer, static_cast<size_t>(length));
  return FromNativePath(exe.substr(0, exe.rfind('/') + 1));
}

std::string LogicalDrives() { return "Z"; }

std::string FromNativePath(const std::string& native) {
  std::string utf8 = native;
  if (utf8.empty() || utf8[0] != '/') {
    std::string base = CurrentDirectory();
    if (base.back() != '/') base += '/';
    utf8 = base + utf8;
  }
  std::replace(utf8.begin(), utf8.end(), '/', '\\');
  std::string gbk;
  // A name with no code page 936 form cannot be named by the program.
  if (!Utf8ToGbk(utf8, &gbk)) return std::string();
  return "Z:" + gbk;
}

std::string ToNativePath(const std::string& path) {
  std::string utf8;
  if (!GbkToUtf8(path, &utf8)) return std::string();
  std::string rest = utf8;
  if (utf8.size() >= 2 && IsLetter(utf8[0]) && utf8[1] == ':') {
    // Z: is the only drive; any other letter names nothing.
    if (utf8[0] != 'Z' && utf8[0] != 'z') return std::string();
    rest = utf8.substr(2);
    if (rest.empty() || rest[0] != '\\') rest.insert(rest.begin(), '\\');
  } else if (utf8.size() >= 2 && utf8[0] == '\\' && utf8[1] == '\\') {
    return std::string();  // network shares do not exist here
  }
  std::replace(rest.begin(), rest.end(), '\\', '/');
  return rest;
}

}  // namespace harvio::platform
