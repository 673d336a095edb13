// Every user-visible text of the program, by its string-table id. The texts
// are kept once, in res/strings.txt (UTF-8); the build turns them into GBK
// both for the resource script and for this lookup, so the portable code and
// the windows show the same bytes.
#pragma once

#include <cstdint>
#include <string>

namespace harvio {

// The GBK text of `id`; an empty text for an id the table does not hold.
const char* StringText(uint32_t id);

// The text of `id` with its first "*" replaced by `number` in decimal, the
// way every counted message is shown.
std::string StringWithNumber(uint32_t id, int64_t number);

}  // namespace harvio
