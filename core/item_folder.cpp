#include "core/item_folder.h"

namespace harvio {
namespace {

// Only forum sources carry thread titles worth a folder.
bool FilesByTitle(const TaskInfo& info) {
  return info.classifyByTitle != 0 && info.sourceId >= 21 &&
         info.sourceId <= 153;
}

}  // namespace

std::string ItemFolder(const TaskInfo& info, const UrlItem& item,
                       ItemKind kind) {
  std::string folder(info.savePath);
  if (kind == kPic && FilesByTitle(info) && item.title[0] != '\0') {
    folder += item.title;
    folder += '\\';
  }
  return folder;
}

}  // namespace harvio
