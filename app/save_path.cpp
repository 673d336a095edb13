#include "app/save_path.h"

#include <cstring>

#include "core/gbk_text.h"
#include "core/item_folder.h"
#include "platform/paths.h"

namespace harvio {
namespace {

bool DriveExists(char letter) {
  char upper = letter >= 'a' ? static_cast<char>(letter - 'a' + 'A') : letter;
  return platform::LogicalDrives().find(upper) != std::string::npos;
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
  return IsSaveFolderForm(path) && DriveExists(path[0]);
}

}  // namespace harvio
