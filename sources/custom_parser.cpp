// The custom sources crawl pages of any site, so instead of markers of known
// pages they read plain HTML: img tags with their src, and anchors with an
// href around a thumbnail. Tag and attribute names match in any letter case,
// the attribute must follow a space, and the value may be quoted or not.
//
// Every search is bounded by the page end: a page is whatever a server sent
// and may hold NUL bytes or end in the middle of a tag.
#include "sources/custom_parser.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "core/url_location.h"
#include "sources/text_helpers.h"

namespace harvio {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when the bytes at `at` spell `lowerText` in any letter case.
bool MatchesNoCase(const char* at, const char* lowerText) {
  for (; *lowerText != '\0'; ++at, ++lowerText) {
    if (LowerAscii(*at) != *lowerText) return false;
  }
  return true;
}

const char* FindByte(const char* from, const char* end, char c) {
  return static_cast<const char*>(std::memchr(from, c, end - from));
}

bool EndsValue(char c) {
  return c == ' ' || c == '\'' || c == '"' || c == '>';
}

// The value of the attribute whose "=" is at `equals`: [*value, *valueEnd).
// False when the page ends before the value does.
bool CutAttributeValue(const char* equals, const char* end,
                       const char** value, const char** valueEnd) {
  const char* v = equals + 1;
  while (v < end && *v == ' ') ++v;
  if (v == end) return false;
  if (*v == '\'' || *v == '"') ++v;
  const char* e = v;
  while (e < end && !EndsValue(*e)) ++e;
  if (e == end) return false;
  *value = v;
  *valueEnd = e;
  return true;
}

// The next "=" from `from` whose preceding bytes are `spacedName` (a space
// and the lower-case attribute name), or nullptr. `earliest` is the first
// byte the name may start at.
const char* FindAttribute(const char* from, const char* end,
                          const char* earliest, const char* spacedName) {
  size_t nameLen = std::strlen(spacedName);
  for (const char* eq = FindByte(from, end, '='); eq != nullptr;
       eq = FindByte(eq + 1, end, '=')) {
    if (eq - earliest >= static_cast<ptrdiff_t>(nameLen) &&
        MatchesNoCase(eq - nameLen, spacedName)) {
      return eq;
    }
  }
  return nullptr;
}

// Copies a cut-out value (shorter than kUrlMax + 1 bytes) into `url` and
// turns it into an absolute, decoded URL.
void PrepareLink(const char* value, const char* valueEnd, const char* pageUrl,
                 char* url) {
  size_t n = static_cast<size_t>(valueEnd - value);
  std::memcpy(url, value, n);
  url[n] = '\0';
  TrimSpaces(url);
  DecodePercentEscapes(url);
  DecodeEntities(url);
  ResolveUrl(url, pageUrl);
}

// Counts the gathered links per pattern while keeping the first-seen order.
class LinkGatherer {
 public:
  void Add(const char* url) {
    char pattern[kWorkBuffer];
    LinkPattern(url, pattern);
    gathered_.links.emplace_back(url);
    auto [slot, isNew] =
        index_.try_emplace(pattern, gathered_.patterns.size());
    if (isNew) {
      gathered_.patterns.push_back({pattern, 1});
    } else {
      ++gathered_.patterns[slot->second].count;
    }
  }
  const GatheredLinks& gathered() const { return gathered_; }

 private:
  GatheredLinks gathered_;
  std::unordered_map<std::string, size_t> index_;
};

// Reads one anchor whose "<" is at `open`. Returns where the scan goes on,
// or nullptr when the page ends before the anchor does.
char* ReadAnchor(const PageContext& ctx, char* open, const char* pageUrl,
                 LinkGatherer& gatherer) {
  const char* end = ctx.end;
  const char* eq = FindAttribute(open + 3, end, ctx.page, " href");
  const char* value;
  const char* valueEnd;
  if (eq == nullptr || !CutAttributeValue(eq, end, &value, &valueEnd) ||
      valueEnd - value > static_cast<ptrdiff_t>(kUrlMax)) {
    return nullptr;
  }
  const char* tagEnd = FindByte(valueEnd, end, '>');
  if (tagEnd == nullptr) return nullptr;
  char* text = ctx.page + (tagEnd + 1 - ctx.page);
  char* close = const_cast<char*>(FindMarker(text, end, "</"));
  if (close == nullptr) return nullptr;
  *close = '\0';
  for (char* c = text; c < close; ++c) *c = LowerAscii(*c);
  if (FindMarker(text, close, "<img ") != nullptr &&
      FindMarker(text, close, " src=") != nullptr) {
    char url[kWorkBuffer];
    PrepareLink(value, valueEnd, pageUrl, url);
    if (IsValidUrl(url)) gatherer.Add(url);
  }
  return close + 2;
}

}  // namespace

void CustomPageParser(const PageContext& ctx) {
  char pageUrl[kWorkBuffer];
  PageUrl(*ctx.item, pageUrl);
  if (ctx.kind == kWeb2) {
    CollectThumbnailLinks(ctx, pageUrl);
  } else if (ctx.kind == kWeb1) {
    CollectImgPictures(ctx, kPic, pageUrl);
  }
}

void CollectImgPictures(const PageContext& ctx, ItemKind target,
                        const char* pageUrl) {
  const char* end = ctx.end;
  const char* scan = ctx.page;
  for (const char* open; (open = FindByte(scan, end, '<')) != nullptr;) {
    if (end - open < 5) return;
    if (!MatchesNoCase(open + 1, "img ")) {
      scan = open + 1;
      continue;
    }
    // The src may sit in a later tag when this one has none.
    const char* eq = FindAttribute(open + 5, end, ctx.page, " src");
    const char* value;
    const char* valueEnd;
    if (eq == nullptr || !CutAttributeValue(eq, end, &value, &valueEnd) ||
        valueEnd - value > static_cast<ptrdiff_t>(kUrlMax)) {
      return;
    }
    const char* tagEnd = FindByte(valueEnd, end, '>');
    if (tagEnd == nullptr) return;
    char url[kWorkBuffer];
    PrepareLink(value, valueEnd, pageUrl, url);
    if (IsWantedPicture(url, *ctx.info)) {
      QueueUrl(ctx, target, url, ctx.item->title, pageUrl, true);
    }
    scan = tagEnd + 1;
  }
}

void CollectThumbnailLinks(const PageContext& ctx, const char* pageUrl) {
  LinkGatherer gatherer;
  char* scan = ctx.page;
  while (char* open = const_cast<char*>(FindByte(scan, ctx.end, '<'))) {
    if (ctx.end - open < 3) break;
    if ((open[1] != 'a' && open[1] != 'A') || open[2] != ' ') {
      scan = open + 1;
      continue;
    }
    scan = ReadAnchor(ctx, open, pageUrl, gatherer);
    if (scan == nullptr) break;  // a cut-off anchor keeps what came before
  }
  QueueDominantLinks(ctx, gatherer.gathered(), pageUrl);
}

void QueueDominantLinks(const PageContext& ctx, const GatheredLinks& gathered,
                        const char* pageUrl) {
  const PatternCount* chosen = nullptr;
  for (const PatternCount& p : gathered.patterns) {
    if (chosen == nullptr || p.count > chosen->count) chosen = &p;
  }
  if (chosen == nullptr) return;
  for (const std::string& link : gathered.links) {
    char pattern[kWorkBuffer];
    LinkPattern(link.c_str(), pattern);
    if (chosen->pattern != pattern) continue;
    char extension[16];
    UrlExtension(link.c_str(), extension);
    if (std::strcmp(extension, ".bmp") == 0 ||
        std::strcmp(extension, ".png") == 0 ||
        std::strcmp(extension, ".gif") == 0) {
      continue;
    }
    ItemKind queue = std::strcmp(extension, ".jpg") == 0 ? kPic : kWeb1;
    QueueUrl(ctx, queue, link.c_str(), "", pageUrl, true);
  }
}

void LinkPattern(const char* url, char* out) {
  size_t n = strnlen(url, kUrlMax);
  const char* cut = static_cast<const char*>(std::memchr(url, '?', n));
  if (cut == nullptr) {
    for (size_t i = n; i > 0 && cut == nullptr; --i) {
      if (url[i - 1] == '/') cut = url + i - 1;
    }
  }
  size_t kept = cut == nullptr ? 0 : static_cast<size_t>(cut - url) + 1;
  std::memcpy(out, url, kept);
  for (size_t i = kept; i < n; ++i) {
    if (url[i] < '0' || url[i] > '9') out[kept++] = url[i];
  }
  out[kept] = '\0';
}

namespace {

// The result of ResolveUrl, built piece by piece; it turns empty for good
// once it would reach kUrlMax + 1 bytes.
class UrlBuilder {
 public:
  explicit UrlBuilder(char* out) : out_(out) { out_[0] = '\0'; }
  void Append(const char* text, size_t n) {
    if (failed_ || used_ + n > kUrlMax) {
      failed_ = true;
      return;
    }
    std::memcpy(out_ + used_, text, n);
    used_ += n;
    out_[used_] = '\0';
  }
  // Drops the last "/" and what follows, but never into the scheme.
  void DropLastPiece() {
    for (size_t i = used_; i > SchemeLength(out_); --i) {
      if (out_[i - 1] == '/') {
        used_ = i - 1;
        out_[used_] = '\0';
        return;
      }
    }
  }
  bool failed() const { return failed_; }

 private:
  char* out_;
  size_t used_ = 0;
  bool failed_ = false;
};

// Length of the base's scheme and host: up to its first "/" after the
// scheme.
size_t SiteRootLength(const char* base, size_t n) {
  size_t from = std::min(n, SchemeLength(base));
  const char* slash =
      static_cast<const char*>(std::memchr(base + from, '/', n - from));
  return slash == nullptr ? n : static_cast<size_t>(slash - base);
}

// The base's directory: cut at the first "?", then before the last "/".
// False when it has no "/".
bool DirectoryOf(const char* base, size_t n, size_t* length) {
  const char* query = static_cast<const char*>(std::memchr(base, '?', n));
  if (query != nullptr) n = static_cast<size_t>(query - base);
  while (n > 0 && base[n - 1] != '/') --n;
  if (n == 0) return false;
  *length = n - 1;
  return true;
}

void AppendPieces(UrlBuilder& result, const char* link) {
  const char* piece = link;
  for (const char* slash; (slash = std::strchr(piece, '/')) != nullptr;
       piece = slash + 1) {
    size_t n = static_cast<size_t>(slash - piece);
    if (n == 1 && piece[0] == '.') continue;
    if (n == 2 && piece[0] == '.' && piece[1] == '.') {
      result.DropLastPiece();
      continue;
    }
    result.Append("/", 1);
    result.Append(piece, n);
  }
  result.Append("/", 1);
  result.Append(piece, std::strlen(piece));
}

}  // namespace

void ResolveUrl(char* link, const char* base) {
  size_t linkLen = strnlen(link, kUrlMax);
  link[linkLen] = '\0';
  size_t linkScheme = SchemeLength(link);
  if (linkLen == 0 || (linkScheme != 0 && linkLen > linkScheme)) return;
  size_t baseLen = strnlen(base, kUrlMax);
  char resolved[kWorkBuffer];
  UrlBuilder result(resolved);
  if (link[0] == '/' && link[1] == '/') {
    // "//host/path" keeps the page's scheme: "http:" or "https:".
    size_t scheme = SchemeLength(base);
    result.Append(base, scheme > 3 ? scheme - 2 : 0);
    result.Append(link, linkLen);
  } else if (link[0] == '/') {
    result.Append(base, SiteRootLength(base, baseLen));
    result.Append(link, linkLen);
  } else {
    size_t directory;
    if (!DirectoryOf(base, baseLen, &directory)) {
      link[0] = '\0';
      return;
    }
    result.Append(base, directory);
    AppendPieces(result, link);
  }
  if (result.failed()) {
    link[0] = '\0';
    return;
  }
  std::memcpy(link, resolved, std::strlen(resolved) + 1);
}

}  // namespace harvio
