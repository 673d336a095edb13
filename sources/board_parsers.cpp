// The forum boards crawl in two levels: a list page (WEB2) names threads and
// the next list page, a thread page (WEB1) shows pictures. Every board is read
// by the same two procedures; what differs per board is data: the markers
// around each value, their order in a row, the site root and a few rules on
// counts and titles.
//
// Values are never cut by writing into the page: each search is bounded by
// the page end (a page may hold NUL bytes), and cut-out values are copied
// into 1028-byte buffers before they are decoded.
#include "sources/board_parsers.h"

#include <algorithm>
#include <cstring>

#include "sources/custom_parser.h"
#include "sources/hosts.h"

namespace harvio {
namespace board {
namespace {

constexpr uint32_t kNumberCap = 1000000000;  // keeps counts from overflowing

struct QueueRule {
  ItemKind queue;
  bool itemTitle;  // the current item's title, else the row's title
  bool checkDuplicate;
  bool wantedOnly;  // filtered by the task's picture formats
};

// Indexed by Found.
constexpr QueueRule kQueueRules[] = {
    {kWeb1, false, true, false},   // kThread
    {kWeb2, false, false, false},  // kNextList
    {kWeb2, false, true, false},   // kCheckedNextList
    {kPic, true, true, true},      // kPicture
    {kWeb1, true, false, false},   // kContentScript
};

enum class RowEnd { kQueue, kSkip, kStop };

struct Row {
  std::string_view count;
  std::string_view title;
  TextBuffer link;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

uint32_t ReadCount(std::string_view text, bool stripTags) {
  if (!stripTags) return LeadingNumber(text);
  char work[kWorkBuffer];
  size_t n = std::min(text.size(), kUrlMax);
  std::memcpy(work, text.data(), n);
  work[n] = '\0';
  StripTags(work);
  return LeadingNumber(work);
}

// Reads the fields of one row. kSkip leaves the cursor where the next row is
// to be searched from; kStop ends the rows.
RowEnd ReadRow(const ListLayout& layout, const char* root, Cursor& at,
               Row* row) {
  for (const Field& field : layout.fields) {
    std::string_view value;
    if (!ReadCut(at, field.cut, &value)) return RowEnd::kStop;
    switch (field.role) {
      case Role::kCount: {
        const CountRule& rule = layout.count;
        if (rule.limit != 0 && value.size() >= rule.limit) {
          return rule.limitEndsRows ? RowEnd::kStop : RowEnd::kSkip;
        }
        if (rule.none != nullptr && value == rule.none) return RowEnd::kSkip;
        row->count = value;
        break;
      }
      case Role::kLink:
        if (!row->link.Append(root) || !row->link.Append(layout.linkPath) ||
            !row->link.Append(value)) {
          return RowEnd::kStop;
        }
        break;
      case Role::kTitle:
        row->title = value;
        break;
    }
  }
  return RowEnd::kQueue;
}

// The last occurrence of `c` in [from, before), or nullptr.
const char* FindLast(const char* from, const char* before, char c) {
  size_t at = std::string_view(from, before - from).rfind(c);
  return at == std::string_view::npos ? nullptr : from + at;
}

}  // namespace

bool ReadCut(Cursor& at, const Cut& cut, std::string_view* value) {
  if (cut.open != nullptr) {
    const char* hit = FindMarker(at.pos, at.end, cut.open);
    if (hit == nullptr) return false;
    at.pos = hit + (cut.into == kAfterOpen ? std::strlen(cut.open)
                                           : static_cast<size_t>(cut.into));
    at.arguments = 0;
  }
  if (cut.past != nullptr) {
    const char* hit = FindMarker(at.pos, at.end, cut.past);
    if (hit == nullptr) return false;
    at.pos = hit + std::strlen(cut.past);
  }
  if (cut.argument > 0) return ReadArgument(at, cut.argument, value);
  const char* close = FindMarker(at.pos, at.end, cut.close);
  if (close == nullptr) return false;
  *value = std::string_view(at.pos, close - at.pos + cut.keep);
  at.pos = close + std::strlen(cut.close);
  return true;
}

bool SkipQuotes(Cursor& at, int count) {
  for (int i = 0; i < count; ++i) {
    const char* quote = FindMarker(at.pos, at.end, "'");
    if (quote == nullptr) return false;
    at.pos = quote + 1;
  }
  return true;
}

bool ReadArgument(Cursor& at, int number, std::string_view* value) {
  // Argument k lies between the (2k-1)-th and the 2k-th quote.
  if (number <= at.arguments) return false;
  if (!SkipQuotes(at, 2 * (number - at.arguments) - 1)) return false;
  const char* start = at.pos;
  if (!SkipQuotes(at, 1)) return false;
  *value = std::string_view(start, at.pos - 1 - start);
  at.arguments = number;
  return true;
}

uint32_t LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  uint64_t number = 0;  // wide enough that the step before the cap never wraps
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    number = std::min<uint64_t>(number * 10 + (text[i] - '0'), kNumberCap);
  }
  return static_cast<uint32_t>(number);
}

bool TextBuffer::Append(std::string_view piece) {
  if (piece.size() > kUrlMax - length_) return false;
  std::memcpy(text_ + length_, piece.data(), piece.size());
  length_ += piece.size();
  text_[length_] = '\0';
  return true;
}

void TextBuffer::Decode() {
  DecodePercentEscapes(text_);
  DecodeEntities(text_);
  length_ = std::strlen(text_);
}

TextBuffer HostMarker(const char* before, const char* host, const char* after) {
  TextBuffer marker;
  marker.Append(before);
  marker.Append("http://");
  marker.Append(host);
  marker.Append(after);
  return marker;
}

TextBuffer SiteRoot(const char* host, const char* path) {
  return HostMarker("", host, path);
}

BoardPage::BoardPage(const PageContext& context) : ctx(context) {
  PageUrl(*context.item, pageUrl);
}

void Admit(const BoardPage& page, Found what, const char* url,
           const char* rowTitle) {
  const QueueRule& rule = kQueueRules[static_cast<int>(what)];
  if (rule.wantedOnly && !IsWantedPicture(url, *page.ctx.info)) return;
  const char* title = rule.itemTitle ? page.ctx.item->title : rowTitle;
  QueueUrl(page.ctx, rule.queue, url, title, page.pageUrl, rule.checkDuplicate);
}

bool FinishTitle(std::string_view raw, size_t rawLimit, char* out) {
  // The text helpers take at most kUrlMax bytes, so a longer raw title could
  // not be decoded whole.
  if (raw.size() >= rawLimit || raw.size() > kUrlMax) return false;
  std::memcpy(out, raw.data(), raw.size());
  out[raw.size()] = '\0';
  StripTags(out);
  DecodeEntities(out);
  return std::strlen(out) < kTitleLimit;
}

const char* ReadRows(const BoardPage& page, const ListLayout& layout,
                     const char* root) {
  Cursor at{page.ctx.page, page.ctx.end};
  for (;;) {
    const char* rowStart = at.pos;
    Row row;
    RowEnd end = ReadRow(layout, root, at, &row);
    if (end == RowEnd::kStop) return rowStart;
    if (end == RowEnd::kSkip) continue;
    char title[kWorkBuffer];
    if (!FinishTitle(row.title, layout.rawTitleLimit, title)) {
      at.pos = row.title.data();  // the next row is searched from the title
      continue;
    }
    if (ReadCount(row.count, layout.count.stripTags) < kPopularHits) continue;
    row.link.Decode();
    Admit(page, Found::kThread, row.link.text(), title);
  }
}

void QueueNextPage(const BoardPage& page, const NextPage& next,
                   const char* from, const char* root) {
  std::string_view link;
  if (next.anchorOpen > 0) {
    const char* marker = FindMarker(from, page.ctx.end, next.cut.open);
    if (marker == nullptr) return;
    const char* anchor = FindLast(page.ctx.page, marker, '<');
    if (anchor == nullptr || marker - anchor < next.anchorOpen) return;
    link = std::string_view(anchor + next.anchorOpen,
                            marker - anchor - next.anchorOpen);
  } else {
    Cursor at{from, page.ctx.end};
    if (!ReadCut(at, next.cut, &link)) return;
  }
  TextBuffer url;
  if (!url.Append(root) || !url.Append(next.path) || !url.Append(link)) return;
  url.Decode();
  Admit(page, next.kind, url.text());
}

void ParseListPage(const BoardPage& page, const ListLayout& layout,
                   const char* root) {
  const char* rowsEnd = ReadRows(page, layout, root);
  QueueNextPage(page, layout.next, rowsEnd, root);
}

void ScanValues(const BoardPage& page, const char* from, const Cut& cut,
                Found what) {
  Cursor at{from, page.ctx.end};
  std::string_view value;
  while (ReadCut(at, cut, &value)) {
    TextBuffer url;
    if (!url.Append(value)) return;
    url.Decode();
    Admit(page, what, url.text());
  }
}

void ScanPictures(const BoardPage& page, const Cut& cut) {
  ScanValues(page, page.ctx.page, cut, Found::kPicture);
}

void CollectThreadPictures(const BoardPage& page) {
  CollectImgPictures(page.ctx, kPic, page.pageUrl);
}

void ParseBoardPage(const PageContext& ctx, const ListLayout& layout,
                    const TextBuffer& root, ThreadScan thread) {
  BoardPage page(ctx);
  if (ctx.kind == kWeb2) {
    ParseListPage(page, layout, root.text());
  } else {
    thread(page);
  }
}

}  // namespace board

namespace {

using namespace board;

// Count cells that may hold markup are read only while they are short.
constexpr size_t kTaggedCountLimit = 128;
constexpr CountRule kTaggedCountEndsRows = {kTaggedCountLimit, true, true,
                                            nullptr};
constexpr CountRule kTaggedCountSkipsRow = {kTaggedCountLimit, false, true,
                                            nullptr};
constexpr CountRule kDashesSkipRow = {0, false, false, "--"};

// 百度贴吧
constexpr ListLayout kBaiduTiebaList = {
    {{Role::kCount,
      Between("<td align=\"left\" class=\"d\">&nbsp;&nbsp;", "</td>")},
     {Role::kLink, Between("<a class=t href=\"", "\" target=_blank > ")},
     {Role::kTitle, Between(nullptr, "</a>")}},
    "",
    kTitleLimit,
    kPlainCount,
    AnchorEnding("><font>\xcf\xc2\xd2\xbb\xd2\xb3</font></a>", 8)};  // 下一页
constexpr Cut kBaiduTiebaPicture = Beyond(
    "<font style=\"FONT-SIZE: 14px;\">"
    "\xcc\xfb\xd7\xd3\xcf\xe0\xb9\xd8\xcd\xbc\xc6\xac: </font>",  // 帖子相关图片
    "<img src=\"", "\" border=0>");

// 搜狗说吧
constexpr ListLayout kSogouShuobaList = {
    {{Role::kCount, Between("<td height=31>", "</td>")},
     {Role::kLink, Between("<a target=\"_blank\" href=", ">")},
     {Role::kTitle, Between(nullptr, "</a>")}},
    "",
    kTitleLimit,
    kTaggedCountEndsRows,
    LinkBetween(Into("]<a href=\"/say?md=list", 10, "\">["), "",
                Found::kCheckedNextList)};

// TOM论坛
constexpr char kTomCountCell[] = "<TD bgcolor=\"F5F5F5\">";
constexpr ListLayout kTomList = {
    {{Role::kLink,
      Into("<A href='view_thread.php?forumid=", 9, "' class=\"thread\">")},
     {Role::kTitle, Between(nullptr, "</A>")},
     {Role::kCount, Beyond(kTomCountCell, kTomCountCell, "</TD>")}},
    "",
    kTitleLimit,
    kPlainCount,
    AnchorEnding("\"><font color=#ff6600>[\xcf\xc2\xd2\xb3]</font></a>",
                 9)};  // [下页]

// 搜狐社区
constexpr ListLayout kSohuList = {
    {{Role::kCount,
      Between("<td bgcolor=\"f1f1f1\" align=\"center\" class=\"ta2\">",
              "</td>")},
     {Role::kLink,
      Between("<td bgcolor=\"f8f8f8\" class=\"ca1\">&nbsp;<a href=",
              " class=\"title\">")},
     {Role::kTitle, Between(nullptr, "<")}},
    "",
    kTitleLimit,
    kDashesSkipRow,
    AnchorEnding(" target=_self>[\xcf\xc2\xd2\xbb\xd2\xb3]</a>",
                 8)};  // [下一页]
constexpr char kSohuContentStart[] =
    "<!--\xc4\xda\xc8\xdd\xbf\xaa\xca\xbc-->";  // <!--内容开始-->
constexpr Cut kSohuContentScript = Between("<script src=", "></script>");

// 喜满你论坛
constexpr ListLayout kXimanniList = {
    {{Role::kLink, Between("<a class=\"title\" href=\"", "\">")},
     {Role::kTitle, Between(nullptr, "</a>")},
     {Role::kCount,
      Between("<td width=\"6%\" bgcolor=\"#FFFFFF\">\r\n  ", "\r\n  </td>")}},
    "",
    kTitleLimit,
    kPlainCount,
    AnchorEnding("\">\xcf\xc2\xd2\xbb\xd2\xb3</a>", 9)};  // 下一页

// 美图贴吧
constexpr char kMeituCountCell[] = "<td class=t_two>";
constexpr ListLayout kMeituList = {
    {{Role::kLink, Between("<!---->\r\n <a href='", "'>")},
     {Role::kTitle, Between(nullptr, "</a>")},
     {Role::kCount, Beyond(kMeituCountCell, kMeituCountCell, "</td>")}},
    "",
    kTitleLimit,
    kPlainCount,
    LinkBetween(Between("</b>&nbsp; <a href=", ">"))};
constexpr Cut kMeituPicture = Between("window.open('", "')");

// 天涯社区: two generations of the list page. The link keeps the text after
// "<td width=370><a href='" (23 bytes).
constexpr char kTianyaNewRow[] = "<td width=370><a href='/publicforum/Content/";
constexpr Field kTianyaTitle = {Role::kTitle, Between(nullptr, "</a></td>")};
constexpr Field kTianyaCount = {
    Role::kCount, Between("<td width=35 align=center class=tdfont>", "</td>")};
constexpr NextPage kTianyaNext =
    AnchorEnding(">\xcf\xc2\xd2\xbb\xd2\xb3</a>", 8);  // 下一页
constexpr ListLayout kTianyaNewList = {
    {{Role::kLink, Into(kTianyaNewRow, 23, "'  target='_blank'>")},
     kTianyaTitle,
     kTianyaCount},
    "",
    kTitleLimit,
    kPlainCount,
    kTianyaNext};
constexpr ListLayout kTianyaOldList = {
    {{Role::kLink,
      Into("<td width=370><a href='Content.asp?", 23, "' target='_blank'>")},
     kTianyaTitle,
     kTianyaCount},
    "/new/publicforum/",
    kTitleLimit,
    kPlainCount,
    kTianyaNext};
constexpr Cut kTianyaPicture = Between("<IMG SRC=", ">");

// 猫扑贴贴: raw titles are limited only by the buffer; the title limit
// applies after decoding.
constexpr ListLayout kMopList = {
    {{Role::kLink,
      Between("<li class=\"li1\"><font color='#003366'>\xa1\xf4</font>"  // ◆
              "&nbsp;<a href=\"",
              "\"")},
     {Role::kTitle, Beyond(nullptr, ">", "</a></li>")},
     {Role::kCount, Between("<li class=\"li5\">", "</li>")}},
    "",
    kUrlMax + 1,
    kTaggedCountSkipsRow,
    {}};
constexpr char kMopNextMarker[] =
    ")\" class=\"red3\">\xcf\xc2\xd2\xbb\xd2\xb3</a>";  // 下一页
constexpr size_t kMopChangePageCall = 23;  // "\"javascript:changepage("

// The next list page of 猫扑贴贴 is the current one with another page number.
void QueueMopNextPage(const BoardPage& page, const char* from) {
  const char* marker = FindMarker(from, page.ctx.end, kMopNextMarker);
  if (marker == nullptr) return;
  const char* quote = FindLast(page.ctx.page, marker, '"');
  if (quote == nullptr ||
      static_cast<size_t>(marker - quote) < kMopChangePageCall) {
    return;
  }
  const char* number = quote + kMopChangePageCall;
  std::string_view pageUrl(page.pageUrl);
  TextBuffer url;
  if (url.Append(pageUrl.substr(0, pageUrl.find("&page="))) &&
      url.Append("&page=") &&
      url.Append(std::string_view(number, marker - number))) {
    Admit(page, Found::kNextList, url.text());
  }
}

// Threads whose posts are delivered by scripts: the scripts are fetched as
// thread pages of their own and carry the pictures.
void ScanSohuThread(const BoardPage& page) {
  const PageContext& ctx = page.ctx;
  const char* content = FindMarker(ctx.page, ctx.end, kSohuContentStart);
  if (content != nullptr) {
    ScanValues(page, content + std::strlen(kSohuContentStart),
               kSohuContentScript, Found::kContentScript);
  } else {
    CollectThreadPictures(page);
  }
}

// The URL runs from after the opening quote through ".jpg".
void ScanXimanniThread(const BoardPage& page) {
  TextBuffer open = HostMarker("\"", hosts::kXimanniPictures, "/uploadFile/");
  ScanPictures(page, Cut{open.text(), 1, nullptr, 0, ".jpg\"", 4});
}

// The URL keeps the host: it starts after "<img src='".
void ScanMopThread(const BoardPage& page) {
  TextBuffer open = HostMarker("<img src='", hosts::kMopPictures, "/");
  ScanPictures(page, Cut{open.text(), 10, nullptr, 0, "'", 0});
}

}  // namespace

void BaiduTiebaParser(const PageContext& ctx) {
  ParseBoardPage(
      ctx, kBaiduTiebaList, SiteRoot(hosts::kBaiduTieba),
      [](const BoardPage& page) { ScanPictures(page, kBaiduTiebaPicture); });
}

void SogouShuobaParser(const PageContext& ctx) {
  ParseBoardPage(ctx, kSogouShuobaList, SiteRoot(hosts::kSogouShuoba),
                 CollectThreadPictures);
}

void TomBoardParser(const PageContext& ctx) {
  // The boards live on three hosts; every list page links within its own.
  ParseBoardPage(ctx, kTomList, SiteRoot(ctx.item->host, "/forum/"),
                 CollectThreadPictures);
}

void SohuBoardParser(const PageContext& ctx) {
  ParseBoardPage(ctx, kSohuList, TextBuffer(), ScanSohuThread);
}

void XimanniBoardParser(const PageContext& ctx) {
  ParseBoardPage(ctx, kXimanniList, TextBuffer(), ScanXimanniThread);
}

void MeituBoardParser(const PageContext& ctx) {
  ParseBoardPage(
      ctx, kMeituList, SiteRoot(hosts::kMeituTieba, "/"),
      [](const BoardPage& page) { ScanPictures(page, kMeituPicture); });
}

void TianyaBoardParser(const PageContext& ctx) {
  const ListLayout& layout =
      FindMarker(ctx.page, ctx.end, kTianyaNewRow) != nullptr ? kTianyaNewList
                                                              : kTianyaOldList;
  ParseBoardPage(
      ctx, layout, SiteRoot(hosts::kTianya),
      [](const BoardPage& page) { ScanPictures(page, kTianyaPicture); });
}

void MopBoardParser(const PageContext& ctx) {
  BoardPage page(ctx);
  if (ctx.kind == kWeb2) {
    QueueMopNextPage(page, ReadRows(page, kMopList, ""));
  } else {
    ScanMopThread(page);
  }
}

}  // namespace harvio
