// Boards that write their thread lists (and QQ its pictures) as single-quoted
// arguments of script calls. They use the board skeleton; only the script
// calls, QQ's picture calls and 西陆's form-driven paging are their own.
#include "sources/script_board_parsers.h"

#include <cstring>

#include "sources/board_parsers.h"
#include "sources/hosts.h"

namespace harvio {
namespace {

using namespace board;

// 华声在线: list_title_color(...) carries the title as its second argument
// and the link as its sixth.
constexpr ListLayout kVocList = {
    {{Role::kTitle,
      Argument("<script language=javascript>list_title_color(", 2)},
     {Role::kLink, Argument(nullptr, 6)},
     {Role::kCount, Between("<script language=javascript>list_hits(", ")")}},
    "",
    kTitleLimit,
    kPlainCount,
    LinkBetween(Into("]</font> <a href='?boardid=", 18, "'>["), "/list2.asp")};
constexpr Cut kVocPictures[] = {Between("[img]", "[/img]"),
                                Between("[upload=jpg]", "[/upload]")};

// QQ论坛
constexpr ListLayout kQqList = {
    {{Role::kCount,
      Beyond("<td align=\"center\" class=\"listtd\"><font  color=", ">",
             "</font>")},
     {Role::kLink, Into("<a href='/cgi-bin/bbs/show/content?groupid=", 9,
                        "' class='link9' target=_blank>\r\n\t")},
     {Role::kTitle, Between(nullptr, "</a>")}},
    "",
    1027,  // the title limit applies after decoding
    kPlainCount,
    AnchorEnding("\" class=\"pagenexts\">\xcf\xc2\xd2\xb3</a>", 9)};  // 下页
// showimg('1', ...): the picture path is the third argument after the
// marker; four bytes after the fifth argument's closing quote a digit picks
// the picture host.
constexpr Cut kQqPictureCall = Argument("showimg('1'", 3);
constexpr int kQqSelectorOffset = 3;  // from just after that quote

// 西陆社区
constexpr char kXiluForm[] = "name=indexform>";
constexpr size_t kXiluFormAction = 13;  // "<FORM action="
constexpr Cut kXiluForumId = Between("index?forum=", "&style=b");
constexpr Cut kXiluNoteNumber = Beyond("<INPUT", "value=", ">");
constexpr Cut kXiluRow = Argument("printindex('class=tt'", 1);  // the level
constexpr char kXiluTopRow[] = "id=\"top";
// The POST body holds at most this much of the form value.
constexpr size_t kXiluPostValueMax = 55;

void QueueQqPictureCalls(const BoardPage& page) {
  Cursor at{page.ctx.page, page.ctx.end};
  std::string_view path;
  while (ReadCut(at, kQqPictureCall, &path)) {
    if (path.size() >= kTitleLimit || !SkipQuotes(at, 2)) return;
    if (at.end - at.pos <= kQqSelectorOffset) return;
    const char* selector = at.pos + kQqSelectorOffset;
    const char* host = *selector == '0'   ? hosts::kQqPictures0
                       : *selector == '1' ? hosts::kQqPictures1
                                          : nullptr;
    if (host == nullptr) return;
    TextBuffer url;
    if (url.Append("http://") && url.Append(host) && url.Append("/") &&
        url.Append(path)) {
      url.Decode();
      Admit(page, Found::kPicture, url.text());
    }
    at.pos = selector;
  }
}

// The thread rows of a 西陆 list page, read from `at`. Rows that some
// "id=\"top" follows are the board's pinned threads and are left.
void QueueXiluRows(const BoardPage& page, Cursor at) {
  std::string_view all(page.ctx.page, page.ctx.end - page.ctx.page);
  size_t lastTop = all.rfind(kXiluTopRow);
  std::string_view level, forum, message, rawTitle, hits;
  while (ReadCut(at, kXiluRow, &level)) {
    if (LeadingNumber(level) > 0) continue;  // a reply
    if (!ReadArgument(at, 5, &forum) || !ReadArgument(at, 6, &message)) return;
    TextBuffer url;
    if (!url.Append("http://") || !url.Append(page.ctx.item->host) ||
        !url.Append("/cgi-bin/bbs/view?forum=") || !url.Append(forum) ||
        !url.Append("&message=") || !url.Append(message)) {
      return;
    }
    if (!ReadArgument(at, 8, &rawTitle)) return;
    char title[kWorkBuffer];
    if (!FinishTitle(rawTitle, kTitleLimit, title)) continue;
    if (!ReadArgument(at, 13, &hits)) return;
    bool pinned =
        lastTop != std::string_view::npos && page.ctx.page + lastTop >= at.pos;
    if (pinned || LeadingNumber(hits) < kPopularHits) continue;
    url.Decode();
    Admit(page, Found::kThread, url.text(), title);
  }
}

// A 西陆 list page names the next one in its paging form: the form's action
// and the note number to post. The next page goes first, then the rows.
void ParseXiluListPage(const BoardPage& page) {
  const PageContext& ctx = page.ctx;
  const char* form = FindMarker(ctx.page, ctx.end, kXiluForm);
  if (form == nullptr) return;
  size_t tag = std::string_view(ctx.page, form - ctx.page).rfind('<');
  if (tag == std::string_view::npos ||
      static_cast<size_t>(form - ctx.page) - tag < kXiluFormAction) {
    return;
  }
  Cursor action{ctx.page + tag + kXiluFormAction, form};
  std::string_view forumId, noteNumber;
  if (!ReadCut(action, kXiluForumId, &forumId)) return;
  Cursor at{form + std::strlen(kXiluForm), ctx.end};
  if (!ReadCut(at, kXiluNoteNumber, &noteNumber)) return;
  TextBuffer next;
  if (!next.Append("http://") || !next.Append(ctx.item->host) ||
      !next.Append("/cgi-bin/bbs/index?forum=") || !next.Append(forumId) ||
      !next.Append("&style=b*") || !next.Append(noteNumber)) {
    return;
  }
  if (LeadingNumber(noteNumber) <= 1) return;  // the last page
  if (noteNumber.size() <= kXiluPostValueMax) {
    next.Decode();
    Admit(page, Found::kNextList, next.text());
  }
  QueueXiluRows(page, at);
}

// Pass one takes the [img] pictures, pass two the uploads; each runs over
// the whole page.
void ScanVocThread(const BoardPage& page) {
  for (const Cut& pictures : kVocPictures) ScanPictures(page, pictures);
}

// Album links first, then the picture calls; both always run.
void ScanQqThread(const BoardPage& page) {
  TextBuffer album =
      HostMarker("<a href=\"", hosts::kQqForum, "/allphoto.htm?url=");
  ScanPictures(page, Between(album.text(), "\" target=_blank>"));
  QueueQqPictureCalls(page);
}

}  // namespace

void VocBoardParser(const PageContext& ctx) {
  ParseBoardPage(ctx, kVocList, SiteRoot(hosts::kVocForum), ScanVocThread);
}

void QqBoardParser(const PageContext& ctx) {
  ParseBoardPage(ctx, kQqList, SiteRoot(hosts::kQqForum), ScanQqThread);
}

void XiluBoardParser(const PageContext& ctx) {
  BoardPage page(ctx);
  // A POST list page carries its form value after a "*"; the referer is the
  // page itself.
  char* star = std::strchr(page.pageUrl, '*');
  if (star != nullptr) *star = '\0';
  if (ctx.kind == kWeb2) {
    ParseXiluListPage(page);
  } else {
    CollectThreadPictures(page);
  }
}

}  // namespace harvio
