// Placeholder bodies: these boards parse nothing yet.
#include "sources/board_parsers.h"

namespace harvio {
void BaiduTiebaParser(const PageContext&) {}
void SogouShuobaParser(const PageContext&) {}
void TomBoardParser(const PageContext&) {}
void SohuBoardParser(const PageContext&) {}
void XimanniBoardParser(const PageContext&) {}
void MeituBoardParser(const PageContext&) {}
void TianyaBoardParser(const PageContext&) {}
void MopBoardParser(const PageContext&) {}

}  // namespace harvio
