// Placeholder bodies: these boards parse nothing yet.
#include "sources/search_parsers.h"

namespace harvio {
void GoogleParser(const PageContext&) {}
void YahooParser(const PageContext&) {}
void MsnParser(const PageContext&) {}
void BaiduParser(const PageContext&) {}
void IaskParser(const PageContext&) {}
void ZhongsouParser(const PageContext&) {}
void SogouParser(const PageContext&) {}
void YahooChinaParser(const PageContext&) {}

}  // namespace harvio
