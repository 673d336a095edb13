// The eight image search engines share one way of reading their pages: cut
// each result value out between two byte markers, then find the link that
// sits just before the next-page marker. What differs between engines is
// data, held in one SearchEngine row per engine; the two procedures below
// (result page, detail page) read nothing else.
//
// Pages are whatever a server sent, so every search is bounded by the page
// end (embedded zero bytes included) and every value is built in a 1028-byte
// buffer that refuses anything of 1025 bytes or more.
#include "sources/search_parsers.h"

#include <cstdio>
#include <cstring>

#include "sources/hosts.h"
#include "sources/text_helpers.h"

namespace harvio {
namespace {

// Text put before a cut-out value: "http://" + host when there is a host,
// then `path`.
struct UrlPrefix {
  const char* host;  // nullptr: no site part
  const char* path;
};

struct SearchEngine {
  const char* opening;
  // Used instead of `opening` when that occurs nowhere in the page.
  const char* fallbackOpening;
  // Where the value starts, counted from the start of the opening marker;
  // 0: just after the marker.
  size_t valueOffset;
  const char* closing;
  UrlPrefix valuePrefix;
  ItemKind valueQueue;  // kPic: pictures; kWeb1: detail pages
  // Engines that link every result twice: take the odd occurrences only.
  bool passOverEven;
  void (*cleanValue)(char* value);  // may be nullptr
  const char* nextMarker;
  // Skipped from the last occurrence of its first byte before the marker.
  const char* linkOpener;
  UrlPrefix nextPrefix;
  void (*cleanNextUrl)(char* url);  // may be nullptr
  const char* detailOpening;        // nullptr: no detail pages
  const char* detailClosing;
};

// Yahoo China's hidden field wraps long values over several lines.
void JoinLines(char* value) {
  for (char* p = value; *p != '\0'; ++p) {
    if (*p == '\n') *p = ' ';
  }
  TrimSpaces(value);
}

// Sogou's next-page link is broken over lines inside the attribute.
void RemoveLineFeeds(char* url) { ReplaceAll(url, "\n", ""); }

constexpr UrlPrefix kNoPrefix = {nullptr, ""};

// "下一页" in code page 936.
#define HARVIO_NEXT_PAGE "\xcf\xc2\xd2\xbb\xd2\xb3"

const SearchEngine kGoogle = {
    "<a href=/imgres?imgurl=", nullptr, 0, "&", kNoPrefix, kPic, false,
    nullptr, "><img src=/nav_next.gif", "<a href=",
    {hosts::kGoogleImages, ""}, nullptr, nullptr, nullptr};

const SearchEngine kYahoo = {
    "&imgurl=", nullptr, 0, "&", {nullptr, "http://"}, kPic, false, nullptr,
    "\">Next<", "*-", kNoPrefix, nullptr, nullptr, nullptr};

const SearchEngine kMsn = {
    "iu=", nullptr, 0, "&amp;", kNoPrefix, kPic, false, nullptr,
    "\">Next</a>", "<a href=\"", {hosts::kMsnSearch, "/images/"}, nullptr,
    nullptr, nullptr};

const SearchEngine kBaidu = {
    "&u=", nullptr, 0, "&", kNoPrefix, kPic, false, nullptr,
    "><font>" HARVIO_NEXT_PAGE "</font></a>", "<a href=", kNoPrefix, nullptr,
    nullptr, nullptr};

// The value starts 9 bytes into the marker, after "<a href=\"", so that it
// begins with the page name the marker names.
const SearchEngine kIask = {
    "<a href=\"showpic.php?", "<a href=\"showzsou.php?", 9, "\"",
    {hosts::kIaskPictures, "/"}, kWeb1, true, nullptr,
    ">" HARVIO_NEXT_PAGE ">></a>", "<a href=", {hosts::kIaskPictures, "/"},
    nullptr, "&bigpic=", "&refurl="};

const SearchEngine kZhongsou = {
    "&i1=", nullptr, 0, "&", kNoPrefix, kPic, true, nullptr,
    "\">" HARVIO_NEXT_PAGE "</a>", "<a href=\"",
    {hosts::kZhongsouImages, "/"}, nullptr, nullptr, nullptr};

const SearchEngine kSogou = {
    "return window.open('", nullptr, 0, "'", {hosts::kSogouPictures, ""},
    kWeb1, false, nullptr,
    "\" ><span style=font-size:14px>" HARVIO_NEXT_PAGE "</span></a>",
    "<a id=sogou_next href=\"", {hosts::kSogouPictures, "/pics/"},
    RemoveLineFeeds, "<img id=image_right name=\"rimage\" src=", " "};

const SearchEngine kYahooChina = {
    "<input type=\"hidden\" name=\"imgurl\" value=\"", nullptr, 0, "\">",
    kNoPrefix, kPic, false, JoinLines,
    "\" >" HARVIO_NEXT_PAGE ">></a>", "<a href=\"",
    {hosts::kYahooChinaImages, "/search"}, nullptr, nullptr, nullptr};

#undef HARVIO_NEXT_PAGE

// Last occurrence of `c` in [from, end), or nullptr.
const char* FindLastIn(const char* from, const char* end, char c) {
  for (const char* p = end; p != from;) {
    if (*--p == c) return p;
  }
  return nullptr;
}

// Writes the prefix followed by the bytes [from, to) into `out` (1028
// bytes); false, and `out` unusable, when that would reach 1025 bytes.
bool BuildUrl(const UrlPrefix& prefix, const char* from, const char* to,
              char* out) {
  size_t length = 0;
  if (prefix.host != nullptr) {
    length = static_cast<size_t>(
        std::snprintf(out, kWorkBuffer, "http://%s", prefix.host));
  }
  size_t pathLength = std::strlen(prefix.path);
  size_t valueLength = static_cast<size_t>(to - from);
  if (length + pathLength + valueLength > kUrlMax) return false;
  std::memcpy(out + length, prefix.path, pathLength);
  length += pathLength;
  std::memcpy(out + length, from, valueLength);
  out[length + valueLength] = '\0';
  return true;
}

void Decode(char* url) {
  DecodePercentEscapes(url);
  DecodeEntities(url);
}

// Pictures must pass the task's format filter; detail pages go in as they
// are.
void AdmitValue(const PageContext& ctx, ItemKind queue, const char* url,
                const char* referer) {
  if (queue == kPic && !IsWantedPicture(url, *ctx.info)) return;
  QueueUrl(ctx, queue, url, "", referer, false);
}

const char* OpeningMarker(const SearchEngine& engine, const PageContext& ctx) {
  if (engine.fallbackOpening == nullptr ||
      FindMarker(ctx.page, ctx.end, engine.opening) != nullptr) {
    return engine.opening;
  }
  return engine.fallbackOpening;
}

// Admits the result values of the page and returns where the next-page
// search starts: after the last value taken, or at a value that was cut
// short or refused.
const char* ParseResults(const SearchEngine& engine, const PageContext& ctx,
                         const char* referer) {
  const char* opening = OpeningMarker(engine, ctx);
  size_t valueOffset =
      engine.valueOffset != 0 ? engine.valueOffset : std::strlen(opening);
  size_t closingLength = std::strlen(engine.closing);
  char value[kWorkBuffer];
  const char* scan = ctx.page;
  for (;;) {
    const char* marker = FindMarker(scan, ctx.end, opening);
    if (marker == nullptr) return scan;
    const char* start = marker + valueOffset;
    const char* close = FindMarker(start, ctx.end, engine.closing);
    if (close == nullptr) return start;
    if (!BuildUrl(engine.valuePrefix, start, close, value)) return start;
    scan = close + closingLength;
    if (engine.passOverEven) {
      const char* twin = FindMarker(scan, ctx.end, opening);
      if (twin == nullptr) return scan;
      scan = twin + std::strlen(opening);
    }
    if (engine.cleanValue != nullptr) engine.cleanValue(value);
    Decode(value);
    AdmitValue(ctx, engine.valueQueue, value, referer);
  }
}

// Queues the link that ends where the next-page marker begins. The link must
// start with the engine's opener; anything else is not a next-page link.
void ParseNextPage(const SearchEngine& engine, const PageContext& ctx,
                   const char* scan, const char* referer) {
  const char* marker = FindMarker(scan, ctx.end, engine.nextMarker);
  if (marker == nullptr) return;
  // The link ends where the marker begins.
  ctx.page[marker - ctx.page] = '\0';
  const char* link = FindLastIn(scan, marker, engine.linkOpener[0]);
  if (link == nullptr) return;
  size_t openerLength = std::strlen(engine.linkOpener);
  if (static_cast<size_t>(marker - link) < openerLength ||
      std::memcmp(link, engine.linkOpener, openerLength) != 0) {
    return;
  }
  char url[kWorkBuffer];
  if (!BuildUrl(engine.nextPrefix, link + openerLength, marker, url)) return;
  if (engine.cleanNextUrl != nullptr) engine.cleanNextUrl(url);
  Decode(url);
  QueueUrl(ctx, kWeb2, url, "", referer, false);
}

void ParseResultPage(const SearchEngine& engine, const PageContext& ctx) {
  char referer[kWorkBuffer];
  PageUrl(*ctx.item, referer);
  const char* scan = ParseResults(engine, ctx, referer);
  ParseNextPage(engine, ctx, scan, referer);
}

// A detail page shows one picture.
void ParseDetailPage(const SearchEngine& engine, const PageContext& ctx) {
  char referer[kWorkBuffer];
  PageUrl(*ctx.item, referer);
  const char* marker = FindMarker(ctx.page, ctx.end, engine.detailOpening);
  if (marker == nullptr) return;
  const char* start = marker + std::strlen(engine.detailOpening);
  const char* close = FindMarker(start, ctx.end, engine.detailClosing);
  char picture[kWorkBuffer];
  if (close == nullptr || !BuildUrl(kNoPrefix, start, close, picture)) return;
  Decode(picture);
  AdmitValue(ctx, kPic, picture, referer);
}

void ParseSearchPage(const SearchEngine& engine, const PageContext& ctx) {
  if (ctx.kind == kWeb2) {
    ParseResultPage(engine, ctx);
  } else if (ctx.kind == kWeb1 && engine.detailOpening != nullptr) {
    ParseDetailPage(engine, ctx);
  }
}

}  // namespace

void GoogleParser(const PageContext& ctx) { ParseSearchPage(kGoogle, ctx); }
void YahooParser(const PageContext& ctx) { ParseSearchPage(kYahoo, ctx); }
void MsnParser(const PageContext& ctx) { ParseSearchPage(kMsn, ctx); }
void BaiduParser(const PageContext& ctx) { ParseSearchPage(kBaidu, ctx); }
void IaskParser(const PageContext& ctx) { ParseSearchPage(kIask, ctx); }
void ZhongsouParser(const PageContext& ctx) {
  ParseSearchPage(kZhongsou, ctx);
}
void SogouParser(const PageContext& ctx) { ParseSearchPage(kSogou, ctx); }
void YahooChinaParser(const PageContext& ctx) {
  ParseSearchPage(kYahooChina, ctx);
}

}  // namespace harvio
