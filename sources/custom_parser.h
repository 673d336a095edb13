// Generic picture extraction for pages of any site: img tags, and the links
// around thumbnails that follow the page's dominant URL pattern.
#pragma once

#include "sources/page_dispatch.h"

namespace harvio {

void CustomPageParser(const PageContext& ctx);  // 161-163
// Admits every wanted <img src> of the page into `target`.
void CollectImgPictures(const PageContext& ctx, ItemKind target,
                        const char* pageUrl);
void CollectThumbnailLinks(const PageContext& ctx, const char* pageUrl);
// Makes `link` (a 1028-byte buffer) absolute against `base`; empties it when
// it cannot.
void ResolveUrl(char* link, const char* base);
void LinkPattern(const char* url, char* out);

}  // namespace harvio
