#include "core/item_folder.h"

#include <cstring>

#include "core/gbk_text.h"

namespace harvio {
namespace {

// Only forum sources carry thread titles worth a folder.
bool FilesByTitle(const TaskInfo& info) {
  return info.classifyByTitle != 0 && info.sourceId >= 21 &&
         info.sourceId <= 153;
}

// Whole GBK characters: a trail byte may look like "\\" or "|".
bool HasOnlyAllowedSingles(const char* text, const char* refused) {
  for (const char* p = text; *p != '\0';) {
    size_t length = GbkCharLength(p);
    unsigned char c = static_cast<unsigned char>(*p);
    if (length == 1 && (IsUnusableSingle(c) || std::strchr(refused, c) != nullptr)) {
      return false;
    }
    p += length;
  }
  return true;
}

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsForbiddenInName(char c) {
  return c != '\0' && std::strchr("\\/:*?\"<>|", c) != nullptr;
}

// The folder names after "X:\": none empty, none with outer blanks, a
// final dot or a forbidden character. Double-byte characters are stepped over whole, so a
// trail byte that looks like "\\" neither ends a name nor is refused.
bool AreFolderNames(const char* rest) {
  const char* name = rest;
  for (const char* p = rest; *p != '\0';) {
    size_t step = GbkCharLength(p);
    if (step == 1 && *p == '\\') {
      // Windows drops a final dot; "." and ".." would leave the folder.
      if (p == name || *name == ' ' || p[-1] == ' ' || p[-1] == '.') return false;
      name = p + 1;
    } else if (step == 1 && IsForbiddenInName(*p)) {
      return false;
    }
    p += step;
  }
  return *name == '\0';  // the last name ends in "\\" too
}

constexpr size_t kSavePathMax = 127;  // what a task's savePath holds

// Names Windows keeps for devices, whatever follows a dot and however many
// blanks or dots trail: no folder can be made under them.
bool IsDeviceName(const std::string& name) {
  std::string base = name.substr(0, name.find('.'));
  base.erase(base.find_last_not_of(' ') + 1);
  for (char& c : base) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

}  // namespace

bool IsSaveFolderForm(const std::string& path) {
  return path.size() >= 3 && path.size() <= kSavePathMax &&
         IsDriveLetter(path[0]) && path[1] == ':' && path[2] == '\\' &&
         AreFolderNames(path.c_str() + 3);
}

bool IsPlainFileName(const char* name) {
  size_t length = ::strnlen(name, sizeof(UrlItem::fileName));
  if (length == 0 || length >= sizeof(UrlItem::fileName)) return false;
  for (size_t i = 0; i < length; ++i) {
    char c = name[i];
    bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                   (c >= '0' && c <= '9') || std::strchr("{}-.", c) != nullptr;
    if (!allowed) return false;
  }
  return name[0] != '.';
}

std::string ItemFolder(const TaskInfo& info, const UrlItem& item,
                       ItemKind kind) {
  std::string folder(info.savePath);
  if (kind == kPic && FilesByTitle(info) && item.title[0] != '\0' &&
      HasOnlyAllowedSingles(item.title, "\t.\"*/:<>?\\|")) {
    folder += item.title;
    // The same task saves the same files on every system.
    if (IsDeviceName(item.title)) folder += '_';
    folder += '\\';
  }
  return folder;
}

}  // namespace harvio
