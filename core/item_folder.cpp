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

}  // namespace

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
    folder += '\\';
  }
  return folder;
}

}  // namespace harvio
