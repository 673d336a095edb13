#include "sources/catalog.h"

#include <cstdio>
#include <cstring>

#include "core/gbk_text.h"
#include "core/string_table.h"
#include "platform/codepage.h"
#include "sources/hosts.h"

namespace harvio {
namespace {

constexpr size_t kLabelBuffer = 64;
constexpr uint32_t kMaxLevel = 4;
constexpr uint32_t kContinueChoosing = 1460;  // "继续选择"

// One keyword source: where its query goes, and its size suffixes in the
// order of its option list (nullptr: nothing appended).
struct SearchEngine {
  uint32_t sourceId;
  const char* host;
  const char* prefix;
  bool utf8;               // the keyword is sent as escaped UTF-8
  const char* utf8Marker;  // appended after an escaped keyword
  uint32_t firstOption;    // string id of option 0
  uint32_t optionCount;
  const char* suffixes[7];
};

const SearchEngine kSearchEngines[] = {
    {1, hosts::kGoogleImages, "/images?q=", true, "&ie=utf-8", 1300, 4,
     {nullptr, "&imgsz=xxlarge", "&imgsz=small|medium|large|xlarge",
      "&imgsz=icon"}},
    {2, hosts::kYahooImages, "/search/images?p=", true, "&ei=utf-8", 1310, 5,
     {nullptr, "&imgsz=wallpaper", "&imgsz=large", "&imgsz=medium",
      "&imgsz=small"}},
    {3, hosts::kMsnSearch, "/images/results.aspx?q=", true, "", 1320, 4,
     {nullptr, "&size=400p", "&size=50t400", "&size=1t50"}},
    {11, hosts::kBaiduImages, "/i?ct=201326592&lm=-1&word=", false, "", 1330, 6,
     {"&z=0", "&z=5", "&z=4", "&z=3", "&z=2", "&z=1"}},
    {12, hosts::kIaskPictures, "/p?k=", false, "", 1340, 1, {nullptr}},
    {13, hosts::kZhongsouImages, "/i?w=", false, "", 1350, 4,
     {nullptr, "&t=1280", "&t=1024", "&t=800"}},
    {14, hosts::kSogouPictures, "/pics/pics?query=", false, "", 1360, 5,
     {"&mode=1", "&mode=5", "&mode=2", "&mode=3", "&mode=4"}},
    {15, hosts::kYahooChinaImages, "/search?p=", false, "", 1370, 7,
     {nullptr, "&miw=1280x1024", "&miw=1024x768", "&miw=800x600",
      "&miw=large", "&miw=medium", "&miw=small"}},
};

// The option list 全部 / 精华 of the keyword forums.
constexpr uint32_t kForumOptionFirst = 1380;
constexpr uint32_t kForumOptionLast = 1381;

struct KeywordForum {
  uint32_t sourceId;
  const char* host;
  const char* allTopics;
  const char* eliteTopics;
};

const KeywordForum kKeywordForums[] = {
    {21, hosts::kBaiduTieba, "/f?kw=",
     "/f?ct=318767104&tn=baiduKeywordSearch&lm=4&word="},
    {22, hosts::kSogouShuoba, "/say?md=listTopics&name=",
     "/say?md=listEliteTopics&name="},
};

// A fixed board: its host and the whole path of its first list page.
struct Board {
  uint32_t sourceId;
  const char* host;
  const char* path;
};

const Board kBoards[] = {
    {31, hosts::kVocForum, "/list2.asp?boardid=50"},
    {32, hosts::kVocForum, "/list2.asp?boardid=83"},
    {33, hosts::kVocForum, "/list2.asp?boardid=22"},
    {34, hosts::kVocForum, "/list2.asp?boardid=72"},
    {35, hosts::kVocForum, "/list2.asp?boardid=191"},
    {36, hosts::kVocForum, "/list2.asp?boardid=190"},
    {41, hosts::kXiluBoards[0], "/index/haoqq.html"},
    {42, hosts::kXiluBoards[1], "/index/zjdd.html"},
    {43, hosts::kXiluBoards[2], "/index/haokk.html"},
    {44, hosts::kXiluBoards[3], "/index/gogo.html"},
    {45, hosts::kXiluBoards[4], "/index/pastime.html"},
    {46, hosts::kXiluBoards[5], "/index/mm.html"},
    {47, hosts::kXiluBoards[6], "/index/mp8.html"},
    {48, hosts::kXiluBoards[7], "/index/sex.html"},
    {49, hosts::kXiluBoards[8], "/index/bbcaking.html"},
    {50, hosts::kXiluBoards[9], "/index/goto.html"},
    {51, hosts::kXiluBoards[10], "/index/hebowen.html"},
    {61, hosts::kTomEntertainment, "/forum/list_thread.php?forumid=1"},
    {62, hosts::kTomEntertainment, "/forum/list_thread.php?forumid=70"},
    {63, hosts::kTomEntertainment, "/forum/list_thread.php?forumid=71"},
    {64, hosts::kTomTechnology, "/forum/list_thread.php?forumid=66"},
    {65, hosts::kTomEntertainment, "/forum/list_thread.php?forumid=69"},
    {66, hosts::kTomSports, "/forum/list_thread.php?forumid=110"},
    {67, hosts::kTomEntertainment, "/forum/list_thread.php?forumid=68"},
    {68, hosts::kTomEntertainment, "/forum/list_thread.php?forumid=392"},
    {71, hosts::kQqForum, "/cgi-bin/bbs/show/title?groupid=128:10115"},
    {72, hosts::kQqForum, "/cgi-bin/bbs/show/title?groupid=128:10485"},
    {73, hosts::kQqForum, "/cgi-bin/bbs/show/title?groupid=128:10707"},
    {74, hosts::kQqForum, "/cgi-bin/bbs/show/title?groupid=128:10708"},
    {75, hosts::kQqForum, "/cgi-bin/bbs/show/title?groupid=110:10602"},
    {76, hosts::kQqForum, "/cgi-bin/bbs/show/title?groupid=104:10704"},
    {77, hosts::kQqForum, "/cgi-bin/bbs/show/title?groupid=106:10358"},
    {78, hosts::kQqForum, "/cgi-bin/bbs/show/title?groupid=115:11019"},
    {79, hosts::kQqForum, "/cgi-bin/bbs/show/title?groupid=142:10422"},
    {81, hosts::kSohuEntertainment, "/list-myphoto-0-0.html"},
    {82, hosts::kSohuEntertainment, "/list-nature_pics-0-0.html"},
    {83, hosts::kSohuEntertainment, "/list-tcpainting-0-0.html"},
    {84, hosts::kSohuEntertainment, "/list-fun_pics-0-0.html"},
    {85, hosts::kSohuEntertainment, "/list-startu-0-0.html"},
    {86, hosts::kSohuTravel, "/list-picture-0-0.html"},
    {87, hosts::kSohuEntertainment, "/list-mmphoto-0-0.html"},
    {88, hosts::kSohuAuto, "/l-autopic-0-0-0-0.html"},
    {89, hosts::kSohuNews, "/list-war_pics-0-0.html"},
    {91, hosts::kXimanniForum, "/cgi-bin/topic?f=8"},
    {92, hosts::kXimanniForum, "/cgi-bin/topic?f=76"},
    {93, hosts::kXimanniForum, "/cgi-bin/topic?f=82"},
    {94, hosts::kXimanniForum, "/cgi-bin/topic?f=26"},
    {95, hosts::kXimanniForum, "/cgi-bin/topic?f=29"},
    {101, hosts::kMeituTieba, "/thread.php?fid=10"},
    {102, hosts::kMeituTieba, "/thread.php?fid=32"},
    {103, hosts::kMeituTieba, "/thread.php?fid=12"},
    {104, hosts::kMeituTieba, "/thread.php?fid=34"},
    {105, hosts::kMeituTieba, "/thread.php?fid=35"},
    {106, hosts::kMeituTieba, "/thread.php?fid=38"},
    {107, hosts::kMeituTieba, "/thread.php?fid=39"},
    {108, hosts::kMeituTieba, "/thread.php?fid=41"},
    {109, hosts::kMeituTieba, "/thread.php?fid=14"},
    {141, hosts::kMopClub, "/club/list.jsp?ck=whbm"},
    {142, hosts::kMopClub, "/club/list.jsp?ck=plmm"},
    {143, hosts::kMopClub, "/club/list.jsp?ck=zwfc"},
    {144, hosts::kMopClub, "/club/list.jsp?ck=fjly"},
    {145, hosts::kMopClub, "/club/list.jsp?ck=gxtp"},
    {146, hosts::kMopClub, "/club/list.jsp?ck=syzp"},
    {147, hosts::kMopClub, "/club/list.jsp?ck=jstp"},
    {148, hosts::kMopClub, "/club/list.jsp?ck=mxfc"},
    {149, hosts::kMopClub, "/club/list.jsp?ck=wjcw"},
    {150, hosts::kMopClub, "/club/list.jsp?ck=tyyd"},
    {151, hosts::kMopClub, "/club/list.jsp?ck=shgj"},
    {152, hosts::kMopClub, "/club/list.jsp?ck=yxtp"},
    {153, hosts::kMopClub, "/club/list.jsp?ck=dwsj"},
};

// 猫扑 list pages are only served to visitors coming from the menu page.
constexpr uint32_t kFirstMopBoard = 141;
constexpr char kMopMenuPath[] = "/club/menu.jsp";

// 天涯: three sections; each board but the section's default page (its
// first SourceId) adds a sub-item, the board's own name in the catalog.
struct TianyaSection {
  uint32_t first;
  uint32_t last;
  const char* base;
};

const TianyaSection kTianyaSections[] = {
    {111, 121, "/new/publicforum/articleslist.asp?stritem=no04"},
    {122, 126, "/new/publicforum/articleslist.asp?stritem=tianyamyself"},
    {127, 135, "/new/Publicforum/ArticlesList.asp?strItem=tianyaphoto"},
};

std::string Http(const char* host, const std::string& path) {
  return std::string("http://") + host + path;
}

// The label of a catalog string, split into its three fields.
bool ParseLabel(uint32_t id, CatalogEntry* entry) {
  char label[kLabelBuffer];
  CopyBounded(label, sizeof(label), StringText(id));
  unsigned level = 0, sourceId = 0;
  if (std::strlen(label) < 6 || label[1] != '_' || label[5] != '_' ||
      std::sscanf(label, "%1u_%3u", &level, &sourceId) != 2 ||
      level > kMaxLevel) {
    return false;
  }
  entry->level = level;
  entry->sourceId = sourceId;
  entry->name = label + 6;
  return true;
}

// The name of a board as the catalog shows it, or an empty text.
std::string CatalogName(uint32_t sourceId) {
  std::vector<CatalogEntry> tree = LoadSourceTree();
  int index = FindCatalogEntry(tree, sourceId);
  return index < 0 ? std::string() : tree[index].name;
}

const SearchEngine* FindEngine(uint32_t sourceId) {
  for (const SearchEngine& e : kSearchEngines) {
    if (e.sourceId == sourceId) return &e;
  }
  return nullptr;
}

std::string SearchPath(const SearchEngine& engine, const char* keyword,
                       uint32_t sizeOption) {
  std::string path = engine.prefix;
  std::string encoded;
  if (engine.utf8 && EncodeKeywordUtf8(keyword, &encoded)) {
    path += encoded + engine.utf8Marker;
  } else {
    path += keyword;
  }
  if (sizeOption < engine.optionCount && engine.suffixes[sizeOption]) {
    path += engine.suffixes[sizeOption];
  }
  return path;
}

bool ForumStart(uint32_t sourceId, const char* keyword, uint32_t option,
                StartUrl* start) {
  for (const KeywordForum& f : kKeywordForums) {
    if (f.sourceId != sourceId) continue;
    start->url = Http(f.host, std::string(option == 0 ? f.allTopics
                                                      : f.eliteTopics) +
                                  keyword);
    return true;
  }
  return false;
}

bool TianyaStart(uint32_t sourceId, StartUrl* start) {
  for (const TianyaSection& s : kTianyaSections) {
    if (sourceId < s.first || sourceId > s.last) continue;
    std::string path = s.base;
    if (sourceId != s.first) path += "&strSubItem=" + CatalogName(sourceId);
    start->url = Http(hosts::kTianya, path);
    return true;
  }
  return false;
}

bool BoardStart(uint32_t sourceId, StartUrl* start) {
  for (const Board& b : kBoards) {
    if (b.sourceId != sourceId) continue;
    start->url = Http(b.host, b.path);
    if (sourceId >= kFirstMopBoard) start->referer = Http(b.host, kMopMenuPath);
    return true;
  }
  return TianyaStart(sourceId, start);
}

}  // namespace

std::vector<CatalogEntry> LoadSourceTree() {
  std::vector<CatalogEntry> tree;
  int lastAtLevel[kMaxLevel + 1] = {-1, -1, -1, -1, -1};
  for (uint32_t id = kFirstCatalogString; id <= kLastCatalogString; ++id) {
    CatalogEntry entry;
    if (!ParseLabel(id, &entry)) continue;
    entry.parent = entry.level == 0 ? -1 : lastAtLevel[entry.level - 1];
    // A label whose parent level has not appeared cannot be placed.
    if (entry.level != 0 && entry.parent < 0) continue;
    lastAtLevel[entry.level] = static_cast<int>(tree.size());
    tree.push_back(entry);
  }
  return tree;
}

int FindCatalogEntry(const std::vector<CatalogEntry>& tree,
                     uint32_t sourceId) {
  if (sourceId == 0) return -1;
  for (size_t i = 0; i < tree.size(); ++i) {
    if (tree[i].sourceId == sourceId) return static_cast<int>(i);
  }
  return -1;
}

std::string BuildCatalogPath(const std::vector<CatalogEntry>& tree,
                             int index) {
  std::string path;
  if (index >= static_cast<int>(tree.size())) return path;
  for (int i = index, depth = 0; i >= 0 && depth <= static_cast<int>(kMaxLevel);
       i = tree[i].parent, ++depth) {
    path = depth == 0 ? tree[i].name : tree[i].name + "->" + path;
  }
  if (index >= 0 && tree[index].sourceId == 0) {
    path += std::string("->") + StringText(kContinueChoosing);
  }
  return path;
}

bool SizeOptionList(uint32_t sourceId, uint32_t* firstId, uint32_t* lastId) {
  if (const SearchEngine* engine = FindEngine(sourceId)) {
    *firstId = engine->firstOption;
    *lastId = engine->firstOption + engine->optionCount - 1;
    return true;
  }
  if (sourceId >= 21 && sourceId <= 23) {
    *firstId = kForumOptionFirst;
    *lastId = kForumOptionLast;
    return true;
  }
  return false;
}

bool EncodeKeywordUtf8(const char* keyword, std::string* encoded) {
  encoded->clear();
  std::string utf8;
  if (!platform::GbkToUtf8(keyword, &utf8) || utf8.empty()) return false;
  static const char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : utf8) {
    if (c >= 0x80 || c == '%') {
      *encoded += '%';
      *encoded += kHex[c >> 4];
      *encoded += kHex[c & 15];
    } else {
      *encoded += static_cast<char>(c);
    }
  }
  return true;
}

bool BuildStartUrl(const TaskInfo& info, StartUrl* start) {
  *start = StartUrl();
  char keyword[sizeof(info.keyword)];
  CopyBounded(keyword, sizeof(keyword), info.keyword);
  if (const SearchEngine* engine = FindEngine(info.sourceId)) {
    start->url = Http(engine->host,
                      SearchPath(*engine, keyword, info.sizeOption));
    return true;
  }
  return ForumStart(info.sourceId, keyword, info.sizeOption, start) ||
         BoardStart(info.sourceId, start);
}

AddResult AddStartUrl(UrlQueue& web2, const TaskInfo& info) {
  StartUrl start;
  if (!BuildStartUrl(info, &start)) return AddResult::kInvalid;
  return web2.AddUrl(start.url.c_str(), "", start.referer.c_str(), false);
}

}  // namespace harvio
