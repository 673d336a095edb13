// Placeholder body: the custom sources parse nothing yet.
#include "sources/custom_parser.h"

namespace harvio {
void CustomPageParser(const PageContext&) {}
}  // namespace harvio
