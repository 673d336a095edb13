// The catalog of picture sources: a tree whose labels live in the string
// table (ids 1150..1274, "L_SSS_name": level, SourceId, name), the size
// options of the keyword sources, and the start URL of every source up to
// 153. The tree is plain data so that the wizard's tree control and
// harvio-cli show the same thing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/task_info.h"
#include "core/url_queue.h"

namespace harvio {

constexpr uint32_t kFirstCatalogString = 1150;
constexpr uint32_t kLastCatalogString = 1274;

struct CatalogEntry {
  uint32_t level;     // 0 for the root, 1..4 below it
  uint32_t sourceId;  // 0 for a folder
  std::string name;   // code page 936
  int parent;         // index of the parent entry; -1 for the root
};

// The tree in display order: every entry follows its parent.
std::vector<CatalogEntry> LoadSourceTree();
// Index of the entry of `sourceId` (not 0), or -1 when the catalog has none.
int FindCatalogEntry(const std::vector<CatalogEntry>& tree, uint32_t sourceId);
// "Harvio->搜索引擎->Google Image(中英文)"; a folder ends in "->继续选择".
std::string BuildCatalogPath(const std::vector<CatalogEntry>& tree,
                             int index);

// The string ids of the option list of a keyword source; false (and no
// range) for every other source.
bool SizeOptionList(uint32_t sourceId, uint32_t* firstId, uint32_t* lastId);

// The keyword (code page 936) as percent-encoded UTF-8: bytes of 0x80 and
// above and "%" escaped, the rest copied. False when it cannot be converted.
bool EncodeKeywordUtf8(const char* keyword, std::string* encoded);

struct StartUrl {
  std::string url;
  std::string referer;  // empty but for the 猫扑 boards
};
// False for a SourceId that has no start URL (folders, custom sources).
bool BuildStartUrl(const TaskInfo& info, StartUrl* start);
// Admits the start URL into the WEB2 queue: no title, no duplicate check.
AddResult AddStartUrl(UrlQueue& web2, const TaskInfo& info);

}  // namespace harvio
