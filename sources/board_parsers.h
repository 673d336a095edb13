// Forum board parsers: list pages yield popular threads and the next list
// page, thread pages yield pictures. One skeleton, each board's markers as
// data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sources/page_dispatch.h"
#include "sources/text_helpers.h"

namespace harvio {

void BaiduTiebaParser(const PageContext& ctx);    // 21
void SogouShuobaParser(const PageContext& ctx);   // 22
void TomBoardParser(const PageContext& ctx);      // 61-68
void SohuBoardParser(const PageContext& ctx);     // 81-89
void XimanniBoardParser(const PageContext& ctx);  // 91-95
void MeituBoardParser(const PageContext& ctx);    // 101-109
void TianyaBoardParser(const PageContext& ctx);   // 111-135
void MopBoardParser(const PageContext& ctx);      // 141-153

// The skeleton shared by every board parser, the script-argument boards
// included. Values are cut out of the page between fixed markers; nothing
// is written into the page, and no search leaves [page, end).
namespace board {

constexpr uint32_t kPopularHits = 100;         // fewer hits: the thread is left
constexpr size_t kTitleLimit = kTitleMax + 1;  // a title this long is refused

// One value cut out of the page, searched from a scan position.
struct Cut {
  const char* open;   // marker to find first; nullptr: the value follows on
  int into;           // the value starts this many bytes into `open`, or
                      // kAfterOpen: right after it
  const char* past;   // a further marker passed before the value, or nullptr
  int argument;       // > 0: the value is that single-quoted script argument
                      // after `open`; `close` and `keep` are then unused
  const char* close;  // the value ends where this marker starts ...
  int keep;           // ... plus this many of its bytes
};
constexpr int kAfterOpen = -1;

constexpr Cut Between(const char* open, const char* close) {
  return Cut{open, kAfterOpen, nullptr, 0, close, 0};
}
constexpr Cut Into(const char* open, int into, const char* close) {
  return Cut{open, into, nullptr, 0, close, 0};
}
constexpr Cut Beyond(const char* open, const char* past, const char* close) {
  return Cut{open, kAfterOpen, past, 0, close, 0};
}
constexpr Cut Argument(const char* open, int argument) {
  return Cut{open, kAfterOpen, nullptr, argument, nullptr, 0};
}

// A scan position. Script arguments are counted from the last opening
// marker passed.
struct Cursor {
  const char* pos;
  const char* end;
  int arguments = 0;
};

// Cuts the next value; on success the cursor stands after its closing marker
// (or quote). False when a marker or quote is missing.
bool ReadCut(Cursor& at, const Cut& cut, std::string_view* value);
// Passes `count` single quotes.
bool SkipQuotes(Cursor& at, int count);
// Script argument `number` (counted from the last opening marker; it must lie
// beyond the arguments already passed): the text between its two quotes.
bool ReadArgument(Cursor& at, int number, std::string_view* value);
// The leading decimal number after blanks; no digits read as 0.
uint32_t LeadingNumber(std::string_view text);

// A URL (or marker) built from pieces; it never reaches 1025 characters.
class TextBuffer {
 public:
  TextBuffer() { text_[0] = '\0'; }
  // False, leaving the text as it was, when the piece would not fit.
  bool Append(std::string_view piece);
  void Decode();  // percent escapes, then entities
  const char* text() const { return text_; }

 private:
  char text_[kWorkBuffer];
  size_t length_ = 0;
};

// before + "http://" + host + after: a marker that names a site's host.
TextBuffer HostMarker(const char* before, const char* host, const char* after);
// "http://" + host + path.
TextBuffer SiteRoot(const char* host, const char* path = "");

// The kinds of item a board page yields; each has one queueing rule.
enum class Found {
  kThread,           // WEB1, the row's title, duplicate check on
  kNextList,         // WEB2, no title, duplicate check off
  kCheckedNextList,  // WEB2, no title, duplicate check on
  kPicture,          // PIC, the current item's title, on, wanted formats only
  kContentScript,    // WEB1, the current item's title, off
};

// One parse of one page: the context and the referer of all it queues.
struct BoardPage {
  explicit BoardPage(const PageContext& context);
  const PageContext& ctx;
  char pageUrl[kWorkBuffer];
};

void Admit(const BoardPage& page, Found what, const char* url,
           const char* rowTitle = "");

// The title of a row, tags stripped and entities decoded, into a
// kWorkBuffer-byte `out`; false when the row is to be skipped for its title.
bool FinishTitle(std::string_view raw, size_t rawLimit, char* out);

// List pages ------------------------------------------------------------

enum class Role { kCount, kLink, kTitle };

struct Field {
  Role role;
  Cut cut;
};

struct CountRule {
  size_t limit;        // 0, or a count text this long is refused ...
  bool limitEndsRows;  // ... ending the rows (else skipping the row)
  bool stripTags;      // tags are stripped before the number is read
  const char* none;    // nullptr, or a text that drops the row at once
};
constexpr CountRule kPlainCount = {0, false, false, nullptr};

struct NextPage {
  Cut cut;           // cut.open is the marker
  int anchorOpen;    // > 0: the link ends at the marker and starts this many
                     // bytes after the last "<" before it; 0: `cut` cuts it
  const char* path;  // put between the site root and the link
  Found kind;        // kNextList or kCheckedNextList
};
constexpr NextPage AnchorEnding(const char* marker, int anchorOpen) {
  return NextPage{Between(marker, nullptr), anchorOpen, "", Found::kNextList};
}
constexpr NextPage LinkBetween(Cut cut, const char* path = "",
                               Found kind = Found::kNextList) {
  return NextPage{cut, 0, path, kind};
}

struct ListLayout {
  Field fields[3];       // one row, in the order of the page
  const char* linkPath;  // put between the site root and a thread link
  size_t rawTitleLimit;  // a raw title this long skips the row
  CountRule count;
  NextPage next;  // next.cut.open nullptr: the board pages itself
};

// Queues the popular threads of the rows; returns where the rows ended.
// `root` goes before every thread link ("" for boards with absolute links).
const char* ReadRows(const BoardPage& page, const ListLayout& layout,
                     const char* root);
void QueueNextPage(const BoardPage& page, const NextPage& next,
                   const char* from, const char* root);
void ParseListPage(const BoardPage& page, const ListLayout& layout,
                   const char* root);

// Thread pages ----------------------------------------------------------

// Queues every value `cut` finds from `from` on; a value of 1025 or more
// characters ends the scan.
void ScanValues(const BoardPage& page, const char* from, const Cut& cut,
                Found what);
// The pictures `cut` finds in the whole page.
void ScanPictures(const BoardPage& page, const Cut& cut);
// Pictures in img tags (the generic scan).
void CollectThreadPictures(const BoardPage& page);

// Boards ----------------------------------------------------------------

using ThreadScan = void (*)(const BoardPage& page);

// A list page through `layout` with `root`, a thread page through `thread`.
void ParseBoardPage(const PageContext& ctx, const ListLayout& layout,
                    const TextBuffer& root, ThreadScan thread);

}  // namespace board
}  // namespace harvio
