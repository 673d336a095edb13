// Generic picture extraction for pages of any site: img tags, and the links
// around thumbnails that follow the page's dominant URL pattern.
#pragma once

#include <string>
#include <vector>

#include "sources/page_dispatch.h"

namespace harvio {

void CustomPageParser(const PageContext& ctx);  // 161-163
// Admits every wanted <img src> of the page into `target` (for a lazy
// gallery's img, the picture of its data-src, data-original, data-lazy-src
// or the largest of its srcset). False when the page has no img picture.
bool CollectImgPictures(const PageContext& ctx, ItemKind target,
                        const char* pageUrl);
// Admits every wanted picture an <a href> of the page links to into PIC:
// what a page without img pictures, such as a folder listing, offers.
void CollectPictureLinks(const PageContext& ctx, const char* pageUrl);
void CollectThumbnailLinks(const PageContext& ctx, const char* pageUrl);
// Makes `link` (a 1028-byte buffer) absolute against `base`; empties it when
// it cannot.
void ResolveUrl(char* link, const char* base);
// The URL up to its first "?" (else its last "/"), then only the non-digits:
// the numbered pages or pictures of one gallery share a pattern.
void LinkPattern(const char* url, char* out);

// What CollectThumbnailLinks gathers from one page: the links in the order
// found, and their distinct patterns in the order first seen.
struct PatternCount {
  std::string pattern;
  unsigned count;
};
struct GatheredLinks {
  std::vector<std::string> links;
  std::vector<PatternCount> patterns;
};
// Admits the links of the most frequent pattern (the first seen on a tie):
// ".jpg" into PIC, other pictures dropped, anything else into WEB1.
void QueueDominantLinks(const PageContext& ctx, const GatheredLinks& gathered,
                        const char* pageUrl);

}  // namespace harvio
