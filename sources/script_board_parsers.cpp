// Placeholder bodies: these boards parse nothing yet.
#include "sources/script_board_parsers.h"

namespace harvio {
void VocBoardParser(const PageContext&) {}
void XiluBoardParser(const PageContext&) {}
void QqBoardParser(const PageContext&) {}

}  // namespace harvio
