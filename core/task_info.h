// The two fixed records of a task: TaskInfo (the task's settings and
// counters) and UrlItem (one entry of a URL queue). Both are written to the
// task files byte for byte, so their layouts are part of the file format and
// are pinned below with static_asserts. All texts are NUL-terminated byte
// strings in code page 936; all integers are 32-bit little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace harvio {

// Queue an item lives in, and the index of that queue in a task.
enum ItemKind : uint32_t {
  kWeb2 = 0,  // list or result page: yields list and content pages
  kWeb1 = 1,  // content page (forum thread, detail page): yields pictures
  kPic = 2,   // a picture
  kNoKind = 3,
};

enum ItemState : uint32_t {
  kWaiting = 0,   // not yet taken
  kActive = 1,    // a worker holds it
  kFinished = 2,  // fetched; kept only for the duplicate check
};

enum TaskState : uint32_t {
  kNew = 0,
  kRunning = 1,
  kPaused = 2,
  kDone = 3,
};

// Limits shared by the whole program.
constexpr uint32_t kMaxTasks = 10;
constexpr uint32_t kMaxRunningTasks = 3;
constexpr uint32_t kMinThreads = 5;
constexpr uint32_t kMaxThreads = 25;
constexpr uint32_t kDefaultThreads = 15;
constexpr uint32_t kQueueCap = 2048;
constexpr uint32_t kMaxBodyBytes = 1048576;
constexpr size_t kUrlMax = 1024;    // longest path, referer or cut-out value
constexpr size_t kHostMax = 63;
constexpr size_t kTitleMax = 127;

// `host` holds the host name, lower-cased, and only what differs from plain
// http on port 80 (core/url_location reads and writes it):
//   http://name/...        "name"         (the form every older file has)
//   http://name:8080/...   "name:8080"
//   https://name/...       "s:name"       (port 443)
//   https://name:8443/...  "s:name:8443"
// A default port written in the URL is dropped. Every other form holds a
// ":", which no resolver accepts as a name: a build that knows only the
// first form refuses such an item (a picture is dropped, a page pauses its
// task) instead of fetching it over plain http on port 80.
struct UrlItem {
  uint32_t state;      // ItemState
  char path[1025];     // everything from the first "/" after the host
  char host[64];       // see above
  char title[128];     // thread title; a sub-folder name for pictures
  char referer[1025];  // page the item was found on; empty for none
  char fileName[66];   // output file without ".!"; empty until accepted
  uint32_t size;       // expected body length; 0 = unknown
  uint32_t done;       // body bytes already in the file
};

struct TaskInfo {
  uint32_t state;  // TaskState
  int32_t pictureCount;
  uint32_t elapsedSeconds;
  char taskName[64];  // GUID text; names the task file
  uint32_t sourceId;
  char catalogPath[64];
  char savePath[128];  // always ends in "\\"
  uint32_t threadCount;
  uint32_t classifyByTitle;
  char notes[128];
  char keyword[64];
  uint32_t sizeOption;
  uint32_t jpgLarge;  // JPEG of 16384 bytes and more
  uint32_t jpgSmall;  // JPEG under 16384 bytes
  uint32_t gif;
};

// Every integer already sits on a 4-byte boundary, so the natural layout is
// the file layout; the asserts keep it that way.
static_assert(sizeof(UrlItem) == 2320, "UrlItem is a file record");
static_assert(offsetof(UrlItem, path) == 4);
static_assert(offsetof(UrlItem, host) == 1029);
static_assert(offsetof(UrlItem, title) == 1093);
static_assert(offsetof(UrlItem, referer) == 1221);
static_assert(offsetof(UrlItem, fileName) == 2246);
static_assert(offsetof(UrlItem, size) == 2312);
static_assert(offsetof(UrlItem, done) == 2316);

static_assert(sizeof(TaskInfo) == 488, "TaskInfo is a file record");
static_assert(offsetof(TaskInfo, taskName) == 12);
static_assert(offsetof(TaskInfo, sourceId) == 76);
static_assert(offsetof(TaskInfo, catalogPath) == 80);
static_assert(offsetof(TaskInfo, savePath) == 144);
static_assert(offsetof(TaskInfo, threadCount) == 272);
static_assert(offsetof(TaskInfo, classifyByTitle) == 276);
static_assert(offsetof(TaskInfo, notes) == 280);
static_assert(offsetof(TaskInfo, keyword) == 408);
static_assert(offsetof(TaskInfo, sizeOption) == 472);
static_assert(offsetof(TaskInfo, jpgLarge) == 476);
static_assert(offsetof(TaskInfo, jpgSmall) == 480);
static_assert(offsetof(TaskInfo, gif) == 484);

}  // namespace harvio
