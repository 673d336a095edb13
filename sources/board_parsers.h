// Forum board parsers: list pages yield popular threads and the next list
// page, thread pages yield pictures. One skeleton, each board's markers as
// data.
#pragma once

#include "sources/page_dispatch.h"

namespace harvio {

void BaiduTiebaParser(const PageContext& ctx);   // 21
void SogouShuobaParser(const PageContext& ctx);  // 22
void TomBoardParser(const PageContext& ctx);     // 61-68
void SohuBoardParser(const PageContext& ctx);    // 81-89
void XimanniBoardParser(const PageContext& ctx); // 91-95
void MeituBoardParser(const PageContext& ctx);   // 101-109
void TianyaBoardParser(const PageContext& ctx);  // 111-135
void MopBoardParser(const PageContext& ctx);     // 141-153

}  // namespace harvio
