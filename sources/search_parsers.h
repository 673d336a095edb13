// Result-page parsers of the eight image search engines. One procedure for
// the family, driven by a row of values per engine.
#pragma once

#include "sources/page_dispatch.h"

namespace harvio {

void GoogleParser(const PageContext& ctx);
void YahooParser(const PageContext& ctx);
void MsnParser(const PageContext& ctx);
void BaiduParser(const PageContext& ctx);
void IaskParser(const PageContext& ctx);
void ZhongsouParser(const PageContext& ctx);
void SogouParser(const PageContext& ctx);
void YahooChinaParser(const PageContext& ctx);

}  // namespace harvio
