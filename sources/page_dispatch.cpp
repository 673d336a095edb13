#include "sources/page_dispatch.h"

#include <algorithm>
#include <cstring>

#include "core/url_location.h"
#include "sources/board_parsers.h"
#include "sources/custom_parser.h"
#include "sources/script_board_parsers.h"
#include "sources/search_parsers.h"
#include "sources/text_helpers.h"

namespace harvio {
namespace {

struct ParserRange {
  uint32_t first;
  uint32_t last;
  PageParser parser;
};

// Which parser reads the pages of which sources; SourceIds not listed here
// have nothing to parse.
constexpr ParserRange kParsers[] = {
    {1, 1, GoogleParser},
    {2, 2, YahooParser},
    {3, 3, MsnParser},
    {11, 11, BaiduParser},
    {12, 12, IaskParser},
    {13, 13, ZhongsouParser},
    {14, 14, SogouParser},
    {15, 15, YahooChinaParser},
    {21, 21, BaiduTiebaParser},
    {22, 22, SogouShuobaParser},
    {31, 36, VocBoardParser},
    {41, 51, XiluBoardParser},
    {61, 68, TomBoardParser},
    {71, 79, QqBoardParser},
    {81, 89, SohuBoardParser},
    {91, 95, XimanniBoardParser},
    {101, 109, MeituBoardParser},
    {111, 135, TianyaBoardParser},
    {141, 153, MopBoardParser},
    {161, 163, CustomPageParser},
};

}  // namespace

void DispatchPage(const PageContext& ctx) {
  uint32_t source = ctx.info->sourceId;
  for (const ParserRange& range : kParsers) {
    if (source >= range.first && source <= range.last) {
      range.parser(ctx);
      return;
    }
  }
}

AddResult QueueUrl(const PageContext& ctx, ItemKind queue, const char* url,
                   const char* title, const char* referer,
                   bool checkDuplicate) {
  AddResult result =
      ctx.queues[queue]->AddUrl(url, title, referer, checkDuplicate);
  if (ctx.trace != nullptr) {
    ctx.trace->OnAddUrl(queue, url, title, referer, checkDuplicate, result);
  }
  return result;
}

void PageUrl(const UrlItem& item, char* out) {
  // Bounded reads keep inside the record's fields even if one lost its
  // terminator; the URL is cut at 1024 bytes like every built value.
  size_t used = LocationPrefix(item.host, out, kUrlMax + 1);
  size_t n = std::min(strnlen(item.path, kUrlMax), kUrlMax - used);
  std::memcpy(out + used, item.path, n);
  out[used + n] = '\0';
}

}  // namespace harvio
