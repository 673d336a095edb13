// Boards whose pages carry their data as arguments of script calls.
#pragma once

#include "sources/page_dispatch.h"

namespace harvio {

void VocBoardParser(const PageContext& ctx);   // 31-36, 华声在线
void XiluBoardParser(const PageContext& ctx);  // 41-51, 西陆社区
void QqBoardParser(const PageContext& ctx);    // 71-79, QQ论坛

}  // namespace harvio
