#include "app/save_path.h"

#include <cstring>

#include "core/gbk_text.h"
#include "platform/paths.h"

namespace harvio {
namespace {

constexpr size_t kSavePathMax = 127;

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool DriveExists(char letter) {
  char upper = letter >= 'a' ? static_cast<char>(letter - 'a' + 'A') : letter;
  return platform::LogicalDrives().find(upper) != std::string::npos;
}

bool IsForbiddenInName(char c) {
  return c != '\0' && std::strchr("\\/:*?\"<>|", c) != nullptr;
}

// The folder names after "X:\": none empty, none with outer blanks or a
// forbidden character. Double-byte characters are stepped over whole, so a
// trail byte that looks like "\\" neither ends a name nor is refused.
bool AreFolderNames(const char* rest) {
  const char* name = rest;
  for (const char* p = rest; *p != '\0';) {
    size_t step = GbkCharLength(p);
    if (step == 1 && *p == '\\') {
      if (p == name || *name == ' ' || p[-1] == ' ') return false;
      name = p + 1;
    } else if (step == 1 && IsForbiddenInName(*p)) {
      return false;
    }
    p += step;
  }
  return *name == '\0';  // the last name ends in "\\" too
}

// True when the text ends in a "\\" that is not the trail byte of a
// double-byte character.
bool EndsWithBackslash(const std::string& text) {
  const char* last = nullptr;
  for (const char* p = text.c_str(); *p != '\0'; p += GbkCharLength(p)) last = p;
  return last != nullptr && *last == '\\';
}

}  // namespace

std::string NormalizeSavePath(const std::string& text) {
  std::string path;
  for (const char* p = text.c_str(); *p != '\0';) {
    size_t step = GbkCharLength(p);
    bool blank = step == 1 && (*p == '\t' || *p == '.');
    path.append(blank ? " " : std::string(p, step));
    p += step;
  }
  size_t begin = path.find_first_not_of(' ');
  path = begin == std::string::npos
             ? std::string()
             : path.substr(begin, path.find_last_not_of(' ') - begin + 1);
  if (!EndsWithBackslash(path)) path += '\\';
  return path;
}

bool IsValidSavePath(const std::string& path) {
  return path.size() >= 3 && path.size() <= kSavePathMax &&
         IsDriveLetter(path[0]) && DriveExists(path[0]) && path[1] == ':' &&
         path[2] == '\\' && AreFolderNames(path.c_str() + 3);
}

}  // namespace harvio
